// The identifier check and the element-label and identifier parsers.
// Input: level byte, identifier line, format-code line.
#include <cstdlib>

#include "database/identifiers.h"
#include "document/numbering.h"
#include "fuzz_support.h"
#include "render/sentence_label.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const uint8_t level = data[0];
    const auto parts = tavrel::fuzz::splitParts(tavrel::fuzz::bytesOf(data + 1, size - 1), 2);
    const std::string& id = parts[0];
    const std::string& code = parts[1];
    namespace n = tavrel::numbering;

    // The identifier check guards every SQL text: what it lets through holds
    // no quote, and a formatted statement holds the identifier verbatim.
    for (size_t length : {size_t{3}, size_t{12}, size_t{15}, size_t{23}, size_t{35}}) {
        const auto sql = tavrel::db::formatSqlWithId("SELECT * FROM T WHERE ID = '%s'", id, length);
        if (sql && (!tavrel::db::isIdentifier(id, length) || id.find('\'') != std::string::npos)) std::abort();
        if (sql && sql->find(id) == std::string::npos) std::abort();
    }
    (void)tavrel::db::formatSqlWithId(code.c_str(), id, id.size());

    (void)n::base36(id);
    (void)n::pageKind(id);
    (void)n::articleNumber(id);
    (void)n::notificationNumber(id);
    (void)n::divisionNumber(id);
    (void)n::articleElement(id);
    (void)n::notificationElement(id);
    (void)n::articleLabel(id);
    (void)n::notificationNumberText(id, (level & 1) != 0);
    (void)n::appendedTableLabel(id);
    (void)n::divisionLabel(id, 1 << (level % 4));
    (void)n::articleElementLevel(id);
    (void)n::notificationElementLevel(id);
    const int flag = 1 << (level % 15);
    const n::SupplementLookup supplement = [&code](const std::string&) { return code; };
    (void)n::articleElementLabel(id, flag, code, (level & 0x80) != 0, supplement);
    (void)n::notificationElementLabel(id, flag, code, (level & 0x80) != 0, supplement);
    for (int kind = 0; kind < 5; ++kind) {
        (void)tavrel::render::sentenceLayout(static_cast<n::PageKind>(kind), id, code, (level & 0x40) != 0, 3.5,
                                             supplement);
    }
    return 0;
}
