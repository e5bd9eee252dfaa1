#include "data_folder.h"

#include "database/schema.h"

#include "collection/build_error.h"
#include "collection/checks.h"
#include "collection/writer.h"
#include "images.h"

#include <cstdio>
#include <fstream>
#include <unistd.h>

namespace tavrel::collection {

namespace fs = std::filesystem;

namespace {

fs::path temporaryName(const fs::path& file) {
    return file.parent_path() / (file.filename().string() + ".tmp-" + std::to_string(getpid()));
}

void writeBytes(const fs::path& file, const std::string& bytes) {
    const fs::path tmp = temporaryName(file);
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out) throw BuildError(file.string(), 0, "cannot write the file");
    }
    fs::rename(tmp, file);
}

std::string crlf(const std::string& text) {
    std::string out;
    for (char ch : text) {
        if (ch == '\r') continue;
        if (ch == '\n') out += '\r';
        out += ch;
    }
    return out;
}

}  // namespace

void writeDataFolder(const Collection& c, const fs::path& folder) {
    fs::create_directories(folder);
    // The images first: the database is renamed into place last, so a data
    // folder with a fresh database is always complete.
    writeImageFolder(folder / "images08");
    writeBytes(folder / "default.ppj", markerFileText(c));
    writeBytes(folder / "help08.html", toCp932(crlf(c.helpHtml), {"help08.html", 0}));
    const citations::IndexStats cited = writeDatabase(c, folder / db::kDatabaseFileName);
    std::printf("tavrel-build-data: cited-by index: %zu citations, %zu relative references left unresolved\n",
                cited.citations, cited.unresolved);
}

}  // namespace tavrel::collection
