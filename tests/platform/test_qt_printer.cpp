#include <QApplication>
#include <QFile>
#include <QPrinter>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <new>

#include "platform/qt/qt_printer.h"

using namespace trovix::platform;

namespace {

const PrintFont kFont{"DejaVu Sans Mono", 10};

// A printer that prints to a PDF file.
struct PdfPrinter : QPrinter {
    explicit PdfPrinter(const QString& path) : QPrinter(QPrinter::HighResolution) {
        setOutputFormat(QPrinter::PdfFormat);
        setOutputFileName(path);
    }
};

// Prints `lineCount` times the same line to a PDF file; the pages it holds, or -1 when the job
// did not print.
int pagesPrinted(const QString& path, int lineCount, const QByteArray& body,
                 const QString& start = QString()) {
    PdfPrinter printer(path);
    const std::string_view view(body.constData(), static_cast<std::size_t>(body.size()));
    const auto line = [&](int) { return PrintLine{start, view}; };
    const Result<PrintEnd> outcome = QtPrinter::printLinesOn(printer, lineCount, line, kFont);
    QFile pdf(path);
    if (!outcome || *outcome != PrintEnd::Printed || !pdf.open(QIODevice::ReadOnly)) {
        return -1;
    }
    return int(QString::fromLatin1(pdf.readAll()).count(QRegularExpression("/Type\\s*/Page(?!s)")));
}

// The largest n from 1 up for which fits(n) holds; fits(1) holds, fits(limit) does not.
template <typename Fits>
int largest(int limit, Fits fits) {
    int low = 1;
    int high = limit;
    while (high - low > 1) {
        const int middle = (low + high) / 2;
        (fits(middle) ? low : high) = middle;
    }
    return low;
}

}  // namespace

// Printing on a real printer engine: PDF files.
class TestQtPrinter : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void printedLinesFillPagesAndALongLineWrapsWithoutLosingACharacter() {
        QTemporaryDir dir;
        const QString path = dir.filePath("lines.pdf");
        const int perPage =
            largest(2000, [&](int n) { return pagesPrinted(path, n, "A\tline") == 1; });
        QVERIFY2(perPage > 20, qPrintable(QString::number(perPage)));
        QCOMPARE(pagesPrinted(path, 3 * perPage, "A\tline"), 3);
        QCOMPARE(pagesPrinted(path, 3 * perPage + 1, "A\tline"), 4);
        // The characters one page holds in a single line that wraps, as its start and body.
        const int perFullPage = largest(20000, [&](int n) {
            return pagesPrinted(path, 1, QByteArray(n - 1, 'x'), QStringLiteral("x")) == 1;
        });
        QVERIFY(perFullPage > 1000);
        // A line ten pages long is laid out in pieces: not a character is lost or doubled at
        // the seams, so it fills exactly ten pages, and one more character an eleventh.
        QCOMPARE(pagesPrinted(path, 1, QByteArray(10 * perFullPage, 'x')), 10);
        QCOMPARE(pagesPrinted(path, 1, QByteArray(10 * perFullPage + 1, 'x')), 11);
        // Characters of several bytes are never cut at a seam.
        QCOMPARE(pagesPrinted(path, 1, QString(10 * perFullPage, QChar(u'é')).toUtf8()), 10);
    }

    void aLongJobShowsProgressAndCancellingRemovesThePdf() {
        // One line of 20 MB: a job of a single line that takes well over a second.
        QTemporaryDir dir;
        const QString path = dir.filePath("cancelled.pdf");
        PdfPrinter printer(path);
        QWidget window;
        window.show();
        QByteArray body(20 << 20, 'x');
        for (qsizetype i = 7; i < body.size(); i += 8) {
            body[i] = ' ';
        }
        const std::string_view view(body.constData(), static_cast<std::size_t>(body.size()));
        bool progressShown = false;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            auto* progress = window.findChild<QProgressDialog*>();
            if (progress != nullptr && progress->isVisible() && !progressShown) {
                progressShown = true;
                auto* cancel = progress->findChild<QPushButton*>();
                QVERIFY(cancel != nullptr);
                QCOMPARE(cancel->text(), QStringLiteral("Cancel"));
                QTest::mouseClick(cancel, Qt::LeftButton);
            }
        });
        watch.start(100);
        const auto line = [&](int) { return PrintLine{QString(10, u' '), view}; };
        const Result<PrintEnd> outcome = QtPrinter::printLinesOn(printer, 1, line, kFont, &window);
        QVERIFY(progressShown);
        QVERIFY2(outcome, qPrintable(outcome.error()));  // cancelled is not a failure
        QCOMPARE(*outcome, PrintEnd::Cancelled);
        QVERIFY(!QFile::exists(path));  // no partial print that looks complete
    }

    // A job that runs out of memory while printing, or a printer that cannot start, fails with
    // the reason and leaves no PDF that looks complete.
    void aJobThatFailsSaysWhyAndLeavesNoPdf() {
        QTemporaryDir dir;
        PdfPrinter printer(dir.filePath("partial.pdf"));
        int asked = 0;
        const auto line = [&](int i) {
            if (++asked > 500 && i == 300) {  // while printing, not while counting
                throw std::bad_alloc();
            }
            return PrintLine{QStringLiteral("line"), {}};
        };
        const Result<PrintEnd> outOfMemory = QtPrinter::printLinesOn(printer, 500, line, kFont);
        QCOMPARE(outOfMemory.error(), QStringLiteral("There was not enough memory to print it."));
        QVERIFY(!outOfMemory && !QFile::exists(printer.outputFileName()));

        const QString path = dir.filePath("no such folder/out.pdf");
        printer.setOutputFileName(path);
        const Result<PrintEnd> cannotStart = QtPrinter::printLinesOn(printer, 1, line, kFont);
        QVERIFY(!cannotStart);
        QCOMPARE(cannotStart.error(),
                 QStringLiteral("The printer \"%1\" could not be started:\nThe folder \"%2\" does "
                                "not exist.")
                     .arg(path, dir.filePath("no such folder")));
    }
};

QTEST_MAIN(TestQtPrinter)
#include "test_qt_printer.moc"
