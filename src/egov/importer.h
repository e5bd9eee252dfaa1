// Adding e-Gov law files to a collection: each law gets its identifier (its
// family and kind letter), replaces the law it was imported as before (same
// LawId) or the law of the same title, and goes through the collection's
// steps; the whole collection is checked at the end.
#pragma once

#include "collection/model.h"
#include "egov/law_xml.h"

#include <string>
#include <vector>

namespace tavrel::egov {

struct LawSummary {
    std::string file, idHN, title, lawId;
    bool replaced = false;  // a law of the collection was replaced
    size_t pages = 0, sentences = 0, tables = 0;
    size_t uncheckedLabels = 0;  // printed labels kept in the text
    size_t fittedTexts = 0;      // texts holding characters without a CP932 form
    std::vector<Warning> warnings;
    // What the collection held beyond the XML text of the replaced law (its
    // layout, flags, reference links, hand-made table pieces, markers) and
    // could not keep because its sentence or target page is gone, and rows
    // of other laws dropped for the same reason: one short Japanese line
    // (UTF-8) each, naming the row and its page.
    std::vector<std::string> dropped;
};

// The ID_HN a law gets in the collection:
// - the law imported before with the same LawId keeps its identifier;
// - else the law of the collection with the same title is replaced;
// - an order (施行令) or ordinance (施行規則) of an act of the collection,
//   found by title, joins the act's family (the first two characters) with
//   the kind letter B (order) or C (ordinance);
// - anything else opens the first free family, with A (act and others),
//   B (cabinet and imperial orders) or C (ministerial ordinances and rules).
// Throws ImportError when no identifier is free.
std::string placeLaw(const collection::Collection& c, const LawFile& f);

// Adds or replaces the laws of the files, runs the steps (reference
// conversion, ruby, search texts, table pieces, characters without a CP932
// form) and checks the whole collection. importedAt is recorded in
// T_法令XML. Throws ImportError (the collection is then in an undefined
// state: the caller writes nothing).
std::vector<LawSummary> importLaws(collection::Collection& c, const std::vector<LawFile>& files,
                                   const std::string& importedAt);

}  // namespace tavrel::egov
