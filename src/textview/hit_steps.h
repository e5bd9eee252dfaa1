// Stepping through the marked words of a page ("3/17件"): F3 and Shift+F3,
// and the next / previous buttons of the in-page search dialog, move from hit
// to hit in the order the hits stand in the page, wrapping round at either
// end. The page reports how many hits it holds (a hit painted over several
// text pieces counts once); this file decides which hit comes next, builds
// the scripts that count the hits and bring one into view, and the status
// text.
#pragma once

#include <optional>
#include <string>

namespace tavrel::textview {

enum class HitDirection { Next, Previous };

// The hit after (or before) current among count hits, wrapping round; no
// current hit (a fresh marking) starts at the first hit going forward and at
// the last going back. nullopt when there are no hits.
std::optional<int> steppedHit(std::optional<int> current, int count, HitDirection direction);

// "n/N件" for the zero-based hit index of count hits (CP932).
std::string hitPositionText(int index, int count);

// The script that evaluates to the number of hits marked in the page.
std::string countHitsScript();
// The script that scrolls hit index (zero-based, page order) to the middle
// of the view and outlines it as the current hit (the previous one loses its
// outline); evaluates to the number of hits.
std::string showHitScript(int index);

// The view's place among the hits of its page.
class HitCursor {
  public:
    // The marks changed or the page was replaced: no current hit.
    void reset() { current_.reset(); }
    // One step among count hits (as the page reports them): the new index,
    // or nullopt (and no current hit) when there are none.
    std::optional<int> step(int count, HitDirection direction);
    std::optional<int> current() const { return current_; }

  private:
    std::optional<int> current_;
};

}  // namespace tavrel::textview
