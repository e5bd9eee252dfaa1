#include "egov/collection_update.h"

#include "collection/database_reader.h"
#include "collection/writer.h"
#include "document/atomic_file.h"
#include "document/document.h"

#include <fstream>
#include <iterator>
#include <set>
#include <stdexcept>
#include <system_error>

namespace tavrel::egov {

namespace fs = std::filesystem;

fs::path stagingPath(const fs::path& target) { return fs::path(target.string() + ".import"); }

namespace {

void readDefaultMarkers(const fs::path& file, collection::Collection& c) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return;
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::set<std::string> keys;
    for (auto& [key, value] : parseMarkerText(bytes))
        if (keys.insert(key).second) c.markers.push_back({key, value, {file.string(), 0}});
}

}  // namespace

CollectionUpdateResult updateCollection(const CollectionUpdate& update) {
    const int steps = static_cast<int>(update.files.size()) + 3;
    int done = 0;
    const auto step = [&]() {
        ++done;
        if (update.progress) update.progress(done, steps);
        return update.cancelled && update.cancelled();
    };
    CollectionUpdateResult result;
    std::vector<LawFile> laws;
    for (size_t i = 0; i < update.files.size(); ++i) {
        laws.push_back(readLawFile(update.files[i]));
        if (i < update.origins.size()) {
            if (!update.origins[i].lawId.empty()) laws.back().lawId = update.origins[i].lawId;
            if (!update.origins[i].revision.empty()) laws.back().revision = update.origins[i].revision;
        }
        if (step()) return CollectionUpdateResult{true, {}, {}};
    }
    collection::Collection c = collection::readDatabase(update.source);
    if (!update.markerFile.empty()) readDefaultMarkers(update.markerFile, c);
    result.laws = importLaws(c, laws, update.importedAt);
    if (step()) return CollectionUpdateResult{true, {}, {}};

    const fs::path staging = stagingPath(update.target);
    std::error_code ec;
    fs::create_directories(update.target.parent_path(), ec);
    try {
        // The writer itself writes under a temporary name of its own: a kill
        // leaves at most that file or the staging file, never a half target.
        collection::writeDatabase(c, staging);
    } catch (...) {
        fs::remove(staging, ec);
        throw;
    }
    if (step()) {
        fs::remove(staging, ec);
        return CollectionUpdateResult{true, {}, {}};
    }
    fs::rename(staging, update.target, ec);
    if (ec) {
        const std::string why = ec.message();
        fs::remove(staging, ec);
        throw std::runtime_error(update.target.string() + ": cannot replace the collection: " + why);
    }
    std::error_code exists;
    if (!update.markerFile.empty() && (!c.markers.empty() || fs::exists(update.markerFile, exists)))
        if (!writeFileAtomically(update.markerFile.string(), collection::markerFileText(c)))
            result.markerFileError = update.markerFile.string() + " could not be written";
    step();
    return result;
}

}  // namespace tavrel::egov
