#include "qtsupport/qt_text.h"

#include "text/sjis.h"

#include <QByteArray>

namespace tavrel::gui {

QString toQString(const std::string& cp932) { return QString::fromStdString(text::toUtf8(cp932)); }

std::string toCp932(const QString& s) {
    const QByteArray utf8 = s.toUtf8();
    return text::fromUtf8(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())));
}

}  // namespace tavrel::gui
