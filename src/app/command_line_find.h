#pragma once

#include <QList>
#include <QString>

class QIODevice;

namespace trovix::app {

// What `--find` asks for.
struct FindRequest {
    enum class Colour { Auto, Always, Never };
    QString text;  // the words every record found holds
    bool matchCase = false;
    bool count = false;             // the number of records found per file instead of them
    bool filesWithMatches = false;  // the names of the files with a record found instead
    bool lineNumbers = false;       // each line printed begins with its number in the file
    Colour colour = Colour::Auto;   // findInFiles() marks the words found only when Always
    QString dataFolder{};           // where the data files of the settings are looked for
};

// Whether the output is coloured: always, never, or with auto when it is a terminal and the
// environment's NO_COLOR is not set (or empty).
bool colourOutput(FindRequest::Colour colour, bool terminal, const QByteArray& noColor);

// A data file to search: its name as printed and where it is read from; the standard input
// when the path is empty.
struct FindFile {
    QString name;
    QString path;
};
inline const QString kStandardInputName =
    QStringLiteral("(standard input)");  // printed as a file name, as grep prints it

// Searches the files, in order, as the window searches loaded files, and writes the records
// found to `out`: each line of a record as the file holds it, ended by the platform's line end,
// so further lines still begin with "-----". With more than one file, each printed line begins
// with the file's name and a colon; then, with line numbers, the line's number and a colon. In
// colour, the words are marked where the window highlights them, as grep marks its matches. The
// standard input is read whole from `in`. A file that cannot be read, or is no regular file (a
// named pipe, a device, a socket), is named on `errors` after the output of the files before it,
// and the others are searched all the same; no file at all is an error that says how to name
// some. Returns the exit code: 0 when a record was found, 1 when none was, 2 when a file could
// not be read or written.
int findInFiles(const FindRequest& request, const QList<FindFile>& files, QIODevice& in,
                QIODevice& out, QIODevice& errors, const QString& programName);

}  // namespace trovix::app
