// The bookmark-file reader (tavrel08.bmk). A blank or a comma right after a
// lead byte belongs to that double-byte character, so the identifiers are
// only checked for being shorter than the file.
#include <cstdlib>

#include "fuzz_support.h"
#include "navigator/bookmark_store.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    for (const std::string& id : tavrel::nav::parseBookmarkText(tavrel::fuzz::bytesOf(data, size))) {
        if (id.size() >= size) std::abort();
    }
    return 0;
}
