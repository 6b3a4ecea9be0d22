#include "platform/fake/faulty_disk.h"

#include <algorithm>
#include <cerrno>

namespace trovix::platform {

void FaultyDisk::plan(const Plan& plan) {
    plan_ = plan;
    steps_ = 0;
    bytes_ = 0;
    writeFailed_ = false;
}

bool FaultyDisk::stepFails() {
    if (beforeStep_) {
        beforeStep_(steps_);
    }
    return plan_.failAtSteps.contains(steps_++);
}

Result<void> FaultyDisk::fullDisk() {
    return fail(io::diskFullReason());
}

Result<void> FaultyDisk::open(QFile& file, QIODevice::OpenMode mode,
                              std::optional<QFileDevice::Permissions> permissions) {
    return stepFails() ? fullDisk() : underneath_.open(file, mode, permissions);
}

Result<void> FaultyDisk::openReplacement(ReplacementFile& file) {
    return stepFails() ? fullDisk() : underneath_.openReplacement(file);
}

Result<void> FaultyDisk::write(QFileDevice& file, const char* data, qint64 size, WriteKind kind) {
    const bool newContent = kind == WriteKind::NewContent;
    qint64 allowed = size;
    if ((newContent && writeFailed_) || stepFails()) {
        writeFailed_ = writeFailed_ || newContent;
        allowed = 0;
    } else if (newContent && plan_.bytesAccepted >= 0) {
        allowed = std::clamp<qint64>(plan_.bytesAccepted - bytes_, 0, size);
    }
    if (allowed > 0) {
        if (Result<void> written = underneath_.write(file, data, allowed, kind); !written) {
            return written;
        }
    }
    if (newContent) {
        bytes_ += allowed;
    }
    if (allowed < size) {
        writeFailed_ = writeFailed_ || newContent;
        return fullDisk();
    }
    return {};
}

Result<void> FaultyDisk::flush(QFileDevice& file) {
    return stepFails() ? fullDisk() : underneath_.flush(file);
}

Result<void> FaultyDisk::sync(QFileDevice& file) {
    return stepFails() ? fullDisk() : underneath_.sync(file);
}

Result<void> FaultyDisk::resize(QFileDevice& file, qint64 size) {
    return stepFails() ? fullDisk() : underneath_.resize(file, size);
}

Result<void> FaultyDisk::syncFolder(const QString& folder) {
    return stepFails() ? fullDisk() : underneath_.syncFolder(folder);
}

Result<void> FaultyDisk::moveToTrash(const QString& file) {
    return stepFails() ? fullDisk() : underneath_.moveToTrash(file);
}

Result<void, RenameFailure> FaultyDisk::rename(const QString& from, const QString& to,
                                               RenameKind kind) {
    if (stepFails()) {
        return RenameFailure{fullDisk().error()};
    }
    if (kind == RenameKind::Exchange && withoutExchange_) {
        return RenameFailure{io::systemReason(EINVAL), true};
    }
    return underneath_.rename(from, to, kind);
}

Result<void, WriteFailure> FaultyDisk::commitReplacement(ReplacementFile& file,
                                                         const std::optional<FileStamp>& expected) {
    if (stepFails()) {
        return WriteFailure{fullDisk().error()};
    }
    return underneath_.commitReplacement(file, expected);
}

}  // namespace trovix::platform
