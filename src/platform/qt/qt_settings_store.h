#pragma once

#include <QString>
#include <vector>

#include "ini/ini_file.h"
#include "platform/disk.h"
#include "platform/settings_store.h"

namespace trovix::platform {

// Settings in an INI file: ~/.config/Trovix/Trovix.ini on Linux, the matching per-user place
// elsewhere. Sections are INI sections. Files QSettings wrote read as QSettings reads them, and
// what this class writes QSettings reads back.
//
// Changes wait in memory until sync(), which reads the file again, puts them on top of what
// another copy of the program may have written since, and replaces the file safely. Only the
// lines of keys set to new text are rewritten; every other line keeps its bytes.
class QtSettingsStore : public SettingsStore {
  public:
    // The per-user file of organisation "Trovix", application "Trovix", written through `disk`.
    explicit QtSettingsStore(Disk& disk);
    // An explicit .ini file.
    QtSettingsStore(const QString& iniFile, Disk& disk);
    ~QtSettingsStore() override;

    QtSettingsStore(const QtSettingsStore&) = delete;
    QtSettingsStore& operator=(const QtSettingsStore&) = delete;

    std::optional<QString> value(const QString& section, const QString& key) const override;
    // Setting the text a key already has is no change: its line, and bytes that are not UTF-8
    // in it, stay as they are.
    void setValue(const QString& section, const QString& key, const QString& value) override;
    bool removeSection(const QString& section) override;
    // Fails, keeping the changes for a later sync, when the file cannot be read (it is never
    // written over then) or written, and says why.
    Result<void> sync() override;

    QString fileName() const;

  private:
    struct Change {
        QString section;
        QString key;
        QString value;
    };

    qsizetype changeIndex(const QString& section, const QString& key) const;
    bool isRemoved(const QString& section) const;
    bool trySync();
    bool writeChanges();

    Disk& disk_;
    QString path_;
    ini::IniDocument file_;  // the file as last read or written
    // Pending: sections to empty, then keys to set, in the order they were first set.
    std::vector<QString> removedSections_;
    std::vector<Change> changes_;
    QString error_;
};

}  // namespace trovix::platform
