#pragma once
// The full-screen window behind the install wizard: a vertical colour
// gradient with the product's titles drawn over it in a drop shadow. It takes
// no input and does no work of its own; it exists only to be painted.
#include <cstdint>
#include <string>

#include "platform/Window.h"

namespace plat {
class Canvas;
}
class TProjectProperty;

class TBackGroundForm : public plat::Form {
public:
    TBackGroundForm();

    void FormCreate();
    void FormPaint(plat::Canvas& canvas);
    void FormClose();

    void PaintGradient(plat::Canvas& canvas);
    // One pixel row in the blend of the two colours at ratio t (0: top colour, 1: bottom).
    void PaintBand(plat::Canvas& canvas, int row, float t);
    void PaintTitles(plat::Canvas& canvas);
    void DrawShadowText(plat::Canvas& canvas, int x, int y, int sizePt, const std::string& text);

    // Colours in the Windows layout (red in the low byte); the top byte is ignored.
    // Entry 0 is the colour towards the top, entry 1 the colour of the bottom row.
    uint32_t GradientColors[2] = {0, 0};
    // The wizard owns the project and outlives this window.
    TProjectProperty* Project = nullptr;
};

// The blended colour of one band: each component (1 - t) * top + t * bottom,
// rounded half to even; the top bytes of both colours are ignored.
uint32_t BlendBandColor(uint32_t top, uint32_t bottom, float t);
// A font size in points as a character height in pixels at the given pixels per inch.
int PointsToPixels(int sizePt, int pixelsPerInch);
