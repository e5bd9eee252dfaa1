// tavrel-make-collection: writes a scaled collection's data folder.
//
//   tavrel-make-collection (--scale N | --preset 2008|large) --out DIR
//                          [--double N] [--from SAMPLE_FOLDER]
#include "database/schema.h"

#include "collection_generator.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

int usage() {
    std::fprintf(stderr,
                 "usage: tavrel-make-collection (--scale N | --preset 2008|large) --out DIR\n"
                 "                              [--double N] [--from SAMPLE_FOLDER]\n"
                 "  --scale N   every law N times (the original included)\n"
                 "  --preset    2008: about 5,000 pages and 60,000 sentences; large: four times that\n"
                 "  --double N  the articles of N copies hold their paragraphs twice\n"
                 "  --from      the sample data folder (default: the one beside this build's programs)\n");
    return 2;
}

bool readCount(const char* text, int& value) {
    char* end = nullptr;
    const long v = std::strtol(text, &end, 10);
    if (!end || *end || v < 0 || v > 100000) return false;
    value = static_cast<int>(v);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace tavrel::bench;
    std::string preset, out;
    std::filesystem::path from = builtSampleFolder();
    ScalePlan plan;
    bool scaled = false, doubled = false;
    int doubleCount = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool hasValue = i + 1 < argc;
        if (a == "--scale" && hasValue) {
            if (!readCount(argv[++i], plan.copies) || plan.copies < 1) return usage();
            scaled = true;
        } else if (a == "--preset" && hasValue) {
            preset = argv[++i];
        } else if (a == "--double" && hasValue) {
            if (!readCount(argv[++i], doubleCount)) return usage();
            doubled = true;
        } else if (a == "--out" && hasValue) {
            out = argv[++i];
        } else if (a == "--from" && hasValue) {
            from = argv[++i];
        } else {
            return usage();
        }
    }
    if (out.empty() || scaled == !preset.empty()) return usage();
    std::string error;
    if (!preset.empty()) {
        CollectionSize sample;
        if (!measureCollection(from / tavrel::db::kDatabaseFileName, sample, &error)) {
            std::fprintf(stderr, "tavrel-make-collection: %s\n", error.c_str());
            return 1;
        }
        if (!presetPlan(preset, sample, plan)) {
            std::fprintf(stderr, "tavrel-make-collection: unknown preset \"%s\" (2008 or large)\n", preset.c_str());
            return 2;
        }
    }
    if (doubled) plan.doubledCopies = doubleCount;
    if (!makeCollection(from, out, plan, &error)) {
        std::fprintf(stderr, "tavrel-make-collection: %s\n", error.c_str());
        return 1;
    }
    CollectionSize size;
    if (!measureCollection(std::filesystem::path(out) / tavrel::db::kDatabaseFileName, size, &error)) {
        std::fprintf(stderr, "tavrel-make-collection: %s\n", error.c_str());
        return 1;
    }
    std::printf("%s: %d copies (%d doubled): %ld laws, %ld pages, %ld sentences, %ld tables, %.1f MB search text\n",
                out.c_str(), plan.copies, plan.doubledCopies, size.laws, size.pages, size.sentences, size.tables,
                static_cast<double>(size.searchBytes) / 1e6);
    return 0;
}
