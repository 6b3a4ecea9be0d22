#pragma once

#include <QString>
#include <QStringList>

namespace trovix::platform {

// The default printer. Each call is one print job; a failure is described in `error`.
class Printer {
  public:
    virtual ~Printer() = default;
    // Prints the lines in the printer's default font, one per line, breaking pages as needed.
    virtual bool printLines(const QStringList& lines, QString& error) = 0;
    // Prints an image of the main window.
    virtual bool printWindow(QString& error) = 0;
};

}  // namespace trovix::platform
