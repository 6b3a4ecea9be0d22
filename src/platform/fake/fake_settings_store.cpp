#include "platform/fake/fake_settings_store.h"

namespace trovix::platform {

std::optional<QString> FakeSettingsStore::value(const QString& section, const QString& key) const {
    const auto sectionIt = sections.constFind(section);
    if (sectionIt == sections.constEnd()) {
        return std::nullopt;
    }
    const auto keyIt = sectionIt->constFind(key);
    if (keyIt == sectionIt->constEnd()) {
        return std::nullopt;
    }
    return *keyIt;
}

void FakeSettingsStore::setValue(const QString& section, const QString& key, const QString& value) {
    sections[section][key] = value;
}

bool FakeSettingsStore::removeSection(const QString& section) {
    const auto it = sections.find(section);
    if (it == sections.end()) {
        return false;
    }
    // A section a test filled with no keys held nothing, as in the INI file.
    const bool hadKeys = !it->isEmpty();
    sections.erase(it);
    return hadKeys;
}

Result<void> FakeSettingsStore::sync() {
    ++syncCount;
    if (failSync) {
        return fail(failReason);
    }
    return {};
}

}  // namespace trovix::platform
