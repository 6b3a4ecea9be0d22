#include "store/recovery_file.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <charconv>
#include <optional>
#include <vector>

#include "platform/private_folder.h"
#include "platform/replacement_file.h"
#include "platform/save_journal.h"

#ifdef Q_OS_UNIX
#include <sys/file.h>
#endif

namespace trovix::store {
namespace {

// The first line of a recovery file: version 2, whose hash covers the header too, and version
// 1, whose hash covered the records only (still read, as a run of an earlier version left it).
const QByteArray kFirstLine = QByteArrayLiteral("Trovix recovery file 2\n");
const QByteArray kFirstLineOfVersion1 = QByteArrayLiteral("Trovix recovery file 1\n");
// A header is a few short lines and one path.
constexpr qint64 kLongestHeader = 64 * 1024;
// The keys of a header: file, slot, changed, six of the file as loaded, format, the content's
// size and the hash.
constexpr int kKeyCount = 12;

// The hash of a file's header lines before the hash, and of its records.
QByteArray hashOf(QByteArrayView head, QByteArrayView content) {
    QCryptographicHash hash(QCryptographicHash::Blake2b_256);
    hash.addData(head);
    hash.addData(content);
    return hash.result().toHex();
}

QByteArray formatName(const FileFormat& format) {
    QByteArray name = format.encoding == Encoding::Utf8 ? "utf-8" : "windows-1252";
    name += format.lineBreak == LineBreak::CrLf ? " crlf" : " lf";
    if (format.leadingBreak) {
        name += " leading-break";
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

struct ParsedHeader {
    RecoveryHeader header;
    qint64 contentSize = -1;
    QByteArray hash;
    qsizetype hashed = 0;  // the header bytes the hash covers: all but the hash line (version 2)
    qsizetype contentAt = 0;
};

std::optional<ParsedHeader> parseHeader(QByteArrayView bytes) {
    const bool version1 = bytes.startsWith(kFirstLineOfVersion1);
    if (!bytes.startsWith(kFirstLine) && !version1) {
        return std::nullopt;
    }
    const qsizetype end = bytes.indexOf(QByteArrayView("\n\n"));
    if (end < 0) {
        return std::nullopt;
    }
    ParsedHeader parsed;
    RecoveryHeader& header = parsed.header;
    parsed.contentAt = end + 2;
    const QByteArrayView hashKey = version1 ? "content-hash" : "hash";
    // The hash is the header's last line.
    parsed.hashed = version1 ? 0 : bytes.first(end).lastIndexOf('\n') + 1;
    if (!version1 && !bytes.sliced(parsed.hashed).startsWith("hash=")) {
        return std::nullopt;
    }
    bool complete = true;
    bool formatRead = false;
    int keysRead = 0;  // every key must be there, once
    const auto number = [&complete](QByteArrayView text) {
        bool ok = false;
        const qint64 value = text.toLongLong(&ok);
        complete = complete && ok;
        return value;
    };
    for (const QByteArray& line :
         bytes.sliced(kFirstLine.size(), end - kFirstLine.size()).toByteArray().split('\n')) {
        const qsizetype equals = line.indexOf('=');
        if (equals < 0) {
            complete = false;
            continue;
        }
        const QByteArray key = line.first(equals);
        const QByteArray value = line.sliced(equals + 1);
        ++keysRead;
        if (key == "file") {
            header.dataFile = QFile::decodeName(QByteArray::fromPercentEncoding(value));
        } else if (key == "slot") {
            header.slot = static_cast<int>(number(value));
        } else if (key == "changed") {
            header.changedAt = number(value);
        } else if (key == "loaded-exists") {
            header.loaded.exists = value == "1";
        } else if (key == "loaded-size") {
            header.loaded.size = number(value);
        } else if (key == "loaded-modified") {
            header.loaded.modified = number(value);
        } else if (key == "loaded-device") {
            header.loaded.device = static_cast<quint64>(number(value));
        } else if (key == "loaded-inode") {
            header.loaded.inode = static_cast<quint64>(number(value));
        } else if (key == "loaded-status-changed") {
            header.loaded.statusChanged = number(value);
        } else if (key == "format") {
            const std::optional<FileFormat> format = formatOf(value);
            formatRead = format.has_value();
            header.format = format.value_or(FileFormat::native());
        } else if (key == "content-size") {
            parsed.contentSize = number(value);
        } else if (key == hashKey) {
            parsed.hash = value;
        } else {
            --keysRead;
        }
    }
    if (keysRead != kKeyCount || !complete || !formatRead || header.dataFile.isEmpty() ||
        header.slot < 0 || header.slot > 2 || parsed.contentSize < 0 || parsed.hash.isEmpty()) {
        return std::nullopt;
    }
    return parsed;
}

QByteArray headerBytes(const RecoveryHeader& header, const QByteArray& content) {
    QByteArray out = kFirstLine;
    out += "file=" + QFile::encodeName(header.dataFile).toPercentEncoding() + '\n';
    out += "slot=" + QByteArray::number(header.slot) + '\n';
    out += "changed=" + QByteArray::number(header.changedAt) + '\n';
    out += QByteArray("loaded-exists=") + (header.loaded.exists ? "1" : "0") + '\n';
    out += "loaded-size=" + QByteArray::number(header.loaded.size) + '\n';
    out += "loaded-modified=" + QByteArray::number(header.loaded.modified) + '\n';
    out += "loaded-device=" + QByteArray::number(header.loaded.device) + '\n';
    out += "loaded-inode=" + QByteArray::number(header.loaded.inode) + '\n';
    out += "loaded-status-changed=" + QByteArray::number(header.loaded.statusChanged) + '\n';
    out += "format=" + formatName(header.format) + '\n';
    out += "content-size=" + QByteArray::number(content.size()) + '\n';
    out += "hash=" + hashOf(out, content) + '\n';
    out += '\n';
    return out;
}

const QString kDamaged = QStringLiteral("it is damaged or cut short");

// Whether a running copy of the program holds the file: it keeps its recovery files locked.
bool heldByARunningCopy(QFile& file) {
#ifdef Q_OS_UNIX
    return ::flock(file.handle(), LOCK_SH | LOCK_NB) != 0;
#else
    Q_UNUSED(file);
    return false;
#endif
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
    const std::optional<ParsedHeader> parsed = parseHeader(bytes);
    if (!parsed || bytes.size() - parsed->contentAt != parsed->contentSize ||
        hashOf(QByteArrayView(bytes).first(parsed->hashed),
               QByteArrayView(bytes).sliced(parsed->contentAt)) != parsed->hash) {
        return platform::fail(kDamaged);
    }
    std::optional<RecordArray> records = recordsOf(bytes, parsed->contentAt);
    if (!records) {
        return platform::fail(kDamaged);
    }
    return RecoveredEdits{parsed->header, std::move(*records)};
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
        if (heldByARunningCopy(file)) {
            continue;
        }
        const std::optional<ParsedHeader> parsed = parseHeader(file.read(kLongestHeader));
        found.append(
            {info.filePath(), parsed ? platform::Result<RecoveryHeader>(parsed->header)
                                     : platform::Result<RecoveryHeader>(platform::fail(kDamaged))});
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
        if (file.open(QIODevice::ReadOnly) && !heldByARunningCopy(file)) {
            QFile::remove(path);
        }
    }
}

}  // namespace trovix::store
