#pragma once

#include <QString>
#include <memory>

#include "platform/settings_store.h"

class QSettings;

namespace trovix::platform {

// Settings in an INI file: ~/.config/Trovix/Trovix.ini on Linux, the matching per-user place
// elsewhere. Sections are INI groups; every value is stored as quoted text, so commas, leading
// spaces and the like come back exactly as they were written.
class QtSettingsStore : public SettingsStore {
  public:
    // The per-user file of organisation "Trovix", application "Trovix".
    QtSettingsStore();
    // An explicit .ini file.
    explicit QtSettingsStore(const QString& iniFile);
    ~QtSettingsStore() override;

    QtSettingsStore(const QtSettingsStore&) = delete;
    QtSettingsStore& operator=(const QtSettingsStore&) = delete;

    std::optional<QString> value(const QString& section, const QString& key) const override;
    void setValue(const QString& section, const QString& key, const QString& value) override;
    bool removeSection(const QString& section) override;
    bool sync() override;

    QString fileName() const;

  private:
    void reopen();

    std::unique_ptr<QSettings> settings_;
};

}  // namespace trovix::platform
