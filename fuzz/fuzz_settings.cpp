// The composite settings values: WindowPos, SplitterPos, CustColors and the
// recent-search entries. A value that parses must read back the same after
// it is written again.
#include <cstdlib>

#include "document/options.h"
#include "document/settings_store.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input = tavrel::fuzz::bytesOf(data, size);

    if (const auto wp = tavrel::parseWindowPos(input)) {
        if (tavrel::parseWindowPos(tavrel::formatWindowPos(*wp)) != wp) std::abort();
    }
    if (const auto sp = tavrel::parseSplitterPos(input)) {
        if (tavrel::parseSplitterPos(tavrel::formatSplitterPos(*sp)) != sp) std::abort();
    }
    const tavrel::CustomColors colors = tavrel::parseCustColors(input);
    if (tavrel::parseCustColors(tavrel::formatCustColors(colors)) != colors) std::abort();

    // Ten stored entries cut from the input, then one more search on top.
    tavrel::MemorySettingsStore store;
    const auto parts = tavrel::fuzz::splitParts(input, 11);
    std::vector<std::string> stored(parts.begin(), parts.begin() + 10);
    tavrel::writeSearchEntries(store, stored);
    std::vector<std::string> entries = tavrel::readSearchEntries(store);
    tavrel::addRecentSearch(entries, parts[10]);
    if (entries.size() > 10) std::abort();
    tavrel::writeSearchEntries(store, entries);
    return 0;
}
