// A copy of data/ in which one law is built from its corpus folder instead of
// its e-Gov file, for the tests of the builder's corpus articles.
#pragma once

#include "support/temp_dir.h"

#include <filesystem>
#include <stdexcept>
#include <string>

namespace tavrel::testing {

// In the data folder copy `data`: collection.ini's `egov = egov/<xml>` becomes
// `corpus = corpus/<folder>`, and the file leaves egov/ (else it would be
// added as a law of its own).
inline void buildFromCorpus(const std::filesystem::path& data, const std::string& xml, const std::string& folder) {
    const std::string ini = (data / "collection.ini").string();
    std::string text = readFile(ini);
    const std::string from = "egov = egov/" + xml + "\n";
    const size_t at = text.find(from);
    if (at == std::string::npos) throw std::runtime_error("collection.ini names no " + xml);
    text.replace(at, from.size(), "corpus = corpus/" + folder + "\n");
    writeFile(ini, text);
    std::filesystem::remove(data / "egov" / xml);
}

}  // namespace tavrel::testing
