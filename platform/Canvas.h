#pragma once
// Drawing on a window's client area, in device pixels.
#include <cstdint>
#include <string>

#include "platform/Window.h"

namespace plat {

class Canvas {
public:
    virtual ~Canvas() = default;
    virtual Size ClientSize() = 0;
    virtual int PixelsPerInch() = 0;  // the screen's logical pixels per inch (LOGPIXELSY)
    // A solid fill of [left, right) x [top, bottom); colours in the Windows layout.
    virtual void FillSolid(int left, int top, int right, int bottom, uint32_t color) = 0;
    // Selects a regular font of that face and character set, heightPx high.
    virtual void SelectFont(const std::string& face, int charset, int heightPx) = 0;
    virtual void SetTextColour(uint32_t color) = 0;
    virtual void SetTransparentBackground() = 0;
    virtual void DrawTextAt(int x, int y, const std::string& text) = 0;
    virtual Size TextExtent(const std::string& text) = 0;  // GetTextExtentPoint32A
};

}  // namespace plat
