#include "document/screen_fit.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace tavrel {

namespace {

int64_t overlap(int64_t a0, int64_t a1, int64_t b0, int64_t b1) {
    return std::max<int64_t>(0, std::min(a1, b1) - std::max(a0, b0));
}

int64_t sharedArea(const ScreenRect& a, const ScreenRect& b) {
    return overlap(a.left, a.right(), b.left, b.right()) * overlap(a.top, a.bottom(), b.top, b.bottom());
}

// The distance (squared) from the window's centre to the nearest point of s.
double distanceToCentre(const ScreenRect& w, const ScreenRect& s) {
    const int64_t cx = int64_t{w.left} + w.width / 2;
    const int64_t cy = int64_t{w.top} + w.height / 2;
    const double dx = static_cast<double>(cx < s.left ? s.left - cx : (cx > s.right() ? cx - s.right() : 0));
    const double dy = static_cast<double>(cy < s.top ? s.top - cy : (cy > s.bottom() ? cy - s.bottom() : 0));
    return dx * dx + dy * dy;
}

bool titleReachable(const ScreenRect& w, const ScreenRect& s) {
    const bool topOnScreen = w.top >= s.top && w.top < s.bottom();
    return topOnScreen && overlap(w.left, w.right(), s.left, s.right()) >= std::min(kReachableTitleWidth, w.width);
}

}  // namespace

ScreenRect rectFromEdges(int left, int top, int right, int bottom) {
    const auto extent = [](int from, int to) {
        return static_cast<int>(std::clamp<int64_t>(int64_t{to} - from, 0, kMaximumExtent));
    };
    return ScreenRect{left, top, extent(left, right), extent(top, bottom)};
}

ScreenRect fitOnScreens(const ScreenRect& window, const std::vector<ScreenRect>& allScreens) {
    std::vector<ScreenRect> screens;
    for (const ScreenRect& s : allScreens)
        if (s.width > 0 && s.height > 0) screens.push_back(s);
    if (screens.empty()) return window;
    for (const ScreenRect& s : screens)
        if (titleReachable(window, s)) return window;

    // The screen the window overlaps most; without any overlap, the nearest.
    const ScreenRect* target = nullptr;
    int64_t bestArea = 0;
    for (const ScreenRect& s : screens) {
        const int64_t a = sharedArea(window, s);
        if (a > bestArea) {
            bestArea = a;
            target = &s;
        }
    }
    if (!target) {
        double bestDistance = std::numeric_limits<double>::max();
        for (const ScreenRect& s : screens) {
            const double d = distanceToCentre(window, s);
            if (d < bestDistance) {
                bestDistance = d;
                target = &s;
            }
        }
    }

    ScreenRect out = window;
    out.width = std::min(window.width, target->width);
    out.height = std::min(window.height, target->height);
    out.left = std::clamp(window.left, target->left, target->left + target->width - out.width);
    out.top = std::clamp(window.top, target->top, target->top + target->height - out.height);
    return out;
}

}  // namespace tavrel
