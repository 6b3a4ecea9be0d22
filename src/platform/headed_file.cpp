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

std::optional<HeadedFile> readHeadedFile(QByteArrayView bytes, QByteArrayView kind, bool content) {
    if (!bytes.startsWith(kind) || bytes.size() <= kind.size() || bytes[kind.size()] != '\n') {
        return std::nullopt;
    }
    const qsizetype end = bytes.indexOf(QByteArrayView("\n\n"));
    if (end < 0) {
        return std::nullopt;
    }
    HeadedFile file;
    file.contentAt = end + 2;
    // The hash is the last line of the head.
    const qsizetype hashLine = bytes.first(end).lastIndexOf('\n') + 1;
    if (hashLine <= kind.size() || !bytes.sliced(hashLine).startsWith("hash=")) {
        return std::nullopt;
    }
    const QByteArrayView hash = bytes.sliced(hashLine + 5, end - hashLine - 5);
    if (content && hash != hashOf(bytes.first(hashLine), bytes.sliced(file.contentAt))) {
        return std::nullopt;
    }
    const QByteArrayView lines = bytes.sliced(kind.size() + 1, hashLine - kind.size() - 1);
    for (qsizetype at = 0; at < lines.size();) {
        const qsizetype lineEnd = lines.indexOf('\n', at);
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

std::optional<qint64> numberField(const HeadedFile& file, const QByteArray& key) {
    bool ok = false;
    const qint64 value = file.fields.value(key).toLongLong(&ok);
    return ok ? std::optional<qint64>(value) : std::nullopt;
}

}  // namespace trovix::platform
