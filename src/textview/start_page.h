// The page the text view opens with at start-up.
#pragma once

#include "document/options.h"
#include "document/settings_store.h"

#include <string>

namespace tavrel::textview {

// Settings generation that knows the current form of CurIDFN.
inline constexpr int kSettingsVersion = 808;

// CurIDFN of "Settings-2008" (default: the cover page). A stored value of
// another length than 15 or a Records/Version below 808 gives the cover page
// and writes Version = 808; ReviveLastPage = 0 always gives the cover page.
std::string chooseStartPage(SettingsStore& store, const OptionBlock& options);

}  // namespace tavrel::textview
