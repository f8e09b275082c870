#pragma once
// How much of a progress bar control is filled for a position. A run moves
// its bar once per item and the control repaints itself for every position it
// is sent, so the window layer sends a position only when the control would
// draw it differently.

namespace plat {

// The filled length, in pixels, that a styled control draws for the position
// on a bar whose inside is `inner` pixels long: the position's share of it,
// rounded to the nearest pixel. A style that fills in blocks changes its
// drawing only where this length changes, too.
int DrawnFill(int inner, int min, int max, int position);

}  // namespace plat
