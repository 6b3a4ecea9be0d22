#include "platform/qt/qt_printer.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPixmap>
#include <QPrinter>
#include <QPrinterInfo>
#include <QWidget>
#include <algorithm>

namespace trovix::platform {

namespace {

const QString kNoPrinter = QStringLiteral("No printer is installed.");
const QString kCannotStart = QStringLiteral("The printer could not be started.");
const QString kCannotFinish = QStringLiteral("The print job could not be completed.");

// Points `printer` at the default printer, or at the first one when none is marked default.
bool selectPrinter(QPrinter& printer, QString& error) {
    const QList<QPrinterInfo> printers = QPrinterInfo::availablePrinters();
    if (printers.isEmpty()) {
        error = kNoPrinter;
        return false;
    }
    const QPrinterInfo chosen =
        QPrinterInfo::defaultPrinter().isNull() ? printers.first() : QPrinterInfo::defaultPrinter();
    printer.setPrinterName(chosen.printerName());
    return true;
}

bool finish(QPainter& painter, QString& error) {
    if (!painter.end()) {
        error = kCannotFinish;
        return false;
    }
    return true;
}

}  // namespace

bool QtPrinter::printLines(const QStringList& lines, QString& error) {
    QPrinter printer(QPrinter::HighResolution);
    if (!selectPrinter(printer, error)) {
        return false;
    }
    return printLinesOn(printer, lines, error);
}

bool QtPrinter::printWindow(QString& error) {
    if (window_ == nullptr) {
        error = QStringLiteral("There is no window to print.");
        return false;
    }
    QPrinter printer(QPrinter::HighResolution);
    if (!selectPrinter(printer, error)) {
        return false;
    }
    return printImageOn(printer, window_->grab(), error);
}

bool QtPrinter::printLinesOn(QPrinter& printer, const QStringList& lines, QString& error) {
    QPainter painter;
    if (!painter.begin(&printer)) {
        error = kCannotStart;
        return false;
    }
    // The painter starts with the default font, measured at the printer's resolution. The
    // printer's width and height are those of the printable area, where the painter's origin
    // lies.
    const int lineHeight = std::max(1, painter.fontMetrics().lineSpacing());
    const int pageWidth = printer.width();
    const int pageHeight = printer.height();
    const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextExpandTabs;
    int y = 0;
    for (const QString& line : lines) {
        // A page takes at least one line, however small the page.
        if (y > 0 && y + lineHeight > pageHeight) {
            if (!printer.newPage()) {
                painter.end();
                error = kCannotFinish;
                return false;
            }
            y = 0;
        }
        painter.drawText(QRect(0, y, pageWidth, lineHeight), flags, line);
        y += lineHeight;
    }
    return finish(painter, error);
}

bool QtPrinter::printImageOn(QPrinter& printer, const QPixmap& image, QString& error) {
    if (image.isNull()) {
        error = QStringLiteral("There is no window image to print.");
        return false;
    }
    QPainter painter;
    if (!painter.begin(&printer)) {
        error = kCannotStart;
        return false;
    }
    const QSize fitted =
        image.size().scaled(printer.width(), printer.height(), Qt::KeepAspectRatio);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(QRect(QPoint(0, 0), fitted), image);
    return finish(painter, error);
}

}  // namespace trovix::platform
