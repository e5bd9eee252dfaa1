// Where a restored window goes when the screens have changed since its
// placement was stored (a monitor unplugged, a smaller resolution): a window
// whose title bar can still be reached stays where it was; any other is
// moved, and shrunk if need be, onto the screen it overlaps most (or the
// nearest one).
#pragma once

#include <cstdint>
#include <vector>

namespace tavrel {

struct ScreenRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    int64_t right() const { return int64_t{left} + width; }
    int64_t bottom() const { return int64_t{top} + height; }
    bool operator==(const ScreenRect&) const = default;
};

// How much of the window's top edge must lie on one screen for the window to
// stay where it is: enough to take hold of the title bar.
constexpr int kReachableTitleWidth = 100;

// The rectangle between stored edges; a reversed or absurd extent (a damaged
// setting) is cut to 0 .. kMaximumExtent.
constexpr int kMaximumExtent = 1 << 16;
ScreenRect rectFromEdges(int left, int top, int right, int bottom);

// window: the stored normal rectangle; screens: the available area of each
// screen (without panels). Returns the rectangle to restore; the window
// unchanged when there is no screen at all.
ScreenRect fitOnScreens(const ScreenRect& window, const std::vector<ScreenRect>& screens);

}  // namespace tavrel
