// Bookmarks and user markers whose pages the open collection does not have
// (a law imported again without the article, or the bundled collection back
// in place of the user's): they stay in their files, because the page may
// come back with another collection, and are not shown. The user is told
// once which they are.
#pragma once

#include "document/document.h"
#include "navigator/bookmark_store.h"

#include <string>
#include <vector>

namespace tavrel::nav {

// One CP932 line for each hidden bookmark (「しおり：建築基準法 5条（01A-00050000-00）」)
// and each hidden user marker (「マーカー：5条（01A-00050000-00）→ 7条（01A-00070000-00）」:
// the page with the link, then the page of the sentence it jumps to), in
// that order. A user marker is hidden when either page is missing.
std::vector<std::string> hiddenEntryLines(const Document& doc, const BookmarkStore& bookmarks);

// Shows the lines in one message when there are any and they are not the
// set reported last; the set is remembered in the settings (HiddenReported,
// a fingerprint of the lines), so the same set is not reported at every
// start, a changed set is, and a set that is empty again forgets it. True
// when the message was shown.
bool reportHiddenEntries(Document& doc, const BookmarkStore& bookmarks);

}  // namespace tavrel::nav
