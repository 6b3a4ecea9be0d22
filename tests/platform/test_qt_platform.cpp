#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QLockFile>
#include <QMessageBox>
#include <QMimeData>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

#include "platform/fake/faulty_disk.h"
#include "platform/qt/qt_clipboard.h"
#include "platform/qt/qt_file_dialog.h"
#include "platform/qt/qt_instance_guard.h"
#include "platform/qt/qt_message_boxes.h"
#include "platform/qt/qt_settings_store.h"
#include "platform/qt/qt_shell.h"
#include "platform/safe_file.h"
#include "platform/system_disk.h"
#include "support/files.h"
#include "support/small_disk.h"

using namespace trovix::platform;
using trovix::testing::readBytes;
using trovix::testing::withoutWaitingOn;
using trovix::testing::writeBytes;
using trovix::testing::WriteProtection;

namespace {

using Value = std::optional<QString>;

const QString kSection = QStringLiteral("Odd Section");
const QString kKey = QStringLiteral("Key \u00e9/1");

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

// The Qt implementations of the platform interfaces.
class TestQtPlatform : public QObject {
    Q_OBJECT

    QTemporaryDir configHome_;  // where the per-user settings file goes
    SystemDisk disk_;

  private Q_SLOTS:
    void initTestCase() { qputenv("XDG_CONFIG_HOME", QFile::encodeName(configHome_.path())); }

    // A settings file that is not a regular file reads as empty, without waiting for a program
    // to write into it, and is never written over; the per-user file is where QSettings has it.
    void aSettingsFileThatIsNotARegularFileIsNeitherAwaitedNorWritten() {
#ifndef Q_OS_UNIX
        QSKIP("named pipes and devices are Unix files");
#else
        const QString perUser = QtSettingsStore(disk_).fileName();
        QCOMPARE(
            perUser,
            QSettings(QSettings::IniFormat, QSettings::UserScope, "Trovix", "Trovix").fileName());
        QVERIFY(perUser.startsWith(configHome_.path() + '/'));
        QVERIFY(QDir().mkpath(QFileInfo(perUser).path()));
        QVERIFY(::mkfifo(QFile::encodeName(perUser).constData(), 0644) == 0);
        const auto removePipe = qScopeGuard([&] { QFile::remove(perUser); });
        QTemporaryDir dir;
        const QString device = dir.filePath("device.ini");
        QVERIFY(QFile::link("/dev/zero", device));

        for (const QString& path : {QString(), device}) {  // none: the per-user file
            std::optional<std::unique_ptr<QtSettingsStore> > store = withoutWaitingOn(perUser, [&] {
                return path.isEmpty() ? std::make_unique<QtSettingsStore>(disk_)
                                      : std::make_unique<QtSettingsStore>(path, disk_);
            });
            QVERIFY2(store, "Reading the settings waited for a writer to the named pipe.");
            const QString shown = path.isEmpty() ? perUser : path;
            QVERIFY((*store)->fileName() == shown && !(*store)->value("Settings", "MainLeft"));
            (*store)->setValue("Settings", "MainLeft", "1");
            const Result<void> synced = (*store)->sync();
            QVERIFY2(!synced && synced.error().contains("not a regular file"),
                     qPrintable(synced.error()));
            QCOMPARE(pathKind(shown), path.isEmpty() ? PathKind::NamedPipe : PathKind::Device);
        }

        // Nor do the lock files that keep two copies of the program apart.
        const QString ini = dir.filePath("locked.ini");
        QVERIFY(::mkfifo(QFile::encodeName(ini + ".lock").constData(), 0644) == 0);
        QtSettingsStore locked(ini, disk_);
        locked.setValue("Settings", "MainLeft", "1");
        const std::optional<QString> refused =
            withoutWaitingOn(ini + ".lock", [&] { return locked.sync().error(); });
        QVERIFY2(refused && refused->contains("named pipe"),
                 "Writing the settings waited for a writer to the lock file, or wrote.");
        const QString guardLock = dir.filePath("trovix7.lock");
        QVERIFY(::mkfifo(QFile::encodeName(guardLock).constData(), 0644) == 0);
        QtInstanceGuard guard(guardLock);
        const std::optional<bool> running =
            withoutWaitingOn(guardLock, [&] { return guard.anotherCopyRunning(); });
        QVERIFY2(running && !*running, "Looking for another copy waited for the lock file.");
#endif
    }

    void valuesSurviveThisStoreAndQSettingsAlike() {
        const QString texts[] = {"a, b, c",
                                 "  leading",
                                 "trailing  ",
                                 "key=value; not a comment #hash",
                                 R"("C:\dir\" \x41 \n)",
                                 "@Variant(1)",
                                 "@@x",
                                 "one\ntwo\r\001f\177end\a\b\f\v",
                                 QString("a") + QChar(0) + "12ab",
                                 "Zo\u00eb \u6771\u4eac \U0001F600",
                                 ""};
        QTemporaryDir dir;
        const QString ours = dir.filePath("ours.ini");
        const QString theirs = dir.filePath("theirs.ini");
        for (const QString& text : texts) {
            {
                QtSettingsStore store(ours, disk_);
                store.setValue(kSection, kKey, text);
                QVERIFY(store.sync());
                QSettings writer(theirs, QSettings::IniFormat);
                writer.setValue(kSection + '/' + kKey, text);
            }
            QCOMPARE(QtSettingsStore(ours, disk_).value(kSection, kKey), Value(text));
            QCOMPARE(QSettings(ours, QSettings::IniFormat).value(kSection + '/' + kKey).toString(),
                     text);
            QCOMPARE(QtSettingsStore(theirs, disk_).value(kSection, kKey), Value(text));
        }
    }

    // Setting what the file holds, even changed and changed back (the program sets every setting
    // it holds when it closes), writes nothing at all.
    void settingWhatIsThereWritesNothing() {
        QTemporaryDir dir;
        const QString path = dir.filePath("kept.ini");
        QVERIFY(writeBytes(path, "[Settings]\r\nFileA=Caf\xe9.txt\r\nFileB = \"old\" ; kept\r\n"));
        QVERIFY(trovix::testing::age(path));
        QtSettingsStore store(path, disk_);
        store.setValue("Settings", "FileA", "elsewhere.txt");
        store.setValue("Settings", "FileA", "Caf\u00e9.txt");
        store.setValue("Settings", "FileB", "old");
        QVERIFY(!store.removeSection("Nothing") && store.sync());
        QVERIFY(trovix::testing::aged(path));
    }

    // A sync that fails says why and leaves the file as it was; the change stays, and the next
    // sync, the obstacle gone, writes it.
    void failedSyncSaysWhyAndKeepsTheFile_data() {
        QTest::addColumn<QString>("reason");
        QTest::newRow("folder at the path") << "It is a folder.";
        QTest::newRow("unreadable file") << "Permission denied";
        // For root, whom permission bits do not stop, the folder is made immutable.
        QTest::newRow("read-only folder") << "Permission denied|Operation not permitted";
        QTest::newRow("full disk") << "No space left on device";
    }

    void failedSyncSaysWhyAndKeepsTheFile() {
        const QByteArray obstacle = QTest::currentDataTag();
        QFETCH(QString, reason);
        QTemporaryDir dir;
        const QString folder = dir.filePath("cfg");
        const QString path = folder + "/Trovix.ini";
        const QByteArray old = "[Settings]\nKeep=1\n";
        QVERIFY(QDir().mkpath(obstacle == "folder at the path" ? path + "/inside" : folder));
        if (obstacle == "unreadable file" || obstacle == "full disk") {
            QVERIFY(writeBytes(path, old));
        }
        FaultyDisk disk(disk_);
        QtSettingsStore store(path, disk);
        std::optional<WriteProtection> readOnly;
        if (obstacle == "unreadable file") {
            QVERIFY(QFile::setPermissions(path, {}));
            if (QFile(path).open(QIODevice::ReadOnly)) {
                QSKIP("Permission bits do not stop this user from reading.");
            }
        } else if (obstacle == "read-only folder") {
            readOnly.emplace(folder);
            if (!readOnly->made()) {
                QSKIP("this system has no way to make a folder refuse new files");
            }
        } else if (obstacle == "full disk") {
            disk.plan({{}, 5});
        }

        store.setValue("Settings", "New", "2");
        const Result<void> synced = store.sync();
        QVERIFY(!synced && store.value("Settings", "New") == Value("2"));
        QVERIFY2(synced.error().contains(QRegularExpression(reason)), qPrintable(synced.error()));

        disk.plan({});
        readOnly.reset();
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        QCOMPARE(readBytes(path), QFileInfo(path).isFile() ? old : QByteArray("<unreadable>"));
        if (obstacle == "folder at the path") {
            QVERIFY(QDir(path).removeRecursively() && writeBytes(path, old));
        }
        QVERIFY(store.sync().ok());
        const QtSettingsStore reread(path, disk_);
        QVERIFY(reread.value("Settings", "New") == Value("2") &&
                reread.value("Settings", "Keep") ==
                    (obstacle == "read-only folder" ? Value() : Value("1")));
    }

    void twoStoresKeepEachOthersChanges() {
        QTemporaryDir dir;
        const QString path = dir.filePath("shared.ini");
        QVERIFY(writeBytes(path, "[Settings]\nShared=old\nDropped=1\n"));
        QtSettingsStore first(path, disk_);
        QtSettingsStore second(path, disk_);
        first.setValue("Settings", "First", "1");
        first.setValue("Settings", "Shared", "new");
        QVERIFY(first.removeSection("Settings") && !first.removeSection("Settings"));
        QCOMPARE(first.value("Settings", "Shared"), Value());  // removed, though not yet written
        first.setValue("Settings", "First", "1");
        first.setValue("Settings", "Shared", "new");
        // The second copy puts back every value it read, as the program does when it closes.
        second.setValue("Settings", "Second", "2");
        second.setValue("Settings", "Shared", "old");
        QVERIFY(first.sync() && second.sync());
        const QtSettingsStore third(path, disk_);
        QCOMPARE(*third.value("Settings", "First") + *third.value("Settings", "Second") +
                     *third.value("Settings", "Shared"),
                 "12new");
        QCOMPARE(third.value("Settings", "Dropped"), Value());
    }

    void clipboardHoldsOnlyPlainText() {
        QClipboard* system = QGuiApplication::clipboard();
        QtClipboard clipboard;
        const QString text = "Zo\u00eb\tfirst line\nsecond line";
        clipboard.setText(text);
        QVERIFY(system->text() == text &&
                system->mimeData()->formats() == QStringList{"text/plain"});
        clipboard.clear();
        QVERIFY(system->text().isEmpty());
    }

    void messageBoxAnswers() {
        const OwnerWindow none;
        QtMessageBoxes boxes(none);
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
        const OwnerWindow none;
        QtFileDialog files(none);
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

    void startingAMissingProgramFails() {
        QVERIFY(!QtShell().startProgram("/no/such/folder/program", {}, QDir::tempPath()));
    }

    void onlyALiveCopyHoldingTheLockCountsAndADeadOnesLockIsTakenOver() {
        QTemporaryDir dir;
        const QString path = dir.filePath("trovix7.lock");
        {
            QtInstanceGuard first(path);
            QtInstanceGuard second(path);
            // Asking again does not find itself.
            QVERIFY(!first.anotherCopyRunning() && !first.anotherCopyRunning() &&
                    second.anotherCopyRunning());
        }
        // The first copy has quit.
        QtInstanceGuard third(path);
        QVERIFY(!third.anotherCopyRunning());

        // A folder that cannot hold the lock does not keep the program from starting.
        QtInstanceGuard unusable(dir.filePath("missing/trovix7.lock"));
        QVERIFY(!unusable.anotherCopyRunning());

        // A dead owner's lock is taken over.
        const QString deadPath = dir.filePath("dead.lock");
        // QLockFile's own record of this process, so the forged lock has exactly its format.
        QLockFile sample(deadPath);
        QVERIFY(sample.tryLock(0));
        const QByteArray contents = readBytes(deadPath);
        sample.unlock();
        const QByteArray pid = QByteArray::number(QCoreApplication::applicationPid());
        QVERIFY(contents.startsWith(pid + '\n'));

        // The id of a process that has come and gone: this test program listing its tests.
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {"-functions"});
        QVERIFY(child.waitForStarted());
        const qint64 deadPid = child.processId();
        QVERIFY(child.waitForFinished());
        QVERIFY(writeBytes(deadPath, QByteArray::number(deadPid) + contents.mid(pid.size())));

        QtInstanceGuard guard(deadPath);
        QtInstanceGuard later(deadPath);
        QVERIFY(!guard.anotherCopyRunning() && later.anotherCopyRunning());  // held from now on
    }
};

QTEST_MAIN(TestQtPlatform)
#include "test_qt_platform.moc"
