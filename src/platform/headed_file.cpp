#include "platform/headed_file.h"

#include <QCryptographicHash>

namespace trovix::platform {
namespace {

QByteArray hashOf(QByteArrayView head, QByteArrayView content) {
    QCryptographicHash hash(QCryptographicHash::Blake2b_256);
    hash.addData(head);
    hash.addData(content);
    return hash.result().toHex();
}

}  // namespace

QByteArray headedFileHead(QByteArrayView kind, const HeadedFields& fields, QByteArrayView content) {
    QByteArray head = kind.toByteArray() + '\n';
    for (const auto& [key, value] : fields) {
        head += key + '=' + value + '\n';
    }
    return head + "hash=" + hashOf(head, content) + "\n\n";
}

namespace {

// The fields of the lines between the kind and `end`, each "key=value" and ending in a line break.
std::optional<HeadedFile> fieldsOf(QByteArrayView bytes, QByteArrayView kind, qsizetype end,
                                   qsizetype contentAt) {
    HeadedFile file;
    file.contentAt = contentAt;
    const QByteArrayView lines = bytes.sliced(kind.size() + 1, end - kind.size() - 1);
    for (qsizetype at = 0; at < lines.size();) {
        qsizetype lineEnd = lines.indexOf('\n', at);
        lineEnd = lineEnd < 0 ? lines.size() : lineEnd;
        const QByteArrayView line = lines.sliced(at, lineEnd - at);
        const qsizetype equals = line.indexOf('=');
        if (equals <= 0) {
            return std::nullopt;
        }
        const QByteArray key = line.first(equals).toByteArray();
        if (file.fields.contains(key)) {
            return std::nullopt;
        }
        file.fields.insert(key, line.sliced(equals + 1).toByteArray());
        at = lineEnd + 1;
    }
    return file;
}

// Where the head of a file of this kind ends (its empty line), or -1.
qsizetype headEnd(QByteArrayView bytes, QByteArrayView kind) {
    if (!bytes.startsWith(kind) || bytes.size() <= kind.size() || bytes[kind.size()] != '\n') {
        return -1;
    }
    return bytes.indexOf(QByteArrayView("\n\n"));
}

}  // namespace

std::optional<HeadedFile> readHeadedFile(QByteArrayView bytes, QByteArrayView kind, bool content) {
    const qsizetype end = headEnd(bytes, kind);
    if (end < 0) {
        return std::nullopt;
    }
    // The hash is the last line of the head.
    const qsizetype hashLine = bytes.first(end).lastIndexOf('\n') + 1;
    if (hashLine <= kind.size() || !bytes.sliced(hashLine).startsWith("hash=")) {
        return std::nullopt;
    }
    const QByteArrayView hash = bytes.sliced(hashLine + 5, end - hashLine - 5);
    if (content && hash != hashOf(bytes.first(hashLine), bytes.sliced(end + 2))) {
        return std::nullopt;
    }
    return fieldsOf(bytes, kind, hashLine, end + 2);
}

std::optional<HeadedFile> readFirstVersionHead(QByteArrayView bytes, QByteArrayView kind) {
    const qsizetype end = headEnd(bytes, kind);
    if (end < 0) {
        return std::nullopt;
    }
    return fieldsOf(bytes, kind, end + 1, end + 2);
}

std::optional<qint64> numberField(const HeadedFile& file, const QByteArray& key) {
    bool ok = false;
    const qint64 value = file.fields.value(key).toLongLong(&ok);
    return ok ? std::optional<qint64>(value) : std::nullopt;
}

}  // namespace trovix::platform
