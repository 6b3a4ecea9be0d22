#include "store/data_file_io.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <new>
#include <stdexcept>

#include "platform/regular_file.h"
#include "store/memory_need.h"
#include "store/read_while_splitting.h"
#include "store/record_splitter.h"
#include "store/refusal_text.h"

namespace trovix::store {
namespace {

// Far beyond any record collection; keeps every record index within a result row's tag.
constexpr qint64 kMaxFileSize = qint64{1} << 30;

QString readingCancelled() {
    return QCoreApplication::translate("DataFileIo", "The reading was cancelled.");
}

}  // namespace

bool fileExists(const QString& fileName) {
    if (fileName.isEmpty()) {
        return false;
    }
    const QFileInfo info(fileName);
    return info.exists() && info.isFile();
}

platform::Result<QByteArray> readWholeDevice(QIODevice& device, ReadingProgress* progress) {
    // Read the announced size straight into its final buffer, then on until the device says it
    // is at its end: files of unknown size (or that grew meanwhile) are appended piece by piece.
    const qint64 expected = std::max<qint64>(device.size(), 0);
    QByteArray bytes(static_cast<qsizetype>(expected), Qt::Uninitialized);
    qint64 filled = 0;
    while (filled < expected) {
        const qint64 got =
            device.read(bytes.data() + filled, std::min(kReadPiece, expected - filled));
        if (got < 0) {
            return platform::fail(device.errorString());
        }
        if (got == 0) {
            break;
        }
        filled += got;
        if (progress != nullptr && !progress->tell(filled, expected)) {
            return platform::fail(readingCancelled());
        }
    }
    bytes.truncate(static_cast<qsizetype>(filled));
    char piece[64 * 1024];
    for (;;) {
        const qint64 got = device.read(piece, sizeof piece);
        if (got < 0) {
            return platform::fail(device.errorString());
        }
        if (got == 0) {
            return bytes;
        }
        bytes.append(piece, static_cast<qsizetype>(got));
    }
}

namespace {

// Makes the failures of reading one file, which all carry what stood at its name and its stamp.
struct FailureOf {
    platform::PathKind kind;
    platform::FileStamp stamp;

    ReadFailure operator()(QString reason, bool refused = false) const {
        return {std::move(reason), kind, stamp, refused};
    }
};

// Reads an open file whose size has been checked; any allocation that fails comes out as an
// exception.
platform::Result<DataFileContent, ReadFailure> readOpenFile(QFile& file,
                                                            const platform::MemoryRoom& room,
                                                            ReadingProgress& progress,
                                                            const FailureOf& failed) {
    if (const std::optional<MemoryShortfall> shortfall =
            shortfallFor(file.size(), std::nullopt, room)) {
        return failed(refusalText(*shortfall), true);
    }
    const auto cancelled = [&] {
        ReadFailure failure = failed(readingCancelled());
        failure.cancelled = true;
        return failure;
    };
    if (std::optional<DataFileContent> content = readWhileSplitting(file, room, progress)) {
        return std::move(*content);
    }
    if (progress.cancelled()) {
        return cancelled();
    }
    if (!file.seek(0)) {
        return failed(file.errorString());
    }
    platform::Result<QByteArray> bytes = readWholeDevice(file, &progress);
    if (progress.cancelled()) {
        return cancelled();
    }
    if (!bytes) {
        return failed(bytes.error().isEmpty() ? file.errorString() : bytes.error());
    }
    platform::Result<DataFileContent> parsed = parseDataFileWithin(std::move(*bytes), room);
    if (!parsed) {
        return failed(parsed.error(), true);
    }
    return std::move(*parsed);
}

}  // namespace

platform::Result<ReadFile, ReadFailure> readDataFile(const QString& fileName,
                                                     const platform::MemoryLimits& limits,
                                                     ReadingProgress progress) {
    const platform::PathKind kind = platform::pathKind(fileName);
    if (kind != platform::PathKind::RegularFile) {
        return ReadFile{missingFileContent(), kind, {}};
    }
    QFile file(fileName);
    if (const platform::Result<void> opened = platform::openRegularFile(file); !opened) {
        return FailureOf{kind, {}}(opened.error());
    }
    const FailureOf failed{kind, platform::fileStamp(file)};
    if (file.size() > kMaxFileSize) {
        return failed(QCoreApplication::translate("DataFileIo", "The file is larger than 1 GB."),
                      true);
    }
    try {
        platform::Result<DataFileContent, ReadFailure> content =
            readOpenFile(file, limits.room(), progress, failed);
        if (!content) {
            return content.failure();
        }
        return ReadFile{std::move(*content), kind, failed.stamp};
    } catch (const std::bad_alloc&) {
        return failed(
            QCoreApplication::translate("DataFileIo", "There was not enough memory to read it."),
            true);
    } catch (const std::length_error&) {
        return failed(
            QCoreApplication::translate("DataFileIo", "Its records are more than Trovix can hold."),
            true);
    }
}

platform::Result<SavedFile, platform::WriteFailure> saveDataFile(
    platform::Disk& disk, const QString& fileName, const RecordArray& records,
    const FileFormat& format, const std::optional<Replacing>& replacing) {
    SavedFile saved;
    platform::SafeFile file(disk, fileName);
    if (platform::Result<void, platform::WriteFailure> prepared =
            file.prepare([&](QIODevice& out) -> platform::Result<void> {
                platform::Result<FileFormat> kept = writeDataFile(out, records, format);
                if (!kept) {
                    return kept.failure();
                }
                saved.format = *kept;
                return {};
            });
        !prepared) {
        return prepared.failure();
    }
    std::optional<platform::FileStamp> expected;
    if (replacing) {
        expected = replacing->stamp;
    }
    for (;;) {
        const platform::Result<void, platform::WriteFailure> committed = file.commit(expected);
        if (committed) {
            break;
        }
        if (!committed.failure().changedMeanwhile || !replacing->whenChanged) {
            return committed.failure();
        }
        expected = replacing->whenChanged();
        if (!expected) {
            return committed.failure();
        }
    }
    saved.stamp = file.committedStamp();
    return saved;
}

}  // namespace trovix::store
