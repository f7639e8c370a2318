#include "toolkit/button_face.h"

#include <cmath>

namespace vd::tk::face {

namespace {

int floorHalf(double v)
{
    return static_cast<int>(std::floor(v / 2.0));
}

void addEdge(std::vector<Fill> &fills, int width, int height, int inset, Rgb topLeft, Rgb bottomRight)
{
    const int left = inset, top = inset, w = width - 2 * inset, h = height - 2 * inset;
    const int right = left + w - 1, bottom = top + h - 1;
    fills.push_back({{left, top, w - 1, 1}, topLeft});
    fills.push_back({{left, top, 1, h - 1}, topLeft});
    fills.push_back({{left, bottom, w, 1}, bottomRight});
    fills.push_back({{right, top, 1, h}, bottomRight});
}

} // namespace

std::vector<Fill> buttonEdge(int width, int height, bool sunken)
{
    std::vector<Fill> fills;
    if (sunken) {
        addEdge(fills, width, height, 0, DarkShadow, Hilight);
        addEdge(fills, width, height, 1, Shadow, Light);
    } else {
        addEdge(fills, width, height, 0, Hilight, DarkShadow);
        addEdge(fills, width, height, 1, Light, Shadow);
    }
    return fills;
}

PixelRect faceRect(int width, int height)
{
    return {Edge, Edge, width - 2 * Edge, height - 2 * Edge};
}

int wrapWidth(int width)
{
    return faceRect(width, 0).width - 2 * TextMargin;
}

std::vector<PixelPoint> focusDots(int width, int height)
{
    const int left = Edge + 1, top = Edge + 1, right = width - Edge - 2, bottom = height - Edge - 2;
    std::vector<PixelPoint> dots;
    auto dot = [&](int x, int y) {
        if (((x + y) & 1) == 0)
            dots.push_back({x, y});
    };
    for (int x = left; x <= right; ++x) {
        dot(x, top);
        dot(x, bottom);
    }
    for (int y = top + 1; y < bottom; ++y) {
        dot(left, y);
        dot(right, y);
    }
    return dots;
}

std::vector<Fill> frameOutline(int width, int height)
{
    const int w = width, h = height;
    return {
        {{0, 0, w - 1, 1}, Shadow},     {{0, 0, 1, h - 1}, Shadow},  {{w - 2, 0, 1, h - 1}, Shadow},
        {{0, h - 2, w - 1, 1}, Shadow}, {{1, 1, w - 3, 1}, Hilight}, {{1, 1, 1, h - 3}, Hilight},
        {{w - 1, 0, 1, h}, Hilight},    {{0, h - 1, w, 1}, Hilight},
    };
}

std::vector<std::string> wrapAtBlanks(std::string_view text, const MeasureText &advance, double width)
{
    std::vector<std::string> lines;
    std::string line;
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n) {
        const std::size_t blanksFrom = i;
        while (i < n && text[i] == ' ')
            ++i;
        const std::size_t wordFrom = i;
        while (i < n && text[i] != ' ')
            ++i;
        if (wordFrom == i)
            break; // trailing blanks
        const std::string_view word = text.substr(wordFrom, i - wordFrom);
        if (line.empty()) {
            line = word;
            continue;
        }
        std::string longer = line;
        longer += text.substr(blanksFrom, i - blanksFrom);
        if (advance(longer) <= width) {
            line = std::move(longer);
        } else {
            lines.push_back(std::move(line));
            line = word;
        }
    }
    if (!line.empty())
        lines.push_back(std::move(line));
    return lines;
}

Placement place(const PixelRect &faceUp, int pictureWidth, int pictureHeight, const CaptionInk &ink, bool sunken)
{
    const int shift = sunken ? 1 : 0;
    const PixelRect face{faceUp.left + shift, faceUp.top + shift, faceUp.width, faceUp.height};
    const bool picture = pictureWidth > 0 && pictureHeight > 0;
    const int textHeight = ink.lines.empty() ? 0 : ink.bottom - ink.top;
    const int gap = !picture || textHeight == 0 ? 0 : PictureGap;
    // Without a picture the block is taken one row shorter than its ink and
    // set a row higher: the odd spare row goes below, an even one stays.
    const int blockHeight = picture ? pictureHeight + gap + textHeight : textHeight - 1;
    const int top = face.top + floorHalf(face.height - blockHeight);

    Placement at;
    at.picture = {face.left + floorHalf(face.width - pictureWidth), top};
    at.baseline = top + (picture ? pictureHeight + gap : -1) - ink.top;
    for (const CaptionInk::Line &line : ink.lines)
        at.lineStarts.push_back(face.left + floorHalf(face.width - line.width) -
                                static_cast<int>(std::floor(line.left)));
    return at;
}

} // namespace vd::tk::face
