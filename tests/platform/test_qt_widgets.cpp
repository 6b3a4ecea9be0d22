#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "platform/qt/qt_clipboard.h"
#include "platform/qt/qt_file_dialog.h"
#include "platform/qt/qt_message_boxes.h"
#include "platform/qt/qt_printer.h"
#include "platform/qt/qt_shell.h"

using namespace trovix::platform;

namespace {

// Rejects every open dialog, innermost first.
void rejectAllDialogs() {
    while (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
        dialog->reject();
    }
}

// Runs `act` on the modal dialog of type Dialog that the next call shows. Any other dialog is
// rejected, and so is one that `act` leaves open, so that a test that went wrong fails instead
// of waiting forever on a modal loop.
template <typename Dialog, typename Act>
void whenShown(Act act) {
    QTimer::singleShot(0, qApp, [act] {
        if (auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget())) {
            QTimer::singleShot(5000, dialog, rejectAllDialogs);  // dropped with the dialog
            act(dialog);
        } else {
            rejectAllDialogs();
        }
    });
}

}  // namespace

class TestQtWidgets : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void clipboardHoldsOnlyPlainText() {
        QClipboard* system = QGuiApplication::clipboard();
        QtClipboard clipboard;
        const QString text = "Zo\u00eb\tfirst line\nsecond line";
        clipboard.setText(text);
        QCOMPARE(system->text(), text);
        QCOMPARE(system->mimeData()->formats(), QStringList{"text/plain"});
        clipboard.clear();
        QVERIFY(system->text().isEmpty());
    }

    void messageBoxAnswers() {
        QtMessageBoxes boxes(nullptr);
        const std::tuple<MessageButtons, QMessageBox::StandardButton, MessageAnswer> cases[] = {
            // NoButton: press Esc.
            {MessageButtons::YesNoCancel, QMessageBox::NoButton, MessageAnswer::Cancel},
            {MessageButtons::YesNo, QMessageBox::NoButton, MessageAnswer::No},
            {MessageButtons::OkCancel, QMessageBox::NoButton, MessageAnswer::Cancel},
            {MessageButtons::Ok, QMessageBox::NoButton, MessageAnswer::Ok},
            {MessageButtons::YesNoCancel, QMessageBox::Yes, MessageAnswer::Yes},
        };
        QString shownText;
        for (const auto& [buttons, click, expected] : cases) {
            whenShown<QMessageBox>([click, &shownText](QMessageBox* box) {
                shownText = box->windowTitle() + ": " +
                            (box->textFormat() == Qt::PlainText ? box->text() : "rich text");
                click == QMessageBox::NoButton ? QTest::keyClick(box, Qt::Key_Escape)
                                               : box->button(click)->click();
            });
            // Texts quote records, which must never be taken for markup; a box without a title
            // takes the program's name.
            QCOMPARE(boxes.show("<b>a record</b>", "", buttons, MessageIcon::Question), expected);
            QCOMPARE(shownText, QCoreApplication::applicationName() + ": <b>a record</b>");
        }
    }

    void fileDialogTakesANewName() {
        QTemporaryDir dir;
        QtFileDialog files(nullptr);
        QStringList filters;
        whenShown<QFileDialog>([&filters](QFileDialog* dialog) {
            filters = dialog->nameFilters();
            // Typed as a user would; selectFile() leaves the name box alone while it has focus.
            if (auto* name = dialog->findChild<QLineEdit*>("fileNameEdit")) {
                name->setText("new.txt");
            }
            QMetaObject::invokeMethod(dialog, "accept");  // what the Open button does
        });
        const QString chosen = files.openFileName("Open", dir.path(), "Data files", "*.txt;*.dat");
        QCOMPARE(QFileInfo(chosen).absoluteFilePath(),
                 QDir(dir.path()).absoluteFilePath("new.txt"));
        QCOMPARE(filters, QStringList{"Data files (*.txt *.dat)"});

        whenShown<QFileDialog>([](QFileDialog* dialog) { dialog->reject(); });
        QVERIFY(files.openFileName("Open", dir.path(), "Data files", "*.txt").isEmpty());
    }

    void printedLinesFillPages() {
        QTemporaryDir dir;
        // The number of pages printing that many lines makes.
        auto pages = [&](int lineCount) {
            const QString path = dir.filePath(QString("%1.pdf").arg(lineCount));
            QPrinter printer(QPrinter::HighResolution);
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(path);
            QFile pdf(path);
            const PrintOutcome outcome = QtPrinter::printLinesOn(
                printer, lineCount, [](int) { return QStringLiteral("A\tline"); },
                {"DejaVu Sans Mono", 10});
            if (outcome.result != PrintOutcome::Result::Printed || !pdf.open(QIODevice::ReadOnly)) {
                return -1;
            }
            return int(QString::fromLatin1(pdf.readAll())
                           .count(QRegularExpression("/Type\\s*/Page(?!s)")));
        };
        // The most lines one page holds.
        int low = 1;
        int high = 2000;
        while (high - low > 1) {
            const int middle = (low + high) / 2;
            (pages(middle) == 1 ? low : high) = middle;
        }
        QVERIFY2(low > 20, qPrintable(QString::number(low)));
        QCOMPARE(pages(3 * low), 3);
        QCOMPARE(pages(3 * low + 1), 4);
    }

    void startingAMissingProgramFails() {
        QVERIFY(!QtShell().startProgram("/no/such/folder/program", {}, QDir::tempPath()));
    }
};

QTEST_MAIN(TestQtWidgets)
#include "test_qt_widgets.moc"
