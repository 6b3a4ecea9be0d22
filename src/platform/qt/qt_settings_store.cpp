#include "platform/qt/qt_settings_store.h"

#include <QSettings>
#include <QStringList>
#include <QVariant>

namespace trovix::platform {

namespace {

// Without fallbacks only the user's own file counts: a removed section must not reappear from
// the organisation-wide or system-wide file.
std::unique_ptr<QSettings> openIni(const QString& iniFile) {
    auto settings = std::make_unique<QSettings>(iniFile, QSettings::IniFormat);
    settings->setFallbacksEnabled(false);
    return settings;
}

QString keyPath(const QString& section, const QString& key) {
    return section + u'/' + key;
}

}  // namespace

QtSettingsStore::QtSettingsStore()
    : settings_(std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                            QStringLiteral("Trovix"), QStringLiteral("Trovix"))) {
    settings_->setFallbacksEnabled(false);
}

QtSettingsStore::QtSettingsStore(const QString& iniFile) : settings_(openIni(iniFile)) {
}

QtSettingsStore::~QtSettingsStore() = default;

QString QtSettingsStore::fileName() const {
    return settings_->fileName();
}

std::optional<QString> QtSettingsStore::value(const QString& section, const QString& key) const {
    const QVariant stored = settings_->value(keyPath(section, key));
    if (!stored.isValid()) {
        return std::nullopt;
    }
    // Values this class writes are quoted and always read back as one string. A hand-edited
    // line with unquoted commas reads as a list, whose toString() would be empty; keep its
    // text instead (QSettings has already dropped the blanks around each comma).
    if (stored.typeId() == QMetaType::QStringList) {
        return stored.toStringList().join(QStringLiteral(", "));
    }
    if (!stored.canConvert<QString>()) {
        return std::nullopt;
    }
    return stored.toString();
}

void QtSettingsStore::setValue(const QString& section, const QString& key, const QString& value) {
    // Always a QString: QSettings quotes it when needed and never turns it into a list.
    settings_->setValue(keyPath(section, key), QVariant(value));
}

bool QtSettingsStore::removeSection(const QString& section) {
    if (section.isEmpty()) {
        // remove("") at the top level would wipe the whole file; take only the loose keys.
        const QStringList keys = settings_->childKeys();
        for (const QString& key : keys) {
            settings_->remove(key);
        }
        return !keys.isEmpty();
    }
    settings_->beginGroup(section);
    const bool hadKeys = !settings_->allKeys().isEmpty();
    settings_->endGroup();
    settings_->remove(section);
    return hadKeys;
}

bool QtSettingsStore::sync() {
    // QSettings keeps reporting the first error for the rest of its life. Start from a fresh
    // object so the answer describes this attempt, not an earlier one.
    if (settings_->status() != QSettings::NoError) {
        reopen();
    }
    settings_->sync();
    return settings_->status() == QSettings::NoError;
}

void QtSettingsStore::reopen() {
    // The new object is made while the old one still lives, so both share QSettings' per-file
    // cache and the changes the failed write left pending are kept and written next time.
    auto fresh = openIni(settings_->fileName());
    settings_ = std::move(fresh);
}

}  // namespace trovix::platform
