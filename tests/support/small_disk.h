#pragma once

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>

#ifdef Q_OS_LINUX
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <unistd.h>
#endif

namespace trovix::testing {

// A real 1 MB file system (tmpfs), which needs root to mount; mounted() says whether it is.
class SmallDisk {
  public:
    SmallDisk() {
#ifdef Q_OS_LINUX
        mounted_ = ::geteuid() == 0 && ::mount("tmpfs", QFile::encodeName(dir_.path()).constData(),
                                               "tmpfs", 0, "size=1m") == 0;
#endif
    }
    ~SmallDisk() {
#ifdef Q_OS_LINUX
        if (mounted_) {
            ::umount2(QFile::encodeName(dir_.path()).constData(), MNT_DETACH);
        }
#endif
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool mounted() const {
        return mounted_;
    }
    QString path() const {
        return dir_.path();
    }
    QString filePath(const QString& name) const {
        return dir_.filePath(name);
    }

    // Takes every block that is left, so that the next write that needs one fails; false when
    // the filler could not be made.
    [[nodiscard]] bool fill() {
        QFile filler(dir_.filePath(QStringLiteral("filler")));
        if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
            return false;
        }
        const QByteArray block(4096, '\0');
        while (filler.write(block) == block.size()) {
        }
        while (filler.write("x", 1) == 1) {
        }
        return true;
    }
    void empty() {
        QFile::remove(dir_.filePath(QStringLiteral("filler")));
    }

  private:
    QTemporaryDir dir_;
    bool mounted_ = false;
};

// Makes a folder refuse new files, or a file refuse writes, for as long as the object lives: by
// the permission bits, or, for root, whom they do not stop, by the file system's immutable flag.
// Files already in a folder stay writable. made() says whether the protection holds.
class WriteProtection {
  public:
    explicit WriteProtection(const QString& path) : path_(path), folder_(QFileInfo(path).isDir()) {
#ifdef Q_OS_LINUX
        if (::geteuid() == 0) {
            immutable_ = setImmutable(true);
        } else {
            QFile::setPermissions(path_, folder_ ? QFile::ReadOwner | QFile::ExeOwner
                                                 : QFile::Permissions(QFile::ReadOwner));
        }
        made_ = !writable();
#endif
    }
    ~WriteProtection() {
#ifdef Q_OS_LINUX
        if (immutable_) {
            setImmutable(false);
        }
#endif
        QFile::setPermissions(path_, folder_
                                         ? QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                         : QFile::ReadOwner | QFile::WriteOwner);
    }
    WriteProtection(const WriteProtection&) = delete;
    WriteProtection& operator=(const WriteProtection&) = delete;

    bool made() const {
        return made_;
    }

  private:
    bool writable() const {
        if (!folder_) {
            return QFile(path_).open(QIODevice::ReadWrite);
        }
        QFile probe(path_ + QStringLiteral("/probe"));
        return probe.open(QIODevice::WriteOnly) && probe.remove();
    }
#ifdef Q_OS_LINUX
    bool setImmutable(bool on) {
        const int fd = ::open(QFile::encodeName(path_).constData(), O_RDONLY);
        if (fd < 0) {
            return false;
        }
        int flags = 0;
        bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        if (ok) {
            flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
            ok = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        }
        ::close(fd);
        return ok;
    }
#endif

    QString path_;
    bool folder_ = false;
    bool made_ = false;
    bool immutable_ = false;
};

}  // namespace trovix::testing
