// Right-button gestures on a law page: a drag of more than 14 pixels shows
// an arrow for the direction (forward, back, next or previous article, or
// "stop" when that move is not available); the release sends the command.
// Coordinates are page coordinates (client position plus scroll offset).
#pragma once

#include <optional>
#include <string>

namespace tavrel::textview {

enum class GestureDir { None = 0, Forward = 1, Back = 2, Next = 3, Previous = 4, Stop = 5 };

// Availability of the four moves when the gesture is tracked.
struct MoveAvailability {
    bool forward = false, back = false, next = false, previous = false;
};

// An arrow to put into the page (replacing the one shown).
struct ArrowChange {
    GestureDir dir;
    int left, top;
};

// The arrow image of a direction ("move_fwrd.gif" …), in the image folder's
// "system" folder.
const char* arrowImage(GestureDir dir);
// The page's HTML of an arrow at (left, top), 20 x 20 pixels, inserted before
// the element named "insert_point".
std::string arrowHtml(const std::string& src, int left, int top);
inline constexpr const char* kArrowId = "move-direction-image";

class GestureTracker {
  public:
    // Mouse down: button 2 is the right one; a press on an image or anchor
    // starts no gesture. True when a gesture started.
    bool press(int button, bool onImageOrAnchor, int x, int y);
    // Mouse move: the arrow to show now, if it changes.
    std::optional<ArrowChange> move(int x, int y, const MoveAvailability& can);
    // Mouse up: the command to send (32775 … 32778) when a direction arrow
    // is shown and its move is available; nullopt otherwise (the arrow, if
    // any, is then removed).
    std::optional<int> release(int x, int y, const MoveAvailability& can);

    bool active() const { return active_; }
    // Kept until the next press: while set, the context menu stays shut.
    GestureDir dir() const { return dir_; }

  private:
    bool active_ = false;
    int startX_ = 0, startY_ = 0;
    GestureDir dir_ = GestureDir::None;
};

// What a context-menu request on a page does.
enum class ContextMenuAction { Nothing, PinPointList, Menu };
// hasAnchor: the element under the mouse is an anchor with href.
ContextMenuAction contextMenuAction(GestureDir shownArrow, bool hasAnchor, const std::string& href, bool pinPointOn);

}  // namespace tavrel::textview
