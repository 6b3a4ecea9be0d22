#pragma once

#include "platform/disk.h"

namespace trovix::platform {

// The file operations as the system does them.
class SystemDisk : public Disk {
  public:
    Result<void> open(QFile& file, QIODevice::OpenMode mode,
                      std::optional<QFileDevice::Permissions> permissions) override;
    Result<void> openReplacement(ReplacementFile& file) override;
    Result<void> write(QFileDevice& file, const char* data, qint64 size, WriteKind kind) override;
    Result<void> flush(QFileDevice& file) override;
    Result<void> sync(QFileDevice& file) override;
    Result<void> resize(QFileDevice& file, qint64 size) override;
    Result<void> syncFolder(const QString& folder) override;
    Result<void> moveToTrash(const QString& file) override;
    Result<void, RenameFailure> rename(const QString& from, const QString& to,
                                       RenameKind kind) override;
    Result<void, WriteFailure> commitReplacement(ReplacementFile& file,
                                                 const std::optional<FileStamp>& expected) override;
};

}  // namespace trovix::platform
