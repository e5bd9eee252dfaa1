#include "render/sentence_block.h"

#include "document/document.h"
#include "render/brackets.h"
#include "render/links.h"
#include "render/render_support.h"
#include "render/sentence_label.h"
#include "render/tables.h"
#include "text/sjis.h"

#include <vector>

namespace tavrel::render {

std::string raiseUnitExponents(const std::string& text) {
    struct Unit {
        std::string unit, raised;
    };
    // (unit with exponent, unit + "<SUP>" + exponent + "</SUP>"), in the order
    // they are applied; converted once.
    static const std::vector<Unit> kUnits = [] {
        std::vector<Unit> units;
        for (const char* utf8 : {"㎝2", "㎝3", "㎜2", "㎜3", "m3", "s2", "秒2"}) {
            const std::string unit = text::fromUtf8(utf8);
            units.push_back({unit, unit.substr(0, unit.size() - 1) + "<SUP>" + unit.back() + "</SUP>"});
        }
        return units;
    }();
    std::string out = text;
    for (const Unit& u : kUnits) out = text::replaceAll(out, u.unit, u.raised);
    return out;
}

SentenceRenderer::SentenceRenderer(Document& doc, numbering::PageKind kind)
    : doc_(doc), kind_(kind), unit_(doc.options()[FontSizeBasic] * kMillimetresPerPoint) {}

std::string SentenceRenderer::render(const SentenceRow& row) {
    const OptionBlock& options = doc_.options();

    std::string sentence = row.text;
    if (doc_.toggles().brachet) colourBrackets(sentence, options);
    sentence = raiseUnitExponents(sentence);
    sentence = inlineReferences(row.idBN, sentence, false);
    sentence = explicitLinks(row.idBN, sentence);
    sentence = emphasiseDefinitions(sentence);

    std::string label;
    const numbering::SupplementLookup supplement = [this](const std::string& idFN) {
        ArticleInfo info;
        return doc_.articleInfo(idFN, info) ? info.supplement : std::string();
    };
    if (const auto layout = sentenceLayout(kind_, row.idBN, row.formatCode, row.labelHidden, unit_, supplement)) {
        label = layout->label;
        marginLeft_ = layout->marginLeft;
        textIndent_ = layout->textIndent;
    }

    std::string table;
    if (row.hasTable && !buildTablePage(doc_, row.idBN, table)) table.clear();

    std::string references;
    if (doc_.toggles().refer && row.hasReferences &&
        !buildReferenceBlock(doc_, row.idBN, options[FontSizeBasic] - 1, references, sentence, table))
        references.clear();

    std::string out;
    const std::string testText = text::trimAscii(text::replaceAll(label, SJ("　"), " "));
    if (!testText.empty() || !sentence.empty()) {
        if (kind_ == numbering::Supplementary && row.idBN.size() >= 14 &&
            row.idBN.compare(row.idBN.size() - 14, 14, "0000-0000-0000") == 0)
            out += "<br><br>\n";
        // The margins read the same under any locale (a comma would void them).
        out += "<div style='margin-bottom:0.0mm; margin-top:2.0mm; margin-left:" + text::formatFixed(marginLeft_, 1) +
               "mm; text-indent:" + text::formatFixed(textIndent_, 1) + "mm'>\n";
        const bool hidden = kind_ == numbering::Notification && text::findText(label, "-") != std::string::npos;
        const std::string color = htmlColor(hidden ? options[BackColor] : options[FontColorTag]);
        out += "<font color=\"" + color + "\"><b><a id=\"" + row.idBN + "\">\n";
        out += label + "\n</a></b></font>\n" + sentence + "\n</div>\n";
    }
    if (!references.empty()) out += references + "<br>\n";
    if (row.hasTable) {
        if (!table.empty()) {
            table = removeXStrAttributes(table);
            table = emphasiseDefinitions(table);
            if (row.hasFigures) table = text::replaceAll(table, "./images/", pageImageFolder(doc_) + "kokuji/");
            out += "\n<!-- start : tabel inserted -->\n" + table + "\n<!-- end : tabel inserted -->\n\n" + "<br>\n\n";
        } else {
            out += "<br><font color=#EE0000><B>\n";
            out += SJ("　　表式データ（") + row.idBN + SJ("）が見つかりませんでした。");
            out += "<br>\n</b></font>\n<br>\n";
        }
    }
    return out;
}

}  // namespace tavrel::render
