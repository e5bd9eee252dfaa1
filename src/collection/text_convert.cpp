#include "collection/text_convert.h"

#include "collection/utf8.h"

namespace tavrel::collection {

namespace {

int digitValue(char32_t c) {
    switch (c) {
        case U'〇':
            return 0;
        case U'一':
            return 1;
        case U'二':
            return 2;
        case U'三':
            return 3;
        case U'四':
            return 4;
        case U'五':
            return 5;
        case U'六':
            return 6;
        case U'七':
            return 7;
        case U'八':
            return 8;
        case U'九':
            return 9;
        default:
            return -1;
    }
}

int unitValue(char32_t c) {
    switch (c) {
        case U'十':
            return 10;
        case U'百':
            return 100;
        case U'千':
            return 1000;
        default:
            return 0;
    }
}

bool isIdeograph(char32_t c) { return (c >= 0x4E00 && c <= 0x9FFF) || c == U'々' || (c >= 0x3400 && c <= 0x4DBF); }

bool endsWith(const std::u32string& s, size_t end, const std::u32string& tail) {
    return tail.size() <= end && s.compare(end - tail.size(), tail.size(), tail) == 0;
}

// Length of the kanji numeral starting at i (0 when none).
size_t numeralLength(const std::u32string& s, size_t i) {
    size_t j = i;
    while (j < s.size() && isKanjiDigit(s[j])) ++j;
    return j - i;
}

std::string arabic(int n) { return std::to_string(n); }

// True when the text between from and to is, apart from paragraph and item
// numbers (第一項, 第三号), a conjunction such as 又は, 及び or "、".
bool joinedByConjunction(const std::u32string& s, size_t from, size_t to) {
    std::u32string gap;
    for (size_t k = from; k < to;) {
        if (s[k] == U'第') {
            const size_t n = numeralLength(s, k + 1);
            if (n > 0 && k + 1 + n < to && (s[k + 1 + n] == U'項' || s[k + 1 + n] == U'号')) {
                k += n + 2;
                continue;
            }
        }
        gap += s[k++];
    }
    static const std::u32string conjunctions[] = {U"、",     U"又は", U"及び", U"若しくは",
                                                  U"並びに", U"から", U"―",    U"或いは"};
    for (const std::u32string& c : conjunctions)
        if (gap == c) return true;
    return false;
}

}  // namespace

bool isKanjiDigit(char32_t c) { return digitValue(c) >= 0 || unitValue(c) > 0; }

std::optional<int> kanjiNumber(const std::u32string& s) {
    if (s.empty()) return std::nullopt;
    bool hasUnit = false;
    for (char32_t c : s) {
        if (!isKanjiDigit(c)) return std::nullopt;
        hasUnit = hasUnit || unitValue(c) > 0;
    }
    if (!hasUnit) {  // positional form: 一〇, 二
        int v = 0;
        for (char32_t c : s) v = v * 10 + digitValue(c);
        return v;
    }
    int total = 0, current = -1, lastUnit = 100000;
    for (char32_t c : s) {
        const int d = digitValue(c);
        if (d >= 0) {
            if (current >= 0 || d == 0) return std::nullopt;  // 二三, 〇 in unit form
            current = d;
        } else {
            const int u = unitValue(c);
            if (u >= lastUnit) return std::nullopt;  // 十百
            total += (current < 0 ? 1 : current) * u;
            current = -1;
            lastUnit = u;
        }
    }
    if (current >= 0) total += current;
    return total;
}

std::string convertReferences(const std::string& textUtf8, const ConvertContext& ctx) {
    // Every reference (第…条, 第…項, 別表第…) holds 第: a valid text without
    // one comes out as it went in.
    if (textUtf8.find("第") == std::string::npos && utf8::firstInvalid(textUtf8) == std::string::npos) return textUtf8;
    const std::u32string s = utf8::decode(textUtf8);
    std::string out;
    out.reserve(textUtf8.size() + 16);
    size_t i = 0;
    // The aliases' names as code points, decoded when a reference first asks.
    std::vector<std::u32string> names;
    auto designated = [&](size_t at) -> const LawAlias* {
        if (names.empty())
            for (const LawAlias& a : ctx.aliases) names.push_back(utf8::decode(a.name));
        for (size_t k = 0; k < ctx.aliases.size(); ++k) {
            const std::u32string& name = names[k];
            if (endsWith(s, at, name) && (at == name.size() || !isIdeograph(s[at - name.size() - 1])))
                return &ctx.aliases[k];
        }
        return nullptr;
    };
    // Which law does a 第…条 at position pos designate? "" = another law
    // outside the collection, otherwise an ID_HN.
    auto lawBefore = [&](size_t pos) -> std::string {
        size_t at = pos;
        if (at > 0 && s[at - 1] == U'）') {
            // A parenthesis right before: the law named before it, or this law
            // when the parenthesis is an ordinary remark.
            int depth = 0;
            size_t k = at;
            while (k > 0) {
                --k;
                if (s[k] == U'）') ++depth;
                if (s[k] == U'（' && --depth == 0) break;
            }
            if (depth != 0) return ctx.ownLaw;
            const std::u32string inside = s.substr(k + 1, at - k - 2);
            at = k;
            if (const LawAlias* a = designated(at)) return a->lawId;
            if (at > 0 && (s[at - 1] == U'法' || s[at - 1] == U'令' || s[at - 1] == U'則')) return "";
            if (inside.find(U"法律第") != std::u32string::npos || inside.find(U"政令第") != std::u32string::npos ||
                inside.find(U"省令第") != std::u32string::npos)
                return "";
            return ctx.ownLaw;
        }
        if (const LawAlias* a = designated(at)) return a->lawId;
        if (at > 0 && (s[at - 1] == U'法' || s[at - 1] == U'令' || s[at - 1] == U'則')) return "";
        return ctx.ownLaw;
    };

    bool haveLast = false;
    std::string lastLaw;
    size_t lastEnd = 0;
    while (i < s.size()) {
        if (s[i] == U'第') {
            const size_t n = numeralLength(s, i + 1);
            const size_t after = i + 1 + n;
            if (n > 0 && after < s.size()) {
                const auto number = kanjiNumber(s.substr(i + 1, n));
                if (number && s[after] == U'条') {
                    int branch[2] = {0, 0};
                    size_t j = after + 1;
                    for (int b = 0; b < 2; ++b) {
                        if (j < s.size() && s[j] == U'の') {
                            const size_t m = numeralLength(s, j + 1);
                            const auto v = m ? kanjiNumber(s.substr(j + 1, m)) : std::nullopt;
                            if (!v) break;
                            branch[b] = *v;
                            j += 1 + m;
                        }
                    }
                    std::string label = "第" + arabic(*number) + "条";
                    for (int b = 0; b < 2; ++b)
                        if (branch[b] > 0) label += "の" + arabic(branch[b]);
                    // 建築士法第二十条の二第三項又は第二十条の三: a reference joined to
                    // the previous one by a conjunction names the same law.
                    std::string law;
                    if (haveLast && joinedByConjunction(s, lastEnd, i))
                        law = lastLaw;
                    else
                        law = lawBefore(i);
                    haveLast = true;
                    lastLaw = law;
                    lastEnd = j;
                    if (law.empty() || *number > 9999 || branch[0] > 99 || branch[1] > 99)
                        out += label;
                    else if (law == ctx.ownLaw)
                        out += "[" + label + "]";
                    else
                        out += "[" + label + "/" + law + "]";
                    i = j;
                    continue;
                }
                if (number && s[after] == U'項') {
                    out += "第" + arabic(*number) + "項";
                    i = after + 1;
                    continue;
                }
            }
        }
        if (s[i] == U'別' && i + 3 < s.size() && s[i + 1] == U'表' && s[i + 2] == U'第') {
            const size_t n = numeralLength(s, i + 3);
            const int number = n ? kanjiNumber(s.substr(i + 3, n)).value_or(0) : 0;
            const std::string law = lawBefore(i);
            if (number > 0 && number < 1000 && !law.empty() && ctx.pageExists) {
                char target[16];
                std::snprintf(target, sizeof target, "%s-T%03d0000", law.c_str(), number);
                if (ctx.pageExists(target)) {
                    out += "[L" + utf8::encode(s.substr(i, 3 + n)) + "/" + target + "L]";
                    i += 3 + n;
                    continue;
                }
            }
        }
        utf8::append(out, s[i]);
        ++i;
    }
    return out;
}

namespace {

// Reduces inline references and explicit links to their display text.
std::string stripLinkMarkup(std::string plain) {
    for (size_t p = plain.find("[L"); p != std::string::npos; p = plain.find("[L", p)) {
        const size_t e = plain.find("L]", p + 2);
        const size_t slash = plain.find('/', p + 2);
        if (e == std::string::npos || slash == std::string::npos || slash > e) break;
        plain.replace(p, e + 2 - p, plain.substr(p + 2, slash - p - 2));
    }
    for (size_t p = plain.find("[第"); p != std::string::npos; p = plain.find("[第", p)) {
        const size_t e = plain.find(']', p);
        if (e == std::string::npos) break;
        std::string inner = plain.substr(p + 1, e - p - 1);
        const size_t slash = inner.find('/');
        if (slash != std::string::npos) inner.erase(slash);
        plain.replace(p, e + 1 - p, inner);
    }
    return plain;
}

}  // namespace

std::string convertPlain(const std::string& text, const ConvertContext& ctx) {
    return stripLinkMarkup(convertReferences(text, ctx));
}

std::string applyRuby(const std::string& text, const std::vector<RubyEntry>& ruby) {
    std::string out = text;
    for (const RubyEntry& r : ruby) {
        // found = text before the base, the base, its reading, text after.
        const size_t at = r.found.find(r.base + r.reading);
        if (at == std::string::npos || r.base.empty() || r.reading.empty()) continue;
        const std::string marked = r.found.substr(0, at) + "<ruby>" + r.base + "<rt>" + r.reading + "</rt></ruby>" +
                                   r.found.substr(at + r.base.size() + r.reading.size());
        for (size_t p = out.find(r.found); p != std::string::npos; p = out.find(r.found, p + marked.size()))
            out.replace(p, r.found.size(), marked);
    }
    return out;
}

std::string foldForSearch(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        const char b = text[i];
        if (static_cast<unsigned char>(b) < 0x80) {
            out += b >= 'a' && b <= 'z' ? static_cast<char>(b - 'a' + 'A') : b;
            ++i;
            continue;
        }
        char32_t c = 0;
        const size_t n = utf8::sequenceAt(text, i, c);
        if (n == 0) {
            utf8::append(out, U'\uFFFD');
            ++i;
            continue;
        }
        if (c >= U'０' && c <= U'９')
            out += static_cast<char>('0' + (c - U'０'));
        else if (c >= U'Ａ' && c <= U'Ｚ')
            out += static_cast<char>('A' + (c - U'Ａ'));
        else if (c >= U'ａ' && c <= U'ｚ')
            out += static_cast<char>('A' + (c - U'ａ'));
        else
            out.append(text, i, n);
        i += n;
    }
    return out;
}

std::string searchText(const std::string& markup) {
    std::string t = markup;
    // Ruby readings go first, so that they never run together with the base.
    for (size_t p = t.find("<rt>"); p != std::string::npos; p = t.find("<rt>", p)) {
        const size_t e = t.find("</rt>", p);
        if (e == std::string::npos) break;
        t.erase(p, e + 5 - p);
    }
    // HTML tags.
    std::string plain;
    plain.reserve(t.size());
    for (size_t i = 0; i < t.size();) {
        const size_t open = t.find('<', i);
        const size_t close = open == std::string::npos ? open : t.find('>', open);
        if (close == std::string::npos) {
            plain.append(t, i, std::string::npos);
            break;
        }
        plain.append(t, i, open - i);
        i = close + 1;
    }
    // Keyword marks [K text K], explicit links and inline references.
    for (size_t p = plain.find("[K"); p != std::string::npos; p = plain.find("[K", p)) {
        const size_t e = plain.find("K]", p + 2);
        if (e == std::string::npos) break;
        plain.replace(p, e + 2 - p, plain.substr(p + 2, e - p - 2));
    }
    plain = stripLinkMarkup(plain);
    const std::pair<const char*, const char*> entities[] = {
        {"&nbsp;", " "}, {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&amp;", "&"}};
    for (const auto& [from, to] : entities) {
        const std::string f = from;
        for (size_t p = plain.find(f); p != std::string::npos; p = plain.find(f, p + 1)) plain.replace(p, f.size(), to);
    }
    // Line breaks and runs of blanks of the HTML source become one blank.
    std::string collapsed;
    collapsed.reserve(plain.size());
    for (char ch : plain) {
        const bool blank = ch == ' ' || ch == '\n' || ch == '\r' || ch == '\t';
        if (blank && (collapsed.empty() || collapsed.back() == ' ')) continue;
        collapsed += blank ? ' ' : ch;
    }
    while (!collapsed.empty() && collapsed.back() == ' ') collapsed.pop_back();
    return foldForSearch(collapsed);
}

}  // namespace tavrel::collection
