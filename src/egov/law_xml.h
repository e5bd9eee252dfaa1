// e-Gov law XML (法令標準XML): one law file, read safely, and turned into the
// rows of the collection model under a given law identifier (ID_HN), so that
// every step of the collection (identifiers, format codes, label checks,
// reference conversion, search texts, table pieces) applies to it unchanged.
//
// A file is the bare <Law> or the API v1 answer
// <DataRoot><ApplData><LawFullText><Law>. It is refused — with the file and
// the line or element path named — when it is larger than kMaxFileBytes, not
// UTF-8 (or UTF-16 with a byte-order mark), holds a DOCTYPE, is not
// well-formed, nests deeper than kMaxDepth or is not a law. pugixml never
// loads DTDs or external entities; an undeclared entity stays literal text.
#pragma once

#include "collection/model.h"

#include <filesystem>
#include <memory>
#include <pugixml.hpp>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace tavrel::egov {

inline constexpr size_t kMaxFileBytes = 64u * 1024 * 1024;
inline constexpr int kMaxDepth = 200;

// A refused file; what() names the file and the line or the element path.
class ImportError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Something the import kept in a simpler form than the source has it.
struct Warning {
    std::string path;  // element path, e.g. /Law/LawBody/MainProvision/Article[6_2]/Foo
    int line = 0;
    std::string message;
};

// A parsed law file and the facts of its <Law> element.
struct LawFile {
    std::string fileName;
    std::shared_ptr<pugi::xml_document> document;
    pugi::xml_node law;
    std::vector<size_t> lineStarts;  // byte offset of every line, for messages

    std::string lawId;      // ApplData/LawId, or composed from the <Law> attributes
    std::string lawNum;     // 昭和二十五年法律第二百一号
    std::string title;      // LawTitle
    std::string abbrev;     // LawTitle@Abbrev (first of a comma-separated list)
    std::string lawType;    // Act, CabinetOrder, MinisterialOrdinance, …
    std::string revision;   // the latest AmendLawNum of its 附則, or ""
    std::string promulgated;  // YYYY-MM-DD when the attributes give it, else ""
    std::set<char32_t> withoutCp932Form;  // characters of its texts and attributes that CP932 lacks

    int lineOf(const pugi::xml_node& n) const;
    std::string pathOf(const pugi::xml_node& n) const;
};

// Reads and parses a file; throws ImportError.
LawFile readLawFile(const std::filesystem::path& file);
// Parses bytes read from a file called fileName; throws ImportError.
LawFile parseLawFile(const std::string& bytes, const std::string& fileName);

// A table piece waiting for the reference conversion of its cells: the
// TableStruct, or the whole AppdxTable for an appended table's first piece.
struct PendingTable {
    std::string idBN;
    int order = 0;
    pugi::xml_node source;
};

// The rows of one law.
struct LawContent {
    collection::Law law;
    std::vector<collection::Division> divisions;
    std::vector<collection::Page> pages;
    std::vector<PendingTable> tables;
    std::vector<Warning> warnings;
    size_t uncheckedLabels = 0;  // rows whose printed label the numbering cannot compute
};

// Converts the law under identifier lawIdHN (e.g. "01B"); throws ImportError
// when two elements would share one identifier.
LawContent convertLaw(const LawFile& file, const std::string& lawIdHN);

// The text of an inline element (a Sentence, a title, a table cell sentence):
// character data (HTML-escaped when escape is set), Ruby, Sup and Sub as
// inline marks (collection/steps.h); anything else kept as text, with a
// warning when warnings is given.
std::string inlineText(const LawFile& file, const pugi::xml_node& n, bool escape, std::vector<Warning>* warnings);

}  // namespace tavrel::egov
