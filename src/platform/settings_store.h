#pragma once

#include <QString>
#include <optional>

#include "platform/result.h"

namespace trovix::platform {

// The per-user settings store: text values by section and key.
class SettingsStore {
  public:
    virtual ~SettingsStore() = default;

    // The stored text of a key, or nothing when the key (or its section) is absent.
    virtual std::optional<QString> value(const QString& section, const QString& key) const = 0;
    virtual void setValue(const QString& section, const QString& key, const QString& value) = 0;
    // Removes a whole section; returns whether anything was stored there.
    virtual bool removeSection(const QString& section) = 0;
    // Writes pending changes to permanent storage, or says why that failed.
    virtual Result<void> sync() = 0;
};

}  // namespace trovix::platform
