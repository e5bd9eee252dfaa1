// Right-button gestures and the context-menu decision.
#include "textview/gesture.h"

#include <gtest/gtest.h>

namespace tavrel::textview {
namespace {

const MoveAvailability kAll{true, true, true, true};
const MoveAvailability kNone{};

TEST(Gesture, ShortDragShowsNoArrowAndSendsNothing) {
    GestureTracker g;
    ASSERT_TRUE(g.press(2, false, 100, 100));
    EXPECT_FALSE(g.move(110, 110, kAll));  // distance 14.1: integer part 14
    EXPECT_FALSE(g.move(114, 100, kAll));
    EXPECT_FALSE(g.release(114, 100, kAll));
    EXPECT_EQ(g.dir(), GestureDir::None);
}

TEST(Gesture, PressOnImageOrAnchorOrWithOtherButtonsStartsNothing) {
    GestureTracker g;
    EXPECT_FALSE(g.press(2, true, 0, 0));
    EXPECT_FALSE(g.move(100, 0, kAll));
    EXPECT_FALSE(g.press(1, false, 0, 0));
    EXPECT_FALSE(g.move(100, 0, kAll));
    EXPECT_FALSE(g.active());
}

struct DragCase {
    const char* name;
    int toX, toY;
    GestureDir dir;
    int left, top;
    int command;
};

class GestureDrag : public ::testing::TestWithParam<DragCase> {};

TEST_P(GestureDrag, ArrowPlacedHalfwayAndReleaseSendsTheCommand) {
    const DragCase& c = GetParam();
    GestureTracker g;
    ASSERT_TRUE(g.press(2, false, 200, 300));
    const auto arrow = g.move(c.toX, c.toY, kAll);
    ASSERT_TRUE(arrow);
    EXPECT_EQ(arrow->dir, c.dir);
    EXPECT_EQ(arrow->left, c.left);
    EXPECT_EQ(arrow->top, c.top);
    // The same direction again changes nothing.
    EXPECT_FALSE(g.move(c.toX, c.toY, kAll));
    EXPECT_EQ(g.release(c.toX, c.toY, kAll), c.command);
    // The arrow's direction stays until the next press (it keeps the menu shut).
    EXPECT_EQ(g.dir(), c.dir);
    g.press(2, false, 0, 0);
    EXPECT_EQ(g.dir(), GestureDir::None);
}

INSTANTIATE_TEST_SUITE_P(Directions, GestureDrag,
                         ::testing::Values(DragCase{"Right", 240, 300, GestureDir::Forward, 210, 290, 32776},
                                           DragCase{"Left", 160, 300, GestureDir::Back, 170, 290, 32775},
                                           DragCase{"Down", 200, 340, GestureDir::Next, 190, 310, 32778},
                                           // The previous-article arrow sits 20 pixels lower.
                                           DragCase{"Up", 200, 260, GestureDir::Previous, 190, 290, 32777},
                                           // Equal distances count as vertical.
                                           DragCase{"Diagonal", 230, 330, GestureDir::Next, 205, 305, 32778}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Gesture, UnavailableDirectionShowsStopAndReleaseSendsNothing) {
    GestureTracker g;
    g.press(2, false, 0, 0);
    const auto arrow = g.move(50, 0, kNone);
    ASSERT_TRUE(arrow);
    EXPECT_EQ(arrow->dir, GestureDir::Stop);
    // Stop is not shown twice.
    EXPECT_FALSE(g.move(60, 0, kNone));
    EXPECT_FALSE(g.release(60, 0, kNone));
    EXPECT_EQ(g.dir(), GestureDir::Stop);
}

TEST(Gesture, ChangingDirectionReplacesTheArrowAndReleaseFollowsTheEndPoint) {
    GestureTracker g;
    g.press(2, false, 0, 0);
    ASSERT_EQ(g.move(40, 0, kAll)->dir, GestureDir::Forward);
    ASSERT_EQ(g.move(0, 40, kAll)->dir, GestureDir::Next);
    // Released left of the start after all.
    EXPECT_EQ(g.release(-50, 10, kAll), 32775);
}

TEST(Gesture, ArrowImagesAndMarkup) {
    EXPECT_STREQ(arrowImage(GestureDir::Forward), "move_fwrd.gif");
    EXPECT_STREQ(arrowImage(GestureDir::Back), "move_back.gif");
    EXPECT_STREQ(arrowImage(GestureDir::Next), "move_next.gif");
    EXPECT_STREQ(arrowImage(GestureDir::Previous), "move_befo.gif");
    EXPECT_STREQ(arrowImage(GestureDir::Stop), "move_stop.gif");
    EXPECT_EQ(arrowHtml("/img/system/move_fwrd.gif", 15, 25),
              "<img id=\"move-direction-image\" border=\"0\" src=\"/img/system/move_fwrd.gif\" width=\"20\" "
              "height=\"20\" style=\"position: absolute; top:25; left:15\">");
}

TEST(ContextMenu, Decision) {
    EXPECT_EQ(contextMenuAction(GestureDir::None, false, "", true), ContextMenuAction::Menu);
    EXPECT_EQ(contextMenuAction(GestureDir::Back, false, "", true), ContextMenuAction::Nothing);
    EXPECT_EQ(contextMenuAction(GestureDir::Stop, false, "", false), ContextMenuAction::Nothing);
    // Anchors: page links go to the pinpoint list (when on), others get nothing.
    EXPECT_EQ(contextMenuAction(GestureDir::None, true, "http://01A-00030000_TAVREL", true),
              ContextMenuAction::PinPointList);
    EXPECT_EQ(contextMenuAction(GestureDir::None, true, "http://01a-00030000-00_tavrel/", false),
              ContextMenuAction::Menu);
    EXPECT_EQ(contextMenuAction(GestureDir::None, true, "http://01A-0003_TAVREL", true), ContextMenuAction::Nothing);
    EXPECT_EQ(contextMenuAction(GestureDir::None, true, "https://example.org/", true), ContextMenuAction::Nothing);
}

}  // namespace
}  // namespace tavrel::textview
