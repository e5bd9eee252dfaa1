#include "data_reader.h"

#include "collection/article_pages.h"
#include "collection/build_error.h"
#include "collection/checks.h"
#include "collection/steps.h"
#include "collection/structure.h"
#include "collection/utf8.h"
#include "corpus_article.h"
#include "egov/importer.h"
#include "source_files.h"
#include "table_file.h"

#include <algorithm>
#include <regex>
#include <set>

namespace tavrel::collection {

namespace fs = std::filesystem;

namespace {

bool yesNo(const std::string& v, const Origin& where) {
    if (v == "yes" || v == "YES" || v == "1") return true;
    if (v == "no" || v == "NO" || v == "0" || v.empty()) return false;
    throw BuildError(where.file, where.line, "expected yes or no, found \"" + v + "\"");
}

int number(const std::string& v, const Origin& where) {
    if (v.empty()) return 0;
    static const std::regex digits(R"(^-?\d+$)");
    if (!std::regex_match(v, digits))
        throw BuildError(where.file, where.line, "expected a number, found \"" + v + "\"");
    return std::stoi(v);
}

std::string sourceName(const fs::path& file, const fs::path& root) {
    std::error_code ec;
    const fs::path r = fs::relative(file, root, ec);
    return ec ? file.string() : r.string();
}

// Settings of one article from collection.ini ([article ...]); what is not
// set stays as the article's source has it.
struct ArticleSettings {
    std::vector<int> splitAt;  // first paragraph of every page
    std::vector<std::string> supplements;
    std::optional<bool> large, shown;
    std::optional<std::string> caption;
};

class Reader {
  public:
    explicit Reader(fs::path root) : root_(std::move(root)) {}

    Collection run() {
        setSourceRoot(root_);
        readSettings();
        readRuby();
        readNotificationList();
        for (const Law& law : c_.laws)
            if (auto it = corpusOf_.find(law.id); it != corpusOf_.end()) readCorpusLaw(law, it->second);
        readEgovLaws();
        readPageFiles();
        applyArticleSettings();
        computeSplits();
        convertTexts();
        readReferences();
        readMarkers();
        c_.helpHtml = readText(root_ / "help08.html");
        checkCollection(c_);
        return std::move(c_);
    }

  private:
    Origin at(const IniEntry& e) const { return {sourceName(ini_.file, root_), e.line}; }
    Origin at(const IniSection& s) const { return {sourceName(ini_.file, root_), s.line}; }

    void readSettings() {
        ini_ = readIni(root_ / "collection.ini");
        for (const IniSection& s : ini_.sections) {
            if (s.name == "egov") {
                readEgovSettings(s);
                continue;
            }
            const std::vector<std::string> words = split(s.name, ' ');
            if (words.size() != 2)
                throw BuildError(at(s).file, s.line, "a section is [law ID], [article ID], [division ID] or [egov]");
            if (words[0] == "law") {
                Law law;
                law.id = words[1];
                law.origin = at(s);
                if (!std::regex_match(law.id, std::regex("^[0-9]{2}[A-Z]$")))
                    throw BuildError(at(s).file, s.line, "a law identifier is two digits and a capital letter");
                for (const IniEntry& e : s.entries) {
                    if (e.key == "common")
                        law.common = e.value;
                    else if (e.key == "short")
                        law.shortName = e.value;
                    else if (e.key == "formal")
                        law.formal = e.value;
                    else if (e.key == "shown")
                        law.shown = yesNo(e.value, at(e));
                    else if (e.key == "corpus")
                        corpusOf_[law.id] = root_ / e.value;
                    else if (e.key == "egov")
                        egovOf_[law.id] = {root_ / e.value, at(e)};
                    else if (e.key == "alias") {
                        const auto parts = split(e.value, '=');
                        if (parts.size() != 2) throw BuildError(at(e).file, e.line, "alias = name = LAW");
                        law.aliases.push_back({trim(parts[0]), trim(parts[1])});
                    } else {
                        throw BuildError(at(e).file, e.line, "unknown law key \"" + e.key + "\"");
                    }
                }
                if (law.common.empty() || law.shortName.empty() || law.formal.empty())
                    throw BuildError(at(s).file, s.line, "a law needs common, short and formal names");
                if (c_.law(law.id)) throw BuildError(at(s).file, s.line, "law " + law.id + " is listed twice");
                if (corpusOf_.count(law.id) && egovOf_.count(law.id))
                    throw BuildError(at(s).file, s.line,
                                     "a law is built from its corpus folder or its e-Gov file, not both");
                c_.laws.push_back(law);
            } else if (words[0] == "article") {
                if (!isIdentifierText(words[1], 12))
                    throw BuildError(at(s).file, s.line,
                                     "an article is named by its 12-character prefix, e.g. 01A-00520000");
                articleSections_[words[1]] = &s;
            } else if (words[0] == "division") {
                if (!isIdentifierText(words[1], 23))
                    throw BuildError(at(s).file, s.line, "a division is named by its 23-character ID_SN");
                divisionSections_[words[1]] = &s;
            } else {
                throw BuildError(at(s).file, s.line, "unknown section kind \"" + words[0] + "\"");
            }
        }
        std::sort(c_.laws.begin(), c_.laws.end(), [](const Law& a, const Law& b) { return a.id < b.id; });
        // Hand-declared divisions (for laws without corpus articles).
        for (const auto& [id, s] : divisionSections_) {
            Division d;
            d.idSN = id;
            for (const IniEntry& e : s->entries) {
                if (e.key == "name") {
                    const int level = divisionLevel(id);
                    if (level < 0) throw BuildError(at(e).file, e.line, "a division needs a non-zero level group");
                    d.names[level] = e.value;
                } else if (e.key == "notice") {
                    d.notice = yesNo(e.value, at(e));
                } else {
                    throw BuildError(at(e).file, e.line, "unknown division key \"" + e.key + "\"");
                }
            }
            declaredDivisions_[id] = d;
        }
        // Ancestors' names.
        for (auto& [id, d] : declaredDivisions_) {
            const int level = divisionLevel(id);
            if (level < 0 || d.names[level].empty()) continue;  // a notice flag for a corpus division
            for (int k = 0; k < level; ++k) {
                std::string parent = id.substr(0, 3);
                for (int g = 0; g < 4; ++g) parent += "-" + (g <= k ? id.substr(4 + 5 * g, 4) : std::string("0000"));
                auto p = declaredDivisions_.find(parent);
                if (p == declaredDivisions_.end())
                    throw BuildError(at(*divisionSections_[id]).file, divisionSections_[id]->line,
                                     "division " + id + " needs its parent " + parent + " declared too");
                d.names[k] = p->second.names[k];
            }
        }
        for (const auto& [id, d] : declaredDivisions_) c_.divisions[id] = d;
    }

    static int divisionLevel(const std::string& idSN) {
        int level = -1;
        for (int g = 0; g < 4; ++g)
            if (idSN.substr(4 + 5 * g, 4) != "0000") level = g;
        return level;
    }

    void readEgovSettings(const IniSection& s) {
        for (const IniEntry& e : s.entries) {
            if (e.key != "retrieved") throw BuildError(at(e).file, e.line, "unknown egov key \"" + e.key + "\"");
            if (!std::regex_match(e.value, std::regex(R"(^\d{4}-\d{2}-\d{2}$)")))
                throw BuildError(at(e).file, e.line, "retrieved is a date written YYYY-MM-DD");
            retrieved_ = e.value + "T00:00:00Z";
        }
    }

    // The laws of the e-Gov law files: those a [law] section names with
    // egov = …, in the order of the laws, then every other *.xml file of
    // egov/ in name order, each imported as the program imports a file (a
    // named law keeps its identifier and names, as its formal title equals the
    // file's). Their pages, table pieces and T_法令XML rows are complete here;
    // the article settings, page files, references and markers follow.
    void readEgovLaws() {
        std::vector<egov::LawFile> files;
        std::set<fs::path> named;
        auto read = [&](const fs::path& file) {
            egov::LawFile f = egov::readLawFile(file);
            f.fileName = sourceName(file, root_);
            named.insert(fs::weakly_canonical(file));
            return f;
        };
        for (const Law& law : c_.laws) {
            const auto it = egovOf_.find(law.id);
            if (it == egovOf_.end()) continue;
            const auto& [file, where] = it->second;
            if (!fs::is_regular_file(file))
                throw BuildError(where.file, where.line, "e-Gov law file " + sourceName(file, root_) + " not found");
            files.push_back(read(file));
            if (files.back().title != law.formal)
                throw BuildError(where.file, where.line,
                                 files.back().fileName + " is 「" + files.back().title + "」, but the formal name of " +
                                     law.id + " is 「" + law.formal + "」");
        }
        const size_t namedFiles = files.size();
        std::vector<fs::path> others;
        if (fs::is_directory(root_ / "egov"))
            for (const auto& entry : fs::directory_iterator(root_ / "egov"))
                if (entry.path().extension() == ".xml" && !named.count(fs::weakly_canonical(entry.path())))
                    others.push_back(entry.path());
        std::sort(others.begin(), others.end());
        for (const fs::path& file : others) files.push_back(read(file));
        if (files.empty()) return;
        if (retrieved_.empty())
            throw BuildError(sourceName(ini_.file, root_), 0,
                             "the e-Gov law files need the date they were retrieved: [egov] retrieved = YYYY-MM-DD");

        const std::vector<egov::LawSummary> laws = egov::importLaws(c_, files, retrieved_);
        for (size_t i = 0; i < laws.size(); ++i) {
            // A file no [law] section names adds a law; one that would replace
            // a law of collection.ini is named by that law's section instead.
            if (i >= namedFiles && laws[i].replaced)
                throw BuildError(files[i].fileName, 0,
                                 "this file is law " + laws[i].idHN +
                                     " of collection.ini: name it there with egov = " + files[i].fileName);
            egovLaws_[laws[i].idHN] = files[i].withoutCp932Form;
        }
        // The divisions of these laws come from their files; collection.ini
        // may set their 告示 flag.
        for (const auto& [id, s] : divisionSections_) {
            if (!egovLaws_.count(id.substr(0, 3))) continue;
            for (const IniEntry& e : s->entries) {
                if (e.key == "name")
                    throw BuildError(at(e).file, e.line, "a division of an e-Gov law takes its name from the file");
                auto d = c_.divisions.find(id);
                if (d == c_.divisions.end())
                    throw BuildError(at(e).file, e.line,
                                     "the e-Gov law file of " + id.substr(0, 3) + " has no division " + id);
                if (e.key == "notice") d->second.notice = yesNo(e.value, at(e));
            }
        }
    }

    void readRuby() {
        const fs::path file = root_ / "corpus" / "ruby.tsv";
        for (const TsvRow& r : readTsv(file, {"found", "base", "reading"}).rows) {
            if (r.at("base").empty() || r.at("reading").empty() ||
                r.at("found").find(r.at("base") + r.at("reading")) == std::string::npos)
                throw BuildError(sourceName(file, root_), r.line, "the found text must hold the base and its reading");
            c_.ruby.push_back({r.at("found"), r.at("base"), r.at("reading")});
        }
    }

    void readNotificationList() {
        const fs::path file = root_ / "corpus" / "notifications.tsv";
        for (const TsvRow& r : readTsv(file, {"number", "ministry", "title", "promulgated"}).rows)
            notifications_[r.at("number")] = r;
    }

    void readCorpusLaw(const Law& law, const fs::path& folder) {
        const YamlDoc dataset = readYaml(folder / "dataset.yaml");
        if (auto title = dataset.get("law_title"); !title || *title != law.formal)
            throw BuildError(sourceName(folder / "dataset.yaml", root_), 0,
                             "law_title differs from the formal name of law " + law.id + " in collection.ini");
        std::vector<fs::path> files;
        for (const auto& entry : fs::directory_iterator(folder / "texts"))
            if (entry.path().extension() == ".txt") files.push_back(entry.path());
        std::sort(files.begin(), files.end());
        for (const fs::path& file : files) {
            CorpusArticle a = readCorpusArticle(file);
            a.file = sourceName(file, root_);
            const fs::path yamlFile = folder / "articles" / (file.stem().string() + ".yaml");
            std::string idSN = law.id + "-0000-0000-0000-0000";
            if (fs::exists(yamlFile)) idSN = divisionsOf(law, readYaml(yamlFile), sourceName(yamlFile, root_));
            const std::string prefix = articlePrefix(law.id, a.number, a.branch1, a.branch2);
            corpusArticles_[prefix] = {a, idSN};
        }
    }

    // Divisions named by an article's yaml; returns the deepest ID_SN.
    std::string divisionsOf(const Law& law, const YamlDoc& y, const std::string& file) {
        static const char* keys[] = {"chapter", "section", "subsection", "division"};
        static const std::u32string words[] = {U"章", U"節", U"款", U"目"};
        std::string groups[4] = {"0000", "0000", "0000", "0000"};
        std::string names[4];
        std::string deepest = law.id + "-0000-0000-0000-0000";
        for (int k = 0; k < 4; ++k) {
            const auto v = y.get(keys[k]);
            if (!v) break;
            const DivisionName d = parseDivisionName(*v, words[k], {file, 0});
            groups[k] = divisionGroup(d);
            names[k] = d.name;
            std::string id = law.id;
            for (int g = 0; g < 4; ++g) id += "-" + groups[g];
            Division& div = c_.divisions[id];
            if (!div.names[k].empty() && div.names[k] != d.name)
                throw BuildError(file, 0, "division " + id + " is named \"" + div.names[k] + "\" elsewhere");
            div.idSN = id;
            for (int g = 0; g <= k; ++g) div.names[g] = names[g];
            if (auto s = divisionSections_.find(id); s != divisionSections_.end())
                for (const IniEntry& e : s->second->entries)
                    if (e.key == "notice") div.notice = yesNo(e.value, at(e));
            deepest = id;
        }
        return deepest;
    }

    void readPageFiles() {
        const fs::path folder = root_ / "pages";
        if (!fs::exists(folder)) return;
        std::vector<fs::path> files;
        for (const auto& entry : fs::recursive_directory_iterator(folder))
            if (entry.is_regular_file() && entry.path().extension() == ".page") files.push_back(entry.path());
        std::sort(files.begin(), files.end());
        for (const fs::path& f : files) readPageFile(f);
    }

    void addPage(Page p) {
        if (c_.pages.count(p.idFN))
            throw BuildError(p.origin.file, p.origin.line, "page " + p.idFN + " is defined twice");
        std::set<std::string> seen;
        for (const Sentence& s : p.sentences)
            if (!seen.insert(s.idBN).second)
                throw BuildError(s.origin.file, s.origin.line, "sentence " + s.idBN + " occurs twice");
        const std::string id = p.idFN;
        c_.pages.emplace(id, std::move(p));
    }

    void readPageFile(const fs::path& path) {
        const std::string file = sourceName(path, root_);
        const std::vector<SourceLine> lines = readLines(path);
        std::map<std::string, IniEntry> header;
        std::vector<IniEntry> repeated;  // table = … lines
        size_t k = 0;
        for (; k < lines.size(); ++k) {
            const std::string t = trim(lines[k].text);
            if (t == "---") break;
            if (t.empty() || t[0] == '#') continue;
            const size_t eq = t.find('=');
            if (eq == std::string::npos) throw BuildError(file, lines[k].number, "expected 'key = value' or '---'");
            IniEntry e{lines[k].number, trim(t.substr(0, eq)), trim(t.substr(eq + 1))};
            if (e.key == "table")
                repeated.push_back(e);
            else if (!header.emplace(e.key, e).second)
                throw BuildError(file, e.line, "key \"" + e.key + "\" repeated");
        }
        if (k == lines.size()) throw BuildError(file, 0, "a page file needs a '---' line between header and body");
        auto get = [&](const std::string& key) -> std::string {
            auto it = header.find(key);
            return it == header.end() ? std::string() : it->second.value;
        };
        auto where = [&](const std::string& key) -> Origin {
            auto it = header.find(key);
            return {file, it == header.end() ? 1 : it->second.line};
        };
        static const std::set<std::string> known = {"id",   "caption", "division", "supplement", "large", "shown",
                                                    "body", "format",  "history",  "number",     "table"};
        for (const auto& [key, e] : header)
            if (!known.count(key)) throw BuildError(file, e.line, "unknown page key \"" + key + "\"");
        Page p;
        p.idFN = get("id");
        p.origin = {file, where("id").line};
        if (!isIdentifierText(p.idFN, 15)) throw BuildError(file, p.origin.line, "id must be a 15-character ID_FN");
        const std::string law = p.idFN.substr(0, 3);
        if (!c_.law(law)) throw BuildError(file, p.origin.line, "law " + law + " is not listed in collection.ini");
        p.caption = get("caption");
        p.supplement = get("supplement");
        p.large = yesNo(get("large"), where("large"));
        p.shown = header.count("shown") ? yesNo(get("shown"), where("shown")) : true;
        p.idSN = header.count("division") ? get("division") : law + "-0000-0000-0000-0000";
        if (!isIdentifierText(p.idSN, 23) || p.idSN.substr(0, 3) != law)
            throw BuildError(file, where("division").line, "division must be a 23-character ID_SN of law " + law);
        if (divisionLevel(p.idSN) >= 0 && !c_.divisions.count(p.idSN))
            throw BuildError(file, where("division").line, "division " + p.idSN + " is not declared");
        const std::string format = header.count("format") ? get("format") : kArticleFormatCode;
        const char kind = p.idFN[4];
        if (header.count("number")) checkNotificationNumber(p, get("number"), where("number"));
        if (header.count("history")) readHistory(p, get("history"), where("history"));
        const std::string body = header.count("body") ? get("body") : "rows";
        std::vector<std::pair<int, std::string>> bodyLines;
        for (++k; k < lines.size(); ++k)
            if (!trim(lines[k].text).empty() && lines[k].text[0] != '#')
                bodyLines.emplace_back(lines[k].number, lines[k].text);
        if (body == "corpus") {
            if (!(kind >= '0' && kind <= '9') && kind != 'F')
                throw BuildError(file, where("body").line, "corpus bodies are for article pages");
            std::vector<ArticleElement> elements = parseBody(bodyLines, file);
            if (elements.empty()) throw BuildError(file, 0, "the page has no body");
            if (kind != 'F') {
                const int n = std::stoi(p.idFN.substr(4, 4)), b1 = std::stoi(p.idFN.substr(8, 2)),
                          b2 = std::stoi(p.idFN.substr(10, 2));
                std::string label = "第" + std::to_string(n) + "条";
                if (b1 > 1) label += "の" + std::to_string(b1);
                if (b1 > 1 && b2 > 1) label += "の" + std::to_string(b2);
                elements.front().printedLabel = label;
            } else {
                elements.front().printedLabel = "";
            }
            for (const ArticleElement& e : elements) {
                Sentence s;
                s.idBN = sentenceId(p.idFN, e.address);
                s.text = e.text;
                s.formatCode = format;
                s.printedLabel = kind == 'F' && e.address.level() == 1 ? std::string() : e.printedLabel;
                s.origin = {file, e.line};
                p.sentences.push_back(s);
            }
        } else if (body == "rows") {
            for (const auto& [lineNo, text] : bodyLines)
                p.sentences.push_back(readRow(p, text, format, {file, lineNo}));
        } else if (body == "html") {
            if (kind != 'Z') throw BuildError(file, where("body").line, "html bodies are for special pages (Z)");
            std::string piece;
            int order = 0;
            auto flush = [&](int lineNo) {
                if (trim(piece).empty()) return;
                c_.specials.push_back({p.idFN, ++order, piece, {file, lineNo}});
                piece.clear();
            };
            bool inBody = false;
            for (const SourceLine& l : lines) {
                if (!inBody) {
                    inBody = trim(l.text) == "---";
                    continue;
                }
                if (trim(l.text) == "%%piece") {
                    flush(l.number);
                    continue;
                }
                piece += l.text + "\n";
            }
            flush(static_cast<int>(lines.size()));
            if (order == 0) throw BuildError(file, 0, "a special page needs some HTML");
        } else if (body == "none") {
        } else {
            throw BuildError(file, where("body").line, "body is rows, corpus, html or none");
        }
        // Table pieces named in the header belong to the page's table sentence
        // (an appended-table page: ID_FN + "-0000-0000-0000-0000").
        for (const IniEntry& e : repeated) {
            if (kind != 'T') throw BuildError(file, e.line, "a header table is for appended-table pages (T)");
            addTable(p.idFN + "-0000-0000-0000-0000", e.value, {file, e.line}, law);
        }
        addPage(std::move(p));
    }

    void checkNotificationNumber(const Page& p, const std::string& number, const Origin& where) {
        auto it = notifications_.find(number);
        if (it == notifications_.end())
            throw BuildError(where.file, where.line, "notification " + number + " is not in corpus/notifications.tsv");
        static const std::regex pattern(R"(^(明治|大正|昭和|平成)(\d+)年.*告示第(\d+)号$)");
        std::smatch m;
        if (!std::regex_match(number, m, pattern)) throw BuildError(where.file, where.line, "cannot read " + number);
        const std::string era = m[1].str() == "明治"   ? "A"
                                : m[1].str() == "大正" ? "B"
                                : m[1].str() == "昭和" ? "C"
                                                       : "D";
        char expected[16];
        std::snprintf(expected, sizeof expected, "K%s%02d%04d", era.c_str(), std::stoi(m[2].str()),
                      std::stoi(m[3].str()));
        if (p.idFN.substr(4, 8) != expected)
            throw BuildError(where.file, where.line, "the id of notification " + number + " must contain " + expected);
        const std::string& title = it->second.at("title");
        if (p.caption.rfind(title, 0) != 0 && p.idFN.substr(13, 2) == "00")
            throw BuildError(where.file, where.line, "the caption must begin with the title 「" + title + "」");
    }

    void readHistory(const Page& p, const std::string& value, const Origin& where) {
        const std::vector<std::string> f = split(value, '|');
        if (f.size() != 5)
            throw BuildError(where.file, where.line,
                             "history = 公布年月日 | 公布省名 | 改正年月日 | 改正省名 | 改正告示番号");
        static const std::regex date(R"(^\d{4}-\d{2}-\d{2}$)");
        History h;
        h.idFN = p.idFN;
        h.promulgated = trim(f[0]);
        h.promulgatedBy = trim(f[1]);
        h.revised = trim(f[2]);
        h.revisedBy = trim(f[3]);
        if (!trim(f[4]).empty()) h.revisionNumber = number(trim(f[4]), where);
        for (const std::string* d : {&h.promulgated, &h.revised})
            if (!d->empty() && !std::regex_match(*d, date))
                throw BuildError(where.file, where.line, "dates are written YYYY-MM-DD");
        h.origin = where;
        c_.histories.push_back(h);
    }

    // "TAIL | code | flags | label | text"
    Sentence readRow(const Page& p, const std::string& line, const std::string& defaultFormat, const Origin& where) {
        std::vector<std::string> f = split(line, '|');
        if (f.size() < 5)
            throw BuildError(where.file, where.line, "a row is: groups | format code | flags | label | text");
        // The text may itself contain "|".
        for (size_t i = 5; i < f.size(); ++i) f[4] += "|" + f[i];
        Sentence s;
        s.origin = where;
        const std::string tail = trim(f[0]);
        if (!std::regex_match(tail, std::regex(R"(^[0-9A-Z]{4}-[0-9A-Z]{4}-[0-9A-Z]{4}-[0-9A-Z]{4}$)")))
            throw BuildError(where.file, where.line,
                             "the groups are four groups of four characters, e.g. 0100-0000-0000-0000");
        s.idBN = p.idFN + "-" + tail;
        s.formatCode = trim(f[1]).empty() ? defaultFormat : trim(f[1]);
        for (const std::string& flagRaw : split(trim(f[2]), ',')) {
            const std::string flag = trim(flagRaw);
            if (flag.empty()) continue;
            if (flag == "札抜")
                s.hideLabel = true;
            else if (flag == "図入")
                s.images = true;
            else if (flag == "原文")
                s.convert = false;
            else if (flag.rfind("表=", 0) == 0) {
                addTable(s.idBN, flag.substr(4), where, p.idFN.substr(0, 3));
                s.table = true;
            } else {
                throw BuildError(where.file, where.line, "unknown flag \"" + flag + "\" (札抜, 図入, 原文, 表=file)");
            }
        }
        const std::string label = trim(f[3]);
        if (label != "*") s.printedLabel = label;
        s.text = trim(f[4]);
        return s;
    }

    void addTable(const std::string& idBN, const std::string& source, const Origin& where, const std::string& law) {
        const fs::path file = root_ / source;
        if (!fs::exists(file)) throw BuildError(where.file, where.line, "table file " + source + " not found");
        int order = 0;
        for (const TablePiece& t : c_.tables)
            if (t.idBN == idBN) order = std::max(order, t.order);
        TablePiece piece;
        piece.idBN = idBN;
        piece.order = order + 1;
        piece.origin = where;
        if (file.extension() == ".xml") {
            pendingXml_.push_back({c_.tables.size(), file, law});
        } else {
            piece.html = readText(file);
            piece.search = searchText(piece.html.substr(std::min(piece.html.find("<body"), piece.html.size())));
            if (piece.html.find("</head>") == std::string::npos || piece.html.find("<body>") == std::string::npos ||
                piece.html.find("</body>") == std::string::npos)
                throw BuildError(sourceName(file, root_), 0,
                                 "a table piece is a whole document with </head>, <body> and </body>");
        }
        c_.tables.push_back(piece);
    }

    // The corpus articles become pages; then the [article] settings apply to
    // the article pages they name, whatever their source (corpus, e-Gov file
    // or page file).
    void applyArticleSettings() {
        for (auto& [prefix, entry] : corpusArticles_) {
            const auto& [a, idSN] = entry;
            Page page;
            page.idFN = pageId(prefix, 0);
            page.idSN = idSN;
            page.caption = a.caption;
            page.origin = {a.file, 1};
            for (const ArticleElement& e : a.elements) {
                Sentence s;
                s.idBN = sentenceId(page.idFN, e.address);
                s.text = e.text;
                s.formatCode = kArticleFormatCode;
                s.printedLabel = e.printedLabel;
                s.origin = {a.file, e.line};
                page.sentences.push_back(s);
            }
            addPage(std::move(page));
        }
        for (const auto& [prefix, section] : articleSections_) {
            if (!c_.pages.count(pageId(prefix, 0)))
                throw BuildError(at(*section).file, section->line,
                                 "no article " + prefix + " to apply these settings to");
            applyArticleSettings(prefix, *section);
        }
    }

    void applyArticleSettings(const std::string& prefix, const IniSection& section) {
        ArticleSettings st;
        std::vector<std::pair<ElementAddress, IniEntry>> tables, formats, marks;
        for (const IniEntry& e : section.entries) {
            if (e.key == "split") {
                for (const std::string& v : split(e.value, ',')) st.splitAt.push_back(number(trim(v), at(e)));
            } else if (e.key == "supplements") {
                for (const std::string& v : split(e.value, '|')) st.supplements.push_back(trim(v));
            } else if (e.key == "large") {
                st.large = yesNo(e.value, at(e));
            } else if (e.key == "shown") {
                st.shown = yesNo(e.value, at(e));
            } else if (e.key == "caption") {
                st.caption = e.value;
            } else if (e.key.rfind("table ", 0) == 0) {
                tables.emplace_back(parseAddress(trim(e.key.substr(6)), at(e)), e);
            } else if (e.key.rfind("format ", 0) == 0) {
                formats.emplace_back(parseAddress(trim(e.key.substr(7)), at(e)), e);
            } else if (e.key.rfind("mark ", 0) == 0) {
                marks.emplace_back(parseAddress(trim(e.key.substr(5)), at(e)), e);
            } else {
                throw BuildError(at(e).file, e.line, "unknown article key \"" + e.key + "\"");
            }
        }
        Page& page = c_.pages.at(pageId(prefix, 0));
        if (st.caption) page.caption = *st.caption;
        page.large = st.large.value_or(page.large);
        page.shown = st.shown.value_or(page.shown);
        if (!st.splitAt.empty() || !st.supplements.empty()) {
            if (st.splitAt.empty()) st.splitAt.push_back(1);
            splitArticle(c_, prefix, st.splitAt, st.supplements, at(section));
        }
        auto find = [&](const ElementAddress& addr, const IniEntry& e) -> Sentence& {
            const std::string tail = sentenceId("", addr);
            for (auto it = c_.pages.lower_bound(prefix); it != c_.pages.end() && it->first.compare(0, 12, prefix) == 0;
                 ++it)
                for (Sentence& s : it->second.sentences)
                    if (s.idBN.substr(15) == tail) return s;
            throw BuildError(at(e).file, e.line, "article " + prefix + " has no sentence at " + e.key);
        };
        for (const auto& [addr, e] : tables) {
            Sentence& s = find(addr, e);
            for (const std::string& file : split(e.value, ','))
                addTable(s.idBN, trim(file), at(e), prefix.substr(0, 3));
            s.table = true;
        }
        for (const auto& [addr, e] : formats) find(addr, e).formatCode = e.value;
        for (const auto& [addr, e] : marks) marks_.push_back({find(addr, e).idBN, e.value, at(e)});
    }

    // Pages sharing their first 12 characters form a split article.
    void computeSplits() {
        std::map<std::string, std::vector<Page*>> groups;
        for (auto& [id, p] : c_.pages) groups[id.substr(0, 12)].push_back(&p);
        for (auto& [prefix, pages] : groups) {
            for (size_t i = 0; i < pages.size(); ++i)
                if (std::stoi(pages[i]->idFN.substr(13, 2)) != static_cast<int>(i))
                    throw BuildError(pages[i]->origin.file, pages[i]->origin.line,
                                     "the pages of " + prefix + " must be numbered 00, 01, … without gaps");
            if (pages.size() > 1)
                for (Page* p : pages) p->split = static_cast<int>(pages.size());
        }
    }

    void convertTexts() {
        convertPages(c_);
        for (const Mark& m : marks_) {
            Sentence* s = c_.sentence(m.idBN);
            const size_t pos = s->markup.find(m.word);
            if (pos == std::string::npos)
                throw BuildError(m.where.file, m.where.line,
                                 "the text of " + m.idBN + " has no 「" + m.word + "」 to mark");
            s->markup.replace(pos, m.word.size(), "[K" + m.word + "K]");
        }
        fillSearchTexts(c_);
        // The texts of the e-Gov laws were converted again above, from their
        // source form: their characters without a CP932 form are fitted again.
        for (const auto& [law, missing] : egovLaws_) fitToCp932(c_, law, missing);
        for (const PendingXml& x : pendingXml_) {
            const ConvertContext ctx = conversionContext(c_, x.law);
            const TableHtml t = tableFromXmlFile(
                x.file, [&](const std::string& cell) { return applyRuby(convertReferences(cell, ctx), c_.ruby); });
            c_.tables[x.index].html = t.html;
            c_.tables[x.index].search = searchText(t.plain);
        }
    }

    std::string resolveSentence(const std::string& source, const std::string& address, const Origin& where) {
        if (!isIdentifierText(source, 12) && !isIdentifierText(source, 15))
            throw BuildError(where.file, where.line, "\"" + source + "\" is not a 12- or 15-character page identifier");
        std::string tail;
        if (std::regex_match(address, std::regex(R"(^[0-9A-Z]{4}-[0-9A-Z]{4}-[0-9A-Z]{4}-[0-9A-Z]{4}$)")))
            tail = "-" + address;
        else
            tail = sentenceId("", parseAddress(address, where));
        for (const auto& [id, p] : c_.pages) {
            if (id.compare(0, source.size(), source) != 0) continue;
            for (const Sentence& s : p.sentences)
                if (s.idBN.substr(15) == tail) return s.idBN;
        }
        throw BuildError(where.file, where.line, "no sentence " + address + " in " + source);
    }

    void readReferences() {
        const fs::path file = root_ / "references.tsv";
        const std::string name = sourceName(file, root_);
        const TsvTable t = readTsv(file, {"source", "address", "target", "keyword", "場所", "表中", "選定", "自動",
                                          "強調", "有効", "備考", "補助", "表示"});
        std::map<std::string, int> order;
        for (const TsvRow& r : t.rows) {
            const Origin where{name, r.line};
            Reference ref;
            ref.origin = where;
            ref.idBN = resolveSentence(r.at("source"), r.at("address"), where);
            ref.targetFN = r.at("target");
            ref.order = ++order[ref.idBN];
            ref.keyword = r.at("keyword");
            ref.place = r.at("場所");
            ref.inTable = number(r.at("表中"), where);
            ref.choose = number(r.at("選定"), where);
            ref.automatic = number(r.at("自動"), where);
            ref.emphasis = number(r.at("強調"), where);
            ref.active = number(r.at("有効"), where);
            ref.note = r.at("備考");
            ref.extra = r.at("補助");
            ref.shown = r.at("表示").empty() || yesNo(r.at("表示"), where);
            if (!isIdentifierText(ref.targetFN, 15))
                throw BuildError(where.file, where.line, "the target is a 15-character ID_FN");
            if (!c_.pages.count(ref.targetFN))
                throw BuildError(where.file, where.line,
                                 "the target page " + ref.targetFN + " is not in the collection");
            if (ref.inTable) {
                bool has = false;
                for (const TablePiece& p : c_.tables) has = has || p.idBN == ref.idBN;
                if (!has) throw BuildError(where.file, where.line, "表中 is set but the sentence has no table");
            }
            if (!ref.keyword.empty()) {
                // The keyword must be where the link colours it: the sentence
                // text, or its table when 表中 is set.
                std::string where = c_.sentence(ref.idBN)->markup;
                if (ref.inTable) {
                    where.clear();
                    for (const TablePiece& p : c_.tables)
                        if (p.idBN == ref.idBN) where += p.html;
                }
                if (where.find(ref.keyword) == std::string::npos)
                    throw BuildError(name, r.line,
                                     "the keyword 「" + ref.keyword + "」 does not occur in " +
                                         (ref.inTable ? "the table of " : "the text of ") + ref.idBN);
            }
            c_.sentence(ref.idBN)->reference = true;
            c_.references.push_back(ref);
        }
    }

    void readMarkers() {
        const fs::path file = root_ / "markers.tsv";
        const std::string name = sourceName(file, root_);
        const TsvTable t = readTsv(file, {"source", "address", "target", "link", "page", "sentence"});
        for (const TsvRow& r : t.rows) {
            const Origin where{name, r.line};
            const std::string from = resolveSentence(r.at("source"), r.at("address"), where);
            const std::string target = r.at("target");
            if (!isIdentifierText(target, 12))
                throw BuildError(where.file, where.line, "target is a 12-character page prefix");
            if (!std::regex_match(r.at("link"), std::regex(R"(^[pr]\d\d$)")))
                throw BuildError(where.file, where.line,
                                 "link is the id ending: r01 for a reference-link row, p01 for an inline reference");
            // The link must exist: a reference-link row to the target, or an
            // inline reference to it in the sentence text.
            bool linked = false;
            if (r.at("link")[0] == 'r') {
                for (const Reference& ref : c_.references)
                    linked = linked || (ref.idBN == from && ref.shown && ref.targetFN.compare(0, 12, target) == 0);
            } else if (r.at("link")[0] == 'p') {
                const int n = std::stoi(target.substr(4, 4)), b1 = std::stoi(target.substr(8, 2)),
                          b2 = std::stoi(target.substr(10, 2));
                std::string label = "[第" + std::to_string(n) + "条";
                if (b1 > 0) label += "の" + std::to_string(b1);
                if (b1 > 0 && b2 > 0) label += "の" + std::to_string(b2);
                const std::string law = target.substr(0, 3);
                label += law == from.substr(0, 3) ? "]" : "/" + law + "]";
                linked = c_.sentence(from)->markup.find(label) != std::string::npos;
            }
            if (!linked)
                throw BuildError(where.file, where.line, "no link from " + from + " to " + target + " for this marker");
            Marker m;
            m.key = from + "-to-" + target + "-" + r.at("link");
            m.value = resolveSentence(r.at("page"), r.at("sentence"), where);
            m.origin = where;
            c_.markers.push_back(m);
        }
    }

    struct Mark {
        std::string idBN, word;
        Origin where;
    };
    struct PendingXml {
        size_t index;
        fs::path file;
        std::string law;
    };

    fs::path root_;
    Collection c_;
    IniFile ini_;
    std::map<std::string, fs::path> corpusOf_;
    std::map<std::string, std::pair<fs::path, Origin>> egovOf_;
    std::map<std::string, std::set<char32_t>> egovLaws_;  // law -> characters of its file without a CP932 form
    std::string retrieved_;                               // T_法令XML's time of import of the e-Gov files
    std::map<std::string, const IniSection*> articleSections_, divisionSections_;
    std::map<std::string, Division> declaredDivisions_;
    std::map<std::string, std::pair<CorpusArticle, std::string>> corpusArticles_;
    std::map<std::string, TsvRow> notifications_;
    std::vector<Mark> marks_;
    std::vector<PendingXml> pendingXml_;
};

}  // namespace

Collection readCollection(const fs::path& dataFolder) { return Reader(dataFolder).run(); }

}  // namespace tavrel::collection
