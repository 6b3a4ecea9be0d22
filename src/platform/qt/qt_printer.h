#pragma once

#include "platform/printer.h"
#include "platform/qt/owner_window.h"

class QPixmap;
class QPrinter;
class QWidget;

namespace trovix::platform {

// Prints straight to the default printer, without a print dialog. With no printer installed it
// offers to save the job as a PDF file.
class QtPrinter : public Printer {
  public:
    // `window` is the main window that printWindow() prints and that owns the questions and the
    // progress of a long job.
    explicit QtPrinter(const OwnerWindow& window) : window_(window) {}

    Result<PrintEnd> printLines(int count, const std::function<PrintLine(int)>& line,
                                const PrintFont& font) override;
    Result<PrintEnd> printWindow() override;

    // The painting of both jobs on a printer that is already set up (a PDF file in tests).
    // `progressParent`, when given, gets a progress dialog with a Cancel button once the job
    // has taken a second. A long line is laid out a piece at a time, so a job's memory does
    // not grow with the length of its lines. A PDF file of a job that was cancelled or failed
    // is removed.
    static Result<PrintEnd> printLinesOn(QPrinter& printer, int count,
                                         const std::function<PrintLine(int)>& line,
                                         const PrintFont& font, QWidget* progressParent = nullptr);
    static Result<PrintEnd> printImageOn(QPrinter& printer, const QPixmap& image);

  private:
    // Points `printer` at the default printer, or at a PDF file the user chooses when there is
    // no printer; false when the user declined.
    bool choosePrinter(QPrinter& printer);

    const OwnerWindow& window_;
};

}  // namespace trovix::platform
