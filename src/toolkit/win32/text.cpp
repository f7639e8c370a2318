#include "toolkit/win32/text.h"

#include "toolkit/fonts.h"

#include <algorithm>
#include <cstdlib>

namespace vd::win32 {

namespace {

int CALLBACK foundFamily(const LOGFONTW *, const TEXTMETRICW *, DWORD, LPARAM found)
{
    *reinterpret_cast<bool *>(found) = true;
    return 0; // one is enough
}

// Faces with Latin digits found on Windows (the first three) and under Wine
// on Linux (the last two).
constexpr const char *PlainFaces[] = {"Segoe UI", "Microsoft Sans Serif", "Arial", "DejaVu Sans", "Liberation Sans"};

constexpr UINT LineFormat = DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP | DT_LEFT | DT_TOP;

} // namespace

bool familyInstalled(std::wstring_view family)
{
    LOGFONTW query{};
    query.lfCharSet = DEFAULT_CHARSET;
    family.copy(query.lfFaceName, LF_FACESIZE - 1);
    bool found = false;
    WindowDc screen(nullptr);
    EnumFontFamiliesExW(screen.get(), &query, foundFamily, reinterpret_cast<LPARAM>(&found), 0);
    return found;
}

bool Text::installed(const std::string &family)
{
    if (auto it = installed_.find(family); it != installed_.end())
        return it->second;
    const bool found = familyInstalled(wide(family));
    installed_.emplace(family, found);
    return found;
}

HFONT Text::font(const tk::Font &layoutFont, int dpi)
{
    const tk::FontChoice choice = tk::chooseFont(
        layoutFont, [this](const std::string &family) { return installed(family); }, dpi);
    const auto key = std::make_tuple(choice.family, choice.pixelSize, layoutFont.weight);
    if (auto it = fonts_.find(key); it != fonts_.end())
        return it->second.get();
    LOGFONTW lf{};
    lf.lfHeight = -choice.pixelSize; // the em, as the layouts size it, not the cell
    lf.lfWeight = layoutFont.weight;
    lf.lfCharSet = static_cast<BYTE>(layoutFont.charset);
    lf.lfQuality = DEFAULT_QUALITY;
    std::wstring family = wide(choice.family);
    if (choice.missing) {
        // No Thai face at all: a plain face the system has, in any character
        // set, so that at least the digits show and the letters are drawn as
        // the system draws what it can't (font linking on Windows), rather
        // than whatever the mapper picks for the Thai character set (under
        // Wine with no Thai font, a mathematical face whose lines are four
        // times its size, which puts a caption outside its button).
        lf.lfCharSet = DEFAULT_CHARSET;
        family.clear();
        for (const char *plain : PlainFaces)
            if (installed(plain)) {
                family = wide(plain);
                break;
            }
    }
    std::wstring_view(family).copy(lf.lfFaceName, LF_FACESIZE - 1);
    OwnedFont font(CreateFontIndirectW(&lf));
    if (!font)
        throw std::bad_alloc();
    return fonts_.emplace(key, std::move(font)).first->second.get();
}

void Text::draw(HDC dc, const std::wstring &line, int x, int y)
{
    RECT r{x, y, x, y};
    DrawTextW(dc, line.c_str(), static_cast<int>(line.size()), &r, LineFormat);
}

namespace {

// Where a line's ink lies on the canvas it was drawn on: none where right < 0.
struct InkBox {
    int left, top, right = -1, bottom = -1;
};

// A line drawn black on white on a canvas with `pad` pixels of room around
// it: the box of its ink, every pixel a quarter of the way to black counted.
InkBox drawnInk(HFONT font, const std::wstring &line, int lineWidth, int lineHeight, int pad)
{
    Canvas canvas(lineWidth + 2 * pad, lineHeight + 2 * pad);
    PatBlt(canvas.dc(), 0, 0, canvas.width(), canvas.height(), WHITENESS);
    {
        Selected f(canvas.dc(), font);
        SetBkMode(canvas.dc(), TRANSPARENT);
        SetTextColor(canvas.dc(), RGB(0, 0, 0));
        Text::draw(canvas.dc(), line, pad, pad);
    }
    GdiFlush();
    InkBox ink{canvas.width(), canvas.height()};
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            const DWORD p = canvas.pixels()[y * canvas.width() + x];
            const int darkest = std::min({int(p & 0xFF), int((p >> 8) & 0xFF), int((p >> 16) & 0xFF)});
            if (255 - darkest > 255 / 4) {
                ink.left = std::min(ink.left, x);
                ink.top = std::min(ink.top, y);
                ink.right = std::max(ink.right, x);
                ink.bottom = std::max(ink.bottom, y);
            }
        }
    }
    return ink;
}

// A caption's text wrapped at blanks to `width` pixels in that font: its
// lines, with the ink of each as drawn.
void wrapCaption(Text::Caption &c, HFONT font, const std::string &text, int width)
{
    OwnedDc dc(CreateCompatibleDC(nullptr));
    Selected withFont(dc.get(), font);
    TEXTMETRICW tm{};
    GetTextMetricsW(dc.get(), &tm);
    c.ascent = tm.tmAscent;
    c.ink.pitch = tm.tmHeight + tm.tmExternalLeading;
    const auto advance = [&dc](std::string_view piece) {
        const std::wstring w = wide(piece);
        SIZE size{};
        GetTextExtentPoint32W(dc.get(), w.c_str(), static_cast<int>(w.size()), &size);
        return static_cast<double>(size.cx);
    };

    bool any = false;
    int index = 0;
    for (const std::string &piece : tk::face::wrapAtBlanks(text, advance, width)) {
        std::wstring line = wide(piece);
        const int pad = tm.tmHeight;
        const InkBox ink = drawnInk(font, line, static_cast<int>(advance(piece)), tm.tmHeight, pad);
        const int baseline = pad + tm.tmAscent;
        if (ink.right >= 0) {
            c.ink.lines.push_back({double(ink.left - pad), double(ink.right + 1 - ink.left)});
            const int top = ink.top - baseline + index * c.ink.pitch;
            const int bottom = ink.bottom + 1 - baseline + index * c.ink.pitch;
            c.ink.top = any ? std::min(c.ink.top, top) : top;
            c.ink.bottom = any ? std::max(c.ink.bottom, bottom) : bottom;
            any = true;
        } else {
            c.ink.lines.push_back({0, 0});
        }
        c.lines.push_back(std::move(line));
        ++index;
    }
}

} // namespace

const Text::Caption &Text::caption(HFONT font, const std::string &text, int width)
{
    const auto key = std::make_tuple(font, text, width);
    if (auto it = captions_.find(key); it != captions_.end())
        return *it->second;

    auto c = std::make_unique<Caption>();
    if (!text.empty())
        wrapCaption(*c, font, text, width);
    return *captions_.emplace(key, std::move(c)).first->second;
}

} // namespace vd::win32
