#pragma once
// A canvas that records what is drawn on it, for native tests of forms that
// paint themselves. Text is measured deterministically from the selected
// font's height: width = bytes x height / 2, height = height.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Canvas.h"

namespace sim {

struct CanvasFont {
    std::string face;
    int charset = 0;
    int height = 0;  // character height in pixels; 0 until a font is selected
};

enum class CanvasOpKind { Fill, Text };

// One drawing call, with the state in effect when it was made.
struct CanvasOp {
    CanvasOpKind kind = CanvasOpKind::Fill;
    // Fill: [left, right) x [top, bottom). Text: the top-left corner at (left, top).
    int left = 0, top = 0, right = 0, bottom = 0;
    uint32_t color = 0;  // the fill colour, or the text colour in effect
    std::string text;
    CanvasFont font;           // text only
    bool transparent = false;  // text only: the background mode in effect
};

class RecordingCanvas : public plat::Canvas {
public:
    RecordingCanvas(int width, int height, int pixelsPerInch = 96);

    void SetClientSize(int width, int height);
    void SetPixelsPerInch(int ppi) { ppi_ = ppi; }

    plat::Size ClientSize() override { return size_; }
    int PixelsPerInch() override { return ppi_; }
    void FillSolid(int left, int top, int right, int bottom, uint32_t color) override;
    void SelectFont(const std::string& face, int charset, int heightPx) override;
    void SetTextColour(uint32_t color) override { textColor_ = color; }
    void SetTransparentBackground() override { transparent_ = true; }
    void DrawTextAt(int x, int y, const std::string& text) override;
    plat::Size TextExtent(const std::string& text) override;

    // The extent TextExtent gives for a text in a font of that height.
    static plat::Size MeasureText(const std::string& text, int heightPx);

    const std::vector<CanvasOp>& Ops() const { return ops_; }
    std::vector<CanvasOp> Fills() const;
    std::vector<CanvasOp> Texts() const;
    const CanvasFont& Font() const { return font_; }
    void Clear() { ops_.clear(); }

private:
    plat::Size size_;
    int ppi_;
    CanvasFont font_;
    uint32_t textColor_ = 0;
    bool transparent_ = false;  // opaque text background until set, as on a fresh device context
    std::vector<CanvasOp> ops_;
};

}  // namespace sim
