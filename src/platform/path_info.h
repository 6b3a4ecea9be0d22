#pragma once

#include <QString>
#include <QtGlobal>

class QFileDevice;

// What stands at a path, and the stamp that tells whether a file changed, without reading it.
namespace trovix::platform {

// What stands at a path.
enum class PathKind {
    Missing,
    RegularFile,
    Folder,
    NamedPipe,
    Socket,
    Device,
    LinkLoop,      // a symbolic link that leads back to itself
    DanglingLink,  // a symbolic link to nothing
};

PathKind pathKind(const QString& path);
// "a folder", "a named pipe", ... for messages. A translation words a whole sentence better
// than one with this phrase put into it, such as notRegularFileReason().
QString describePathKind(PathKind kind);
// "It is a named pipe, not a regular file." and the like; empty for a regular file.
QString notRegularFileReason(PathKind kind);

// What tells whether a file was changed since it was read, without reading it again: whether it
// exists, its size, its modification time, its identity on the disk, and the time its inode
// last changed, which a program that writes the file and sets its modification time back
// cannot set back.
struct FileStamp {
    bool exists = false;
    qint64 size = 0;
    qint64 modified = 0;  // nanoseconds where the system keeps them
    quint64 device = 0;
    quint64 inode = 0;
    qint64 statusChanged = 0;  // nanoseconds; 0 where the system keeps no such time
    friend bool operator==(const FileStamp&, const FileStamp&) = default;

    // The same file with the same content as far as a stamp tells, whatever became of its
    // status-change time: renaming a file changes that time, nothing else.
    bool sameFileAs(const FileStamp& other) const {
        return exists == other.exists && size == other.size && modified == other.modified &&
               device == other.device && inode == other.inode;
    }
};
// The stamp of the file at a path, links followed.
FileStamp fileStamp(const QString& path);
// The stamp of an open file.
FileStamp fileStamp(const QFileDevice& file);
// The stamp of the file a system handle (a descriptor) stands for.
FileStamp fileStampOfHandle(int handle);

// The file a save of `path` writes: symbolic links are followed to the file they name, so a
// link stays a link. A path that is no link, or a link that leads back to itself, is returned
// as it is.
QString fileBehindLinks(const QString& path);

}  // namespace trovix::platform
