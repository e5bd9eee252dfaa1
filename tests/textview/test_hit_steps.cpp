// Stepping through the hits of a marked page: the index arithmetic with its
// wrap-round at both ends, a fresh start after new marks, a page that now
// holds fewer hits, and the "n/N件" text.
#include "text/sjis.h"
#include "textview/hit_steps.h"

#include <gtest/gtest.h>

namespace tavrel::textview {
namespace {

using D = HitDirection;

TEST(HitSteps, ForwardAndBackWrapRound) {
    HitCursor c;
    // Fresh marks: F3 starts at the first hit, then on to the last and round.
    EXPECT_EQ(c.step(3, D::Next), 0);
    EXPECT_EQ(c.step(3, D::Next), 1);
    EXPECT_EQ(c.step(3, D::Next), 2);
    EXPECT_EQ(c.step(3, D::Next), 0);
    // Shift+F3 from the first goes round to the last.
    EXPECT_EQ(c.step(3, D::Previous), 2);
    EXPECT_EQ(c.step(3, D::Previous), 1);
    // A single hit stays where it is either way.
    HitCursor one;
    EXPECT_EQ(one.step(1, D::Previous), 0);
    EXPECT_EQ(one.step(1, D::Previous), 0);
    EXPECT_EQ(one.step(1, D::Next), 0);
}

TEST(HitSteps, FreshStartsAndVanishedHits) {
    HitCursor c;
    // Shift+F3 on fresh marks starts at the last hit.
    EXPECT_EQ(c.step(17, D::Previous), 16);
    c.reset();
    EXPECT_EQ(c.current(), std::nullopt);
    EXPECT_EQ(c.step(17, D::Next), 0);
    // The page lost its marks (a reload): no hit, and the next marks start afresh.
    EXPECT_EQ(c.step(0, D::Next), std::nullopt);
    EXPECT_EQ(c.current(), std::nullopt);
    EXPECT_EQ(c.step(5, D::Next), 0);
    // A current hit beyond what the page now holds starts over at the right end.
    EXPECT_EQ(c.step(5, D::Previous), 4);
    EXPECT_EQ(steppedHit(4, 2, D::Next), 0);
    EXPECT_EQ(steppedHit(4, 2, D::Previous), 1);
    EXPECT_EQ(steppedHit(-3, 2, D::Previous), 1);
}

TEST(HitSteps, PositionTextAndScripts) {
    EXPECT_EQ(hitPositionText(2, 17), text::fromUtf8("3/17件"));
    EXPECT_EQ(hitPositionText(0, 1), text::fromUtf8("1/1件"));
    // The show script carries the index it was asked for and counts like the count script.
    const std::string show = showHitScript(12);
    EXPECT_NE(show.find("var at=12;"), std::string::npos);
    EXPECT_NE(show.find("span[data-tavrel-mark]"), std::string::npos);
    EXPECT_NE(countHitsScript().find("span[data-tavrel-mark]"), std::string::npos);
}

}  // namespace
}  // namespace tavrel::textview
