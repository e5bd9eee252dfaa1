#include "document/settings_store.h"

namespace tavrel {

namespace {
template <typename T>
const T* find(const std::map<std::pair<std::string, std::string>, MemorySettingsStore::Value>& values,
              const std::string& section, const std::string& key) {
    const auto it = values.find({section, key});
    if (it == values.end()) return nullptr;
    return std::get_if<T>(&it->second);  // a value of another type reads as missing
}
}  // namespace

int MemorySettingsStore::readInt(const std::string& section, const std::string& key, int def) const {
    const int* v = find<int>(values_, section, key);
    return v ? *v : def;
}

void MemorySettingsStore::writeInt(const std::string& section, const std::string& key, int value) {
    values_[{section, key}] = value;
}

std::string MemorySettingsStore::readText(const std::string& section, const std::string& key,
                                          const std::string& def) const {
    const std::string* v = find<std::string>(values_, section, key);
    return v ? *v : def;
}

void MemorySettingsStore::writeText(const std::string& section, const std::string& key, const std::string& value) {
    values_[{section, key}] = value;
}

bool MemorySettingsStore::readBinary(const std::string& section, const std::string& key,
                                     std::vector<uint8_t>& out) const {
    const auto* v = find<std::vector<uint8_t>>(values_, section, key);
    if (!v) return false;
    out = *v;
    return true;
}

void MemorySettingsStore::writeBinary(const std::string& section, const std::string& key,
                                      const std::vector<uint8_t>& value) {
    values_[{section, key}] = value;
}

bool MemorySettingsStore::contains(const std::string& section, const std::string& key) const {
    return values_.count({section, key}) != 0;
}

void MemorySettingsStore::remove(const std::string& section, const std::string& key) {
    values_.erase({section, key});
}

}  // namespace tavrel
