#include "platform/win32/GdiCanvas.h"

#include <windows.h>

namespace {

HDC Dc(void* dc) { return static_cast<HDC>(dc); }

// A GDI object deleted when it goes out of scope (never while selected).
class GdiObject {
public:
    explicit GdiObject(HGDIOBJ object) : object_(object) {}
    ~GdiObject() {
        if (object_) DeleteObject(object_);
    }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    HGDIOBJ Get() const { return object_; }

private:
    HGDIOBJ object_;
};

}  // namespace

GdiCanvas::GdiCanvas(void* hdc, int width, int height) : dc_(hdc) {
    size_.cx = width;
    size_.cy = height;
}

GdiCanvas::~GdiCanvas() {
    if (oldFont_) SelectObject(Dc(dc_), static_cast<HGDIOBJ>(oldFont_));
    if (font_) DeleteObject(static_cast<HGDIOBJ>(font_));
}

plat::Size GdiCanvas::ClientSize() { return size_; }

int GdiCanvas::PixelsPerInch() { return GetDeviceCaps(Dc(dc_), LOGPIXELSY); }

void GdiCanvas::FillSolid(int left, int top, int right, int bottom, uint32_t color) {
    GdiObject brush(CreateSolidBrush(static_cast<COLORREF>(color & 0xFFFFFF)));
    if (!brush.Get()) return;
    RECT rect = {left, top, right, bottom};
    FillRect(Dc(dc_), &rect, static_cast<HBRUSH>(brush.Get()));
}

void GdiCanvas::SelectFont(const std::string& face, int charset, int heightPx) {
    // A negative height asks for the character height (the cell without its
    // internal leading), as a point size does.
    HFONT font = CreateFontA(-heightPx, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                             static_cast<DWORD>(charset), OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                             DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face.c_str());
    if (!font) return;  // keep drawing in the font selected before
    HGDIOBJ previous = SelectObject(Dc(dc_), font);
    if (!previous || previous == HGDI_ERROR) {
        DeleteObject(font);
        return;
    }
    if (!oldFont_) oldFont_ = previous;
    // The font of an earlier selection is no longer selected: release it now.
    if (font_) DeleteObject(static_cast<HGDIOBJ>(font_));
    font_ = font;
}

void GdiCanvas::SetTextColour(uint32_t color) {
    SetTextColor(Dc(dc_), static_cast<COLORREF>(color & 0xFFFFFF));
}

void GdiCanvas::SetTransparentBackground() { SetBkMode(Dc(dc_), TRANSPARENT); }

void GdiCanvas::DrawTextAt(int x, int y, const std::string& text) {
    TextOutA(Dc(dc_), x, y, text.c_str(), static_cast<int>(text.size()));
}

plat::Size GdiCanvas::TextExtent(const std::string& text) {
    SIZE extent = {0, 0};
    if (!GetTextExtentPoint32A(Dc(dc_), text.c_str(), static_cast<int>(text.size()), &extent)) {
        return plat::Size{};
    }
    return plat::Size{static_cast<int>(extent.cx), static_cast<int>(extent.cy)};
}
