#pragma once

#include <QMap>
#include <QString>

#include "platform/settings_store.h"

namespace trovix::platform {

// Settings held in memory. Tests may read and fill `sections` directly.
class FakeSettingsStore : public SettingsStore {
  public:
    std::optional<QString> value(const QString& section, const QString& key) const override;
    void setValue(const QString& section, const QString& key, const QString& value) override;
    bool removeSection(const QString& section) override;
    // Counts the call; fails while `failSync` is set.
    bool sync() override;
    QString errorString() const override { return failSync ? failReason : QString(); }

    QMap<QString, QMap<QString, QString>> sections;
    int syncCount = 0;
    bool failSync = false;
    QString failReason = QStringLiteral("Permission denied");
};

}  // namespace trovix::platform
