// Link-target parsing of the addresses a page click hands back.
#include <cstdlib>

#include "database/identifiers.h"
#include "fuzz_support.h"
#include "textview/link_target.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string url = tavrel::fuzz::bytesOf(data, size);
    const bool link = tavrel::textview::isPageLink(url);
    const std::string target = tavrel::textview::linkTarget(url);
    if (!target.empty() && (!link || target.size() != 15)) std::abort();
    (void)tavrel::db::isIdFN(target);
    return 0;
}
