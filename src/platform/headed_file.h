#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QList>
#include <QPair>
#include <optional>

// The small files the program keeps for itself (recovery files, journals of saves): a first line
// that says what the file is, a line "key=value" for each field, a line "hash=" with a hash of
// all that goes before it and of the content, an empty line, and then the content. A file cut
// short or changed in any byte fails its hash and is never taken.
namespace trovix::platform {

using HeadedFields = QList<QPair<QByteArray, QByteArray>>;

// The bytes before the content: `kind` is the first line, without its line break. Values must
// not hold a line break.
QByteArray headedFileHead(QByteArrayView kind, const HeadedFields& fields, QByteArrayView content);

struct HeadedFile {
    QHash<QByteArray, QByteArray> fields;
    qsizetype contentAt = 0;  // where the content starts
};

// Reads a file of `kind` whose head is `bytes`, the content following it to the end. With
// `content` false only the head is read, as when looking at a file's first bytes, and the hash
// is not checked. A key named twice, or a head that is not of this kind, gives nothing.
std::optional<HeadedFile> readHeadedFile(QByteArrayView bytes, QByteArrayView kind,
                                         bool content = true);

// The head of a file of the first version of its kind: the same lines without the hash line, the
// caller checking the hash a field of its own holds. Nothing when it is not of that kind.
std::optional<HeadedFile> readFirstVersionHead(QByteArrayView bytes, QByteArrayView kind);

// A number field: nothing when it is missing or not a whole number.
std::optional<qint64> numberField(const HeadedFile& file, const QByteArray& key);

}  // namespace trovix::platform
