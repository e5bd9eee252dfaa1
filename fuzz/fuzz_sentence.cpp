// The whole transform chain of one sentence row (brackets, unit exponents,
// links, emphasis, label and indentation) on a document without a database.
// Input: kind/flags byte, ID_BN line, format-code line, sentence text.
#include "document/document.h"
#include "fuzz_support.h"
#include "render/sentence_block.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static tavrel::MemorySettingsStore settings;
    static tavrel::fuzz::CountingSink sink;
    static tavrel::Document doc(settings, sink, tavrel::DocumentFolders{"/nonexistent/", "/nonexistent/"});
    if (size == 0) return 0;
    const uint8_t flags = data[0];
    const auto parts = tavrel::fuzz::splitParts(tavrel::fuzz::bytesOf(data + 1, size - 1), 3);

    tavrel::render::SentenceRow row;
    row.idBN = parts[0];
    row.formatCode = parts[1];
    row.text = parts[2];
    row.labelHidden = (flags & 0x08) != 0;
    doc.toggles().brachet = (flags & 0x10) != 0;
    const auto kind = static_cast<tavrel::numbering::PageKind>(flags % 5);
    tavrel::render::SentenceRenderer renderer(doc, kind);
    (void)renderer.render(row);
    (void)tavrel::render::raiseUnitExponents(row.text);
    return 0;
}
