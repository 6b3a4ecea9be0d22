#include "store/recovery_file.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <charconv>
#include <optional>
#include <vector>

#include "platform/file_lock.h"
#include "platform/headed_file.h"
#include "platform/private_folder.h"
#include "platform/replacement_file.h"
#include "platform/save_journal.h"

namespace trovix::store {
namespace {

// Recovery files of version 2 are files of headed_file.h, whose hash covers the head and the
// records; those of version 1 held a hash of the records alone in a field of its own.
const QByteArray kKind = QByteArrayLiteral("Trovix recovery file 2");          // file contents
const QByteArray kKindVersion1 = QByteArrayLiteral("Trovix recovery file 1");  // file contents
// A header is a few short lines and one path.
constexpr qint64 kLongestHeader = 64 * 1024;

QByteArray hashOf(QByteArrayView bytes) {
    return QCryptographicHash::hash(bytes, QCryptographicHash::Blake2b_256).toHex();
}

QByteArray formatName(const FileFormat& format) {
    QByteArray name = format.encoding == Encoding::Utf8 ? "utf-8" : "windows-1252";
    name += format.lineBreak == LineBreak::CrLf ? " crlf" : " lf";  // file contents
    if (format.leadingBreak) {
        name += " leading-break";  // file contents
    }
    return name;
}

std::optional<FileFormat> formatOf(QByteArrayView name) {
    FileFormat format;
    const QList<QByteArray> words = name.toByteArray().split(' ');
    if (words.size() < 2 || words.size() > 3) {
        return std::nullopt;
    }
    if (words[0] == "utf-8") {
        format.encoding = Encoding::Utf8;
    } else if (words[0] == "windows-1252") {
        format.encoding = Encoding::Windows1252;
    } else {
        return std::nullopt;
    }
    if (words[1] == "crlf") {
        format.lineBreak = LineBreak::CrLf;
    } else if (words[1] == "lf") {
        format.lineBreak = LineBreak::Lf;
    } else {
        return std::nullopt;
    }
    format.leadingBreak = words.size() == 3;
    if (format.leadingBreak && words[2] != "leading-break") {
        return std::nullopt;
    }
    return format;
}

// The records, each as its size in bytes, a colon, its UTF-8 text and a line break: exact for
// any text, and read back without copying a record.
QByteArray contentBytes(const RecordArray& records) {
    std::size_t total = 0;
    for (qsizetype i = 0; i < records.size(); ++i) {
        total += records.utf8(i).size() + 12;
    }
    QByteArray out;
    out.reserve(static_cast<qsizetype>(total));
    for (qsizetype i = 0; i < records.size(); ++i) {
        const std::string_view text = records.utf8(i);
        out += QByteArray::number(static_cast<qulonglong>(text.size()));
        out += ':';
        out.append(text.data(), static_cast<qsizetype>(text.size()));
        out += '\n';
    }
    return out;
}

std::optional<RecordArray> recordsOf(const QByteArray& bytes, qsizetype from) {
    std::vector<RecordArray::Span> spans;
    const char* d = bytes.constData();
    const auto n = static_cast<std::size_t>(bytes.size());
    if (n >= RecordArray::kArenaBase) {
        return std::nullopt;
    }
    std::size_t at = static_cast<std::size_t>(from);
    while (at < n) {
        std::size_t size = 0;
        const auto [end, error] = std::from_chars(d + at, d + n, size);
        if (error != std::errc() || end == d + at || end == d + n || *end != ':') {
            return std::nullopt;
        }
        const auto text = static_cast<std::size_t>(end + 1 - d);
        if (size > n - text || n - text - size < 1 || d[text + size] != '\n') {
            return std::nullopt;
        }
        spans.push_back({static_cast<std::uint32_t>(text), static_cast<std::uint32_t>(size)});
        at = text + size + 1;
    }
    return RecordArray::adopt(bytes, std::move(spans));
}

// The header of a recovery file whose first bytes, or (`whole`) all of it, are `bytes`, and
// where its records start; nothing when it is damaged or cut short.
std::optional<std::pair<RecoveryHeader, qsizetype>> parseHeader(QByteArrayView bytes, bool whole) {
    std::optional<platform::HeadedFile> head = platform::readHeadedFile(bytes, kKind, whole);
    if (!head) {
        head = platform::readFirstVersionHead(bytes, kKindVersion1);
        const QByteArrayView content = head ? bytes.sliced(head->contentAt) : QByteArrayView();
        if (head && whole && head->fields.value("content-hash") != hashOf(content)) {
            return std::nullopt;
        }
    }
    if (!head) {
        return std::nullopt;
    }
    const auto number = [&](const char* key) { return platform::numberField(*head, key); };
    RecoveryHeader header;
    header.dataFile =
        QFile::decodeName(QByteArray::fromPercentEncoding(head->fields.value("file")));
    header.slot = static_cast<int>(number("slot").value_or(-1));
    header.changedAt = number("changed").value_or(0);
    header.loaded.exists = head->fields.value("loaded-exists") == "1";
    header.loaded.size = number("loaded-size").value_or(0);
    header.loaded.modified = number("loaded-modified").value_or(0);
    header.loaded.device = static_cast<quint64>(number("loaded-device").value_or(0));
    header.loaded.inode = static_cast<quint64>(number("loaded-inode").value_or(0));
    header.loaded.statusChanged = number("loaded-status-changed").value_or(0);
    const std::optional<FileFormat> format = formatOf(head->fields.value("format"));
    header.format = format.value_or(FileFormat::native());
    const bool complete = format && !header.dataFile.isEmpty() && header.slot >= 0 &&
                          header.slot <= 2 && number("changed") && number("loaded-size") &&
                          number("loaded-modified") && number("loaded-device") &&
                          number("loaded-inode") && number("loaded-status-changed") &&
                          (!whole || number("content-size") == bytes.size() - head->contentAt);
    if (!complete) {
        return std::nullopt;
    }
    return std::pair{header, head->contentAt};
}

QByteArray headerBytes(const RecoveryHeader& header, const QByteArray& content) {
    const auto number = [](qint64 value) { return QByteArray::number(value); };
    return platform::headedFileHead(
        kKind,
        {{"file", QFile::encodeName(header.dataFile).toPercentEncoding()},
         {"slot", number(header.slot)},
         {"changed", number(header.changedAt)},
         {"loaded-exists", header.loaded.exists ? "1" : "0"},
         {"loaded-size", number(header.loaded.size)},
         {"loaded-modified", number(header.loaded.modified)},
         {"loaded-device", QByteArray::number(header.loaded.device)},
         {"loaded-inode", QByteArray::number(header.loaded.inode)},
         {"loaded-status-changed", number(header.loaded.statusChanged)},
         {"format", formatName(header.format)},
         {"content-size", number(content.size())}},
        content);
}

// Why a recovery file cannot be used, after "could not be read:" or the like.
QString damaged() {
    return QCoreApplication::translate("RecoveryFile", "it is damaged or cut short");
}

}  // namespace

QString recoveryFolder() {
    return platform::rollbackFolder() + QStringLiteral("/recovery");
}

QByteArray recoveryFileBytes(const RecoveryHeader& header, const RecordArray& records) {
    const QByteArray content = contentBytes(records);
    return headerBytes(header, content) + content;
}

platform::Result<RecoveredEdits> readRecoveryFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return platform::fail(file.errorString());
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        return platform::fail(file.errorString());
    }
    const auto parsed = parseHeader(bytes, true);
    if (!parsed) {
        return platform::fail(damaged());
    }
    std::optional<RecordArray> records = recordsOf(bytes, parsed->second);
    if (!records) {
        return platform::fail(damaged());
    }
    return RecoveredEdits{parsed->first, std::move(*records)};
}

QList<FoundRecovery> findRecoveryFiles(const QString& folder) {
    QList<FoundRecovery> found;
    const QFileInfoList files =
        QDir(folder).entryInfoList({QStringLiteral("*.recovery")}, QDir::Files, QDir::Name);
    for (const QFileInfo& info : files) {
        if (!platform::isOwnRegularFile(info.filePath())) {
            continue;  // another user's, or a link: neither offered nor removed
        }
        QFile file(info.filePath());
        if (!file.open(QIODevice::ReadOnly)) {
            found.append({info.filePath(), platform::fail(file.errorString())});
            continue;
        }
        if (platform::lockedByAnother(file.handle())) {
            continue;
        }
        const auto parsed = parseHeader(file.read(kLongestHeader), false);
        found.append({info.filePath(),
                      parsed ? platform::Result<RecoveryHeader>(parsed->first)
                             : platform::Result<RecoveryHeader>(platform::fail(damaged()))});
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const FoundRecovery& a, const FoundRecovery& b) {
                         const qint64 at = a.header ? a.header->changedAt : 0;
                         const qint64 bt = b.header ? b.header->changedAt : 0;
                         return at < bt;
                     });
    return found;
}

void removeUnfinishedWrites(const QString& folder) {
    const QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden)) {
        const QString path = dir.filePath(name);
        if (!platform::ReplacementFile::isTemporaryName(name) ||
            !platform::isOwnRegularFile(path)) {
            continue;
        }
        QFile file(path);
        if (file.open(QIODevice::ReadOnly) && !platform::lockedByAnother(file.handle())) {
            QFile::remove(path);
        }
    }
}

}  // namespace trovix::store
