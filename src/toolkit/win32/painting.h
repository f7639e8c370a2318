// How the windows of our classes and our owner-drawn buttons are painted.
#pragma once

#include "toolkit/layout.h"

#include <windows.h>

namespace vd::win32 {

struct Control;
class Text;

COLORREF colourRef(const tk::Colour &c);

// How each of our classes draws its client area, w x h pixels.
using Draw = void (*)(const Control &c, HDC dc, int w, int h);
void drawForm(const Control &c, HDC dc, int w, int h);
// A frame without a title: its background colour and an etched outline.
void drawFrame(const Control &c, HDC dc, int w, int h);
// The caption line.
void drawLabel(const Control &c, HDC dc, int w, int h);
// A picture control: its picture, at the control's size.
void drawPicture(const Control &c, HDC dc, int w, int h);

// WM_PAINT: the whole client area, drawn by one of our handlers.
LRESULT paint(const Control &c, HWND hwnd, Draw draw);

// A button of ours, as WM_DRAWITEM asks.
void drawButton(Text &text, const Control &c, const DRAWITEMSTRUCT &item);

} // namespace vd::win32
