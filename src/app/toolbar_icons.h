// The toolbar images, drawn at run time so they stay crisp at any scale.
#pragma once

#include <QIcon>

namespace tavrel::gui {

enum class ToolIcon { Previous, Next, Back, Forward, Synchro, Refer, Brachet, OnTop, PinPoint, DesignData, printPage, CitedBy };

// A 22 x 20 icon (with 2x and 3x versions for high-density screens).
QIcon toolIcon(ToolIcon which);

}  // namespace tavrel::gui
