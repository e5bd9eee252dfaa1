#include "render/links.h"

#include "database/connection.h"
#include "database/identifiers.h"
#include "database/report.h"
#include "database/sql_texts.h"
#include "document/document.h"
#include "document/numbering.h"
#include "text/sjis.h"

#include <algorithm>
#include <optional>
#include <stdexcept>

namespace tavrel::render {

std::string referenceFailureContact(const Document& doc) {
    std::string text = SJ("お手数ですが、この条文の名前と表示の状況を作者までメールでお知らせ下さい。");
    if (const std::string& mail = doc.supportAddresses().mail; !mail.empty()) text += SJ("\nメールアドレス: ") + mail;
    return text;
}

namespace {

constexpr size_t npos = std::string::npos;

// An inline reference ends with a "]" less than this many bytes after its "[".
constexpr size_t kInlineReach = 22;
// Distance from 第 to 条 of an inline reference.
constexpr size_t kArticleDistanceMin = 3;
constexpr size_t kArticleDistanceMax = 6;
// Explicit link markup ends with an "L]" less than this many bytes after "[L".
constexpr size_t kExplicitReach = 82;
// At most this many bytes lie between "[K" and "K]" of a marked keyword.
constexpr size_t kMarkedKeywordReach = 79;
// Captions of target pages longer than this are cut.
constexpr size_t kCaptionLimit = 50;

const std::string& refPurpose() { return SJ("文ID(ID_BN)から参照リンクを抽出、作成"); }
constexpr const char* kRefOperation = "CTavrelDoc::_html_ref()";

// Removes the ASCII characters of leading from the start and those of
// trailing from the end of s. The end is trimmed character by character, so
// the trail byte of a double-byte character (which may equal "]" or "K") is
// never taken for one of them.
std::string trimEnds(const std::string& s, const std::string& leading, const std::string& trailing) {
    size_t b = 0;
    while (b < s.size() && leading.find(s[b]) != npos) ++b;
    size_t keepEnd = b;
    for (size_t i = b; i < s.size();) {
        const size_t n = text::charLength(s, i);
        const bool trimmed = n == 1 && trailing.find(s[i]) != npos;
        i += n;
        if (!trimmed) keepEnd = i;
    }
    return s.substr(b, keepEnd - b);
}

bool allDigits(const std::string& s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A branch number of an inline reference: one or two digits.
std::optional<int> branchNumber(const std::string& s) {
    if (s.empty() || s.size() > 2 || !allDigits(s)) return std::nullopt;
    return static_cast<int>(text::toLong(s));
}

struct InlineTarget {
    std::string target;   // 12 characters
    std::string display;  // the markup without its brackets and law part
};

// Reads one inline reference "[第12条の2]" / "[第3条/05B]"; nothing when the
// article number cannot be read.
std::optional<InlineTarget> readInlineReference(const std::string& markup, const std::string& sourceLaw) {
    std::string law = sourceLaw;
    std::string body = markup;
    const size_t slash = text::findText(markup, "/");
    if (slash != npos) {
        law = markup.substr(slash + 1, 3);
        body = markup.substr(0, slash) + "]";
    }
    // The law goes into the link address: only a real law identifier does.
    if (!db::isIdHN(law)) return std::nullopt;

    const std::string& dai = SJ("第");
    const std::string& jo = SJ("条");
    const std::string& no = SJ("の");

    const size_t daiPos = text::findText(body, dai);
    if (daiPos == npos) return std::nullopt;
    const size_t joPos = text::findText(body, jo, daiPos + dai.size());
    if (joPos == npos) return std::nullopt;
    const size_t distance = joPos - daiPos;
    if (distance < kArticleDistanceMin || distance > kArticleDistanceMax) return std::nullopt;
    const long article = text::toLong(body.substr(daiPos + dai.size(), joPos - daiPos - dai.size()));
    if (article <= 0) return std::nullopt;

    int branch1 = 0, branch2 = 0;
    const size_t first = text::findText(body, no, joPos + jo.size());
    if (first != npos) {
        const size_t from = first + no.size();
        const size_t second = text::findText(body, no, from);
        const size_t close = text::findText(body, "]", from);
        const size_t end = std::min(second, close);
        if (end == npos) return std::nullopt;
        const auto b1 = branchNumber(body.substr(from, end - from));
        if (!b1) return std::nullopt;
        branch1 = *b1;
        if (second != npos && second < close) {
            const size_t from2 = second + no.size();
            const auto b2 = branchNumber(body.substr(from2, close - from2));
            if (!b2) return std::nullopt;
            branch2 = *b2;
        }
    }

    InlineTarget t;
    t.target = law + "-" + text::format("%04ld%02d%02d", article, branch1, branch2);
    t.display = trimEnds(body, "[", "]");
    return t;
}

std::string linkHtml(const std::string& id, const std::string& target, const std::string& display) {
    std::string s = id.empty() ? std::string("<a href='http://") : "<a id=\"" + id + "\" href='http://";
    return s + target + "_TAVREL" + "'>" + display + "</a>";
}

std::string keywordSpan(const OptionBlock& options, const std::string& inner) {
    return "<SPAN STYLE=\"color: #" + colorToHtml(options[FontColorKeyWord]) + "\">" + inner + "</SPAN>";
}

}  // namespace

void colourReferenceKeyword(std::string& text, const std::string& keyword, bool automatic, int selected,
                            const OptionBlock& options) {
    if (automatic) {
        if (keyword.empty()) return;
        const std::string coloured = keywordSpan(options, keyword);
        if (selected <= 0) {
            text = text::replaceAll(text, keyword, coloured);
            return;
        }
        size_t p = text::findText(text, keyword);
        for (int k = 1; k < selected && p != npos; ++k) p = text::findText(text, keyword, p + keyword.size());
        if (p != npos) text.replace(p, keyword.size(), coloured);
        return;
    }

    // Places marked in the text itself: [K…K]. Each marker is replaced (with
    // every identical marker) by its coloured content, and the scan goes on
    // right after that replacement, so every marker of the text is coloured.
    size_t pos = 0;
    while (pos + 1 < text.size()) {
        const size_t open = text::findText(text, "[K", pos);
        if (open == npos) break;
        const size_t close = text::findText(text, "K]", open + 2);
        if (close == npos || close - (open + 2) > kMarkedKeywordReach) break;
        const std::string piece = text.substr(open, close + 2 - open);
        const std::string coloured = keywordSpan(options, trimEnds(piece, "[K", "K]"));
        text = text::replaceAll(text, piece, coloured);
        pos = open + coloured.size();
    }
}

namespace {

std::string captionPart(const std::string& note, const std::string& caption) {
    std::string c = note;
    if (c.empty()) {
        c = caption;
        if (c.size() > kCaptionLimit) c = text::safeCut(c, kCaptionLimit) + " ... ";
    }
    if (c == SJ("なし")) return {};
    return SJ(" 「") + c + SJ("」");
}

// The label of a reference target by its page kind; nothing for a target
// that cannot be shown as a link.
std::optional<std::string> targetLabel(const std::string& target) {
    if (!db::isIdFN(target)) return std::nullopt;
    const auto kind = numbering::pageKind(target);
    if (!kind) return std::nullopt;
    switch (*kind) {
        case numbering::Article:
            return numbering::articleLabel(target);
        case numbering::Notification:
            return numbering::notificationNumberText(target, false);
        case numbering::AppendedTable:
            return numbering::appendedTableLabel(target);
        default:
            return std::nullopt;
    }
}

}  // namespace

std::string inlineReferences(const std::string& sourceIdBN, const std::string& source, bool inTable) {
    const std::string marker = "[" + SJ("第");
    const std::string sourceLaw = sourceIdBN.substr(0, std::min<size_t>(3, sourceIdBN.size()));
    std::string text = source;
    std::vector<std::string> ids;
    size_t pos = 0;
    for (;;) {
        const size_t start = text::findText(text, marker, pos);
        if (start == npos) break;
        const size_t end = text::findText(text, "]", start + marker.size());
        if (end == npos || end - start >= kInlineReach) break;
        const std::string markup = text.substr(start, end + 1 - start);

        const auto ref = readInlineReference(markup, sourceLaw);
        if (!ref) {
            // An unreadable reference stays as it is, brackets included.
            pos = end + 1;
            continue;
        }
        const std::string id = sourceIdBN + "-to-" + ref->target + (inTable ? "-t01" : "-p01");
        const std::string link = linkHtml(id, ref->target, ref->display);
        // A source id that itself spells the markup would put the markup back
        // into every link, and the text would grow without end: such a
        // reference stays as it is.
        if (text::findText(link, markup) != npos) {
            pos = end + 1;
            continue;
        }
        text = text::replaceAll(text, markup, link);
        ids.push_back(id);
        pos = start + link.size();
    }
    renumberDuplicateIds(text, ids);
    return text;
}

std::string explicitLinks(const std::string& sourceId, const std::string& source) {
    std::string text = source;
    std::vector<std::string> ids;
    size_t pos = 0;
    for (;;) {
        const size_t start = text::findText(text, "[L", pos);
        if (start == npos) break;
        const size_t end = text::findText(text, "L]", start + 2);
        if (end == npos || end - start >= kExplicitReach) break;
        const std::string markup = text.substr(start, end + 2 - start);
        const std::string inner = markup.substr(2, markup.size() - 4);
        const size_t slash = text::findText(inner, "/");
        const std::string target = slash == npos ? std::string() : inner.substr(slash + 1);
        // Only a page prefix of identifier characters is linked: the target is
        // written into the link address as it is.
        if (!db::isIdFNPrefix(target)) {
            pos = end + 2;
            continue;
        }
        std::string id;
        if (sourceId.size() == db::kIdBNLength) {
            id = sourceId + "-to-" + target + "-m01";
            ids.push_back(id);
        }
        const std::string link = linkHtml(id, target, inner.substr(0, slash));
        // As for the inline references: a link that holds its own markup
        // (through the source id) is never put in.
        if (text::findText(link, markup) != npos) {
            pos = end + 2;
            continue;
        }
        text = text::replaceAll(text, markup, link);
        pos = start + link.size();
    }
    renumberDuplicateIds(text, ids);
    return text;
}

std::string removeXStrAttributes(const std::string& source) {
    static const std::string attribute = "x:str=\"";
    std::string text = source;
    size_t pos = 0;
    for (;;) {
        const size_t start = text::findText(text, attribute, pos);
        if (start == npos) break;
        const size_t end = text::findText(text, "\"", start + attribute.size());
        if (end == npos) break;
        text.erase(start, end + 1 - start);
        // The text around the removed attribute may itself spell the start of
        // another one ("x:s" + "tr=\""), which begins at most six bytes back.
        pos = start >= attribute.size() - 1 ? start - (attribute.size() - 1) : 0;
    }
    return text;
}

void renumberDuplicateIds(std::string& text, const std::vector<std::string>& ids) {
    std::vector<std::string> distinct;
    for (const std::string& id : ids) {
        if (id.size() >= 2 && std::find(distinct.begin(), distinct.end(), id) == distinct.end()) distinct.push_back(id);
    }
    for (const std::string& id : distinct) {
        const std::string pattern = "id=\"" + id + "\"";
        const std::string stem = id.substr(0, id.size() - 2);
        int occurrence = 0;
        for (size_t p = text::findText(text, pattern); p != npos;) {
            ++occurrence;
            size_t next = p + pattern.size();
            if (occurrence > 1) {
                const std::string renumbered = "id=\"" + stem + text::format("%02d", occurrence) + "\"";
                text.replace(p, pattern.size(), renumbered);
                next = p + renumbered.size();
            }
            p = text::findText(text, pattern, next);
        }
    }
}

bool buildReferenceBlock(Document& doc, const std::string& idBN, int fontSize, std::string& block, std::string& sentence,
               std::string& table) {
    MessageSink& sink = doc.messages();
    const OptionBlock& options = doc.options();
    // Work on copies: a failure leaves the caller's texts as they were.
    std::string outBlock = block;
    std::string outSentence = sentence;
    std::string outTable = table;
    std::vector<std::string> ids;
    int rows = 0;

    try {
        const std::optional<std::string> sql = db::sql::references(idBN);
        db::Recordset rs;
        if (sql) rs = doc.connection().execute(*sql, nullptr, -1);
        if (!sql || rs.isEOF()) {
            db::report(sink, refPurpose(), kRefOperation,
                       SJ("データベースに参照リンクデータを見つけることが\nできませんでした。\n\n"),
                       db::ReportIndent::Plain);
            return false;
        }

        for (; !rs.isEOF(); rs.moveNext()) {
            const std::string target = rs.text(SJ("T_条.ID_FN"));
            const std::string supplement = rs.text(SJ("補助"));
            const std::string note = rs.text(SJ("備考"));
            const std::string caption = rs.text(SJ("条名"));
            const bool valid = rs.int16(SJ("有効")) != 0;
            const bool emphasise = rs.int16(SJ("強調")) != 0;
            const bool automatic = rs.int16(SJ("自動")) != 0;
            const int selected = rs.int16(SJ("選定"));
            const bool inTable = rs.int16(SJ("表中")) != 0;
            const std::string keyword = rs.text(SJ("キーワード"));
            const std::string place = rs.text(SJ("場所"));

            const std::optional<std::string> label = targetLabel(target);
            if (!label) break;
            const bool otherFamily = target.compare(0, 2, idBN, 0, 2) != 0;
            const std::string lawName = doc.lawName(target.substr(0, 3), otherFamily ? 1 : 2);
            if (lawName.empty()) break;

            std::string prefix;
            if (!keyword.empty() && valid) {
                prefix = "<SPAN STYLE=\"color: #" + colorToHtml(options[FontColorKeyWord]) + "\">" + keyword;
                if (!place.empty()) prefix += SJ("（") + place + SJ("）");
                prefix += "</SPAN>" + SJ(" ⇒ ");
            }

            const std::string linkText =
                lawName + (otherFamily ? " " : "") + *label + supplement + captionPart(note, caption);
            const std::string id = idBN + "-to-" + target.substr(0, db::kIdFNPrefixLength) + "-r01";
            ids.push_back(id);

            outBlock += text::format("<font style=\"font-size: %dpt; font-weight: normal; \">\n", fontSize);
            outBlock += rows == 0 ? "<div style=\"margin-left: 7em; margin-top: 0.5em\" align=\"right\">"
                                  : "<div style=\"margin-left: 7em\" align=\"right\">";
            outBlock += prefix + linkHtml(id, target, linkText) + "</div>\n" + "</font>\n";
            ++rows;

            if (valid && emphasise && !keyword.empty()) {
                if (inTable) {
                    outTable = removeXStrAttributes(outTable);
                    colourReferenceKeyword(outTable, keyword, automatic, selected, options);
                } else {
                    colourReferenceKeyword(outSentence, keyword, automatic, selected, options);
                }
            }
        }
        rs.close();
    } catch (const db::DbError& e) {
        db::report(sink, refPurpose(), kRefOperation, db::errorObjectBody(e.error(), db::ReportIndent::Plain),
                   db::ReportIndent::Plain);
        return false;
    } catch (const std::exception&) {
        db::report(sink, refPurpose(), kRefOperation, db::unexpectedExceptionBody(), db::ReportIndent::Plain);
        return false;
    }

    std::sort(ids.begin(), ids.end());
    renumberDuplicateIds(outBlock, ids);

    if (rows == 0) {
        const std::string body = SJ("文ID(") + idBN + SJ(")の参照リンク先の抽出に失敗しました。\n") + SJ("関数 = ") +
                                 kRefOperation + "\n\n" + referenceFailureContact(doc);
        sink.show(refPurpose(), body, MsgButtons::Ok, MsgIcon::Error, true);
        return false;
    }
    block = std::move(outBlock);
    sentence = std::move(outSentence);
    table = std::move(outTable);
    return true;
}

}  // namespace tavrel::render
