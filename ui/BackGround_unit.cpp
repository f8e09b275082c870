#include "ui/BackGround_unit.h"

#include <cmath>

#include "platform/Canvas.h"
#include "platform/System.h"
#include "project/ProjectProperty_unit.h"

namespace {

constexpr uint32_t kShadowColor = 0x000000;
constexpr uint32_t kTitleColor = 0x00FFFF;  // yellow: red 255, green 255, blue 0
constexpr int kShadowOffset = 4;
constexpr int kMargin = 32;

double Component(uint32_t color, int shift) { return static_cast<double>((color >> shift) & 0xFF); }

}  // namespace

uint32_t BlendBandColor(uint32_t top, uint32_t bottom, float t) {
    // t has 24 significant bits and each component 8, so the products and the
    // sum are exact in double; only the final rounding (half to even) remains.
    // On x87 a float may be held at extended precision; a volatile store
    // forces the single-precision rounding that the ratio is defined with.
    const volatile float single = t;
    const double tt = single;
    uint32_t color = 0;
    for (int shift : {0, 8, 16}) {
        double value = (1.0 - tt) * Component(top, shift) + tt * Component(bottom, shift);
        long rounded = std::lrint(value);  // the default mode rounds half to even
        color |= static_cast<uint32_t>(rounded & 0xFF) << shift;
    }
    return color;
}

int PointsToPixels(int sizePt, int pixelsPerInch) {
    // MulDiv(size, ppi, 72): rounded to the nearest integer, halves away from zero.
    long long product = static_cast<long long>(sizePt) * pixelsPerInch;
    long long rounded = product >= 0 ? (product + 36) / 72 : -((-product + 36) / 72);
    return static_cast<int>(rounded);
}

TBackGroundForm::TBackGroundForm() : plat::Form("BackGroundForm") {
    frame = plat::FormFrame::Borderless;
    centred = false;
    // Disabled: a click never activates it, so the wizard keeps the focus.
    takesInput = false;
    font.face = "ＭＳ Ｐゴシック";
    font.charset = plat::kShiftJisCharset;
    font.height = 12;
    OnPaint = [this](plat::Canvas& canvas) { FormPaint(canvas); };
    OnClose = [this] { FormClose(); };
    FormCreate();
    SetVisible(false);
}

void TBackGroundForm::FormCreate() {
    // No border, so the client area is the whole primary screen. It is never
    // resized afterwards.
    SetBounds({0, 0, plat::ScreenWidth(), plat::ScreenHeight()});
}

void TBackGroundForm::FormPaint(plat::Canvas& canvas) {
    // Every paint redraws the whole client area, whatever part was uncovered.
    PaintGradient(canvas);
    PaintTitles(canvas);
}

void TBackGroundForm::FormClose() {
    // The close frees the window: destroying it here makes that explicit; the
    // window layer's own destruction after the close handler is then a no-op.
    Destroy();
}

void TBackGroundForm::PaintGradient(plat::Canvas& canvas) {
    const int height = canvas.ClientSize().cy;
    if (height <= 0) return;
    for (int row = 0; row < height; ++row) {
        // The ratio is used in single precision; the bottom row gets exactly 1.
        float t = static_cast<float>(static_cast<double>(row + 1) / static_cast<double>(height));
        PaintBand(canvas, row, t);
    }
}

void TBackGroundForm::PaintBand(plat::Canvas& canvas, int row, float t) {
    const int width = canvas.ClientSize().cx;
    canvas.FillSolid(0, row, width, row + 1, BlendBandColor(GradientColors[0], GradientColors[1], t));
}

void TBackGroundForm::PaintTitles(plat::Canvas& canvas) {
    if (!Project) return;  // nothing to show before the wizard hands over its project
    const plat::Size client = canvas.ClientSize();

    DrawShadowText(canvas, kMargin, kMargin, 32, Project->Name1);
    // Measured with the 32-point font that drawing the name left selected.
    const plat::Size name = canvas.TextExtent(Project->Name1);
    DrawShadowText(canvas, name.cx + 48, name.cy / 2 + 32, 16, Project->Version);
    DrawShadowText(canvas, kMargin, name.cy + 40, 16, Project->Name2);

    canvas.SelectFont(font.face, font.charset, PointsToPixels(16, canvas.PixelsPerInch()));
    const plat::Size copyright = canvas.TextExtent(Project->Copyright);
    // A copyright wider than the screen runs off the left edge; it is not shortened.
    DrawShadowText(canvas, client.cx - kMargin - copyright.cx, client.cy - kMargin - copyright.cy, 16,
                   Project->Copyright);
}

void TBackGroundForm::DrawShadowText(plat::Canvas& canvas, int x, int y, int sizePt,
                                     const std::string& text) {
    canvas.SetTransparentBackground();
    canvas.SelectFont(font.face, font.charset, PointsToPixels(sizePt, canvas.PixelsPerInch()));
    canvas.SetTextColour(kShadowColor);
    canvas.DrawTextAt(x + kShadowOffset, y + kShadowOffset, text);
    canvas.SetTextColour(kTitleColor);
    canvas.DrawTextAt(x, y, text);
}
