#include "table_file.h"

#include "collection/build_error.h"
#include "source_files.h"

#include <algorithm>

namespace tavrel::collection {

TableHtml tableFromXmlFile(const std::filesystem::path& file,
                           const std::function<std::string(const std::string&)>& cellText) {
    const std::string text = readText(file);
    pugi::xml_document doc;
    const pugi::xml_parse_result parsed = doc.load_buffer(text.data(), text.size());
    if (!parsed) {
        const auto end = text.begin() + std::clamp<ptrdiff_t>(parsed.offset, 0, static_cast<ptrdiff_t>(text.size()));
        const int line = 1 + static_cast<int>(std::count(text.begin(), end, '\n'));
        throw BuildError(displayName(file), line, std::string("malformed table XML: ") + parsed.description());
    }
    try {
        return tableFromXml(doc, cellText);
    } catch (const BuildError& e) {
        throw BuildError(displayName(file), 0, e.what());
    }
}

}  // namespace tavrel::collection
