#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFontDatabase>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

#include "platform/qt/qt_clipboard.h"
#include "platform/qt/qt_file_dialog.h"
#include "platform/qt/qt_font_dialog.h"
#include "platform/qt/qt_message_boxes.h"
#include "platform/qt/qt_printer.h"
#include "platform/qt/qt_shell.h"

using namespace trovix::platform;

namespace {

// Rejects every open dialog, innermost first, so a test that went wrong fails instead of
// waiting forever on a modal loop.
void rejectAllDialogs() {
    while (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
        dialog->reject();
    }
}

// Runs `act` on the next modal dialog of type Dialog as soon as it is shown.
template <typename Dialog, typename Act>
void whenShown(Act act) {
    auto* timer = new QTimer(qApp);
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    QObject::connect(timer, &QTimer::timeout, [timer, clock, act] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        if (dialog != nullptr && dialog->isVisible()) {
            timer->stop();
            timer->deleteLater();
            act(dialog);
            // Dropped with the dialog; fires only if the dialog outlives what `act` did.
            QTimer::singleShot(5000, dialog, rejectAllDialogs);
        } else if (clock->elapsed() > 5000) {
            timer->stop();
            timer->deleteLater();
            rejectAllDialogs();
        }
    });
    timer->start(10);
}

int pdfPageCount(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return -1;
    }
    static const QRegularExpression pageObject(QStringLiteral("/Type\\s*/Page(?!s)"));
    int count = 0;
    auto matches = pageObject.globalMatch(QString::fromLatin1(file.readAll()));
    while (matches.hasNext()) {
        matches.next();
        ++count;
    }
    return count;
}

}  // namespace

class TestQtWidgets : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void clipboardHoldsOnlyPlainText() {
        QClipboard* system = QGuiApplication::clipboard();
        auto* earlier = new QMimeData;
        earlier->setHtml("<b>earlier</b>");
        earlier->setText("earlier");
        system->setMimeData(earlier);

        QtClipboard clipboard;
        const QString text = "Zo\u00eb\tfirst line\nsecond line";
        clipboard.setText(text);
        QCOMPARE(system->text(), text);
        QCOMPARE(system->mimeData()->formats(), QStringList{"text/plain"});

        clipboard.clear();
        QVERIFY(system->text().isEmpty());
        QVERIFY(system->mimeData() == nullptr || system->mimeData()->formats().isEmpty());
    }

    void messageBoxAnswers() {
        QCoreApplication::setApplicationName("Trovix Test");
        QtMessageBoxes boxes(nullptr);
        struct Case {
            MessageButtons buttons;
            QMessageBox::StandardButton click;  // NoButton: press Esc
            MessageAnswer expected;
        };
        const Case cases[] = {
            {MessageButtons::YesNoCancel, QMessageBox::NoButton, MessageAnswer::Cancel},
            {MessageButtons::YesNo, QMessageBox::NoButton, MessageAnswer::No},
            {MessageButtons::OkCancel, QMessageBox::NoButton, MessageAnswer::Cancel},
            {MessageButtons::Ok, QMessageBox::NoButton, MessageAnswer::Ok},
            {MessageButtons::YesNoCancel, QMessageBox::Yes, MessageAnswer::Yes},
            {MessageButtons::YesNoCancel, QMessageBox::No, MessageAnswer::No},
            {MessageButtons::OkCancel, QMessageBox::Ok, MessageAnswer::Ok},
        };
        for (const Case& c : cases) {
            whenShown<QMessageBox>([&c](QMessageBox* box) {
                if (c.click == QMessageBox::NoButton) {
                    QTest::keyClick(box, Qt::Key_Escape);
                } else if (QAbstractButton* button = box->button(c.click)) {
                    button->click();
                }
            });
            QCOMPARE(boxes.show("Question?", "Title", c.buttons, MessageIcon::Question),
                     c.expected);
        }

        QString title;
        QString text;
        Qt::TextFormat format = Qt::AutoText;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        whenShown<QMessageBox>([&](QMessageBox* box) {
            title = box->windowTitle();
            text = box->text();
            format = box->textFormat();
            icon = box->icon();
            box->button(QMessageBox::Ok)->click();
        });
        boxes.show("<b>not bold</b>", "", MessageButtons::Ok, MessageIcon::Warning);
        QCOMPARE(title, QString("Trovix Test"));
        QCOMPARE(text, QString("<b>not bold</b>"));
        QCOMPARE(format, Qt::PlainText);
        QCOMPARE(icon, QMessageBox::Warning);
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
            } else {
                dialog->selectFile("new.txt");
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

    void fontChoiceKeepsWeight() {
        int checked = 0;
        for (const QString& family : QFontDatabase::families()) {
            if (!QFontDatabase::isSmoothlyScalable(family)) {
                continue;
            }
            const FontChoice boldItalic{family, 10.5, 700, true};
            const FontChoice back = QtFontDialog::toChoice(QtFontDialog::toFont(boldItalic));
            QCOMPARE(back.family, family);
            QCOMPARE(back.pointSize, 10.5);
            QVERIFY2(back.weight == 700, qPrintable(family));
            QVERIFY(back.italic);
            ++checked;
        }
        if (checked == 0) {
            QSKIP("no scalable font installed");
        }

        const FontChoice plain{QString(), 9.0, std::nullopt, false};
        const QFont font = QtFontDialog::toFont(plain);
        QCOMPARE(font.weight(), QFont::Normal);
        QCOMPARE(font.pointSizeF(), 9.0);
        QVERIFY(!font.italic());
    }

    void printedLinesFillPages() {
        QTemporaryDir dir;
        int job = 0;
        auto pages = [&](int lineCount) {
            QPrinter printer(QPrinter::HighResolution);
            printer.setOutputFormat(QPrinter::PdfFormat);
            const QString file = dir.filePath(QString("job%1.pdf").arg(++job));
            printer.setOutputFileName(file);
            QStringList lines;
            for (int i = 0; i < lineCount; ++i) {
                lines.append(QString("Line %1\twith a tab").arg(i));
            }
            QString error;
            return QtPrinter::printLinesOn(printer, lines, error) ? pdfPageCount(file) : -1;
        };
        QCOMPARE(pages(1), 1);
        // The most lines one page holds.
        int low = 1;
        int high = 2000;
        QVERIFY(pages(high) > 1);
        while (high - low > 1) {
            const int middle = (low + high) / 2;
            (pages(middle) == 1 ? low : high) = middle;
        }
        const int perPage = low;
        QVERIFY2(perPage > 20, qPrintable(QString::number(perPage)));
        QCOMPARE(pages(3 * perPage), 3);
        QCOMPARE(pages(3 * perPage + 1), 4);
    }

    void startedProgramGetsArgumentsAndFolder() {
#ifndef Q_OS_UNIX
        QSKIP("uses sh");
#else
        QTemporaryDir dir;
        QtShell shell;
        const QString script = "printf '%s|%s' \"$(pwd)\" \"$1\" > out.tmp && mv out.tmp out.txt";
        QVERIFY(shell.startProgram("sh", {"-c", script, "sh", "two words"}, dir.path()));
        QTRY_VERIFY(QFile::exists(dir.filePath("out.txt")));
        QFile out(dir.filePath("out.txt"));
        QVERIFY(out.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(out.readAll()), QDir(dir.path()).canonicalPath() + "|two words");

        QVERIFY(!shell.startProgram(dir.filePath("no-such-program"), {}, dir.path()));
#endif
    }
};

QTEST_MAIN(TestQtWidgets)
#include "test_qt_widgets.moc"
