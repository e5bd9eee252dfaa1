#include "render/sentence_label.h"

#include "text/sjis.h"

namespace tavrel::render {

namespace {

using numbering::PageKind;

std::optional<SentenceLayout> articleLayout(bool supplementary, const std::string& idBN, const std::string& formatCode,
                                            double d, const numbering::SupplementLookup& supplement) {
    const std::optional<int> level = numbering::articleElementLevel(idBN);
    if (!level || *level < 0 || *level > 5) return std::nullopt;
    const int flag = 1 << *level;
    const std::string label =
        numbering::articleElementLabel(idBN, flag, formatCode, false, supplement).value_or(std::string());

    if (supplementary && *level == 1) return SentenceLayout{};
    if (supplementary && *level == 2) {
        if (label.empty()) return SentenceLayout{};
        return SentenceLayout{label + SJ("　"), 1.5 * d, -1.5 * d};
    }
    // Levels 0 and 1 share the first indentation; each deeper level moves one
    // unit to the right.
    const double left = *level <= 1 ? 1.5 * d : (*level + 0.5) * d;
    return SentenceLayout{label + SJ("　"), left, -1.5 * d};
}

std::optional<SentenceLayout> notificationLayout(const std::string& idBN, const std::string& formatCode,
                                                 bool labelHidden, double d,
                                                 const numbering::SupplementLookup& supplement) {
    const std::optional<int> level = numbering::notificationElementLevel(idBN);
    if (!level) return std::nullopt;
    auto labelOf = [&](int flag) {
        return numbering::notificationElementLabel(idBN, flag, formatCode, false, supplement).value_or(std::string());
    };
    switch (*level) {
        case 0:
        case 11:
            return SentenceLayout{};
        case 1: {
            if (labelHidden) return SentenceLayout{};
            const std::string label = labelOf(8);
            if (label.empty()) return SentenceLayout{};
            return SentenceLayout{label + SJ("　"), 1.5 * d, -1.5 * d};
        }
        case 2: {
            const std::string label = labelOf(16);
            if (label.empty()) return SentenceLayout{"", d, 0.0};
            return SentenceLayout{label + SJ("　"), 2.5 * d, -1.5 * d};
        }
        case 3:
        case 4:
        case 5:
        case 6: {
            // Level n: flag 8 << (n - 1); without a label the row moves
            // (n - 1) units in; a label in full-width parentheses hangs one
            // unit further out.
            const int n = *level;
            const std::string label = labelOf(8 << (n - 1));
            if (label.empty()) return SentenceLayout{"", (n - 1) * d, 0.0};
            if (label.compare(0, SJ("（").size(), SJ("（")) == 0)
                return SentenceLayout{label + SJ("　"), (n + 1.5) * d, -2.5 * d};
            return SentenceLayout{label + SJ("　"), (n + 0.5) * d, -1.5 * d};
        }
        case 9:
            return SentenceLayout{SJ("附則"), 0.0, 0.0};
        case 10:
            return SentenceLayout{SJ("別記"), 3 * d, -3 * d};
        case 12:
            return SentenceLayout{SJ("別表"), 3 * d, -3 * d};
        default:
            return std::nullopt;  // levels 7 and 8 do not occur
    }
}

}  // namespace

std::optional<SentenceLayout> sentenceLayout(PageKind kind, const std::string& idBN, const std::string& formatCode,
                                             bool labelHidden, double unit,
                                             const numbering::SupplementLookup& supplement) {
    if (kind == numbering::Notification) return notificationLayout(idBN, formatCode, labelHidden, unit, supplement);
    if (kind == numbering::Article || kind == numbering::Supplementary)
        return articleLayout(kind == numbering::Supplementary, idBN, formatCode, unit, supplement);
    return std::nullopt;
}

}  // namespace tavrel::render
