// The collection as the builder assembles it before writing: one record per
// row of the statute database, texts in UTF-8.
#pragma once

#include "collection/text_convert.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tavrel::collection {

// Where a row came from, for messages that name file and line.
struct Origin {
    std::string file;
    int line = 0;
};

struct Law {
    std::string id, common, shortName, formal;
    bool shown = true;
    std::vector<LawAlias> aliases;
    Origin origin;
};

struct Division {
    std::string idSN;
    std::string names[4];  // 章名, 節名, 款名, 目名 (the ancestors' names included)
    bool notice = false;   // 告示: the tree shows the name without its number
};

struct Sentence {
    std::string idBN;
    std::string text;        // 法文 before reference conversion (source form)
    std::string markup;      // 法文 as stored
    std::string formatCode;  // 書式コード
    bool table = false, hideLabel = false, reference = false, images = false;
    std::string search;                       // 検索用データ
    std::optional<std::string> printedLabel;  // label the source prints, checked against the computed one
    bool convert = true;                      // run the reference conversion on text
    Origin origin;
};

struct Page {
    std::string idFN, idSN;
    std::string caption, supplement;
    int split = 0;
    bool large = false, shown = true;
    std::vector<Sentence> sentences;
    Origin origin;
};

struct TablePiece {
    std::string idBN;
    int order = 0;
    std::string html, search;
    Origin origin;
    // Written by an import from the law's XML (listed in T_法令XML表): a later
    // import of the law replaces it; any other piece was added by hand and
    // is kept.
    bool fromLawXml = false;
};

struct SpecialPiece {
    std::string idFN;
    int order = 0;
    std::string html;
    Origin origin;
};

struct Reference {
    std::string idBN, targetFN;
    int order = 0;
    bool shown = true;
    std::string place, keyword;
    int inTable = 0, choose = 0, automatic = 0, emphasis = 0, active = 0;
    std::string note, extra;  // 備考, 補助
    Origin origin;
};

struct History {
    std::string idFN;
    std::string promulgated, promulgatedBy, revised, revisedBy;  // dates "YYYY-MM-DD" or ""
    std::optional<int> revisionNumber;
    Origin origin;
};

struct Marker {
    std::string key, value;
    Origin origin;
};

// Where an imported law came from (T_法令XML): e-Gov's law identifier, the
// law number, the latest amending law and when it was imported.
struct LawSource {
    std::string idHN, lawId, lawNum, revision, importedAt;
};

struct Collection {
    std::vector<Law> laws;
    std::map<std::string, Division> divisions;
    std::map<std::string, Page> pages;  // by ID_FN
    std::vector<TablePiece> tables;
    std::vector<SpecialPiece> specials;
    std::vector<Reference> references;
    std::vector<History> histories;
    std::vector<Marker> markers;
    std::vector<RubyEntry> ruby;
    std::vector<LawSource> lawSources;  // only imported laws; none: no T_法令XML table
    std::string helpHtml;               // UTF-8

    const Law* law(const std::string& id) const;
    Sentence* sentence(const std::string& idBN);
};

}  // namespace tavrel::collection
