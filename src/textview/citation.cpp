#include "textview/citation.h"

#include "database/connection.h"
#include "database/identifiers.h"
#include "database/sql_texts.h"
#include "document/document.h"
#include "text/sjis.h"

#include <algorithm>

namespace tavrel::textview {

namespace {

constexpr size_t kLawIdLength = 3;
using db::kIdBNLength;
using db::kIdFNLength;

std::string formatOf(const CitationPage& page, const std::string& idBN) {
    for (const CitationSentence& s : page.sentences)
        if (s.idBN == idBN) return s.formatCode;
    return {};
}

// Whether the article (or 附則) of idBN has a paragraph other than its own:
// only then is the paragraph named.
bool hasOtherParagraph(const CitationPage& page, const std::string& idBN, int paragraph) {
    for (const CitationSentence& s : page.sentences) {
        if (s.idBN.compare(0, db::kIdFNPrefixLength, idBN, 0, db::kIdFNPrefixLength) != 0) continue;
        const auto e = numbering::articleElement(s.idBN);
        if (e && e->paragraph != 0 && e->paragraph != paragraph) return true;
    }
    // Without the article's sentences a later paragraph still shows there are several.
    return page.sentences.empty() && paragraph > 1;
}

void appendLabel(std::vector<std::string>& parts, const std::optional<std::string>& label) {
    // "-" is the label a notification hides (札抜 style D).
    if (label && !label->empty() && *label != "-") parts.push_back(*label);
}

std::string notificationHead(const std::string& idFN) {
    const auto n = numbering::notificationNumber(idFN);
    if (!n) return {};
    static const char* const eras[] = {"", "明治", "大正", "昭和", "平成"};
    if (n->era < 1 || n->era > 4) return {};
    return text::fromUtf8(eras[n->era]) + std::to_string(n->year) + SJ("年告示第") + std::to_string(n->number) +
           SJ("号");
}

void articleLevels(const CitationPage& page, const std::string& idBN, bool supplementary,
                   std::vector<std::string>& parts) {
    const auto e = numbering::articleElement(idBN);
    if (!e) return;
    const std::string format = formatOf(page, idBN);
    const auto label = [&](int flag) {
        return numbering::articleElementLabel(idBN, flag, format, true, page.supplement);
    };
    // 附則 whose items are its articles (format style D: 「第1条」) name the
    // article, not the paragraph holding it.
    const bool itemIsArticle = supplementary && e->item != 0 && format.size() > 4 && format[4] == 'D';
    if (e->paragraph != 0 && !itemIsArticle && hasOtherParagraph(page, idBN, e->paragraph))
        appendLabel(parts, label(2));
    for (int flag : {4, 8, 16, 32}) appendLabel(parts, label(flag));
}

void notificationLevels(const CitationPage& page, const std::string& idBN, std::vector<std::string>& parts) {
    const auto level = numbering::notificationElementLevel(idBN);
    if (!level) return;
    switch (*level) {
        case 9: parts.push_back(SJ("附則")); return;
        case 10: parts.push_back(SJ("別記")); return;
        case 12: parts.push_back(SJ("別表")); return;
        case 11: return;  // a paragraph without a label
        default: break;
    }
    const std::string format = formatOf(page, idBN);
    for (int flag : {8, 16, 32, 64, 128, 256})
        appendLabel(parts, numbering::notificationElementLabel(idBN, flag, format, true, page.supplement));
}

}  // namespace

std::vector<std::string> citationParts(const CitationPage& page, const std::string& idBN) {
    std::vector<std::string> parts;
    // The sentence's own page (a large page shown in full holds several).
    const bool sentence = idBN.size() == kIdBNLength;
    const std::string idFN = sentence ? idBN.substr(0, kIdFNLength) : page.idFN;
    const auto kind = numbering::pageKind(idFN);
    if (!kind) return parts;
    switch (*kind) {
        case numbering::Article: {
            const auto article = numbering::articleLabel(idFN);
            if (!article) return parts;
            parts.push_back(page.lawName + *article);
            if (sentence) articleLevels(page, idBN, false, parts);
            break;
        }
        case numbering::Supplementary:
            parts.push_back(page.lawName + SJ("附則"));
            if (sentence) articleLevels(page, idBN, true, parts);
            break;
        case numbering::Notification: {
            std::string head = notificationHead(idFN);
            if (head.empty()) return parts;
            parts.push_back(std::move(head));
            if (sentence) notificationLevels(page, idBN, parts);
            break;
        }
        case numbering::AppendedTable: {
            const auto table = numbering::appendedTableLabel(idFN);
            if (table) parts.push_back(page.lawName + *table);
            break;
        }
        case numbering::SpecialPage: break;
    }
    return parts;
}

std::string citationText(const CitationPage& page, const std::string& startIdBN, const std::string& endIdBN) {
    const std::vector<std::string> first = citationParts(page, startIdBN);
    if (first.empty()) return {};
    std::string out = SJ("（");
    for (const std::string& p : first) out += p;
    const std::vector<std::string> last = endIdBN.empty() ? first : citationParts(page, endIdBN);
    const auto [f, l] = std::mismatch(first.begin(), first.end(), last.begin(), last.end());
    // Written from where the last sentence differs from the first; one inside
    // the first one's element (an item of the paragraph the selection starts
    // in), or the same element, adds nothing.
    if (f != first.end() && l != last.end()) {
        out += SJ("～");
        for (auto it = l; it != last.end(); ++it) out += *it;
    }
    return out + SJ("）");
}

std::string textWithCitation(const std::string& selection, const std::string& citation) {
    std::string text = selection;
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.pop_back();
    return text + citation;
}

const char* selectionSentencesScript() {
    return R"JS((function(){var sel=window.getSelection();if(!sel||!sel.rangeCount){return ";";}
var r=sel.getRangeAt(0),re=/^[0-9A-Z]{3}-[0-9A-Z]{8}-[0-9]{2}(-[0-9A-Z]{4}){4}$/,list=[];
var all=document.querySelectorAll("a[id]");for(var i=0;i<all.length;i++){if(re.test(all[i].id)){list.push(all[i]);}}
function at(node,offset){var p=document.createRange();p.setStart(node,offset);p.collapse(true);var id="";
for(var i=0;i<list.length;i++){if(p.comparePoint(list[i],0)>0){break;}id=list[i].id;}return id;}
return at(r.startContainer,r.startOffset)+";"+at(r.endContainer,r.endOffset);})())JS";
}

CitationPage citationPage(Document& doc, const std::string& idFN) {
    CitationPage page;
    page.idFN = idFN;
    page.lawName = doc.lawName(idFN.substr(0, std::min(idFN.size(), kLawIdLength)), 1);
    page.supplement = [&doc](const std::string& id) {
        ArticleInfo info;
        return doc.articleInfo(id, info) ? info.supplement : std::string();
    };
    const auto kind = numbering::pageKind(idFN);
    if (!kind || *kind == numbering::SpecialPage || *kind == numbering::AppendedTable || !doc.isConnected())
        return page;
    const auto sql = db::sql::sentencesByPrefix(std::string_view(idFN).substr(0, db::kIdFNPrefixLength));
    if (!sql) return page;
    try {
        auto rs = doc.connection().execute(*sql);
        const std::string formatField = SJ("書式コード");
        while (!rs.isEOF()) {
            if (!rs.isNull("ID_BN"))
                page.sentences.push_back({rs.text("ID_BN"), rs.isNull(formatField) ? std::string() : rs.text(formatField)});
            rs.moveNext();
        }
    } catch (...) {
        // The citation is a convenience: without the rows it is built from
        // the identifiers alone.
        page.sentences.clear();
    }
    return page;
}

}  // namespace tavrel::textview
