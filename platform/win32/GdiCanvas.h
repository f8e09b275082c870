#pragma once
// The canvas of a real window: GDI calls on a device context that the caller
// owns (BeginPaint/EndPaint). Usage inside WM_PAINT:
//     GdiCanvas canvas(hdc, clientWidth, clientHeight);
//     form.OnPaint(canvas);
// The canvas owns only the fonts it creates, each made once however often it
// is selected; the device context's own font is selected back when the
// canvas goes away.
#include <string>
#include <vector>

#include "platform/Canvas.h"
#include "platform/win32/Handles.h"

class GdiCanvas : public plat::Canvas {
public:
    GdiCanvas(HDC hdc, int width, int height);
    ~GdiCanvas() override;
    GdiCanvas(const GdiCanvas&) = delete;
    GdiCanvas& operator=(const GdiCanvas&) = delete;

    plat::Size ClientSize() override;
    int PixelsPerInch() override;
    void FillSolid(int left, int top, int right, int bottom, uint32_t color) override;
    void SelectFont(const std::string& face, int charset, int heightPx) override;
    void SetTextColour(uint32_t color) override;
    void SetTransparentBackground() override;
    void DrawTextAt(int x, int y, const std::string& text) override;
    plat::Size TextExtent(const std::string& text) override;

private:
    struct MadeFont {
        std::string face;
        int charset;
        int heightPx;
        plat::win32::FontHandle font;
    };

    HDC dc_;
    plat::Size size_;
    HGDIOBJ oldFont_ = nullptr;   // the context's font before our first selection
    std::vector<MadeFont> fonts_;  // deleted after oldFont_ is back
};
