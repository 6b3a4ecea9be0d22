#pragma once

#include "platform/printer.h"

class QPixmap;
class QPrinter;
class QWidget;

namespace trovix::platform {

// Prints straight to the default printer, without a print dialog.
class QtPrinter : public Printer {
  public:
    // `window` is the main window that printWindow() prints.
    explicit QtPrinter(QWidget* window) : window_(window) {}

    bool printLines(const QStringList& lines, QString& error) override;
    bool printWindow(QString& error) override;

    // The painting of both jobs on a printer that is already set up (a PDF file in tests).
    static bool printLinesOn(QPrinter& printer, const QStringList& lines, QString& error);
    static bool printImageOn(QPrinter& printer, const QPixmap& image, QString& error);

  private:
    QWidget* window_;
};

}  // namespace trovix::platform
