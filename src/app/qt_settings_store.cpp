#include "app/qt_settings_store.h"

#include "qtsupport/qt_text.h"

#include <QByteArray>
#include <QVariant>

namespace tavrel::gui {

namespace {
QString path(const std::string& section, const std::string& key) {
    return QString::fromStdString(section) + QLatin1Char('/') + QString::fromStdString(key);
}
}  // namespace

QtSettingsStore::QtSettingsStore()
    : settings_(std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("orlemo"),
                                            QStringLiteral("ソラテ"))) {}

QtSettingsStore::QtSettingsStore(const QString& iniFile)
    : settings_(std::make_unique<QSettings>(iniFile, QSettings::IniFormat)) {}

int QtSettingsStore::readInt(const std::string& section, const std::string& key, int def) const {
    const QVariant v = settings_->value(path(section, key));
    if (!v.isValid() || v.typeId() == QMetaType::QByteArray) return def;
    bool ok = false;
    const int n = v.toString().toInt(&ok);
    return ok ? n : def;
}

void QtSettingsStore::writeInt(const std::string& section, const std::string& key, int value) {
    settings_->setValue(path(section, key), value);
}

std::string QtSettingsStore::readText(const std::string& section, const std::string& key,
                                      const std::string& def) const {
    const QVariant v = settings_->value(path(section, key));
    if (!v.isValid() || v.typeId() == QMetaType::QByteArray) return def;
    return toCp932(v.toString());
}

void QtSettingsStore::writeText(const std::string& section, const std::string& key, const std::string& value) {
    settings_->setValue(path(section, key), toQString(value));
}

bool QtSettingsStore::readBinary(const std::string& section, const std::string& key, std::vector<uint8_t>& out) const {
    const QVariant v = settings_->value(path(section, key));
    if (!v.isValid() || v.typeId() != QMetaType::QByteArray) return false;
    const QByteArray bytes = v.toByteArray();
    out.assign(bytes.begin(), bytes.end());
    return true;
}

void QtSettingsStore::writeBinary(const std::string& section, const std::string& key,
                                  const std::vector<uint8_t>& value) {
    settings_->setValue(path(section, key),
                        QByteArray(reinterpret_cast<const char*>(value.data()), static_cast<qsizetype>(value.size())));
}

}  // namespace tavrel::gui
