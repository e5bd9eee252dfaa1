#include "collection/structure.h"

#include "collection/build_error.h"
#include "collection/utf8.h"

#include <cstdio>
#include <regex>

namespace tavrel::collection {

namespace {

const char32_t kIroha[] = U"イロハニホヘトチリヌルヲワカヨタレソツネナラムウヰノオクヤマケフコエテアサキユ";

std::optional<int> fullWidthNumber(const std::u32string& s, size_t& i) {
    size_t j = i;
    int v = 0;
    while (j < s.size() && s[j] >= U'０' && s[j] <= U'９') v = v * 10 + static_cast<int>(s[j++] - U'０');
    if (j == i) return std::nullopt;
    i = j;
    return v;
}

std::optional<int> romanNumber(const std::u32string& s) {
    int total = 0, previous = 0;
    for (auto it = s.rbegin(); it != s.rend(); ++it) {
        int v = 0;
        if (*it == U'ｉ')
            v = 1;
        else if (*it == U'ｖ')
            v = 5;
        else if (*it == U'ｘ')
            v = 10;
        else
            return std::nullopt;
        total += v < previous ? -v : v;
        previous = std::max(previous, v);
    }
    if (s.empty()) return std::nullopt;
    return total;
}

}  // namespace

// Kanji numeral at i followed by up to two "の"+numeral branches.
bool readNumeralWithBranch(const std::u32string& s, size_t& i, int& value, int& branch) {
    size_t j = i;
    while (j < s.size() && isKanjiDigit(s[j])) ++j;
    if (j == i) return false;
    const auto v = kanjiNumber(s.substr(i, j - i));
    if (!v) return false;
    value = *v;
    branch = 0;
    if (j + 1 < s.size() && s[j] == U'の' && isKanjiDigit(s[j + 1])) {
        size_t k = j + 1;
        while (k < s.size() && isKanjiDigit(s[k])) ++k;
        const auto b = kanjiNumber(s.substr(j + 1, k - j - 1));
        if (!b) return false;
        branch = *b;
        j = k;
    }
    i = j;
    return true;
}

int ElementAddress::level() const {
    if (smallRoman) return 5;
    if (bracketed) return 4;
    if (subItem) return 3;
    if (item) return 2;
    return paragraph > 1 ? 1 : 0;
}

ElementAddress parseAddress(const std::string& text, const Origin& where) {
    static const std::regex pattern(R"(^(\d+)(?:-(\d))?(?:/(\d+)(?:-(\d))?(?:/(\d+)(?:/(\d+)(?:/(\d+))?)?)?)?$)");
    std::smatch m;
    if (!std::regex_match(text, m, pattern))
        throw BuildError(where.file, where.line,
                         "bad sentence address \"" + text + "\" (expected P[-b][/I[-b][/S[/B[/R]]]], e.g. 1/7-2)");
    ElementAddress a;
    auto num = [&](int k) { return m[k].matched ? std::stoi(m[k].str()) : 0; };
    a.paragraph = num(1);
    a.paragraphBranch = num(2);
    a.item = num(3);
    a.itemBranch = num(4);
    a.subItem = num(5);
    a.bracketed = num(6);
    a.smallRoman = num(7);
    if (a.paragraph < 1) throw BuildError(where.file, where.line, "paragraph numbers start at 1");
    return a;
}

int irohaIndex(char32_t c) {
    for (int i = 0; kIroha[i]; ++i)
        if (kIroha[i] == c) return i + 1;
    return 0;
}

std::string kanjiText(int n) {
    static const char* digits[] = {"", "一", "二", "三", "四", "五", "六", "七", "八", "九"};
    if (n <= 0 || n > 99) return "";
    std::string s;
    if (n >= 20) s += digits[n / 10];
    if (n >= 10) s += "十";
    s += digits[n % 10];
    return s;
}

std::string romanText(int n) {
    if (n < 1 || n > 14) return "";
    if (n <= 10) return utf8::encode(static_cast<char32_t>(0x2170 + n - 1));
    return utf8::encode(U'ⅹ') + utf8::encode(static_cast<char32_t>(0x2170 + n - 11));
}

char base36Char(int v) {
    if (v <= 0) return '0';
    if (v < 10) return static_cast<char>('0' + v);
    if (v < 36) return static_cast<char>('A' + v - 10);
    return '0';
}

std::string articlePrefix(const std::string& law, int number, int branch1, int branch2) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%s-%04d%02d%02d", law.c_str(), number, branch1, branch2);
    return buf;
}

std::string pageId(const std::string& prefix12, int page) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "-%02d", page);
    return prefix12 + buf;
}

std::string sentenceId(const std::string& idFN, const ElementAddress& a) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "-%02d%c0-%02d%c0-%02d%c%c-0000", a.paragraph, base36Char(a.paragraphBranch), a.item,
                  base36Char(a.itemBranch), a.subItem, base36Char(a.bracketed), base36Char(a.smallRoman));
    return idFN + buf;
}

std::string divisionGroup(const DivisionName& d) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%02d%c%c", d.number, base36Char(d.branch1), base36Char(d.branch2));
    return buf;
}

bool isIdentifierText(const std::string& s, size_t n) {
    if (s.size() != n) return false;
    for (char c : s)
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || c == '-')) return false;
    return true;
}

DivisionName parseDivisionName(const std::string& text, const std::u32string& levelWord, const Origin& where) {
    const std::u32string s = utf8::decode(text);
    DivisionName d;
    size_t i = 1;
    if (s.empty() || s[0] != U'第' || !readNumeralWithBranch(s, i, d.number, d.branch1) ||
        s.compare(i, levelWord.size(), levelWord) != 0)
        throw BuildError(where.file, where.line,
                         "expected \"第…" + utf8::encode(levelWord) + " name\", found \"" + text + "\"");
    i += levelWord.size();
    // 第三章の二: the branch follows the level word.
    if (i + 1 < s.size() && s[i] == U'の' && isKanjiDigit(s[i + 1])) {
        size_t k = i + 1;
        while (k < s.size() && isKanjiDigit(s[k])) ++k;
        d.branch1 = kanjiNumber(s.substr(i + 1, k - i - 1)).value_or(0);
        i = k;
    }
    while (i < s.size() && (s[i] == U' ' || s[i] == U'　')) ++i;
    d.name = utf8::encode(s.substr(i));
    if (d.number < 1 || d.number > 99 || d.branch1 > 35)
        throw BuildError(where.file, where.line, "division number out of range in \"" + text + "\"");
    return d;
}

std::vector<ArticleElement> parseBody(const std::vector<std::pair<int, std::string>>& lines, const std::string& file) {
    std::vector<ArticleElement> out;
    ElementAddress cur;
    for (const auto& line : lines) {
        // Named copies: lambdas below use them (clang cannot capture structured bindings).
        const int lineNo = line.first;
        const std::string& raw = line.second;
        if (raw.empty()) throw BuildError(file, lineNo, "empty body line");
        size_t spaces = 0;
        while (spaces < raw.size() && raw[spaces] == ' ') ++spaces;
        const std::u32string s = utf8::decode(raw.substr(spaces));
        ArticleElement e;
        e.line = lineNo;
        size_t i = 0;
        auto expectBlank = [&](const char* what) {
            if (i >= s.size() || s[i] != U'　')
                throw BuildError(file, lineNo, std::string("expected a full-width space after the ") + what);
            ++i;
        };
        if (spaces == 0) {
            int value = 0, branch = 0;
            if (auto p = fullWidthNumber(s, i)) {
                if (out.empty() || *p <= cur.paragraph)
                    throw BuildError(file, lineNo, "paragraph number " + std::to_string(*p) + " out of order");
                cur = ElementAddress{};
                cur.paragraph = *p;
                e.printedLabel = std::to_string(*p);
            } else if (readNumeralWithBranch(s, i, value, branch) && i < s.size() && s[i] == U'　') {
                if (out.empty()) throw BuildError(file, lineNo, "an item before the first paragraph");
                if (branch > 9) throw BuildError(file, lineNo, "item branch numbers above 9 are not supported");
                cur.item = value;
                cur.itemBranch = branch;
                cur.subItem = cur.bracketed = cur.smallRoman = 0;
                e.printedLabel = utf8::encode(s.substr(0, i));
                expectBlank("item number");
            } else if (out.empty()) {
                i = 0;
                e.printedLabel = "";  // the article label, filled in by the caller
            } else {
                throw BuildError(file, lineNo,
                                 "cannot tell which element this line is (expected \"２…\" for a paragraph or "
                                 "\"一　…\" for an item)");
            }
        } else if (spaces == 2) {
            const int idx = s.empty() ? 0 : irohaIndex(s[0]);
            if (idx == 0) throw BuildError(file, lineNo, "a sub-item must start with イ, ロ, ハ …");
            cur.subItem = idx;
            cur.bracketed = cur.smallRoman = 0;
            e.printedLabel = utf8::encode(s.substr(0, 1));
            i = 1;
            expectBlank("sub-item letter");
        } else if (spaces == 4 || spaces == 6) {
            const size_t close = s.find(U'）');
            if (s.empty() || s[0] != U'（' || close == std::u32string::npos)
                throw BuildError(file, lineNo, "expected a number in full-width parentheses");
            const std::u32string inner = s.substr(1, close - 1);
            i = close + 1;
            if (spaces == 4) {
                size_t k = 0;
                const auto v = fullWidthNumber(inner, k);
                if (!v || k != inner.size() || *v < 1 || *v > 9)
                    throw BuildError(file, lineNo, "expected （１） … （９）");
                cur.bracketed = *v;
                cur.smallRoman = 0;
                e.printedLabel = "(" + std::to_string(*v) + ")";
            } else {
                const auto v = romanNumber(inner);
                if (!v || *v < 1 || *v > 14) throw BuildError(file, lineNo, "expected （ｉ） … （ｘｉｖ）");
                cur.smallRoman = *v;
                e.printedLabel = "（" + romanText(*v) + "）";
            }
            expectBlank("number");
        } else {
            throw BuildError(file, lineNo, "indentation must be 0, 2, 4 or 6 spaces");
        }
        e.address = cur;
        e.text = utf8::encode(s.substr(i));
        out.push_back(std::move(e));
    }
    return out;
}

}  // namespace tavrel::collection
