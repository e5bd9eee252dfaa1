// The per-user settings store on QSettings: native format, user scope,
// organisation "orlemo", application "ソラテ"; sections are groups.
#pragma once

#include "document/settings_store.h"

#include <QSettings>

#include <memory>

namespace tavrel::gui {

class QtSettingsStore : public SettingsStore {
  public:
    QtSettingsStore();
    // A store on a given file (ini format), for tests.
    explicit QtSettingsStore(const QString& iniFile);

    int readInt(const std::string& section, const std::string& key, int def) const override;
    void writeInt(const std::string& section, const std::string& key, int value) override;
    std::string readText(const std::string& section, const std::string& key, const std::string& def) const override;
    void writeText(const std::string& section, const std::string& key, const std::string& value) override;
    bool readBinary(const std::string& section, const std::string& key, std::vector<uint8_t>& out) const override;
    void writeBinary(const std::string& section, const std::string& key, const std::vector<uint8_t>& value) override;

    void sync() { settings_->sync(); }
    QString fileName() const { return settings_->fileName(); }

  private:
    std::unique_ptr<QSettings> settings_;
};

}  // namespace tavrel::gui
