#pragma once

#include <QString>
#include <functional>
#include <string_view>

#include "platform/result.h"

namespace trovix::platform {

// The font lines are printed in.
struct PrintFont {
    QString family;
    int pointSize = 10;
    bool bold = false;
    bool italic = false;
};

// One printed line: a short start (an indent, a marker) followed by a body of UTF-8 text of any
// length. The body is read a piece at a time, so a line of hundreds of megabytes costs little
// memory; it stays valid until the next line is asked for.
struct PrintLine {
    QString start;
    std::string_view body;
};

// How a print job that did not fail ended.
enum class PrintEnd { Printed, Cancelled };

// The system's default printer; each call is one print job. When no printer is installed the
// user is offered to save the job as a PDF file instead; declining cancels it. A PDF file of a
// job that was cancelled or failed is removed, so no partial print looks complete.
class Printer {
  public:
    virtual ~Printer() = default;
    // Prints `count` lines, line(i) for each i in order, in the font given. A line wider than
    // the page wraps onto the next printed line and is never cut; pages break by themselves. A
    // job that takes more than a second shows its progress and can be cancelled.
    virtual Result<PrintEnd> printLines(int count, const std::function<PrintLine(int)>& line,
                                        const PrintFont& font) = 0;
    // Prints an image of the main window's client area, scaled to fit the page.
    virtual Result<PrintEnd> printWindow() = 0;
};

}  // namespace trovix::platform
