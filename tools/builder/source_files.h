// Readers for the source formats of data/: the corpus article files, the
// corpus YAML files, tab-separated tables and INI-like files.
// All texts stay UTF-8 here; the writer converts what the program reads.
#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tavrel::collection {

// One line of a source file with its 1-based line number.
struct SourceLine {
    int number = 0;
    std::string text;
};

// Reads a UTF-8 text file into lines (LF or CR LF; a BOM is refused). Fails
// loudly on a missing file or invalid UTF-8.
std::vector<SourceLine> readLines(const std::filesystem::path& file);

// A whole file as one text (UTF-8 checked).
std::string readText(const std::filesystem::path& file);

// A corpus YAML file (yaml-cpp): a map of `key: "value"`, `key: null` and
// `key:` followed by `  - "item"` lines. Values are unquoted; null gives no entry.
struct YamlDoc {
    std::map<std::string, std::string> values;
    std::map<std::string, std::vector<std::string>> lists;
    std::optional<std::string> get(const std::string& key) const;
};
YamlDoc readYaml(const std::filesystem::path& file);

// Tab-separated table with a header line. Lines starting with "#" and empty
// lines are skipped. Every row must have exactly as many fields as the header.
struct TsvRow {
    int line = 0;
    std::map<std::string, std::string> fields;
    const std::string& at(const std::string& column) const;  // "" when missing
};
struct TsvTable {
    std::filesystem::path file;
    std::vector<std::string> header;
    std::vector<TsvRow> rows;
};
TsvTable readTsv(const std::filesystem::path& file, const std::vector<std::string>& requiredColumns = {});

// INI-like file: "[section name]" lines open a section; "key = value" lines
// belong to the section; "#" starts a comment line. A key may repeat; the
// entries keep their order.
struct IniEntry {
    int line = 0;
    std::string key, value;
};
struct IniSection {
    int line = 0;
    std::string name;
    std::vector<IniEntry> entries;
    std::optional<std::string> get(const std::string& key) const;
};
struct IniFile {
    std::filesystem::path file;
    std::vector<IniSection> sections;
};
IniFile readIni(const std::filesystem::path& file);

// Messages name source files relative to the data folder being read.
void setSourceRoot(const std::filesystem::path& root);
std::string displayName(const std::filesystem::path& file);

// Splits on a separator character, keeping empty fields.
std::vector<std::string> split(const std::string& s, char sep);
// Removes ASCII blanks at both ends.
std::string trim(const std::string& s);

}  // namespace tavrel::collection
