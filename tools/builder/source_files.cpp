#include "source_files.h"

#include "collection/build_error.h"
#include "collection/utf8.h"

#include <fstream>
#include <yaml-cpp/yaml.h>
#include <sstream>

namespace tavrel::collection {

namespace fs = std::filesystem;

namespace {
fs::path sourceRoot;
}

void setSourceRoot(const fs::path& root) { sourceRoot = root; }

std::string displayName(const fs::path& file) {
    if (sourceRoot.empty()) return file.string();
    std::error_code ec;
    const fs::path r = fs::relative(file, sourceRoot, ec);
    if (ec || r.empty() || r.native().rfind("..", 0) == 0) return file.string();
    return r.string();
}

std::string trim(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t' || s[b] == '\r' || s[b] == '\n')) ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t' || s[e - 1] == '\r' || s[e - 1] == '\n')) --e;
    return s.substr(b, e - b);
}

std::vector<std::string> split(const std::string& s, char sep) {
    std::vector<std::string> out;
    size_t start = 0;
    for (;;) {
        const size_t p = s.find(sep, start);
        if (p == std::string::npos) {
            out.push_back(s.substr(start));
            return out;
        }
        out.push_back(s.substr(start, p - start));
        start = p + 1;
    }
}

std::string readText(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw BuildError(displayName(file), 0, "cannot open the file");
    std::ostringstream ss;
    ss << in.rdbuf();
    std::string text = ss.str();
    if (text.size() >= 3 && text.compare(0, 3, "\xEF\xBB\xBF") == 0)
        throw BuildError(displayName(file), 1, "the file starts with a byte-order mark; save it as plain UTF-8");
    const size_t bad = utf8::firstInvalid(text);
    if (bad != std::string::npos) {
        int line = 1;
        for (size_t i = 0; i < bad; ++i)
            if (text[i] == '\n') ++line;
        throw BuildError(displayName(file), line, "the text is not valid UTF-8");
    }
    return text;
}

std::vector<SourceLine> readLines(const fs::path& file) {
    const std::string text = readText(file);
    std::vector<SourceLine> lines;
    int n = 0;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back({++n, line});
        start = end + 1;
    }
    return lines;
}

std::optional<std::string> YamlDoc::get(const std::string& key) const {
    auto it = values.find(key);
    if (it == values.end()) return std::nullopt;
    return it->second;
}

YamlDoc readYaml(const fs::path& file) {
    const std::string text = readText(file);
    YamlDoc doc;
    YAML::Node root;
    try {
        root = YAML::Load(text);
    } catch (const YAML::Exception& e) {
        throw BuildError(displayName(file), e.mark.line + 1, "malformed YAML: " + e.msg);
    }
    if (root.IsNull()) return doc;
    if (!root.IsMap()) throw BuildError(displayName(file), 1, "expected 'key: value' lines");
    for (const auto& entry : root) {
        const std::string key = entry.first.as<std::string>();
        const YAML::Node& value = entry.second;
        const int line = value.Mark().line + 1;
        if (value.IsNull()) {
            continue;  // "key: null" (or "key:" with nothing after it) gives no entry
        } else if (value.IsScalar()) {
            doc.values[key] = value.as<std::string>();
        } else if (value.IsSequence()) {
            auto& list = doc.lists[key];
            for (const YAML::Node& item : value) {
                if (!item.IsScalar()) throw BuildError(displayName(file), item.Mark().line + 1, "a list item is a text");
                list.push_back(item.as<std::string>());
            }
        } else {
            throw BuildError(displayName(file), line, "expected a text, null or a list after " + key + ":");
        }
    }
    return doc;
}

const std::string& TsvRow::at(const std::string& column) const {
    static const std::string empty;
    auto it = fields.find(column);
    return it == fields.end() ? empty : it->second;
}

TsvTable readTsv(const fs::path& file, const std::vector<std::string>& requiredColumns) {
    TsvTable table;
    table.file = file;
    bool haveHeader = false;
    for (const SourceLine& l : readLines(file)) {
        if (trim(l.text).empty() || l.text[0] == '#') continue;
        std::vector<std::string> cells = split(l.text, '\t');
        if (!haveHeader) {
            for (std::string& c : cells) c = trim(c);
            table.header = cells;
            haveHeader = true;
            for (const std::string& r : requiredColumns) {
                bool found = false;
                for (const std::string& h : table.header) found = found || h == r;
                if (!found) throw BuildError(displayName(file), l.number, "missing column \"" + r + "\"");
            }
            continue;
        }
        if (cells.size() != table.header.size())
            throw BuildError(displayName(file), l.number,
                             "expected " + std::to_string(table.header.size()) + " tab-separated fields, found " +
                                 std::to_string(cells.size()));
        TsvRow row;
        row.line = l.number;
        for (size_t i = 0; i < cells.size(); ++i) row.fields[table.header[i]] = cells[i];
        table.rows.push_back(std::move(row));
    }
    if (!haveHeader) throw BuildError(displayName(file), 0, "the table has no header line");
    return table;
}

std::optional<std::string> IniSection::get(const std::string& key) const {
    for (const IniEntry& e : entries)
        if (e.key == key) return e.value;
    return std::nullopt;
}

IniFile readIni(const fs::path& file) {
    IniFile ini;
    ini.file = file;
    for (const SourceLine& l : readLines(file)) {
        const std::string t = trim(l.text);
        if (t.empty() || t[0] == '#') continue;
        if (t.front() == '[') {
            if (t.back() != ']') throw BuildError(displayName(file), l.number, "a section line must end with ']'");
            ini.sections.push_back({l.number, trim(t.substr(1, t.size() - 2)), {}});
            continue;
        }
        const size_t eq = t.find('=');
        if (eq == std::string::npos) throw BuildError(displayName(file), l.number, "expected 'key = value'");
        if (ini.sections.empty()) throw BuildError(displayName(file), l.number, "an entry before the first section");
        ini.sections.back().entries.push_back({l.number, trim(t.substr(0, eq)), trim(t.substr(eq + 1))});
    }
    return ini;
}

}  // namespace tavrel::collection
