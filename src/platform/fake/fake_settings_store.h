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
    // Counts the call; fails with `failReason` while `failSync` is set.
    Result<void> sync() override;

    QMap<QString, QMap<QString, QString>> sections;
    int syncCount = 0;
    bool failSync = false;
    QString failReason = QStringLiteral("Permission denied");
};

}  // namespace trovix::platform
