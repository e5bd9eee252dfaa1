// Replaces a file as a whole or not at all: the new bytes go to a temporary
// file in the same folder, are flushed to the disk, and the temporary file is
// then renamed over the old one. A failure at any step leaves the old file
// exactly as it was (and removes the temporary file), so a crash or a full
// disk never leaves a half-written marker or bookmark file behind.
#pragma once

#include <functional>
#include <string>

namespace tavrel {

// Writes bytes to nativePath (UTF-8 file-system path) atomically. Returns
// false and, when error is given, a short English reason on failure. A new
// file gets the permissions 0666 less the umask; a replaced file keeps its own.
bool writeFileAtomically(const std::string& nativePath, const std::string& bytes, std::string* error = nullptr);

// Test seam: when set, called with the temporary file's path after it has
// been written and synced, right before the rename; returning false makes the
// write fail at that point. Pass an empty function to remove it.
using AtomicWriteHook = std::function<bool(const std::string& temporaryPath)>;
void setAtomicWriteHook(AtomicWriteHook hook);

}  // namespace tavrel
