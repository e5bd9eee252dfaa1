// The right-aligned history block under the caption of a notification page:
// when and by which ministry the notification was promulgated, and its latest
// revision, drawn from T_告.
#pragma once

#include <string>

namespace tavrel {
class Document;
}

namespace tavrel::render {

// The history block of the notification page idFN (every page of a split
// notification shows the history of its first page). era, year and number
// are the page's notification number record; fontSize the basic font size.
// Empty when there is no history; a failed read is reported on the
// document's message sink and also gives the empty text.
std::string buildHistoryBlock(Document& doc, const std::string& idFN, int era, int year, int number, int fontSize);

// "%s%d年%d月%d日" of a date "YYYY-MM-DD" in the Japanese era of its year.
// A year before 1868 (no era) is shown as the plain Gregorian year
// ("1850年3月1日"). Empty when the text is not such a date.
std::string eraDate(const std::string& isoDate);

}  // namespace tavrel::render
