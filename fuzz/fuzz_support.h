// Small helpers of the fuzz targets: cutting one input into several texts
// and a message sink that only counts what it is shown.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "database/message_sink.h"

namespace tavrel::fuzz {

inline std::string bytesOf(const uint8_t* data, size_t size) {
    return std::string(reinterpret_cast<const char*>(data), size);
}

// The input cut at its first count-1 newlines (missing parts are empty), so
// that one input gives an identifier line, a format line and a text.
inline std::vector<std::string> splitParts(const std::string& input, size_t count) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (parts.size() + 1 < count) {
        const size_t nl = input.find('\n', start);
        if (nl == std::string::npos) break;
        parts.push_back(input.substr(start, nl - start));
        start = nl + 1;
    }
    parts.push_back(start <= input.size() ? input.substr(start) : std::string());
    while (parts.size() < count) parts.emplace_back();
    return parts;
}

class CountingSink : public MessageSink {
public:
    MsgAnswer show(const std::string&, const std::string&, MsgButtons, MsgIcon, bool) override {
        ++shown;
        return MsgAnswer::Ok;
    }
    int shown = 0;
};

}  // namespace tavrel::fuzz
