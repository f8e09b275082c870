#include "platform/win32/GdiCanvas.h"

#include <windows.h>

#include <utility>

using plat::win32::FontHandle;

GdiCanvas::GdiCanvas(HDC hdc, int width, int height) : dc_(hdc) {
    size_.cx = width;
    size_.cy = height;
}

GdiCanvas::~GdiCanvas() {
    // Our fonts are deleted (as a member) once none is selected.
    if (oldFont_) SelectObject(dc_, oldFont_);
}

plat::Size GdiCanvas::ClientSize() { return size_; }

int GdiCanvas::PixelsPerInch() { return GetDeviceCaps(dc_, LOGPIXELSY); }

void GdiCanvas::FillSolid(int left, int top, int right, int bottom, uint32_t color) {
    // The context's own solid brush takes each colour: no brush is made and
    // deleted per fill (a gradient fills every row of the screen).
    SetDCBrushColor(dc_, static_cast<COLORREF>(color & 0xFFFFFF));
    RECT rect = {left, top, right, bottom};
    FillRect(dc_, &rect, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

void GdiCanvas::SelectFont(const std::string& face, int charset, int heightPx) {
    HFONT font = nullptr;
    for (const MadeFont& made : fonts_) {
        if (made.heightPx == heightPx && made.charset == charset && made.face == face) font = made.font.Get();
    }
    if (!font) {
        // A negative height asks for the character height (the cell without
        // its internal leading), as a point size does.
        FontHandle made(CreateFontA(-heightPx, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                    static_cast<DWORD>(charset), OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                    DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face.c_str()));
        if (!made) return;  // keep drawing in the font selected before
        font = made.Get();
        fonts_.push_back({face, charset, heightPx, std::move(made)});
    }
    HGDIOBJ previous = SelectObject(dc_, font);
    if (!previous || previous == HGDI_ERROR) return;
    if (!oldFont_) oldFont_ = previous;
}

void GdiCanvas::SetTextColour(uint32_t color) {
    SetTextColor(dc_, static_cast<COLORREF>(color & 0xFFFFFF));
}

void GdiCanvas::SetTransparentBackground() { SetBkMode(dc_, TRANSPARENT); }

void GdiCanvas::DrawTextAt(int x, int y, const std::string& text) {
    TextOutA(dc_, x, y, text.c_str(), static_cast<int>(text.size()));
}

plat::Size GdiCanvas::TextExtent(const std::string& text) {
    SIZE extent = {0, 0};
    if (!GetTextExtentPoint32A(dc_, text.c_str(), static_cast<int>(text.size()), &extent)) {
        return plat::Size{};
    }
    return plat::Size{static_cast<int>(extent.cx), static_cast<int>(extent.cy)};
}
