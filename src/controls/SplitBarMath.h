#pragma once

// The arithmetic of dragging a split bar, on the one axis along which the bar moves: x for a
// bar that moves left and right, y for one that moves up and down. "Leading" is the bar's left
// (or top) edge; the ghost's far edge is leading + thickness.
namespace SplitBarMath {

enum SplitOrientation { spHorizontal, spVertical };
// The edge of its pane on which the bar sits: alRight means the pane lies left of the bar.
enum Alignment { alNone, alLeft, alRight, alTop, alBottom };

// The form's client area on the moving axis, in screen coordinates; high is one past the
// last pixel.
struct Limits
{
    int low;
    int high;
};

// The ghost's leading edge for a pointer position, keeping the grab offset.
int ghostLeading(int pointer, int grabOffset);

// Keeps the ghost inside the form: the side where the pane lies keeps MinOffset, the other
// MaxOffset. The low side is corrected first and the high side last, so when the form is too
// small for both the high side wins. alNone leaves the ghost free.
int clampLeading(int leading, int thickness, Limits limits, Alignment alignment,
                 int minOffset, int maxOffset);

// How far the bar moved toward the low side (left or up) between press and release.
int travel(int startLeading, int finalLeading);

// The pane's new width (alLeft, alRight) or height (alTop, alBottom) after the travel. The
// pane never becomes thinner than minimum, so the bar inside it stays within reach.
int newPaneSize(Alignment alignment, int size, int travel, int minimum);

// Whether the alignment resizes the pane's width (else its height, or nothing for alNone).
bool resizesWidth(Alignment alignment);

} // namespace SplitBarMath
