#include "citations/reference_scan.h"

#include "database/identifiers.h"
#include "text/sjis.h"

#include <algorithm>
#include <cstdio>
#include <optional>

namespace tavrel::citations {

namespace {

constexpr size_t npos = std::string_view::npos;

// The page builder's reach limits (CP932 bytes, see render/links.cpp).
constexpr size_t kInlineReach = 22;
constexpr size_t kExplicitReach = 82;
constexpr size_t kArticleDistanceMin = 3;
constexpr size_t kArticleDistanceMax = 6;

constexpr std::string_view kDai = "第";
constexpr std::string_view kJo = "条";
constexpr std::string_view kKou = "項";
constexpr std::string_view kGou = "号";
constexpr std::string_view kNo = "の";
constexpr std::string_view kKakugou = "各号";
constexpr std::string_view kRei = "例";  // 同条例: the same ordinance, not an article

bool at(std::string_view t, size_t p, std::string_view s) { return p <= t.size() && t.substr(p, s.size()) == s; }

size_t utf8Length(unsigned char c) { return c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4; }

size_t asciiDigits(std::string_view t, size_t p) {
    size_t n = 0;
    while (p + n < t.size() && t[p + n] >= '0' && t[p + n] <= '9') ++n;
    return n;
}

int digitValue(std::string_view s) {
    int v = 0;
    for (char c : s) v = v * 10 + (c - '0');
    return v;
}

// Value of one kanji digit (十 = 10), 0 for any other character at p.
int kanjiDigit(std::string_view t, size_t p) {
    static constexpr std::string_view digits[] = {"一", "二", "三", "四", "五", "六", "七", "八", "九", "十"};
    for (int i = 0; i < 10; ++i)
        if (at(t, p, digits[i])) return i + 1;
    return 0;
}

// Byte length of the kanji numeral at p (0 when there is none).
size_t kanjiDigits(std::string_view t, size_t p) {
    size_t n = 0;
    while (kanjiDigit(t, p + n) != 0) n += 3;
    return n;
}

// One part of a reference: "第N項[のM]" and/or "第X号[のY]" / "各号".
struct Part {
    int paragraph = 0, paragraphBranch = 0;
    bool hasParagraph = false;
    bool hasItem = false;
    std::string paragraphText;  // "第1項"
    std::string itemText;       // "第二号", "各号"
    size_t end = 0;
};

// "第N項[のM]" at p: its end, or npos.
size_t readParagraph(std::string_view t, size_t p, Part& part) {
    if (!at(t, p, kDai)) return npos;
    const size_t d = asciiDigits(t, p + kDai.size());
    if (d == 0 || d > 2 || !at(t, p + kDai.size() + d, kKou)) return npos;
    size_t end = p + kDai.size() + d + kKou.size();
    part.paragraph = digitValue(t.substr(p + kDai.size(), d));
    part.paragraphBranch = 0;
    if (at(t, end, kNo)) {
        const size_t b = asciiDigits(t, end + kNo.size());
        if (b > 0 && b <= 2) {
            part.paragraphBranch = digitValue(t.substr(end + kNo.size(), b));
            end += kNo.size() + b;
        }
    }
    if (part.paragraph == 0) return npos;
    part.hasParagraph = true;
    part.paragraphText = std::string(t.substr(p, end - p));
    return end;
}

// "第X号[のY]" at p: its end, or npos.
size_t readItem(std::string_view t, size_t p, Part& part) {
    if (!at(t, p, kDai)) return npos;
    const size_t k = kanjiDigits(t, p + kDai.size());
    if (k == 0 || !at(t, p + kDai.size() + k, kGou)) return npos;
    size_t end = p + kDai.size() + k + kGou.size();
    if (at(t, end, kNo)) {
        const size_t b = kanjiDigits(t, end + kNo.size());
        if (b > 0) end += kNo.size() + b;
    }
    part.hasItem = true;
    part.itemText = std::string(t.substr(p, end - p));
    return end;
}

// A part at p: a paragraph, optionally followed by an item or 各号; or an
// item alone. Nothing when neither begins at p.
std::optional<Part> readPart(std::string_view t, size_t p) {
    Part part;
    size_t end = readParagraph(t, p, part);
    if (end != npos) {
        const size_t item = readItem(t, end, part);
        if (item != npos) {
            end = item;
        } else if (at(t, end, kKakugou)) {
            part.hasItem = true;
            part.itemText = std::string(kKakugou);
            end += kKakugou.size();
        }
    } else {
        end = readItem(t, p, part);
        if (end == npos) return std::nullopt;
    }
    part.end = end;
    return part;
}

// Length of a connector joining parts at p (0 when there is none).
size_t connector(std::string_view t, size_t p) {
    static constexpr std::string_view words[] = {"、", "又は", "若しくは", "及び", "並びに", "から"};
    for (std::string_view w : words)
        if (at(t, p, w)) return w.size();
    return 0;
}

// What the sentence named last: the antecedent of 同条, 同項 and 同号.
struct Antecedent {
    enum What { None, Own, Outside, Known } what = None;
    std::string target;
    int paragraph = 0, paragraphBranch = 0;
    std::string paragraphText;
    bool hasItem = false;
    std::string itemText;
};

struct InlineRef {
    std::string target;
    size_t end = 0;  // just after the "]"
};

class Scanner {
  public:
    Scanner(std::string_view idBN, std::string_view text, const ArticleLookup& exists)
        : idBN_(idBN), own_(idBN.substr(0, std::min<size_t>(12, idBN.size()))), t_(text), exists_(exists) {}

    SentenceScan run() {
        size_t i = 0;
        while (i < t_.size()) {
            const char c = t_[i];
            size_t next = npos;
            // Only four characters start anything: "[", 第 (E7 AC AC), and the
            // first characters of the relative references, 前 (E5 89 8D),
            // 同 (E5 90 8C) and 次 (E6 AC A1); the bytes are tested first.
            if (c == '[') {
                next = bracket(i);
            } else if (isChar(i, 0xE7, 0xAC, 0xAC)) {
                next = outsideMention(i);
                if (next == npos) next = ownPart(i);
            } else if (isChar(i, 0xE5, 0x89, 0x8D) || isChar(i, 0xE5, 0x90, 0x8C) || isChar(i, 0xE6, 0xAC, 0xA1)) {
                next = relative(i);
            }
            i = next != npos ? next : i + utf8Length(static_cast<unsigned char>(c));
        }
        return std::move(out_);
    }

  private:
    bool isChar(size_t i, unsigned char a, unsigned char b, unsigned char c) const {
        return i + 2 < t_.size() && static_cast<unsigned char>(t_[i]) == a &&
               static_cast<unsigned char>(t_[i + 1]) == b && static_cast<unsigned char>(t_[i + 2]) == c;
    }

    // Inline reference or explicit link at i; the position after it, or npos.
    size_t bracket(size_t i) {
        if (at(t_, i + 1, kDai) && !inlineStopped_) {
            const size_t close = t_.find(']', i + 1 + kDai.size());
            if (close == npos || cp932Length(t_.substr(i, close - i)) >= kInlineReach) {
                inlineStopped_ = true;
                return npos;
            }
            const std::optional<std::string> target = readInline(t_.substr(i, close + 1 - i));
            if (!target) return close + 1;
            cite(*target, CitationKind::Inline, i, close + 1);
            return lastEnd_;
        }
        if (at(t_, i + 1, "L") && !explicitStopped_) {
            const size_t close = t_.find("L]", i + 2);
            if (close == npos || cp932Length(t_.substr(i, close - i)) >= kExplicitReach) {
                explicitStopped_ = true;
                return npos;
            }
            const std::string_view inner = t_.substr(i + 2, close - i - 2);
            const size_t slash = inner.find('/');
            const std::string_view target = slash == npos ? std::string_view() : inner.substr(slash + 1);
            if (!db::isIdFNPrefix(target)) return close + 2;
            cite(std::string(target), CitationKind::Explicit, i, close + 2);
            return lastEnd_;
        }
        return npos;
    }

    // The target of an inline reference as the page builder reads it.
    std::optional<std::string> readInline(std::string_view markup) const {
        std::string law(idBN_.substr(0, std::min<size_t>(3, idBN_.size())));
        std::string body(markup);
        const size_t slash = markup.find('/');
        if (slash != npos) {
            law = std::string(markup.substr(slash + 1, 3));
            body = std::string(markup.substr(0, slash)) + "]";
        }
        if (!db::isIdHN(law)) return std::nullopt;
        const std::string_view b = body;
        const size_t dai = b.find(kDai);
        if (dai == npos) return std::nullopt;
        const size_t jo = b.find(kJo, dai + kDai.size());
        if (jo == npos) return std::nullopt;
        const size_t distance = cp932Length(b.substr(dai, jo - dai));
        if (distance < kArticleDistanceMin || distance > kArticleDistanceMax) return std::nullopt;
        const long article = text::toLong(b.substr(dai + kDai.size(), jo - dai - kDai.size()));
        if (article <= 0 || article > 9999) return std::nullopt;
        int branch1 = 0, branch2 = 0;
        const size_t first = b.find(kNo, jo + kJo.size());
        if (first != npos) {
            const size_t from = first + kNo.size();
            const size_t second = b.find(kNo, from);
            const size_t close = b.find(']', from);
            const size_t end = std::min(second, close);
            if (end == npos) return std::nullopt;
            auto branch = [&](size_t a, size_t e) -> int {
                const std::string_view s = b.substr(a, e - a);
                return !s.empty() && s.size() <= 2 && asciiDigits(s, 0) == s.size() ? digitValue(s) : -1;
            };
            branch1 = branch(from, end);
            if (branch1 < 0) return std::nullopt;
            if (second != npos && second < close) {
                branch2 = branch(second + kNo.size(), close);
                if (branch2 < 0) return std::nullopt;
            }
        }
        char digits[40];
        std::snprintf(digits, sizeof digits, "%04ld%02d%02d", article, branch1, branch2);
        return law + "-" + digits;
    }

    // 第N条 written without a link: an article of a law outside the collection.
    size_t outsideMention(size_t i) {
        size_t p = i + kDai.size();
        size_t n = asciiDigits(t_, p);
        if (n == 0) n = kanjiDigits(t_, p);
        if (n == 0 || !at(t_, p + n, kJo)) return npos;
        antecedent_ = Antecedent{Antecedent::Outside, {}, 0, 0, {}, false, {}};
        return partsEnd(p + n + kJo.size());
    }

    // "第N項" or "第X号" on its own names a part of the sentence's own article.
    size_t ownPart(size_t i) {
        if (!readPart(t_, i)) return npos;
        antecedent_ = Antecedent{Antecedent::Own, std::string(own_), 0, 0, {}, false, {}};
        return partsEnd(i);
    }

    // The end of the part words (and the parts joined to them) at p; p when none.
    size_t partsEnd(size_t p) const {
        std::optional<Part> part = readPart(t_, p);
        if (!part) return p;
        p = part->end;
        for (;;) {
            const size_t c = connector(t_, p);
            if (c == 0) return p;
            part = readPart(t_, p + c);
            if (!part) return p;
            p = part->end;
        }
    }

    size_t relative(size_t i) {
        if (at(t_, i, "前条") || at(t_, i, "次条")) {
            const bool previous = at(t_, i, "前条");
            const size_t end = i + 6;
            if (at(t_, end, kRei)) return npos;
            const std::optional<std::string> target = previous ? previousArticle() : nextArticle();
            if (!target) {
                ++out_.unresolved;
                antecedent_ = Antecedent{};
                return partsEnd(end);
            }
            cite(*target, CitationKind::Relative, i, end);
            return lastEnd_;
        }
        if (at(t_, i, "同条")) {
            const size_t end = i + 6;
            if (at(t_, end, kRei)) return npos;
            return sameAgain(i, end, false, false);
        }
        if (at(t_, i, "同項")) return sameAgain(i, i + 6, true, false);
        if (at(t_, i, "同号")) return sameAgain(i, i + 6, true, true);
        for (std::string_view w : {std::string_view("前項"), std::string_view("前各号"), std::string_view("前各項")}) {
            if (at(t_, i, w)) {
                antecedent_ = Antecedent{Antecedent::Own, std::string(own_), 0, 0, {}, false, {}};
                return partsEnd(i + w.size());
            }
        }
        return npos;
    }

    // 同条 (paragraph false), 同項 (paragraph true), 同号 (both true).
    size_t sameAgain(size_t i, size_t end, bool paragraph, bool item) {
        const Antecedent a = antecedent_;
        switch (a.what) {
            case Antecedent::None:
                ++out_.unresolved;
                return partsEnd(end);
            case Antecedent::Outside:
                return partsEnd(end);
            case Antecedent::Own:
                ++out_.sameArticle;
                return partsEnd(end);
            case Antecedent::Known:
                break;
        }
        if ((paragraph && a.paragraph == 0) || (item && !a.hasItem)) {
            ++out_.unresolved;
            antecedent_ = Antecedent{};
            return partsEnd(end);
        }
        if (!paragraph) {
            cite(a.target, CitationKind::Relative, i, end);
            return lastEnd_;
        }
        Part part;
        part.hasParagraph = true;
        part.paragraph = a.paragraph;
        part.paragraphBranch = a.paragraphBranch;
        part.paragraphText = a.paragraphText;
        if (item) {
            part.hasItem = true;
            part.itemText = a.itemText;
        } else {
            // 同項第二号: an item of that paragraph.
            const size_t itemEnd = readItem(t_, end, part);
            if (itemEnd != npos) end = itemEnd;
        }
        addCitation(a.target, CitationKind::Relative, part, i, end);
        return end;
    }

    // The article before this branch article (第6条の2 -> 第6条, 第6条の3 -> 第6条の2).
    std::optional<std::string> previousArticle() const {
        if (!isArticlePage()) return std::nullopt;
        const int branch1 = digitValue(own_.substr(8, 2));
        const int branch2 = digitValue(own_.substr(10, 2));
        if (branch1 < 2 || branch2 != 0) return std::nullopt;
        char body[24];
        std::snprintf(body, sizeof body, "%02d00", branch1 == 2 ? 0 : branch1 - 1);
        return std::string(own_.substr(0, 8)) + body;
    }

    // The branch article after this one, when the collection holds it.
    std::optional<std::string> nextArticle() const {
        if (!isArticlePage()) return std::nullopt;
        const int branch1 = digitValue(own_.substr(8, 2));
        const int branch2 = digitValue(own_.substr(10, 2));
        if (branch2 != 0 || branch1 >= 99) return std::nullopt;
        char body[24];
        std::snprintf(body, sizeof body, "%02d00", branch1 == 0 ? 2 : branch1 + 1);
        const std::string next = std::string(own_.substr(0, 8)) + body;
        if (!exists_ || !exists_(next)) return std::nullopt;
        return next;
    }

    bool isArticlePage() const {
        return own_.size() == 12 && own_[4] >= '0' && own_[4] <= '9' && asciiDigits(own_, 4) == 8;
    }

    // A reference to target at [start, end): the part words after it and the
    // parts joined to them are cited too.
    void cite(const std::string& target, CitationKind kind, size_t start, size_t end) {
        lastEnd_ = end;
        std::optional<Part> part = readPart(t_, end);
        if (!part) {
            addCitation(target, kind, Part{}, start, end);
            return;
        }
        std::vector<Part> parts;
        // An item without a paragraph belongs to the article's only paragraph.
        if (!part->hasParagraph) part->paragraph = 1;
        parts.push_back(*part);
        size_t p = part->end;
        for (;;) {
            const size_t c = connector(t_, p);
            if (c == 0) break;
            std::optional<Part> more = readPart(t_, p + c);
            if (!more) break;
            if (!more->hasParagraph) {
                const Part& last = parts.back();
                more->paragraph = last.paragraph;
                more->paragraphBranch = last.paragraphBranch;
                more->paragraphText = last.paragraphText;
            }
            parts.push_back(*more);
            p = more->end;
        }
        for (const Part& x : parts) addCitation(target, kind, x, start, p);
        lastEnd_ = p;
    }

    void addCitation(const std::string& target, CitationKind kind, const Part& part, size_t start, size_t end) {
        antecedent_ = Antecedent{target == own_ ? Antecedent::Own : Antecedent::Known,
                                 target,
                                 part.paragraph,
                                 part.paragraphBranch,
                                 part.paragraphText,
                                 part.hasItem,
                                 part.itemText};
        if (target == own_) {
            ++out_.sameArticle;
            return;
        }
        SentenceCitation c;
        c.target = target;
        c.paragraph = part.paragraph;
        c.paragraphBranch = part.paragraphBranch;
        c.part = part.paragraphText + part.itemText;
        c.kind = kind;
        c.start = start;
        c.end = end;
        out_.citations.push_back(std::move(c));
    }

    std::string_view idBN_;
    std::string_view own_;
    std::string_view t_;
    const ArticleLookup& exists_;
    SentenceScan out_;
    Antecedent antecedent_;
    bool inlineStopped_ = false;
    bool explicitStopped_ = false;
    size_t lastEnd_ = 0;
};

// The position after the tag at [open, close]; for a ruby reading (<rt>,
// <rp>) after its end tag, so that the reading is not part of the text.
size_t afterTag(std::string_view t, size_t open, size_t close) {
    for (std::string_view name : {std::string_view("rt"), std::string_view("rp")}) {
        const std::string_view tag = t.substr(open + 1, close - open - 1);
        if (tag == name || (tag.size() > name.size() && tag.substr(0, name.size()) == name && tag[name.size()] == ' ')) {
            const std::string endTag = "</" + std::string(name) + ">";
            const size_t e = t.find(endTag, close);
            if (e != npos) return e + endTag.size();
        }
    }
    return close + 1;
}

}  // namespace

SentenceScan scanSentence(std::string_view idBN, std::string_view textUtf8, const ArticleLookup& articleExists) {
    return Scanner(idBN, textUtf8, articleExists).run();
}

size_t cp932Length(std::string_view s) {
    size_t n = 0;
    for (size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        const size_t len = utf8Length(c);
        if (len == 1) {
            n += 1;
        } else {
            // Half-width katakana U+FF61-U+FF9F: EF BD A1 .. EF BE 9F.
            const bool halfWidth = len == 3 && c == 0xEF && i + 2 < s.size() &&
                                   ((static_cast<unsigned char>(s[i + 1]) == 0xBD &&
                                     static_cast<unsigned char>(s[i + 2]) >= 0xA1) ||
                                    static_cast<unsigned char>(s[i + 1]) == 0xBE);
            n += halfWidth ? 1 : 2;
        }
        i += len;
    }
    return n;
}

int kanjiNumber(std::string_view t) {
    if (t.empty() || t.size() % 3 != 0) return 0;
    int value = 0, current = 0;
    for (size_t p = 0; p < t.size(); p += 3) {
        const int d = kanjiDigit(t, p);
        if (d == 0) return 0;
        if (d == 10) {
            if (value != 0) return 0;  // one 十 at most
            value = (current == 0 ? 1 : current) * 10;
            current = 0;
        } else {
            if (current != 0) return 0;
            current = d;
        }
    }
    return value + current;
}

std::string plainText(std::string_view t) {
    std::string out;
    out.reserve(t.size());
    for (size_t i = 0; i < t.size();) {
        const char c = t[i];
        if (c == '<') {
            const size_t close = t.find('>', i);
            if (close == npos) break;
            i = afterTag(t, i, close);
            continue;
        }
        if (c == '[' && at(t, i + 1, "L")) {
            const size_t close = t.find("L]", i + 2);
            if (close != npos) {
                const std::string_view inner = t.substr(i + 2, close - i - 2);
                out.append(inner.substr(0, inner.find('/')));
                i = close + 2;
                continue;
            }
        }
        if (c == '[' && at(t, i + 1, "K")) {
            i += 2;
            continue;
        }
        if (c == 'K' && at(t, i + 1, "]")) {
            i += 2;
            continue;
        }
        if (c == '[' && at(t, i + 1, kDai)) {
            const size_t close = t.find(']', i);
            if (close != npos) {
                const std::string_view inner = t.substr(i + 1, close - i - 1);
                out.append(inner.substr(0, inner.find('/')));
                i = close + 1;
                continue;
            }
        }
        const size_t len = std::min(utf8Length(static_cast<unsigned char>(c)), t.size() - i);
        out.append(t.substr(i, len));
        i += len;
    }
    return out;
}

}  // namespace tavrel::citations
