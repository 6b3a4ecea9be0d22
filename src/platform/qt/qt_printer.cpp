#include "platform/qt/qt_printer.h"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProgressDialog>
#include <QTextLayout>
#include <QWidget>
#include <algorithm>

namespace trovix::platform {

namespace {

using Result = PrintOutcome::Result;

// Jobs with more lines than this show their progress.
constexpr int kProgressFrom = 2000;

PrintOutcome failed(const QString& error) {
    return {Result::Failed, error};
}

QString printerName(const QPrinter& printer) {
    return printer.outputFormat() == QPrinter::PdfFormat ? printer.outputFileName()
                                                         : printer.printerName();
}

PrintOutcome finish(QPainter& painter, QPrinter& printer) {
    if (!painter.end() || printer.printerState() == QPrinter::Error) {
        return failed(QStringLiteral("The print job on \"%1\" could not be completed.")
                          .arg(printerName(printer)));
    }
    return {Result::Printed, {}};
}

}  // namespace

bool QtPrinter::choosePrinter(QPrinter& printer) {
    const QList<QPrinterInfo> printers = QPrinterInfo::availablePrinters();
    if (!printers.isEmpty()) {
        const QPrinterInfo chosen = QPrinterInfo::defaultPrinter().isNull()
                                        ? printers.first()
                                        : QPrinterInfo::defaultPrinter();
        printer.setPrinterName(chosen.printerName());
        return true;
    }
    if (QMessageBox::question(window_, QStringLiteral("Print"),
                              QStringLiteral("No printer is installed.\n\nSave the print as a "
                                             "PDF file instead?")) != QMessageBox::Yes) {
        return false;
    }
    const QString file = QFileDialog::getSaveFileName(
        window_, QStringLiteral("Save Print as PDF"),
        QDir::home().filePath(QStringLiteral("Trovix.pdf")), QStringLiteral("PDF Files (*.pdf)"));
    if (file.isEmpty()) {
        return false;
    }
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    return true;
}

PrintOutcome QtPrinter::printLines(int count, const std::function<QString(int)>& line,
                                   const PrintFont& font) {
    QPrinter printer(QPrinter::HighResolution);
    if (!choosePrinter(printer)) {
        return {Result::Cancelled, {}};
    }
    return printLinesOn(printer, count, line, font, window_);
}

PrintOutcome QtPrinter::printWindow() {
    if (window_ == nullptr) {
        return failed(QStringLiteral("There is no window to print."));
    }
    const QPixmap image = window_->grab();
    QPrinter printer(QPrinter::HighResolution);
    if (!choosePrinter(printer)) {
        return {Result::Cancelled, {}};
    }
    return printImageOn(printer, image);
}

PrintOutcome QtPrinter::printLinesOn(QPrinter& printer, int count,
                                     const std::function<QString(int)>& line, const PrintFont& font,
                                     QWidget* progressParent) {
    QPainter painter;
    if (!painter.begin(&printer)) {
        return failed(
            QStringLiteral("The printer \"%1\" could not be started.").arg(printerName(printer)));
    }
    QFont face(font.family, std::max(1, font.pointSize));
    face.setBold(font.bold);
    face.setItalic(font.italic);
    painter.setFont(face);
    // The printer's width and height are those of the printable area, where the painter's
    // origin lies. Fonts are measured at the printer's resolution.
    const QFontMetricsF metrics(painter.font(), &printer);
    const qreal lineHeight = std::max<qreal>(1, metrics.lineSpacing());
    const qreal pageWidth = printer.width();
    const qreal pageHeight = printer.height();
    QTextOption wrapping;
    wrapping.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);

    std::unique_ptr<QProgressDialog> progress;
    if (progressParent != nullptr && count > kProgressFrom) {
        progress = std::make_unique<QProgressDialog>(
            QStringLiteral("Printing…"), QStringLiteral("Cancel"), 0, count, progressParent);
        progress->setWindowModality(Qt::WindowModal);
        progress->setMinimumDuration(500);
    }
    qreal y = 0;
    for (int i = 0; i < count; ++i) {
        if (progress && i % 256 == 0) {
            progress->setValue(i);  // lets the window paint and the Cancel button work
            if (progress->wasCanceled()) {
                printer.abort();
                painter.end();
                return {Result::Cancelled, {}};
            }
        }
        // One printed line or more: a line wider than the page wraps and is never cut.
        QTextLayout layout(line(i), painter.font(), &printer);
        layout.setTextOption(wrapping);
        layout.beginLayout();
        for (QTextLine part = layout.createLine(); part.isValid(); part = layout.createLine()) {
            part.setLineWidth(pageWidth);
        }
        layout.endLayout();
        const int parts = std::max(1, layout.lineCount());
        for (int p = 0; p < parts; ++p) {
            // A page takes at least one line, however small the page.
            if (y > 0 && y + lineHeight > pageHeight) {
                if (!printer.newPage()) {
                    painter.end();
                    return failed(QStringLiteral("The print job on \"%1\" could not be "
                                                 "completed.")
                                      .arg(printerName(printer)));
                }
                y = 0;
            }
            if (p < layout.lineCount()) {
                const QTextLine part = layout.lineAt(p);
                part.draw(&painter, QPointF(0, y - part.y()));
            }
            y += lineHeight;
        }
    }
    return finish(painter, printer);
}

PrintOutcome QtPrinter::printImageOn(QPrinter& printer, const QPixmap& image) {
    if (image.isNull()) {
        return failed(QStringLiteral("There is no window image to print."));
    }
    QPainter painter;
    if (!painter.begin(&printer)) {
        return failed(
            QStringLiteral("The printer \"%1\" could not be started.").arg(printerName(printer)));
    }
    const QSize fitted =
        image.size().scaled(printer.width(), printer.height(), Qt::KeepAspectRatio);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(QRect(QPoint(0, 0), fitted), image);
    return finish(painter, printer);
}

}  // namespace trovix::platform
