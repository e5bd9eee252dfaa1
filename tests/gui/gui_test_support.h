// Helpers shared by the window tests: a copy of the sample collection to run
// on, and reading the shown page through JavaScript.
#pragma once

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QString>
#include <QTest>
#include <QVariant>
#include <QWebEnginePage>

#include "textview/gui/law_text_view.h"

namespace tavrel::testing {

// Copies the folder from, with everything below it, to the folder to.
inline bool copyFolder(const QString& from, const QString& to) {
    QDir().mkpath(to);
    QDirIterator it(from, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString target = to + QLatin1Char('/') + QDir(from).relativeFilePath(path);
        if (it.fileInfo().isDir())
            QDir().mkpath(target);
        else if (!QFile::copy(path, target))
            return false;
    }
    return true;
}

// Runs script in the page and waits (at most 15 s) for its value.
inline QVariant evaluate(QWebEnginePage* page, const QString& script) {
    QVariant result;
    bool done = false;
    page->runJavaScript(script, [&](const QVariant& v) {
        result = v;
        done = true;
    });
    QElapsedTimer t;
    t.start();
    while (!done && t.elapsed() < 15000) QTest::qWait(20);
    return result;
}

inline QString bodyText(gui::LawTextView* view) {
    return evaluate(view->page(), QStringLiteral("document.body ? document.body.innerText : ''")).toString();
}

// Waits (at most 20 s) until the shown page's text contains text.
inline bool waitForText(gui::LawTextView* view, const QString& text) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 20000) {
        if (bodyText(view).contains(text)) return true;
        QTest::qWait(100);
    }
    return false;
}

}  // namespace tavrel::testing
