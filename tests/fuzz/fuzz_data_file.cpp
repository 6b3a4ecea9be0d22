// Feeds arbitrary bytes to the data file loader and saver. Nothing may crash; a file read,
// written and read again holds the same records; and the bytes come back unchanged unless the
// file holds a marker that the format moves to a line of its own.

#include <QBuffer>
#include <QByteArray>
#include <QStringList>
#include <cstdint>
#include <cstdlib>

#include "store/data_format.h"
#include "store/record_splitter.h"

using namespace trovix::store;

namespace {

// The lines of a file as its line breaks cut them.
QList<QByteArray> linesOf(const QByteArray& bytes, LineBreak lineBreak) {
    const QByteArray lineEnd = lineBreak == LineBreak::CrLf ? "\r\n" : "\n";
    QList<QByteArray> lines;
    qsizetype from = 0;
    for (qsizetype at; (at = bytes.indexOf(lineEnd, from)) >= 0; from = at + lineEnd.size()) {
        lines << bytes.mid(from, at - from);
    }
    lines << bytes.mid(from);
    return lines;
}

// Whether saving may move a marker: one that stands inside a line, or a line ending in a hyphen
// before a continuation line (the marker is then found one hyphen early).
bool markerMoves(const QByteArray& bytes, LineBreak lineBreak) {
    const QList<QByteArray> lines = linesOf(bytes, lineBreak);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines[i].indexOf("-----", 1) > 0) {
            return true;
        }
        if (i + 1 < lines.size() && lines[i + 1].startsWith("-----") && lines[i].endsWith('-')) {
            return true;
        }
    }
    return false;
}

QByteArray save(const DataFileContent& content, FileFormat& written) {
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    const trovix::platform::Result<FileFormat> used =
        writeDataFile(buffer, content.records, content.format);
    if (!used) {
        std::abort();
    }
    written = *used;
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const DataFileContent first = parseDataFile(bytes);
    FileFormat written;
    const QByteArray saved = save(first, written);
    const DataFileContent again = parseDataFile(saved);
    QStringList records = again.records.toStringList();
    // A CR LF file of a single record holding an LF may end in a line break, which it needs to
    // be read as a CR LF file; that adds an empty element.
    if (first.records.size() == 1 && records.size() == 2 && records.last().isEmpty()) {
        records.removeLast();
    }
    if (records != first.records.toStringList()) {
        std::abort();  // a record was lost or changed
    }
    if (written == first.format && !markerMoves(bytes, first.format.lineBreak) && saved != bytes) {
        std::abort();  // bytes changed that the format keeps
    }
    return 0;
}
