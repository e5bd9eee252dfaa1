#include "textview/gesture.h"

#include "text/sjis.h"
#include "textview/link_target.h"

#include <cmath>
#include <cstdlib>

namespace tavrel::textview {

namespace {
constexpr int kMinDistance = 14;
constexpr int kArrowHalf = 10;
constexpr int kArrowSize = 20;
constexpr int kBack = 32775, kForward = 32776, kPrevious = 32777, kNext = 32778;
}  // namespace

const char* arrowImage(GestureDir dir) {
    switch (dir) {
        case GestureDir::Forward:
            return "move_fwrd.gif";
        case GestureDir::Back:
            return "move_back.gif";
        case GestureDir::Next:
            return "move_next.gif";
        case GestureDir::Previous:
            return "move_befo.gif";
        case GestureDir::Stop:
            return "move_stop.gif";
        case GestureDir::None:
            break;
    }
    return "";
}

std::string arrowHtml(const std::string& src, int left, int top) {
    return text::format(
        "<img id=\"%s\" border=\"0\" src=\"%s\" width=\"%d\" height=\"%d\" style=\"position: absolute; top:%ld; "
        "left:%ld\">",
        kArrowId, src.c_str(), kArrowSize, kArrowSize, static_cast<long>(top), static_cast<long>(left));
}

bool GestureTracker::press(int button, bool onImageOrAnchor, int x, int y) {
    dir_ = GestureDir::None;
    active_ = false;
    if (button != 2 || onImageOrAnchor) return false;
    active_ = true;
    startX_ = x;
    startY_ = y;
    return true;
}

std::optional<ArrowChange> GestureTracker::move(int x, int y, const MoveAvailability& can) {
    if (!active_) return std::nullopt;
    const int dx = x - startX_, dy = y - startY_;
    const int distance = static_cast<int>(std::sqrt(static_cast<double>(dx) * dx + static_cast<double>(dy) * dy));
    if (distance <= kMinDistance) return std::nullopt;
    const int left = (startX_ + x) / 2 - kArrowHalf;
    int top = (startY_ + y) / 2 - kArrowHalf;

    GestureDir want = GestureDir::None;
    if (std::abs(dy) < std::abs(dx)) {
        if (x > startX_ && dir_ != GestureDir::Forward)
            want = can.forward ? GestureDir::Forward : GestureDir::Stop;
        else if (x < startX_ && dir_ != GestureDir::Back)
            want = can.back ? GestureDir::Back : GestureDir::Stop;
    } else {
        if (y > startY_ && dir_ != GestureDir::Next) {
            want = can.next ? GestureDir::Next : GestureDir::Stop;
        } else if (y < startY_ && dir_ != GestureDir::Previous) {
            want = can.previous ? GestureDir::Previous : GestureDir::Stop;
            if (want == GestureDir::Previous) top += kArrowSize;
        }
    }
    if (want == GestureDir::None || want == dir_) return std::nullopt;
    dir_ = want;
    return ArrowChange{want, left, top};
}

std::optional<int> GestureTracker::release(int x, int y, const MoveAvailability& can) {
    active_ = false;
    if (dir_ == GestureDir::None) return std::nullopt;
    const int dx = x - startX_, dy = y - startY_;
    int command = 0;
    bool available = false;
    if (std::abs(dx) > std::abs(dy)) {
        command = x > startX_ ? kForward : kBack;
        available = x > startX_ ? can.forward : can.back;
    } else {
        command = y > startY_ ? kNext : kPrevious;
        available = y > startY_ ? can.next : can.previous;
    }
    if (!available) return std::nullopt;
    return command;
}

ContextMenuAction contextMenuAction(GestureDir shownArrow, bool hasAnchor, const std::string& href, bool pinPointOn) {
    if (shownArrow != GestureDir::None) return ContextMenuAction::Nothing;
    if (!hasAnchor) return ContextMenuAction::Menu;
    if (linkTarget(href).empty()) return ContextMenuAction::Nothing;
    return pinPointOn ? ContextMenuAction::PinPointList : ContextMenuAction::Menu;
}

}  // namespace tavrel::textview
