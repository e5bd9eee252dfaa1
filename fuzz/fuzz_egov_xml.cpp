// e-Gov law XML: any bytes either are refused with an ImportError or become a
// law that goes through every step of the collection (identifiers, label
// checks, reference conversion, table pieces, search texts) into a
// collection that passes its checks — or is refused there, again as an
// ImportError. Anything else (a crash, a sanitizer report, another
// exception) is a fault.
#include "collection/model.h"
#include "egov/importer.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input = tavrel::fuzz::bytesOf(data, size);
    try {
        const tavrel::egov::LawFile f = tavrel::egov::parseLawFile(input, "fuzz.xml");
        tavrel::collection::Collection c;
        // An act already in the collection, so that an order joins its family.
        c.laws.push_back({"01A", "建築基準法", "法", "建築基準法", true, {}, {}});
        tavrel::egov::importLaws(c, {f}, "2026-01-01T00:00:00Z");
    } catch (const tavrel::egov::ImportError&) {
    }
    return 0;
}
