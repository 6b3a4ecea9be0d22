#pragma once

#include <QString>
#include <functional>

namespace trovix::platform {

// The font lines are printed in.
struct PrintFont {
    QString family;
    int pointSize = 10;
    bool bold = false;
    bool italic = false;
};

struct PrintOutcome {
    enum class Result { Printed, Cancelled, Failed };
    Result result = Result::Failed;
    QString error;  // why it failed, in words
};

// The system's default printer; each call is one print job. When no printer is installed the
// user is offered to save the job as a PDF file instead; declining cancels it.
class Printer {
  public:
    virtual ~Printer() = default;
    // Prints `count` lines, line(i) for each i in order, in the font given. A line wider than
    // the page wraps onto the next printed line and is never cut; pages break by themselves. A
    // long job shows its progress and can be cancelled.
    virtual PrintOutcome printLines(int count, const std::function<QString(int)>& line,
                                    const PrintFont& font) = 0;
    // Prints an image of the main window's client area, scaled to fit the page.
    virtual PrintOutcome printWindow() = 0;
};

}  // namespace trovix::platform
