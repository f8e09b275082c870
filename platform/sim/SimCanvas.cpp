#include "platform/sim/SimCanvas.h"

namespace sim {

RecordingCanvas::RecordingCanvas(int width, int height, int pixelsPerInch) : ppi_(pixelsPerInch) {
    SetClientSize(width, height);
}

void RecordingCanvas::SetClientSize(int width, int height) {
    size_.cx = width;
    size_.cy = height;
}

void RecordingCanvas::FillSolid(int left, int top, int right, int bottom, uint32_t color) {
    CanvasOp op;
    op.kind = CanvasOpKind::Fill;
    op.left = left;
    op.top = top;
    op.right = right;
    op.bottom = bottom;
    op.color = color;
    ops_.push_back(op);
}

void RecordingCanvas::SelectFont(const std::string& face, int charset, int heightPx) {
    font_.face = face;
    font_.charset = charset;
    font_.height = heightPx;
}

void RecordingCanvas::DrawTextAt(int x, int y, const std::string& text) {
    CanvasOp op;
    op.kind = CanvasOpKind::Text;
    op.left = x;
    op.top = y;
    plat::Size extent = MeasureText(text, font_.height);
    op.right = x + extent.cx;
    op.bottom = y + extent.cy;
    op.color = textColor_;
    op.text = text;
    op.font = font_;
    op.transparent = transparent_;
    ops_.push_back(op);
}

plat::Size RecordingCanvas::MeasureText(const std::string& text, int heightPx) {
    plat::Size extent;
    extent.cx = static_cast<int>(text.size()) * heightPx / 2;
    extent.cy = heightPx;
    return extent;
}

plat::Size RecordingCanvas::TextExtent(const std::string& text) { return MeasureText(text, font_.height); }

std::vector<CanvasOp> RecordingCanvas::Fills() const {
    std::vector<CanvasOp> fills;
    for (const CanvasOp& op : ops_) {
        if (op.kind == CanvasOpKind::Fill) fills.push_back(op);
    }
    return fills;
}

std::vector<CanvasOp> RecordingCanvas::Texts() const {
    std::vector<CanvasOp> texts;
    for (const CanvasOp& op : ops_) {
        if (op.kind == CanvasOpKind::Text) texts.push_back(op);
    }
    return texts;
}

}  // namespace sim
