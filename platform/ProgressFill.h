#pragma once
// How much of a progress bar control is filled for a position. A run moves
// its bar once per item and the control repaints itself for every position it
// is sent, so the window layer sends a position only when the control would
// draw it differently.

namespace plat {

// What a styled control fills: its bar inside the frame, `inner` pixels long
// (0 when the drawing is not known), filled in whole blocks of `block` pixels
// (a block and the gap after it; 1 for a bar drawn to the pixel), the last
// block cut at the end.
struct ProgressBarLook {
    int inner = 0;
    int block = 1;
};

// The filled length that the control draws for the position: the position's
// share of the bar, rounded to the nearest pixel, then up to whole blocks.
int DrawnFill(const ProgressBarLook& look, int min, int max, int position);

// MulDiv for non-negative operands: a * b / c rounded half up; 0 when c is 0.
int MulDivRounded(int a, int b, int c);

}  // namespace plat
