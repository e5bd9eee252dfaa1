// Importing law files into a user's collection file: the source collection
// (the user's own, or the bundled one the first time) is read, the laws are
// added, and the result is written beside the target under a temporary name
// and renamed over it only when complete and not cancelled. Whatever goes
// wrong, the target is left as it was.
#pragma once

#include "egov/importer.h"

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace tavrel::egov {

// What e-Gov says of a file it served: recorded in T_法令XML instead of what
// the file gives (a bare <Law> has no LawId; its latest AmendLawNum is less
// exact than the revision id).
struct FileOrigin {
    std::string lawId, revision;
};

struct CollectionUpdate {
    std::vector<std::string> files;  // the law XML files, in import order
    std::filesystem::path source;    // the collection read
    std::filesystem::path target;    // the collection written (may be source)
    std::string importedAt;          // recorded in T_法令XML
    // Asked between the steps (after each file, before the write and before
    // the rename); true stops the update with nothing changed.
    std::function<bool()> cancelled;
    // Told the step done and the number of steps (files + 3).
    std::function<void(int done, int steps)> progress;
    std::vector<FileOrigin> origins;  // per file, when the files come from e-Gov; else empty
    // The default markers beside the collection (default.ppj), or empty for
    // none: they go through the import with the collection — those on
    // sentences of a replaced law stay where the sentences do, the rest are
    // listed as dropped — and the file is rewritten after the collection.
    std::filesystem::path markerFile;
};

struct CollectionUpdateResult {
    bool cancelled = false;
    std::vector<LawSummary> laws;  // empty when cancelled
    std::string markerFileError;   // the marker file could not be rewritten (the collection was)
};

// Throws ImportError, collection::BuildError or another std::exception on a
// failure; the target is then unchanged and no temporary file is left.
CollectionUpdateResult updateCollection(const CollectionUpdate& update);

// Where the new collection is written before it replaces the target.
std::filesystem::path stagingPath(const std::filesystem::path& target);

}  // namespace tavrel::egov
