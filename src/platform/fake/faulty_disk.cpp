#include "platform/fake/faulty_disk.h"

#include <algorithm>

namespace trovix::platform {

void FaultyDisk::plan(const Plan& plan) {
    plan_ = plan;
    steps_ = 0;
    bytes_ = 0;
    writeFailed_ = false;
}

bool FaultyDisk::stepFails() {
    return plan_.failAtSteps.contains(steps_++);
}

bool FaultyDisk::failed(QString& error) {
    error = io::diskFullReason();
    return false;
}

bool FaultyDisk::open(QFile& file, QIODevice::OpenMode mode, QString& error,
                      std::optional<QFileDevice::Permissions> permissions) {
    return stepFails() ? failed(error) : underneath_.open(file, mode, error, permissions);
}

bool FaultyDisk::openReplacement(QSaveFile& file) {
    // The file is left unopened with no error of its own: the caller tells of a full disk.
    return !stepFails() && underneath_.openReplacement(file);
}

bool FaultyDisk::write(QFileDevice& file, const char* data, qint64 size, QString& error,
                       WriteKind kind) {
    const bool newContent = kind == WriteKind::NewContent;
    qint64 allowed = size;
    if ((newContent && writeFailed_) || stepFails()) {
        writeFailed_ = writeFailed_ || newContent;
        allowed = 0;
    } else if (newContent && plan_.bytesAccepted >= 0) {
        allowed = std::clamp<qint64>(plan_.bytesAccepted - bytes_, 0, size);
    }
    if (allowed > 0 && !underneath_.write(file, data, allowed, error, kind)) {
        return false;
    }
    if (newContent) {
        bytes_ += allowed;
    }
    if (allowed < size) {
        writeFailed_ = writeFailed_ || newContent;
        return failed(error);
    }
    return true;
}

bool FaultyDisk::flush(QFileDevice& file, QString& error) {
    return stepFails() ? failed(error) : underneath_.flush(file, error);
}

bool FaultyDisk::sync(QFileDevice& file, QString& error) {
    return stepFails() ? failed(error) : underneath_.sync(file, error);
}

bool FaultyDisk::resize(QFileDevice& file, qint64 size, QString& error) {
    return stepFails() ? failed(error) : underneath_.resize(file, size, error);
}

bool FaultyDisk::syncFolder(const QString& folder, QString& error) {
    return stepFails() ? failed(error) : underneath_.syncFolder(folder, error);
}

bool FaultyDisk::commitReplacement(QSaveFile& file) {
    return !stepFails() && underneath_.commitReplacement(file);
}

}  // namespace trovix::platform
