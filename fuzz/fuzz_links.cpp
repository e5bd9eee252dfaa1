// Inline article references, explicit link markup, keyword colouring and the
// table-markup clean-ups. Input: source identifier line, keyword line, text.
#include "document/options.h"
#include "fuzz_support.h"
#include "render/links.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const tavrel::OptionBlock options = tavrel::defaultOptionBlock();
    if (size == 0) return 0;
    const uint8_t mode = data[0];
    const auto parts = tavrel::fuzz::splitParts(tavrel::fuzz::bytesOf(data + 1, size - 1), 3);
    const std::string& source = parts[0];
    const std::string& keyword = parts[1];
    const std::string& text = parts[2];

    namespace r = tavrel::render;
    (void)r::inlineReferences(source, text, (mode & 1) != 0);
    (void)r::explicitLinks(source, text);
    (void)r::removeXStrAttributes(text);

    std::string coloured = text;
    r::colourReferenceKeyword(coloured, keyword, (mode & 2) != 0, (mode >> 2) % 8, options);

    std::string renumbered = text;
    r::renumberDuplicateIds(renumbered, {source, keyword});
    return 0;
}
