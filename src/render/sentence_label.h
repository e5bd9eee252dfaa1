// The label and indentation of one sentence row of a law text page, computed
// from its identifier, its format code and the page kind. Lengths are in
// millimetres; unit is the basic font size in millimetres.
#pragma once

#include "document/numbering.h"

#include <optional>
#include <string>

namespace tavrel::render {

// Millimetres per point (25.4 / 72).
inline constexpr double kMillimetresPerPoint = 0.35277777777777775;

struct SentenceLayout {
    std::string label;  // CP932, as shown (with its trailing ideographic space)
    double marginLeft = 0.0;
    double textIndent = 0.0;
};

// nullopt when the element level of the row cannot be determined (the page
// builder then shows the row without a label and with the previous row's
// indentation). labelHidden is the row's 札抜 flag (notification pages).
std::optional<SentenceLayout> sentenceLayout(numbering::PageKind kind, const std::string& idBN,
                                             const std::string& formatCode, bool labelHidden, double unit,
                                             const numbering::SupplementLookup& supplement = {});

}  // namespace tavrel::render
