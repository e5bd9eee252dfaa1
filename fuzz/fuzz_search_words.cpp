// Word splitting and search-text normalisation.
#include <cstdlib>

#include "fuzz_support.h"
#include "textview/search_words.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text = tavrel::fuzz::bytesOf(data, size);
    std::vector<std::string> words;
    const bool any = tavrel::textview::splitSearchWords(text, words);
    if (any && words.empty()) std::abort();
    for (const std::string& w : words) {
        if (w.empty() || w.find(' ') != std::string::npos) std::abort();
    }
    tavrel::textview::normaliseSearchText(text);
    if (text.size() > size) std::abort();
    return 0;
}
