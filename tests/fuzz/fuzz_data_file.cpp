// Feeds arbitrary bytes to the data file loader and saver. Nothing may crash; a file read,
// written and read again holds the same records; and the bytes come back unchanged unless the
// file holds a marker that the format moves to a line of its own. On the way, the text checks
// the reading relies on agree with plain ones: the marker is found where a plain search finds it,
// and each line is valid UTF-8 exactly when Qt decodes it without loss, then folds as Qt folds.

#include <QBuffer>
#include <QByteArray>
#include <QStringList>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "store/data_format.h"
#include "store/record_splitter.h"
#include "store/text_codec.h"

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

// Saves the records in the format asked for, which becomes the format used.
QByteArray save(const DataFileContent& content, FileFormat& format) {
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    const trovix::platform::Result<FileFormat> used =
        writeDataFile(buffer, content.records, format);
    if (!used) {
        std::abort();
    }
    format = *used;
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const std::string_view text(bytes.constData(), size);
    for (std::size_t from = 0; from <= std::min<std::size_t>(size, 256); ++from) {
        if (findRecordSep(text.substr(from)) != text.substr(from).find("-----")) {
            std::abort();
        }
    }
    for (const QByteArray& line : bytes.split('\n')) {
        const std::string_view utf8(line.constData(), static_cast<std::size_t>(line.size()));
        const QByteArray probe = "x" + line;  // Qt drops a byte order mark it starts with
        const QString decoded = QString::fromUtf8(probe);
        const bool valid = isValidUtf8(utf8);
        if (valid != (decoded.toUtf8() == probe)) {
            std::abort();
        }
        if (valid) {  // folding takes valid text only
            std::string folded = "x";
            appendCaseFolded(utf8, folded);
            if (QString::fromStdString(folded) != decoded.toCaseFolded()) {
                std::abort();
            }
        }
    }
    const DataFileContent first = parseDataFile(bytes);
    // Saved with its own line break, and with the other one: a break the records cannot carry
    // (a lone LF in a record, a CR right before a line break) makes the saver take the other.
    for (const LineBreak lineBreak :
         {first.format.lineBreak,
          first.format.lineBreak == LineBreak::Lf ? LineBreak::CrLf : LineBreak::Lf}) {
        FileFormat written = first.format;
        written.lineBreak = lineBreak;
        const QByteArray saved = save(first, written);
        QStringList records = parseDataFile(saved).records.toStringList();
        // A CR LF file of a single record holding an LF may end in a line break, which it needs
        // to be read as a CR LF file; that adds an empty element.
        if (first.records.size() == 1 && records.size() == 2 && records.last().isEmpty()) {
            records.removeLast();
        }
        if (records != first.records.toStringList()) {
            std::abort();  // a record was lost or changed
        }
        if (written == first.format && !markerMoves(bytes, first.format.lineBreak) &&
            saved != bytes) {
            std::abort();  // bytes changed that the format keeps
        }
    }
    return 0;
}
