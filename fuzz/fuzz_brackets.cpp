// Bracket colouring and definition emphasis of one sentence text.
#include <cstdlib>

#include "document/options.h"
#include "fuzz_support.h"
#include "render/brackets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const tavrel::OptionBlock options = tavrel::defaultOptionBlock();
    const std::string input = tavrel::fuzz::bytesOf(data, size);

    std::string coloured = input;
    // A text the colouring refuses stays exactly as it was.
    if (!tavrel::render::colourBrackets(coloured, options) && coloured != input) std::abort();
    (void)tavrel::render::emphasiseDefinitions(input);
    (void)tavrel::render::emphasiseDefinitions(coloured);
    return 0;
}
