// tavrel-build-data: builds the data folder of the bundled sample collection
// (TL2008.orl, default.ppj, help08.html, images08/) from the sources in data/.
//
//   tavrel-build-data --data <data folder> --out <output folder>

#include "collection/build_error.h"
#include "data_reader.h"
#include "data_folder.h"

#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <string>

int main(int argc, char** argv) {
    std::string data, out;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if ((a == "--data" || a == "--out") && i + 1 < argc) {
            (a == "--data" ? data : out) = argv[++i];
        } else {
            std::fprintf(stderr, "usage: %s --data <data folder> --out <output folder>\n", argv[0]);
            return 2;
        }
    }
    if (data.empty() || out.empty()) {
        std::fprintf(stderr, "usage: %s --data <data folder> --out <output folder>\n", argv[0]);
        return 2;
    }
    try {
        const tavrel::collection::Collection c = tavrel::collection::readCollection(data);
        tavrel::collection::writeDataFolder(c, out);
        size_t sentences = 0;
        for (const auto& [id, p] : c.pages) sentences += p.sentences.size();
        std::printf(
            "tavrel-build-data: %zu laws, %zu pages, %zu sentences, %zu table pieces, %zu references, "
            "%zu markers -> %s\n",
            c.laws.size(), c.pages.size(), sentences, c.tables.size(), c.references.size(), c.markers.size(),
            out.c_str());
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tavrel-build-data: error: %s\n", e.what());
        return 1;
    }
}
