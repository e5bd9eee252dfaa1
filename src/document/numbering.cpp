#include "document/numbering.h"

#include <array>
#include <charconv>
#include <string_view>

#include "text/sjis.h"

namespace tavrel::numbering {

namespace {

using std::string_view;

// Integer of the substring [pos, pos + len) read the C way (leading zeros
// allowed, a non-numeric text reads as 0). Callers check the length first.
int field(string_view id, size_t pos, size_t len) { return static_cast<int>(text::toLong(id.substr(pos, len))); }

char upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// Style character n of the format code, upper-cased; '\0' when the code is shorter.
char style(const std::string& formatCode, size_t n) { return n < formatCode.size() ? upper(formatCode[n]) : '\0'; }

bool isNonZeroDigit(char c) { return c >= '1' && c <= '9'; }
bool isUpperLetter(char c) { return c >= 'A' && c <= 'Z'; }

void appendInt(std::string& out, int v, int width = 0) {
    char buf[16];
    auto res = std::to_chars(buf, buf + sizeof buf, v);
    size_t len = static_cast<size_t>(res.ptr - buf);
    if (v >= 0 && static_cast<int>(len) < width) out.append(static_cast<size_t>(width) - len, '0');
    out.append(buf, len);
}

std::string intText(int v) {
    std::string s;
    appendInt(s, v);
    return s;
}

const std::string& unknown() { return SJ("不明"); }

// The numeral tables, converted to CP932 once.
const std::array<std::string, 100>& kanjiTable() {
    static const std::array<std::string, 100> table = [] {
        const char* digits[] = {"", "一", "二", "三", "四", "五", "六", "七", "八", "九"};
        std::array<std::string, 100> t;
        for (int n = 1; n < 100; ++n) {
            std::string u;
            const int tens = n / 10, ones = n % 10;
            if (tens > 1) u += digits[tens];
            if (tens > 0) u += "十";
            u += digits[ones];
            t[static_cast<size_t>(n)] = text::fromUtf8(u);
        }
        return t;
    }();
    return table;
}

template <size_t N>
std::array<std::string, N + 1> splitTable(const char* const (&entries)[N]) {
    std::array<std::string, N + 1> t;
    for (size_t i = 0; i < N; ++i) t[i + 1] = text::fromUtf8(entries[i]);
    return t;
}

const std::array<std::string, 40>& katakanaTable() {
    static const char* const entries[] = {"イ", "ロ", "ハ", "ニ", "ホ", "ヘ", "ト", "チ", "リ", "ヌ", "ル", "ヲ", "ワ",
                                          "カ", "ヨ", "タ", "レ", "ソ", "ツ", "ネ", "ナ", "ラ", "ム", "ウ", "ヰ", "ノ",
                                          "オ", "ク", "ヤ", "マ", "ケ", "フ", "コ", "エ", "テ", "ア", "サ", "キ", "ユ"};
    static const auto table = splitTable(entries);
    return table;
}

const std::array<std::string, 40>& hiraganaTable() {
    static const char* const entries[] = {"い", "ろ", "は", "に", "ほ", "へ", "と", "ち", "り", "ぬ", "る", "を", "わ",
                                          "か", "よ", "た", "れ", "そ", "つ", "ね", "な", "ら", "む", "う", "ゐ", "の",
                                          "お", "く", "や", "ま", "け", "ふ", "こ", "え", "て", "あ", "さ", "き", "ゆ"};
    static const auto table = splitTable(entries);
    return table;
}

const std::array<std::string, 15>& romanTable() {
    static const char* const entries[] = {"ⅰ", "ⅱ", "ⅲ", "ⅳ", "ⅴ", "ⅵ", "ⅶ", "ⅷ", "ⅸ", "ⅹ", "ⅹⅰ", "ⅹⅱ", "ⅹⅲ", "ⅹⅳ"};
    static const auto table = splitTable(entries);
    return table;
}

template <size_t N>
const std::string& lookup(const std::array<std::string, N>& table, int n) {
    if (n < 0 || static_cast<size_t>(n) >= N) return unknown();
    return table[static_cast<size_t>(n)];
}

const std::string& kanjiRef(int n) { return lookup(kanjiTable(), n); }
const std::string& katakanaRef(int n) { return lookup(katakanaTable(), n); }
const std::string& hiraganaRef(int n) { return lookup(hiraganaTable(), n); }
const std::string& romanRef(int n) { return lookup(romanTable(), n); }

// "（" + inner + "）"
void appendParenthesised(std::string& out, const std::string& inner) {
    out += SJ("（");
    out += inner;
    out += SJ("）");
}

// "の%d" for each branch greater than 1; the second only after the first.
void appendBranches(std::string& out, int branch1, int branch2) {
    if (branch1 > 1) {
        out += SJ("の");
        appendInt(out, branch1);
        if (branch2 > 1) {
            out += SJ("の");
            appendInt(out, branch2);
        }
    }
}

std::optional<std::string> articleLabelOf(string_view idFN) {
    if (idFN.size() != 15) return std::nullopt;
    const int number = field(idFN, 4, 4);
    if (number == 0) return std::nullopt;
    std::string out = SJ("第");
    appendInt(out, number);
    out += SJ("条");
    appendBranches(out, field(idFN, 8, 2), field(idFN, 10, 2));
    return out;
}

// The supplement text of the page of a sentence, or "" without a lookup.
std::string supplementOf(const std::string& idBN, const SupplementLookup& supplement) {
    if (!supplement) return {};
    return supplement(idBN.substr(0, 15));
}

}  // namespace

int base36(char c) {
    if (c >= '1' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
    return 0;
}

int base36(const std::string& c) { return c.size() == 1 ? base36(c[0]) : 0; }

std::string kanji(int n) { return kanjiRef(n); }
std::string katakanaIroha(int n) { return katakanaRef(n); }
std::string hiraganaIroha(int n) { return hiraganaRef(n); }
std::string smallRoman(int n) { return romanRef(n); }

namespace {

// First day of each era, newest first. An era begins on the day after its
// predecessor's last day (昭和六十四年一月七日 is followed by 平成元年一月八日);
// 明治 counts from the first day of 1868, as the calendar reform made it.
struct EraStart {
    const char* name;
    int year, month, day;
};
constexpr EraStart kEraStarts[] = {
    {"令和", 2019, 5, 1}, {"平成", 1989, 1, 8}, {"昭和", 1926, 12, 25}, {"大正", 1912, 7, 30}, {"明治", 1868, 1, 1}};

}  // namespace

std::optional<EraYear> toEra(int year) {
    // Only the year known: the era that begins in that year names it.
    for (const EraStart& e : kEraStarts)
        if (year >= e.year) return EraYear{text::fromUtf8(e.name), year - e.year + 1};
    return std::nullopt;
}

std::optional<EraYear> toEra(int year, int month, int day) {
    if (month < 1 || month > 12 || day < 1 || day > 31) return toEra(year);
    const long date = year * 10000L + month * 100L + day;
    for (const EraStart& e : kEraStarts)
        if (date >= e.year * 10000L + e.month * 100L + e.day) return EraYear{text::fromUtf8(e.name), year - e.year + 1};
    return std::nullopt;
}

std::optional<PageKind> pageKind(const std::string& idFN) {
    if (idFN.size() != 15) return std::nullopt;
    switch (idFN[4]) {
        case 'K': return Notification;
        case 'T': return AppendedTable;
        case 'Z': return SpecialPage;
        case 'F': return Supplementary;
        default: break;
    }
    if (field(idFN, 4, 4) >= 1) return Article;
    return std::nullopt;
}

std::optional<ArticleNumber> articleNumber(const std::string& idFN) {
    if (idFN.size() != 15) return std::nullopt;
    return ArticleNumber{field(idFN, 4, 4), field(idFN, 8, 2), field(idFN, 10, 2)};
}

namespace {
int eraCode(char c) {
    switch (c) {
        case 'A': return 1;
        case 'B': return 2;
        case 'C': return 3;
        case 'D': return 4;
        default: return 0;
    }
}
}  // namespace

std::optional<NotificationNumber> notificationNumber(const std::string& idFN) {
    if (idFN.size() != 15 || idFN[4] != 'K') return std::nullopt;
    return NotificationNumber{eraCode(idFN[5]), field(idFN, 6, 2), field(idFN, 8, 4)};
}

std::optional<DivisionNumber> divisionNumber(const std::string& idSN) {
    if (idSN.size() != 23) return std::nullopt;
    auto level = [&](size_t pos) {
        return DivisionLevel{field(idSN, pos, 2), base36(idSN[pos + 2]), base36(idSN[pos + 3])};
    };
    return DivisionNumber{level(4), level(9), level(14), level(19)};
}

std::optional<ArticleElement> articleElement(const std::string& idBN) {
    if (idBN.size() != 35) return std::nullopt;
    ArticleElement e;
    e.article = field(idBN, 4, 4);
    if (idBN[4] != 'F' && e.article < 1) return std::nullopt;
    e.articleBranch1 = field(idBN, 8, 2);
    e.articleBranch2 = field(idBN, 10, 2);
    e.paragraph = field(idBN, 16, 2);
    e.paragraphBranch = field(idBN, 18, 1);
    e.item = field(idBN, 21, 2);
    e.itemBranch = field(idBN, 23, 1);
    e.subItem = field(idBN, 26, 2);
    e.bracketed = base36(idBN[28]);
    e.smallRoman = base36(idBN[29]);
    return e;
}

std::optional<NotificationElement> notificationElement(const std::string& idBN) {
    if (idBN.size() != 35 || upper(idBN[4]) != 'K') return std::nullopt;
    NotificationElement e;
    e.era = eraCode(idBN[5]);
    e.year = field(idBN, 6, 2);
    e.number = field(idBN, 8, 4);
    e.level1 = field(idBN, 16, 2);
    e.level1Branch = field(idBN, 18, 1);
    e.level2 = field(idBN, 21, 2);
    e.level2Branch = field(idBN, 23, 1);
    e.level3 = field(idBN, 26, 2);
    e.level4 = base36(idBN[28]);
    e.level5 = base36(idBN[29]);
    e.level6 = field(idBN, 31, 2);
    e.extra33 = base36(idBN[33]);
    e.extra34 = base36(idBN[34]);
    e.value17 = field(idBN, 17, 3);
    return e;
}

std::optional<std::string> articleLabel(const std::string& idFN) { return articleLabelOf(idFN); }

std::string supplementaryName(const std::string& caption) {
    if (caption.empty() || caption == SJ("なし")) return SJ("附則");
    return caption;
}

std::optional<std::string> notificationNumberText(const std::string& idFN, bool padded) {
    const auto n = notificationNumber(idFN);
    if (!n) return std::nullopt;
    std::string out;
    switch (n->era) {
        case 1: out = SJ("明"); break;
        case 2: out = SJ("大"); break;
        case 3: out = SJ("昭"); break;
        case 4: out = SJ("平"); break;
        default: out = unknown(); break;
    }
    appendInt(out, n->year, padded ? 2 : 0);
    out += SJ("年");
    out += ' ';
    appendInt(out, n->number, padded ? 4 : 0);
    out += SJ("号");
    return out;
}

std::optional<std::string> appendedTableLabel(const std::string& idFN) {
    if (idFN.size() != 15 || idFN[4] != 'T') return std::nullopt;
    const int n = field(idFN, 5, 3);
    if (n < 0) return unknown();
    std::string out = SJ("別表");
    if (n >= 1) {
        out += SJ("第");
        appendInt(out, n);
    }
    return out;
}

std::optional<std::string> divisionLabel(const std::string& idSN, int levelFlag) {
    const auto d = divisionNumber(idSN);
    if (!d) return std::nullopt;
    const DivisionLevel* level = nullptr;
    const std::string* name = nullptr;
    switch (levelFlag) {
        case ChapterLevel: level = &d->chapter, name = &SJ("章"); break;
        case SectionLevel: level = &d->section, name = &SJ("節"); break;
        case SubsectionLevel: level = &d->subsection, name = &SJ("款"); break;
        case DivisionOnlyLevel: level = &d->division, name = &SJ("目"); break;
        default: return std::nullopt;
    }
    if (level->number == 0) return std::nullopt;
    std::string out;
    appendInt(out, level->number);
    out += *name;
    appendBranches(out, level->branch1, level->branch2);
    return out;
}

std::optional<int> articleElementLevel(const std::string& idBN) {
    if (idBN.size() != 35) return std::nullopt;
    const char c29 = idBN[29];
    if ((c29 >= 'A' && c29 <= 'E') || isNonZeroDigit(c29)) return 5;
    if (isNonZeroDigit(idBN[28])) return 4;
    if (field(idBN, 26, 2) != 0) return 3;
    if (field(idBN, 21, 2) != 0) return 2;
    if (field(idBN, 16, 2) > 1) return 1;
    return 0;
}

std::optional<int> notificationElementLevel(const std::string& idBN) {
    if (idBN.size() != 35) return std::nullopt;
    if (field(idBN, 31, 2) != 0) return 6;
    if (isUpperLetter(idBN[29]) || isNonZeroDigit(idBN[29])) return 5;
    if (isUpperLetter(idBN[28]) || isNonZeroDigit(idBN[28])) return 4;
    if (field(idBN, 26, 2) != 0) return 3;
    if (field(idBN, 21, 2) != 0) return 2;
    switch (upper(idBN[16])) {
        case 'F': return 9;
        case 'S': return 10;
        case 'T': return 11;
        case 'R': return 12;
        default: break;
    }
    return field(idBN, 16, 2) > 0 ? 1 : 0;
}

std::optional<std::string> articleElementLabel(const std::string& idBN, int levelFlag, const std::string& formatCode,
                                               bool longForm, const SupplementLookup& supplement) {
    const auto e = articleElement(idBN);
    if (!e) return std::nullopt;
    std::string out;
    switch (levelFlag) {
        case 1:
            return articleLabelOf(string_view(idBN).substr(0, 15));
        case 2:
            if (e->paragraph == 0) return std::nullopt;
            if (longForm) out += SJ("第");
            appendInt(out, e->paragraph);
            if (longForm) out += SJ("項");
            if (e->paragraphBranch >= 2) {
                out += SJ("の");
                appendInt(out, e->paragraphBranch);
            }
            return out;
        case 4:
            if (e->item == 0) return std::nullopt;
            switch (style(formatCode, 4)) {
                case 'B': appendInt(out, e->item); break;
                case 'C': break;
                case 'D':
                    out += SJ("第");
                    appendInt(out, e->item);
                    out += SJ("条");
                    break;
                case 'T':
                    if (longForm) out = supplementOf(idBN, supplement);
                    break;
                default:
                    if (longForm) out += SJ("第");
                    out += kanjiRef(e->item);
                    if (longForm) out += SJ("号");
                    break;
            }
            if (style(formatCode, 5) == 'D') {
                if (e->itemBranch > 0) out = intText(e->itemBranch);
            } else if (e->itemBranch >= 2) {
                out += SJ("の");
                out += kanjiRef(e->itemBranch);
            }
            return out;
        case 8:
            if (e->subItem == 0) return std::nullopt;
            switch (style(formatCode, 8)) {
                case 'B': out = kanjiRef(e->subItem); break;
                case 'C': break;
                case 'T':
                    if (longForm) out = supplementOf(idBN, supplement);
                    break;
                default: out = katakanaRef(e->subItem); break;
            }
            return out;
        case 16:
            if (e->bracketed == 0) return std::nullopt;
            out += '(';
            appendInt(out, e->bracketed);
            out += ')';
            return out;
        case 32:
            if (e->smallRoman == 0) return std::nullopt;
            appendParenthesised(out, romanRef(e->smallRoman));
            return out;
        default:
            return std::nullopt;
    }
}

std::optional<std::string> notificationElementLabel(const std::string& idBN, int levelFlag,
                                                    const std::string& formatCode, bool longForm,
                                                    const SupplementLookup& supplement) {
    const auto e = notificationElement(idBN);
    if (!e) return std::nullopt;
    std::string out;
    switch (levelFlag) {
        case 8: {
            if (e->level1 == 0) return std::nullopt;
            switch (style(formatCode, 0)) {
                case 'B':
                    if (longForm) appendInt(out, e->level1);
                    break;
                case 'C': appendInt(out, e->level1); break;
                case 'D':
                    out += SJ("第");
                    appendInt(out, e->level1);
                    out += SJ("条");
                    break;
                case 'E': out = kanjiRef(e->level1); break;
                default:
                    out += SJ("第");
                    appendInt(out, e->level1);
                    break;
            }
            const int branch = e->level1Branch;
            if (style(formatCode, 1) == 'B') {
                if (branch > 0) out = intText(branch);
            } else if (branch >= 2) {
                if (longForm) {
                    out += SJ("、");
                    appendInt(out, branch);
                } else {
                    out = intText(branch);
                }
            }
            return out;
        }
        case 16:
            if (e->level2 == 0) return std::nullopt;
            switch (style(formatCode, 4)) {
                case 'B': appendInt(out, e->level2); break;
                case 'C': break;
                case 'D': out += '-'; break;
                case 'T':
                    if (longForm) out = supplementOf(idBN, supplement);
                    break;
                default:
                    if (longForm) out += SJ("第");
                    out += kanjiRef(e->level2);
                    if (longForm) out += SJ("号");
                    if (e->level2Branch >= 2) {
                        out += SJ("の");
                        out += kanjiRef(e->level2Branch);
                    }
                    break;
            }
            return out;
        case 32:
            if (e->level3 == 0) return std::nullopt;
            switch (style(formatCode, 8)) {
                case 'B':
                    out += SJ("（");
                    appendInt(out, e->level3);
                    out += SJ("）");
                    break;
                case 'C': appendParenthesised(out, katakanaRef(e->level3)); break;
                case 'D': appendParenthesised(out, kanjiRef(e->level3)); break;
                case 'E': break;
                case 'T':
                    if (longForm) out = supplementOf(idBN, supplement);
                    break;
                default: out = katakanaRef(e->level3); break;
            }
            return out;
        case 64:
            if (e->level4 == 0) return std::nullopt;
            switch (style(formatCode, 9)) {
                case 'B': out = katakanaRef(e->level4); break;
                case 'C': appendParenthesised(out, katakanaRef(e->level4)); break;
                case 'D': appendParenthesised(out, kanjiRef(e->level4)); break;
                case 'E': appendParenthesised(out, romanRef(e->level4)); break;
                default:
                    out += '(';
                    appendInt(out, e->level4);
                    out += ')';
                    break;
            }
            return out;
        case 128:
            if (e->level5 == 0) return std::nullopt;
            switch (style(formatCode, 10)) {
                case 'B':
                    out += '(';
                    appendInt(out, e->level5);
                    out += ')';
                    break;
                case 'C': appendParenthesised(out, katakanaRef(e->level5)); break;
                case 'D': appendParenthesised(out, hiraganaRef(e->level5)); break;
                default: appendParenthesised(out, romanRef(e->level5)); break;
            }
            return out;
        case 256:
            if (e->level6 == 0) return std::nullopt;
            switch (style(formatCode, 12)) {
                case 'B': appendParenthesised(out, romanRef(e->level6)); break;
                case 'C': appendParenthesised(out, kanjiRef(e->level6)); break;
                default: appendParenthesised(out, katakanaRef(e->level6)); break;
            }
            return out;
        // The four unnumbered levels carry no number to check: their label
        // depends only on the level.
        case 2048: return SJ("附則");
        case 4096: return SJ("別記");
        case 8192:
            if (longForm) out = supplementOf(idBN, supplement);
            return out;
        case 16384: return SJ("別表");
        default: return std::nullopt;
    }
}

}  // namespace tavrel::numbering
