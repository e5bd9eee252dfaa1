// The marker-file reader (default.ppj, tavrel08.ppj).
#include <cstdlib>

#include "document/document.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    for (const auto& [key, value] : tavrel::parseMarkerText(tavrel::fuzz::bytesOf(data, size))) {
        if (key.size() != 55 || value.size() != 35) std::abort();
    }
    return 0;
}
