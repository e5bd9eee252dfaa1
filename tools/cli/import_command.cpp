#include "import_command.h"
#include "cli_options.h"

#include "collection/build_error.h"
#include "collection/database_reader.h"
#include "collection/writer.h"
#include "database/schema.h"
#include "document/atomic_file.h"
#include "document/document.h"
#include "egov/importer.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

namespace tavrel::cli {

namespace fs = std::filesystem;

bool isImportCommand(const std::vector<std::string>& args) { return commandWord(args) == "import"; }

namespace {

std::string nowUtc() {
    const std::time_t t = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm tm{};
    gmtime_r(&t, &tm);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y-%m-%dT%H:%M:%SZ", &tm);
    return buf;
}

void readDefaultMarkers(const fs::path& file, collection::Collection& c) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return;
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::set<std::string> keys;
    for (auto& [key, value] : parseMarkerText(bytes))
        if (keys.insert(key).second) c.markers.push_back({key, value, {file.string(), 0}});
}

}  // namespace

int importMain(const std::vector<std::string>& args, const std::string& executableFolder,
               const std::string& userFallback) {
    std::vector<std::string> files;
    std::string dataFolder;
    bool seenCommand = false;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--data" && i + 1 < args.size()) {
            dataFolder = args[++i];
        } else if (args[i].rfind("--", 0) == 0) {
            std::fprintf(stderr, "tavrel-cli import: unknown option %s\n", args[i].c_str());
            return 64;
        } else if (!seenCommand) {
            seenCommand = true;  // "import"
        } else {
            files.push_back(args[i]);
        }
    }
    if (files.empty()) {
        std::fprintf(stderr, "usage: tavrel-cli import FILE.xml... [--data DIR]\n");
        return 64;
    }
    const std::string base = dataFolder.empty() ? executableFolder : dataFolder;
    const fs::path database = fs::path(locateFolders(base, userFallback).dataFolder) / db::kDatabaseFileName;
    try {
        std::vector<egov::LawFile> laws;
        for (const std::string& f : files) laws.push_back(egov::readLawFile(f));
        collection::Collection c = collection::readDatabase(database);
        // The default markers beside the database go through the import with
        // it: those on sentences of a replaced law stay where the sentences do.
        const fs::path markerFile = database.parent_path() / "default.ppj";
        readDefaultMarkers(markerFile, c);
        const std::vector<egov::LawSummary> summary = egov::importLaws(c, laws, nowUtc());
        collection::writeDatabase(c, database);
        if (!c.markers.empty() || fs::exists(markerFile))
            if (!writeFileAtomically(markerFile.string(), collection::markerFileText(c)))
                std::fprintf(stderr, "tavrel-cli import: %s could not be written\n", markerFile.string().c_str());
        size_t pages = 0, sentences = 0, tables = 0, warnings = 0;
        for (const egov::LawSummary& s : summary) {
            std::printf("%s: %s %s (%s)%s: %zu pages, %zu sentences, %zu table pieces, %zu printed labels kept, "
                        "%zu texts with characters outside CP932, %zu warnings\n",
                        s.file.c_str(), s.idHN.c_str(), s.title.c_str(), s.lawId.c_str(),
                        s.replaced ? " replaced" : " added", s.pages, s.sentences, s.tables, s.uncheckedLabels,
                        s.fittedTexts, s.warnings.size());
            for (const egov::Warning& w : s.warnings)
                std::printf("  warning: %s:%d: %s: %s\n", s.file.c_str(), w.line, w.path.c_str(), w.message.c_str());
            for (const std::string& d : s.dropped) std::printf("  dropped: %s\n", d.c_str());
            pages += s.pages, sentences += s.sentences, tables += s.tables, warnings += s.warnings.size();
        }
        std::printf("tavrel-cli import: %zu laws, %zu pages, %zu sentences, %zu table pieces, %zu warnings -> %s\n",
                    summary.size(), pages, sentences, tables, warnings, database.string().c_str());
        return 0;
    } catch (const egov::ImportError& e) {
        std::fprintf(stderr, "tavrel-cli import: %s\n", e.what());
    } catch (const collection::BuildError& e) {
        std::fprintf(stderr, "tavrel-cli import: %s\n", e.what());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tavrel-cli import: %s\n", e.what());
    }
    std::fprintf(stderr, "tavrel-cli import: nothing was changed\n");
    return 1;
}

}  // namespace tavrel::cli
