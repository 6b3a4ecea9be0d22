#include "platform/qt/qt_settings_store.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSettings>
#include <QStandardPaths>
#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/safe_file.h"

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace trovix::platform {

namespace {

// How long sync() waits while another program writes the same file.
constexpr int kLockWaitMs = 5000;

// The per-user file QSettings uses for the organisation and application "Trovix". A QSettings
// object reads that file as it is made, and a named pipe there would keep it waiting for a
// writer; where QSettings takes the folder from QStandardPaths, the name is made here instead.
QString perUserIniFile() {
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN) && !defined(Q_OS_ANDROID)
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Trovix/Trovix.ini");
#else
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Trovix"),
                     QStringLiteral("Trovix"))
        .fileName();
#endif
}

// "%1 is a named pipe, not a folder." and the like, for a path where a folder is to be.
QString notAFolder(const QString& shown, PathKind kind) {
    switch (kind) {
        case PathKind::Missing:
            return QCoreApplication::translate("QtSettingsStore", "%1 is missing, not a folder.")
                .arg(shown);
        case PathKind::RegularFile:
            return QCoreApplication::translate("QtSettingsStore",
                                               "%1 is a regular file, not a folder.")
                .arg(shown);
        case PathKind::Folder:
            return {};
        case PathKind::NamedPipe:
            return QCoreApplication::translate("QtSettingsStore",
                                               "%1 is a named pipe, not a folder.")
                .arg(shown);
        case PathKind::Socket:
            return QCoreApplication::translate("QtSettingsStore", "%1 is a socket, not a folder.")
                .arg(shown);
        case PathKind::Device:
            return QCoreApplication::translate("QtSettingsStore", "%1 is a device, not a folder.")
                .arg(shown);
        case PathKind::LinkLoop:
            return QCoreApplication::translate(
                       "QtSettingsStore",
                       "%1 is a symbolic link that leads back to itself, not a folder.")
                .arg(shown);
        case PathKind::DanglingLink:
            return QCoreApplication::translate(
                       "QtSettingsStore",
                       "%1 is a symbolic link to a file that does not exist, not a folder.")
                .arg(shown);
    }
    return {};
}

// "Its lock file %1 is a folder, not a regular file." and the like.
QString lockNotRegular(const QString& shown, PathKind kind) {
    switch (kind) {
        case PathKind::Missing:
            return QCoreApplication::translate("QtSettingsStore",
                                               "Its lock file %1 is missing, not a regular file.")
                .arg(shown);
        case PathKind::RegularFile:
            return {};
        case PathKind::Folder:
            return QCoreApplication::translate("QtSettingsStore",
                                               "Its lock file %1 is a folder, not a regular file.")
                .arg(shown);
        case PathKind::NamedPipe:
            return QCoreApplication::translate(
                       "QtSettingsStore", "Its lock file %1 is a named pipe, not a regular file.")
                .arg(shown);
        case PathKind::Socket:
            return QCoreApplication::translate("QtSettingsStore",
                                               "Its lock file %1 is a socket, not a regular file.")
                .arg(shown);
        case PathKind::Device:
            return QCoreApplication::translate("QtSettingsStore",
                                               "Its lock file %1 is a device, not a regular file.")
                .arg(shown);
        case PathKind::LinkLoop:
            return QCoreApplication::translate("QtSettingsStore",
                                               "Its lock file %1 is a symbolic link that leads "
                                               "back to itself, not a regular file.")
                .arg(shown);
        case PathKind::DanglingLink:
            return QCoreApplication::translate("QtSettingsStore",
                                               "Its lock file %1 is a symbolic link to a file "
                                               "that does not exist, not a regular file.")
                .arg(shown);
    }
    return {};
}

// Makes a folder and the missing folders above it, or says why it cannot.
Result<void> makeFolder(const QString& folder) {
    const PathKind kind = pathKind(folder);
    if (kind == PathKind::Folder) {
        return {};
    }
    const QString shown = QDir::toNativeSeparators(folder);
    if (kind != PathKind::Missing) {
        return fail(notAFolder(shown, kind));
    }
    const QString parent = QFileInfo(folder).absolutePath();
    if (parent != folder) {
        if (Result<void> made = makeFolder(parent); !made) {
            return made;
        }
    }
#ifdef Q_OS_UNIX
    if (::mkdir(QFile::encodeName(folder).constData(), 0777) != 0 && errno != EEXIST) {
        return fail(
            QCoreApplication::translate("QtSettingsStore", "The folder %1 cannot be made: %2")
                .arg(shown, QString::fromLocal8Bit(std::strerror(errno))));
    }
#else
    if (!QDir().mkdir(folder) && pathKind(folder) != PathKind::Folder) {
        return fail(QCoreApplication::translate("QtSettingsStore", "The folder %1 cannot be made.")
                        .arg(shown));
    }
#endif
    return {};
}

// The file's bytes, none when it is missing, or the reason it cannot be read.
Result<QByteArray> readIfThere(const QString& path) {
    const PathKind kind = pathKind(path);
    if (kind == PathKind::Missing || kind == PathKind::DanglingLink) {
        return QByteArray();
    }
    if (kind == PathKind::Folder) {
        return fail(QCoreApplication::translate("QtSettingsStore", "It is a folder."));
    }
    return readWholeFile(path);
}

}  // namespace

QtSettingsStore::QtSettingsStore(Disk& disk) : QtSettingsStore(perUserIniFile(), disk) {
}

QtSettingsStore::QtSettingsStore(const QString& iniFile, Disk& disk) : disk_(disk), path_(iniFile) {
    // A file that cannot be read reads as empty; sync() says why, and never writes over it.
    if (const Result<QByteArray> bytes = readIfThere(path_)) {
        file_ = ini::IniDocument(*bytes);
    }
}

QtSettingsStore::~QtSettingsStore() = default;

QString QtSettingsStore::fileName() const {
    return path_;
}

Result<void> QtSettingsStore::sync() {
    if (trySync()) {
        return {};
    }
    return fail(error_);
}

qsizetype QtSettingsStore::changeIndex(const QString& section, const QString& key) const {
    for (std::size_t i = 0; i < changes_.size(); ++i) {
        if (changes_[i].section == section && changes_[i].key == key) {
            return static_cast<qsizetype>(i);
        }
    }
    return -1;
}

bool QtSettingsStore::isRemoved(const QString& section) const {
    return std::find(removedSections_.begin(), removedSections_.end(), section) !=
           removedSections_.end();
}

std::optional<QString> QtSettingsStore::value(const QString& section, const QString& key) const {
    if (const qsizetype index = changeIndex(section, key); index >= 0) {
        return changes_[static_cast<std::size_t>(index)].value;
    }
    if (isRemoved(section)) {
        return std::nullopt;
    }
    return file_.value(section, key);
}

void QtSettingsStore::setValue(const QString& section, const QString& key, const QString& value) {
    const qsizetype index = changeIndex(section, key);
    if (!isRemoved(section) && file_.value(section, key) == value) {
        // Back to what the file holds: nothing to write, and the line keeps its bytes.
        if (index >= 0) {
            changes_.erase(changes_.begin() + index);
        }
        return;
    }
    if (index >= 0) {
        changes_[static_cast<std::size_t>(index)].value = value;
    } else {
        changes_.push_back({section, key, value});
    }
}

bool QtSettingsStore::removeSection(const QString& section) {
    const bool hadChanges = std::erase_if(changes_, [&section](const Change& change) {
                                return change.section == section;
                            }) > 0;
    const bool held = hadChanges || (!isRemoved(section) && file_.hasKeys(section));
    if (!isRemoved(section)) {
        removedSections_.push_back(section);
    }
    return held;
}

bool QtSettingsStore::trySync() {
    error_.clear();
    if (removedSections_.empty() && changes_.empty()) {
        return true;
    }
    if (!writeChanges()) {
        if (error_.isEmpty()) {
            error_ = QCoreApplication::translate("QtSettingsStore",
                                                 "The settings could not be written.");
        }
        return false;
    }
    removedSections_.clear();
    changes_.clear();
    return true;
}

bool QtSettingsStore::writeChanges() {
    const QString folder = QFileInfo(path_).absolutePath();
    const bool folderExists = pathKind(folder) == PathKind::Folder;
    // QSettings takes the same lock, so older copies of the program wait too. A folder that
    // takes no lock file takes no settings file from anyone else either.
    const QString lockPath = path_ + QStringLiteral(".lock");
    // QLockFile reads a lock that is there, and would wait on a named pipe for a writer.
    if (const PathKind kind = pathKind(lockPath);
        kind != PathKind::Missing && kind != PathKind::RegularFile) {
        error_ = lockNotRegular(QDir::toNativeSeparators(lockPath), kind);
        return false;
    }
    QLockFile lock(lockPath);
    if (folderExists && !lock.tryLock(kLockWaitMs) && lock.error() == QLockFile::LockFailedError) {
        error_ = QCoreApplication::translate("QtSettingsStore", "Another program is writing it.");
        return false;
    }

    // What another copy of the program wrote since this one read the file stays.
    const Result<QByteArray> onDisk = readIfThere(path_);
    if (!onDisk) {
        error_ = onDisk.error();
        return false;
    }
    // Read once: a settings file of many sections is costly to copy.
    ini::IniDocument after(*onDisk);
    for (const QString& section : removedSections_) {
        after.removeSection(section);
    }
    for (const Change& change : changes_) {
        after.setValue(change.section, change.key, change.value);
    }
    const QByteArray content = after.bytes();
    if (content == *onDisk) {
        file_ = std::move(after);
        return true;
    }

    if (!folderExists) {
        if (const Result<void> made = makeFolder(folder); !made) {
            error_ = made.error();
            return false;
        }
    }
    const Result<void, WriteFailure> written = writeFileSafely(disk_, path_, bytesContent(content));
    if (!written) {
        error_ = written.error();
        file_ = ini::IniDocument(*onDisk);
        return false;
    }
    file_ = std::move(after);
    return true;
}

}  // namespace trovix::platform
