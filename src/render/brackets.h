// Bracket colouring and definition emphasis of one statute sentence (CP932
// text that may already contain HTML markup). Every position and length
// counts bytes; brackets are recognised only at character boundaries.
#pragma once

#include "document/options.h"

#include <string>

namespace tavrel::render {

// Paints the background of every parenthetical （…） whose inner text is
// longer than 15 bytes with the colours of its nesting depth (depths 0-2:
// FontColorBrachet1A/1B .. 3A/3B). Changes text in place; returns false and
// leaves text unchanged when a "）" has no open partner. Unmatched "（" are
// ignored.
bool colourBrackets(std::string& text, const OptionBlock& options);

// Shows every occurrence of a term defined as 「term」という。 in bold brown
// ("<B STYLE=\"color: #996633\">" + 「term」 + "</B>").
std::string emphasiseDefinitions(const std::string& text);

}  // namespace tavrel::render
