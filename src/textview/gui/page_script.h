// Scripts whose result the caller needs at once (marking words, reading the
// selection): the script runs in the page and the caller waits for its
// answer, with the user's input held back meanwhile.
#pragma once

#include <QString>

class QWebEnginePage;

namespace tavrel::gui {

// The script's result as text (an empty text when the page gave none in
// timeoutMs, or the result was not a text or a number).
QString runScriptAndWait(QWebEnginePage* page, const QString& script, int timeoutMs = 30000);

}  // namespace tavrel::gui
