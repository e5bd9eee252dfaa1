#include "textview/gui/page_script.h"

#include <QEventLoop>
#include <QPointer>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineScript>

#include <memory>

namespace tavrel::gui {

QString runScriptAndWait(QWebEnginePage* page, const QString& script, int timeoutMs) {
    if (!page) return {};
    // The answer may come after the caller gave up waiting: it then lands in
    // a state the callback still owns.
    struct Answer {
        QString text;
        bool done = false;
        QPointer<QEventLoop> loop;
    };
    auto answer = std::make_shared<Answer>();
    QEventLoop loop;
    answer->loop = &loop;
    page->runJavaScript(script, QWebEngineScript::ApplicationWorld, [answer](const QVariant& v) {
        answer->text = v.typeId() == QMetaType::QString        ? v.toString()
                       : v.canConvert<double>() && v.isValid() ? QString::number(v.toLongLong())
                                                               : QString();
        answer->done = true;
        if (answer->loop) answer->loop->quit();
    });
    if (!answer->done) {
        QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    answer->loop = nullptr;
    return answer->done ? answer->text : QString();
}

}  // namespace tavrel::gui
