// Checks of an assembled collection against the core's own identifier and
// numbering code: every identifier well-formed, every computed label equal to
// the label the source prints, every text representable in CP932, every link
// markup within the renderer's limits, every link target present.
#pragma once

#include "collection/model.h"

#include <string>

namespace tavrel::collection {

void checkCollection(const Collection& c);

// The label the page builder computes for one sentence (UTF-8), as the page
// shows it without its trailing blank; nullopt when no label is shown.
std::optional<std::string> computedLabel(const std::string& idBN, const std::string& formatCode, bool hideLabel);

// UTF-8 -> CP932, failing loudly (with where) when a character has no CP932 form.
std::string toCp932(const std::string& utf8, const Origin& where);

}  // namespace tavrel::collection
