// How a horizontal scroll bar paired with a number field moves on each scroll code.
#pragma once
#include <optional>

// The new position of a scroll bar of range 0 to `top` standing at `pos`, for scroll code
// `code` (SB_*) and the dragged position `trackPos`; nothing when the bar is not to move.
// Lines step by 1 and pages by 10 (clamped to the ends); a bar already at the end it is
// pushed toward stays put; dragging follows the thumb; releasing it and other codes do nothing.
std::optional<int> StepScrollBar(int code, int pos, int trackPos, int top);
