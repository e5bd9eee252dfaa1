// The one conversion point between the core's CP932 texts and QString.
#pragma once

#include <QString>

#include <string>

namespace tavrel::gui {

QString toQString(const std::string& cp932);
std::string toCp932(const QString& s);

}  // namespace tavrel::gui
