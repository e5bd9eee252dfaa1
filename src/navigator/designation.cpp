#include "navigator/designation.h"

#include "document/numbering.h"
#include "text/sjis.h"

namespace tavrel::nav {

namespace {

Designation unknownDesignation() { return Designation{SJ("不明"), DesignationKind::Unknown, 0, 0}; }

// Removes every leading "第" (whole characters only).
std::string withoutLeadingDai(std::string s) {
    const std::string& dai = SJ("第");
    size_t start = 0;
    while (s.compare(start, dai.size(), dai) == 0) start += dai.size();
    return s.substr(start);
}

}  // namespace

bool isUnknownDesignation(const std::string& text) { return text == SJ("不明"); }

int pieceNumber(const std::string& idFN) {
    if (idFN.size() < 2) return 0;
    return static_cast<int>(text::toLong(std::string_view(idFN).substr(idFN.size() - 2)));
}

Designation pageDesignation(const std::string& idFN, const std::string& caption) {
    const auto kind = numbering::pageKind(idFN);
    if (!kind) return unknownDesignation();
    switch (*kind) {
        case numbering::Article: {
            const auto label = numbering::articleLabel(idFN);
            if (!label) return unknownDesignation();
            return Designation{withoutLeadingDai(*label), DesignationKind::Article, 0, 0};
        }
        case numbering::Supplementary:
            return Designation{numbering::supplementaryName(caption), DesignationKind::Supplementary, 0, 0};
        case numbering::Notification: {
            const auto text = numbering::notificationNumberText(idFN, true);
            const auto number = numbering::notificationNumber(idFN);
            if (!text || !number) return unknownDesignation();
            return Designation{*text, DesignationKind::Notification, number->era, number->year};
        }
        case numbering::AppendedTable: {
            const auto label = numbering::appendedTableLabel(idFN);
            if (!label) return unknownDesignation();
            return Designation{*label, DesignationKind::AppendedTable, 0, 0};
        }
        case numbering::SpecialPage:
            break;
    }
    return unknownDesignation();
}

}  // namespace tavrel::nav
