#include "render/render_support.h"

#include "document/document.h"
#include "document/options.h"
#include "text/sjis.h"

namespace tavrel::render {

void reportFailure(Document& doc, const ReportTarget& target, const std::string& body) {
    db::report(doc.messages(), target.purpose, target.operation, body, db::ReportIndent::Plain);
}

std::string htmlColor(int32_t color) { return "#" + colorToHtml(color); }

std::string pageImageFolder(const Document& doc) { return text::fromUtf8(doc.imageFolder()); }

bool insertAt(std::string& text, const std::string& marker, const std::string& what, bool after) {
    const size_t pos = text::findText(text, marker);
    if (pos == std::string::npos) return false;
    text.insert(after ? pos + marker.size() : pos, what);
    return true;
}

}  // namespace tavrel::render
