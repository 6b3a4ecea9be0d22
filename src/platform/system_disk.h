#pragma once

#include "platform/disk.h"

namespace trovix::platform {

// The file operations as the system does them.
class SystemDisk : public Disk {
  public:
    bool open(QFile& file, QIODevice::OpenMode mode, QString& error,
              std::optional<QFileDevice::Permissions> permissions) override;
    bool openReplacement(QSaveFile& file) override;
    bool write(QFileDevice& file, const char* data, qint64 size, QString& error,
               WriteKind kind) override;
    bool flush(QFileDevice& file, QString& error) override;
    bool sync(QFileDevice& file, QString& error) override;
    bool resize(QFileDevice& file, qint64 size, QString& error) override;
    bool syncFolder(const QString& folder, QString& error) override;
    bool commitReplacement(QSaveFile& file) override;
};

}  // namespace trovix::platform
