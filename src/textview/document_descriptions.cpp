// The descriptions of hovered page links, taken from the open document.
#include "document/document.h"
#include "document/numbering.h"
#include "textview/status_text.h"

namespace tavrel::textview {

std::string DocumentPageDescriptions::lawShortName(const std::string& idHN) const { return doc_.lawName(idHN, 2); }

std::optional<std::string> DocumentPageDescriptions::articleHeading(const std::string& idFN) const {
    return numbering::articleLabel(idFN);
}

std::optional<std::string> DocumentPageDescriptions::notificationTitle(const std::string& idFN) const {
    return numbering::notificationNumberText(idFN);
}

std::optional<std::string> DocumentPageDescriptions::tableTitle(const std::string& idFN) const {
    return numbering::appendedTableLabel(idFN);
}

std::string DocumentPageDescriptions::caption(const std::string& idFN) const {
    ArticleInfo info;
    return doc_.articleInfo(idFN, info) ? info.caption : std::string();
}

bool DocumentPageDescriptions::splitPage(const std::string& idFN, int& number, int& count) const {
    return doc_.splitPage(idFN, count, number);
}

}  // namespace tavrel::textview
