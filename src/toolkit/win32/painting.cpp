#include "toolkit/win32/painting.h"

#include "toolkit/button_face.h"
#include "toolkit/win32/window_state.h"

namespace vd::win32 {

namespace {

void fill(HDC dc, const tk::PixelRect &r, COLORREF colour)
{
    SetDCBrushColor(dc, colour);
    const RECT rect{r.left, r.top, r.right(), r.bottom()};
    FillRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

void fill(HDC dc, const tk::face::Fill &f)
{
    fill(dc, f.rect, RGB(f.colour.r, f.colour.g, f.colour.b));
}

// WM_PAINT's device context for a scope: the window is validated whatever
// happens while it is painted.
class Painting {
public:
    explicit Painting(HWND hwnd) : hwnd_(hwnd) { BeginPaint(hwnd, &ps_); }
    Painting(const Painting &) = delete;
    Painting &operator=(const Painting &) = delete;
    ~Painting() { EndPaint(hwnd_, &ps_); }
    HDC dc() const noexcept { return ps_.hdc; }

private:
    HWND hwnd_;
    PAINTSTRUCT ps_{};
};

// A button's caption and face picture, within its face, as placed there.
void drawButtonFace(const Control &c, HDC dc, const Text::Caption &caption, const tk::face::Placement &at)
{
    if (c.face)
        DrawIconEx(dc, at.picture.x, at.picture.y, c.face, c.faceSize, c.faceSize, 0, nullptr, DI_NORMAL);
    if (!c.font)
        return;
    Selected font(dc, c.font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, c.text);
    int baseline = at.baseline;
    for (std::size_t i = 0; i < caption.lines.size(); ++i) {
        Text::draw(dc, caption.lines[i], at.lineStarts[i], baseline - caption.ascent);
        baseline += caption.ink.pitch;
    }
}

} // namespace

COLORREF colourRef(const tk::Colour &c)
{
    switch (c.role) {
    case tk::Colour::Role::ButtonFace:
        return GetSysColor(COLOR_BTNFACE);
    case tk::Colour::Role::ButtonText:
        return GetSysColor(COLOR_BTNTEXT);
    case tk::Colour::Role::Explicit:
        break;
    }
    return RGB(c.rgb.r, c.rgb.g, c.rgb.b);
}

void drawForm(const Control &c, HDC dc, int w, int h)
{
    fill(dc, {0, 0, w, h}, c.background);
}

void drawFrame(const Control &c, HDC dc, int w, int h)
{
    fill(dc, {0, 0, w, h}, c.background);
    for (const tk::face::Fill &f : tk::face::frameOutline(w, h))
        fill(dc, f);
}

void drawLabel(const Control &c, HDC dc, int w, int h)
{
    fill(dc, {0, 0, w, h}, c.background);
    const std::wstring text = windowText(c.hwnd);
    Selected font(dc, c.font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, c.text);
    // Centred across, and down, wrapped at blanks where too wide.
    constexpr UINT format = DT_CENTER | DT_WORDBREAK | DT_NOPREFIX;
    RECT measured{0, 0, w, h};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &measured, format | DT_CALCRECT);
    const int top = (h - (measured.bottom - measured.top)) / 2;
    RECT box{0, top, w, top + (measured.bottom - measured.top)};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box, format);
}

void drawPicture(const Control &c, HDC dc, int, int)
{
    if (c.picture)
        c.picture->draw(dc);
}

LRESULT paint(const Control &c, HWND hwnd, Draw draw)
{
    Painting painting(hwnd);
    RECT client{};
    GetClientRect(hwnd, &client);
    const int w = client.right, h = client.bottom;
    c.state->toolkit.dispatch([&] { draw(c, painting.dc(), w, h); });
    return 0;
}

// Drawn whole on a canvas, then copied to the button's device context.
void drawButton(Text &text, const Control &c, const DRAWITEMSTRUCT &item)
{
    const int w = item.rcItem.right - item.rcItem.left, h = item.rcItem.bottom - item.rcItem.top;
    const bool sunken = (item.itemState & ODS_SELECTED) != 0;
    Canvas canvas(w, h);
    HDC dc = canvas.dc();
    fill(dc, {0, 0, w, h}, c.background);
    for (const tk::face::Fill &f : tk::face::buttonEdge(w, h, sunken))
        fill(dc, f);

    const tk::PixelRect face = tk::face::faceRect(w, h);
    const Text::Caption none;
    const Text::Caption &caption =
        c.font ? text.caption(c.font, narrow(windowText(c.hwnd)), tk::face::wrapWidth(w)) : none;
    const tk::face::Placement at =
        tk::face::place(face, c.face ? c.faceSize : 0, c.face ? c.faceSize : 0, caption.ink, sunken);
    IntersectClipRect(dc, face.left, face.top, face.right(), face.bottom());
    drawButtonFace(c, dc, caption, at);
    SelectClipRgn(dc, nullptr);
    if (item.itemState & ODS_FOCUS)
        for (const tk::PixelPoint &dot : tk::face::focusDots(w, h))
            PatBlt(dc, dot.x, dot.y, 1, 1, DSTINVERT);
    BitBlt(item.hDC, item.rcItem.left, item.rcItem.top, w, h, dc, 0, 0, SRCCOPY);
}

} // namespace vd::win32
