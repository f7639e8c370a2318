// Checks a screenshot of one of Velodane.exe's windows against the design,
// pixel by pixel, at the dpi it was drawn at. Runs on the same system as the
// program (so that it knows the system's button-face colour).
//
//   look_check intro|menu <screenshot.ppm> <dpi>
//
// Prints one line per failed check and exits 1 when any failed.
#include "design.h" // tests/design.h

#include <windows.h>

#include <cmath>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <io.h>
#include <string>
#include <vector>

namespace {

namespace design = vd::design;
using design::Rgb;
using design::Twips;
constexpr Rgb Black{0, 0, 0};

struct Image {
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;
    Rgb at(int x, int y) const
    {
        const std::size_t i = (std::size_t(y) * std::size_t(width) + std::size_t(x)) * 3;
        return {rgb[i], rgb[i + 1], rgb[i + 2]};
    }
};

bool readPpm(const char *path, Image &image)
{
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int maxval = 0;
    in >> magic >> image.width >> image.height >> maxval;
    in.get();
    if (magic != "P6" || maxval != 255 || image.width <= 0 || image.height <= 0)
        return false;
    image.rgb.resize(std::size_t(image.width) * std::size_t(image.height) * 3);
    return bool(in.read(reinterpret_cast<char *>(image.rgb.data()), std::streamsize(image.rgb.size())));
}

int failures = 0;
int dpi = 96;

int px(int twips)
{
    return int(std::lround(twips * double(dpi) / 1440.0));
}

std::string hex(Rgb c)
{
    char s[8];
    std::snprintf(s, sizeof s, "%02X%02X%02X", c.r, c.g, c.b);
    return s;
}

void fail(const std::string &what)
{
    ++failures;
    std::printf("FAIL %s\n", what.c_str());
}

// Every pixel of the rectangle (pixels, right and bottom excluded) has that colour.
void allOf(const Image &im, int x0, int y0, int x1, int y1, Rgb want, const std::string &what)
{
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            if (!(im.at(x, y) == want)) {
                fail(what + ": pixel (" + std::to_string(x) + ", " + std::to_string(y) + ") is " + hex(im.at(x, y)) +
                     ", not " + hex(want));
                return;
            }
}

// No pixel of the rectangle has that colour.
void noneOf(const Image &im, int x0, int y0, int x1, int y1, Rgb colour, const std::string &what)
{
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            if (im.at(x, y) == colour) {
                fail(what + ": pixel (" + std::to_string(x) + ", " + std::to_string(y) + ") is " + hex(colour));
                return;
            }
}

// The face colour of a button, in its first column inside the edge, from
// the top of its face to its bottom.
void faceColumn(const Image &im, const Twips &r, Rgb colour, const std::string &name)
{
    const int left = px(r.left), top = px(r.top), bottom = px(r.top + r.height);
    allOf(im, left + 2, top + 2, left + 3, bottom - 2, colour, name + " face colour");
}

Rgb buttonFace()
{
    const COLORREF c = GetSysColor(COLOR_BTNFACE);
    return {GetRValue(c), GetGValue(c), GetBValue(c)};
}

void checkIntro(const Image &im)
{
    if (im.width != px(design::intro::Width) || im.height != px(design::intro::Height)) {
        fail("intro window is " + std::to_string(im.width) + " x " + std::to_string(im.height));
        return;
    }
    // The window's background shows as a strip right and bottom of the picture.
    const int right = px(design::intro::Picture.right());
    const int bottom = px(design::intro::Picture.bottom());
    allOf(im, right, 0, im.width, im.height, buttonFace(), "strip right of the picture");
    allOf(im, 0, bottom, im.width, im.height, buttonFace(), "strip below the picture");
    // The buttons cover the painted panels: nothing but the face colour
    // around the face picture, inside the edge.
    struct Button {
        const char *name;
        Twips rect;
        Rgb face;
    };
    for (const Button &b : {Button{"Command1", design::intro::ExitButton, design::intro::ExitColour},
                            Button{"Command2", design::intro::EnterButton, design::intro::EnterColour}}) {
        const int l = px(b.rect.left), t = px(b.rect.top), r = px(b.rect.right()), bt = px(b.rect.bottom());
        const int icon = 32 * dpi / 96, cx = (l + r) / 2, cy = (t + bt) / 2;
        for (int y = t + 4; y < bt - 4; ++y)
            for (int x = l + 4; x < r - 4; ++x)
                if (std::abs(x - cx) > icon / 2 + 1 || std::abs(y - cy) > icon / 2 + 1)
                    if (!(im.at(x, y) == b.face)) {
                        fail(std::string(b.name) + " shows " + hex(im.at(x, y)) + " at (" + std::to_string(x) + ", " +
                             std::to_string(y) + ") around its picture");
                        goto next;
                    }
    next:
        faceColumn(im, b.rect, b.face, b.name);
    }
}

void checkMenu(const Image &im)
{
    namespace menu = design::menu;
    if (im.width != px(menu::Width) || im.height != px(menu::Height)) {
        fail("menu window is " + std::to_string(im.width) + " x " + std::to_string(im.height));
        return;
    }
    // The five bands: each group button's face colour by its row.
    for (int n = 1; n <= 62; ++n)
        faceColumn(im, menu::group(n), menu::groupColour(n), "group " + std::to_string(n));
    // Shared edges: one button's dark bottom line, the next one's light top
    // line right under it; the frame's pink never shows between buttons.
    for (int n = 1; n <= 60; ++n) {
        if (n % 10 == 0)
            continue;
        const Twips a = menu::group(n), b = menu::group(n + 1);
        const int x = px(a.left) + px(a.width) / 2, y = px(a.top + a.height);
        if (y != px(b.top))
            fail("groups " + std::to_string(n) + " and " + std::to_string(n + 1) + " don't meet");
        else if (!(im.at(x, y - 1) == Black) || !(im.at(x, y) == design::White))
            fail("edge between groups " + std::to_string(n) + " and " + std::to_string(n + 1) + ": " +
                 hex(im.at(x, y - 1)) + " over " + hex(im.at(x, y)));
    }
    noneOf(im, px(menu::Block.left), px(menu::Block.top), px(menu::Group61.right()), px(menu::Block.bottom()),
           menu::Background, "frame colour between the group buttons");
    // The frame strip between the block and the banner.
    allOf(im, px(menu::Block.left), px(menu::Block.bottom()), px(menu::Group61.right()), px(menu::Banner.top),
          menu::Background, "strip between the block and the banner");
    // The caption line: an empty light-orange box over the banner.
    const Twips &c = menu::CaptionLine;
    allOf(im, px(c.left), px(c.top), px(c.right()), px(c.bottom()), menu::CaptionLineColour, "caption line");
    // Back and exit, and the gap between them.
    faceColumn(im, menu::BackButton, menu::BackColour, "Command63");
    faceColumn(im, menu::ExitButton, menu::ExitColour, "Command64");
    allOf(im, px(menu::BackButton.right()), px(menu::BackButton.top), px(menu::ExitButton.left),
          px(menu::BackButton.bottom()), menu::Background, "gap between back and exit");
}

} // namespace

int main(int argc, char **argv)
{
    _setmode(_fileno(stdout), _O_BINARY); // lines end in \n, as the shell reads them
    Image image;
    if (argc != 4 || !readPpm(argv[2], image)) {
        std::fputs("usage: look_check intro|menu <screenshot.ppm> <dpi>\n", stderr);
        return 2;
    }
    dpi = std::atoi(argv[3]);
    const std::string which = argv[1];
    if (which == "intro")
        checkIntro(image);
    else
        checkMenu(image);
    std::printf("%s at %d dpi: %d failed\n", which.c_str(), dpi, failures);
    return failures ? 1 : 0;
}
