#include "platform/qt/qt_printer.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProgressDialog>
#include <QTextLayout>
#include <QWidget>
#include <algorithm>
#include <memory>
#include <new>

namespace trovix::platform {

namespace {

// A job shows its progress once it has run this long.
constexpr qint64 kProgressAfterMs = 1000;
// A line's body is laid out this many UTF-8 bytes at a time.
constexpr std::size_t kPieceBytes = 32 * 1024;

Result<PrintEnd> failed(const QString& error) {
    return fail(error);
}

QString printerName(const QPrinter& printer) {
    return printer.outputFormat() == QPrinter::PdfFormat ? printer.outputFileName()
                                                         : printer.printerName();
}

bool toPdf(const QPrinter& printer) {
    return printer.outputFormat() == QPrinter::PdfFormat;
}

// Why a printer did not start, as far as it can be told: for a PDF file, what stops it being
// written.
QString startFailure(const QPrinter& printer) {
    QString reason =
        QCoreApplication::translate("QtPrinter", "The printing system did not accept the job.");
    if (toPdf(printer)) {
        const QFileInfo info(printer.outputFileName());
        if (!info.absoluteDir().exists()) {
            reason = QCoreApplication::translate("QtPrinter", "The folder \"%1\" does not exist.")
                         .arg(QDir::toNativeSeparators(info.absolutePath()));
        } else {
            QFile probe(info.absoluteFilePath());
            const bool existed = probe.exists();
            if (!probe.open(QIODevice::WriteOnly | QIODevice::Append)) {
                reason = probe.errorString() + u'.';
            } else if (!existed) {
                probe.remove();
            }
        }
    }
    return QCoreApplication::translate("QtPrinter", "The printer \"%1\" could not be started:\n%2")
        .arg(printerName(printer), reason);
}

QString jobFailure(const QPrinter& printer) {
    return toPdf(printer)
               ? QCoreApplication::translate("QtPrinter",
                                             "The file \"%1\" could not be written completely, so "
                                             "it was removed.")
                     .arg(printerName(printer))
               : QCoreApplication::translate("QtPrinter",
                                             "The print job on \"%1\" could not be completed.")
                     .arg(printerName(printer));
}

// Ends a job that was cancelled or failed; a PDF file of it is removed, so that no part of a
// print passes for the whole.
void abandon(QPainter& painter, QPrinter& printer) {
    printer.abort();
    if (painter.isActive()) {
        painter.end();
    }
    if (toPdf(printer)) {
        QFile::remove(printer.outputFileName());
    }
}

Result<PrintEnd> finish(QPainter& painter, QPrinter& printer) {
    if (!painter.end() || printer.printerState() == QPrinter::Error) {
        abandon(painter, printer);
        return failed(jobFailure(printer));
    }
    return PrintEnd::Printed;
}

// The progress of a job in a dialog with a Cancel button, shown once the job has run for a
// second, whatever it prints.
class JobProgress {
  public:
    JobProgress(QWidget* parent, qint64 total)
        : parent_(parent), total_(std::max<qint64>(1, total)) {
        started_.start();
    }
    // Tells how far the job has come; false when the user cancelled it.
    bool at(qint64 done) {
        if (parent_ == nullptr || (asked_.isValid() && asked_.elapsed() < 50)) {
            return true;
        }
        asked_.start();
        if (!dialog_ && started_.elapsed() >= kProgressAfterMs) {
            dialog_ = std::make_unique<QProgressDialog>(
                QCoreApplication::translate("QtPrinter", "Printing…"),
                QCoreApplication::translate("QtPrinter", "Cancel"), 0, 1000, parent_);
            dialog_->setWindowTitle(QCoreApplication::translate("QtPrinter", "Print"));
            dialog_->setWindowModality(Qt::WindowModal);
            dialog_->setMinimumDuration(0);
            dialog_->show();
        }
        if (dialog_) {
            dialog_->setValue(static_cast<int>(std::min<qint64>(1000, done * 1000 / total_)));
            QCoreApplication::processEvents();  // the Cancel button, also while the value stays
            return !dialog_->wasCanceled();
        }
        return true;
    }

  private:
    QWidget* parent_;
    qint64 total_;
    QElapsedTimer started_;
    QElapsedTimer asked_;
    std::unique_ptr<QProgressDialog> dialog_;
};

// The longest start of a UTF-8 text of at most `maxBytes` bytes that ends between characters.
std::string_view utf8Piece(std::string_view text, std::size_t maxBytes) {
    if (text.size() <= maxBytes) {
        return text;
    }
    std::size_t end = maxBytes;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) {
        --end;
    }
    return text.substr(0, end);
}

// Lays lines out on pages, one printed line below the other, starting a page when one is full.
class PageWriter {
  public:
    PageWriter(QPainter& painter, QPrinter& printer)
        : painter_(painter),
          printer_(printer),
          lineHeight_(std::max<qreal>(1, QFontMetricsF(painter.font(), &printer).lineSpacing())),
          pageWidth_(printer.width()),
          pageHeight_(printer.height()) {
        wrapping_.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    }

    // Prints a line, wrapped at the page width; its body is laid out a piece at a time, the
    // last printed line of each piece again with the next, as more text may join it. False
    // when a page could not be started or `goOn` said stop.
    template <typename GoOn>
    bool line(const PrintLine& line, GoOn goOn) {
        QString pending = line.start;
        std::string_view rest = line.body;
        bool drewAny = false;
        for (;;) {
            const std::string_view piece = utf8Piece(rest, kPieceBytes);
            pending += QString::fromUtf8(piece.data(), static_cast<qsizetype>(piece.size()));
            rest.remove_prefix(piece.size());
            const bool last = rest.empty();
            QTextLayout layout(pending, painter_.font(), &printer_);
            layout.setTextOption(wrapping_);
            layout.beginLayout();
            for (QTextLine part = layout.createLine(); part.isValid(); part = layout.createLine()) {
                part.setLineWidth(pageWidth_);
            }
            layout.endLayout();
            const int lines = layout.lineCount();
            const int ready = last ? lines : lines - 1;
            for (int p = 0; p < ready; ++p) {
                const QTextLine part = layout.lineAt(p);
                if (!nextLine()) {
                    return false;
                }
                part.draw(&painter_, QPointF(0, y_ - part.y()));
                y_ += lineHeight_;
                drewAny = true;
            }
            if (last) {
                break;
            }
            pending = lines > 0 ? pending.mid(layout.lineAt(lines - 1).textStart()) : pending;
            if (!goOn(line.body.size() - rest.size())) {
                return false;
            }
        }
        if (!drewAny) {  // an empty line still takes its place
            if (!nextLine()) {
                return false;
            }
            y_ += lineHeight_;
        }
        return true;
    }

  private:
    // Makes room for one more printed line: a new page when this one is full (a page takes at
    // least one line, however small the page).
    bool nextLine() {
        if (y_ > 0 && y_ + lineHeight_ > pageHeight_) {
            if (!printer_.newPage()) {
                return false;
            }
            y_ = 0;
        }
        return true;
    }

    QPainter& painter_;
    QPrinter& printer_;
    QTextOption wrapping_;
    qreal lineHeight_;
    qreal pageWidth_;
    qreal pageHeight_;
    qreal y_ = 0;
};

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
    if (QMessageBox::question(
            window_.get(), QCoreApplication::translate("QtPrinter", "Print"),
            QCoreApplication::translate("QtPrinter",
                                        "No printer is installed.\n\nSave the print as a "
                                        "PDF file instead?")) != QMessageBox::Yes) {
        return false;
    }
    const QString file = QFileDialog::getSaveFileName(
        window_.get(), QCoreApplication::translate("QtPrinter", "Save Print as PDF"),
        QDir::home().filePath(QStringLiteral("Trovix.pdf")),
        QCoreApplication::translate("QtPrinter", "PDF Files (*.pdf)"));
    if (file.isEmpty()) {
        return false;
    }
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    return true;
}

Result<PrintEnd> QtPrinter::printLines(int count, const std::function<PrintLine(int)>& line,
                                       const PrintFont& font) {
    QPrinter printer(QPrinter::HighResolution);
    if (!choosePrinter(printer)) {
        return PrintEnd::Cancelled;
    }
    return printLinesOn(printer, count, line, font, window_.get());
}

Result<PrintEnd> QtPrinter::printWindow() {
    QWidget* window = window_.get();
    if (window == nullptr) {
        return failed(QCoreApplication::translate("QtPrinter", "There is no window to print."));
    }
    const QPixmap image = window->grab();
    QPrinter printer(QPrinter::HighResolution);
    if (!choosePrinter(printer)) {
        return PrintEnd::Cancelled;
    }
    return printImageOn(printer, image);
}

Result<PrintEnd> QtPrinter::printLinesOn(QPrinter& printer, int count,
                                         const std::function<PrintLine(int)>& line,
                                         const PrintFont& font, QWidget* progressParent) {
    QPainter painter;
    if (!painter.begin(&printer)) {
        return failed(startFailure(printer));
    }
    try {
        QFont face(font.family, std::max(1, font.pointSize));
        face.setBold(font.bold);
        face.setItalic(font.italic);
        painter.setFont(face);
        // Progress is counted in characters (bytes of a body), so one long line shows it too.
        qint64 total = 0;
        for (int i = 0; i < count; ++i) {
            const PrintLine printed = line(i);
            total += printed.start.size() + static_cast<qint64>(printed.body.size()) + 1;
        }
        JobProgress progress(progressParent, total);
        PageWriter pages(painter, printer);
        qint64 done = 0;
        bool cancelled = false;
        for (int i = 0; i < count && !cancelled; ++i) {
            const PrintLine printed = line(i);
            const bool whole = pages.line(printed, [&](std::size_t bodyDone) {
                cancelled = !progress.at(done + static_cast<qint64>(bodyDone));
                return !cancelled;
            });
            if (!whole && !cancelled) {
                abandon(painter, printer);
                return failed(jobFailure(printer));
            }
            done += printed.start.size() + static_cast<qint64>(printed.body.size()) + 1;
            cancelled = cancelled || !progress.at(done);
        }
        if (cancelled) {
            abandon(painter, printer);
            return PrintEnd::Cancelled;
        }
    } catch (const std::bad_alloc&) {
        abandon(painter, printer);
        return failed(
            QCoreApplication::translate("QtPrinter", "There was not enough memory to print it."));
    }
    return finish(painter, printer);
}

Result<PrintEnd> QtPrinter::printImageOn(QPrinter& printer, const QPixmap& image) {
    if (image.isNull()) {
        return failed(
            QCoreApplication::translate("QtPrinter", "There is no window image to print."));
    }
    QPainter painter;
    if (!painter.begin(&printer)) {
        return failed(startFailure(printer));
    }
    const QSize fitted =
        image.size().scaled(printer.width(), printer.height(), Qt::KeepAspectRatio);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(QRect(QPoint(0, 0), fitted), image);
    return finish(painter, printer);
}

}  // namespace trovix::platform
