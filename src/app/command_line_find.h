#pragma once

#include <QList>
#include <QString>

class QIODevice;

namespace trovix::app {

// What `--find` asks for.
struct FindRequest {
    QString text;  // the words every record found holds
    bool matchCase = false;
    bool count = false;             // the number of records found per file instead of them
    bool filesWithMatches = false;  // the names of the files with a record found instead
};

// A data file to search: its name as printed and where it is read from.
struct FindFile {
    QString name;
    QString path;
};

// Searches the files, in order, as the window searches loaded files, and writes the records
// found to `out`: each line of a record as the file holds it, ended by the platform's line end,
// so further lines still begin with "-----". With more than one file, each printed line begins
// with the file's name and a colon. A file that cannot be read, or is no regular file (a named
// pipe, a device, a socket), is named on `errors` after the output of the files before it, and
// the others are searched all the same. Returns the exit code: 0 when a record was found, 1 when
// none was, 2 when a file could not be read or written.
int findInFiles(const FindRequest& request, const QList<FindFile>& files, QIODevice& out,
                QIODevice& errors, const QString& programName);

}  // namespace trovix::app
