// Article numbering and Japanese numerals: pure functions that turn the
// fixed-width identifiers and the format code into Japanese labels. All texts
// are CP932; every operation reports failure instead of throwing.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace tavrel::numbering {

enum PageKind : int { Article = 0, Notification = 1, AppendedTable = 2, SpecialPage = 3, Supplementary = 4 };

// Base-36 digit of a one-character text ("1"-"9" -> 1-9, "A"-"Z" -> 10-35,
// anything else, or a text not exactly one character long -> 0).
int base36(const std::string& c);
int base36(char c);

// Numeral tables: index 0 gives "", an index past the table gives "不明".
std::string kanji(int n);          // 0-99
std::string katakanaIroha(int n);  // 0-39
std::string hiraganaIroha(int n);  // 0-39
std::string smallRoman(int n);     // 0-14

struct EraYear {
    std::string era;  // 令和, 平成, 昭和, 大正, 明治
    int year = 0;
};
// The era of a year alone: the era that begins in that year (2019 is 令和1).
std::optional<EraYear> toEra(int gregorianYear);
// The era of a date: 2019-04-30 is 平成31, 2019-05-01 令和1. A month or day
// out of range falls back to the year alone.
std::optional<EraYear> toEra(int gregorianYear, int month, int day);

std::optional<PageKind> pageKind(const std::string& idFN);

struct ArticleNumber {
    int number = 0, branch1 = 0, branch2 = 0;
};
std::optional<ArticleNumber> articleNumber(const std::string& idFN);

struct NotificationNumber {
    int era = 0;  // 1 明治 .. 4 平成, 0 for any other letter
    int year = 0, number = 0;
};
std::optional<NotificationNumber> notificationNumber(const std::string& idFN);

struct DivisionLevel {
    int number = 0, branch1 = 0, branch2 = 0;
};
struct DivisionNumber {
    DivisionLevel chapter, section, subsection, division;
};
std::optional<DivisionNumber> divisionNumber(const std::string& idSN);

struct ArticleElement {
    int article = 0, articleBranch1 = 0, articleBranch2 = 0;
    int paragraph = 0, paragraphBranch = 0;
    int item = 0, itemBranch = 0;
    int subItem = 0;
    int bracketed = 0;   // position 28, base 36
    int smallRoman = 0;  // position 29, base 36
};
std::optional<ArticleElement> articleElement(const std::string& idBN);

struct NotificationElement {
    int era = 0, year = 0, number = 0;
    int level1 = 0, level1Branch = 0;
    int level2 = 0, level2Branch = 0;
    int level3 = 0;
    int level4 = 0;  // base 36
    int level5 = 0;  // base 36
    int level6 = 0;
    int extra33 = 0, extra34 = 0;  // base 36
    int value17 = 0;               // three digits at 17-19
};
std::optional<NotificationElement> notificationElement(const std::string& idBN);

// "第%d条" with "の%d" branches shown only when greater than 1.
std::optional<std::string> articleLabel(const std::string& idFN);

// "%s%d年 %d号" or, padded, "%s%02d年 %04d号" (era 明, 大, 昭, 平 or 不明).
std::optional<std::string> notificationNumberText(const std::string& idFN, bool padded = false);

// "別表第%d", "別表" for 0, "不明" for a negative number.
std::optional<std::string> appendedTableLabel(const std::string& idFN);

// The name a 附則 page goes by where pages are listed: its caption (条名, as
// stored: 「附則（平成三〇年六月二七日法律第六七号）」 for an amendment's 附則), so
// that the many 附則 of one law can be told apart; "附則" when the caption
// is empty or "なし".
std::string supplementaryName(const std::string& caption);

enum DivisionLevelFlag : int { ChapterLevel = 1, SectionLevel = 2, SubsectionLevel = 4, DivisionOnlyLevel = 8 };
// "%d章" (節, 款, 目) with "の%d" branches; the page builder prefixes "第".
std::optional<std::string> divisionLabel(const std::string& idSN, int levelFlag);

// Element level of an article or supplementary-provisions sentence (0-5) and
// of a notification sentence (0-6, 9-12).
std::optional<int> articleElementLevel(const std::string& idBN);
std::optional<int> notificationElementLevel(const std::string& idBN);

// Supplement text (補足) of a page, for the long form of the "T" styles.
using SupplementLookup = std::function<std::string(const std::string& idFN)>;

// Element labels. levelFlag is exactly one bit: article sentences 1, 2, 4, 8,
// 16, 32; notification sentences 8, 16, 32, 64, 128, 256, 2048, 4096, 8192,
// 16384. Fails when the parse fails or the selected number is 0.
std::optional<std::string> articleElementLabel(const std::string& idBN, int levelFlag, const std::string& formatCode,
                                               bool longForm, const SupplementLookup& supplement = {});
std::optional<std::string> notificationElementLabel(const std::string& idBN, int levelFlag,
                                                    const std::string& formatCode, bool longForm,
                                                    const SupplementLookup& supplement = {});

}  // namespace tavrel::numbering
