// The per-user settings store: sections of keys with integer, text and
// binary values. The program uses a QSettings implementation; the core and
// its tests use the in-memory one.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <variant>
#include <vector>

namespace tavrel {

class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // Section and key names are ASCII; texts are CP932. A missing value, or
    // one of another type, reads as the default.
    virtual int readInt(const std::string& section, const std::string& key, int def) const = 0;
    virtual void writeInt(const std::string& section, const std::string& key, int value) = 0;
    virtual std::string readText(const std::string& section, const std::string& key, const std::string& def) const = 0;
    virtual void writeText(const std::string& section, const std::string& key, const std::string& value) = 0;
    // False (and out untouched) when the value is missing or not binary.
    virtual bool readBinary(const std::string& section, const std::string& key, std::vector<uint8_t>& out) const = 0;
    virtual void writeBinary(const std::string& section, const std::string& key, const std::vector<uint8_t>& value) = 0;
};

// In-memory store: for tests, and as a throwaway instance.
class MemorySettingsStore : public SettingsStore {
public:
    using Value = std::variant<int, std::string, std::vector<uint8_t>>;

    int readInt(const std::string& section, const std::string& key, int def) const override;
    void writeInt(const std::string& section, const std::string& key, int value) override;
    std::string readText(const std::string& section, const std::string& key, const std::string& def) const override;
    void writeText(const std::string& section, const std::string& key, const std::string& value) override;
    bool readBinary(const std::string& section, const std::string& key, std::vector<uint8_t>& out) const override;
    void writeBinary(const std::string& section, const std::string& key, const std::vector<uint8_t>& value) override;

    bool contains(const std::string& section, const std::string& key) const;
    void remove(const std::string& section, const std::string& key);
    const std::map<std::pair<std::string, std::string>, Value>& values() const { return values_; }

private:
    std::map<std::pair<std::string, std::string>, Value> values_;
};

}  // namespace tavrel
