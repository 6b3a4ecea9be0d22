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

using namespace trovix::platform;
using trovix::testing::readBytes;
using trovix::testing::withoutWaitingOn;
using trovix::testing::writeBytes;

namespace {

using Value = std::optional<QString>;

const QString kSection = QStringLiteral("Odd Section");
const QString kKey = QStringLiteral("Key \u00e9/1");

// Permission bits stop nobody who runs as root.
bool canRead(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly);
}

bool canCreateIn(const QString& folder) {
    QFile probe(folder + "/probe");
    const bool created = probe.open(QIODevice::WriteOnly);
    probe.remove();
    return created;
}

enum class Obstacle { FolderAtPath, UnreadableFile, ReadOnlyFolder, FullDisk };

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

Q_DECLARE_METATYPE(Obstacle)

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
                                 QString::fromLatin1("a\0"
                                                     "12ab",
                                                     5),
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

    void readsTheFormsQSettingsWrites() {
        const struct {
            QByteArray line;
            Value expected;
        } cases[] = {
            {R"(k="Zo\xeb \x6771\x4eac")", "Zo\u00eb \u6771\u4eac"},  // Qt 5 escapes
            {"k=one \\\n  two", "one   two"},                         // a continued line
            {"k = value ; note", "value"},
            {R"(k=a"b,c"d, e)", "ab,cd, e"},
            {R"(k=\101\0)", QString("A") + QChar(0)},
            {R"(k=a , "b, c")", "a, b, c"},
            {R"(k=@String(a\0\x31\x32))", QString("a") + QChar(0) + "12"},
            {"k=@ByteArray(raw)", "raw"},
            {R"(k=@Variant(\0\0\0\xe\0%\x8a\x98))", "2024-01-02"},
            // QDataStream makes room for as many texts as a list claims before reading them.
            {R"(k=@Variant(\0\0\0\v\xb1\xb1\xb1\xb1\0\0\0\x2\0x))", {}},
            {"k=@Rect(1 2 3 4)", {}},
            {"k=@Invalid()", {}},
            {"k=Caf\xe9.txt", "Caf\u00e9.txt"},  // Latin-1 bytes
            {"#k=1", {}},                        // the key of a comment
            {"%6B=1", "1"},
        };
        QTemporaryDir dir;
        const QString path = dir.filePath("old.ini");
        for (const auto& c : cases) {
            QVERIFY(
                writeBytes(path, "[Other]\nk=no\n[Odd%20Section]\n" + c.line + "\n[Next]\nk=no\n"));
            QVERIFY2(QtSettingsStore(path, disk_).value(kSection, "k") == c.expected,
                     c.line.constData());
        }
    }

    // A header without its ']' names the section up to its line's end, as in QSettings, however
    // many such lines there are; the bench times files of 11 MB of them. In a file of that many
    // sections and keys each one is still found, set and removed, and a section spelled two ways
    // is one.
    void headersWithoutTheirBracketEndWithTheirLines() {
        QTemporaryDir dir;
        const QString path = dir.filePath("unclosed.ini");
        QByteArray bytes;
        for (int i = 0; i < 50000; ++i) {
            const QByteArray number = QByteArray::number(i).rightJustified(7, '0');
            bytes += "[section" + number + "\nk=" + number + '\n';
        }
        bytes += "[Settings\nMainLeft=3000 ; ]\n[%53ettings]\nMainTop=1\n";
        QVERIFY(writeBytes(path, bytes));
        QtSettingsStore store(path, disk_);
        QCOMPARE(store.value("section0049999", "k"), Value("0049999"));
        QCOMPARE(store.value("section0012345", "k"), Value("0012345"));
        QCOMPARE(store.value("Settings", "MainLeft"), Value("3000"));
        QCOMPARE(store.value("Settings", "MainTop"), Value("1"));
        const QSettings qt(path, QSettings::IniFormat);
        QCOMPARE(qt.value("section0049999/k").toString(), QString("0049999"));
        QCOMPARE(qt.value("Settings/MainLeft").toString(), QString("3000"));
        QCOMPARE(qt.value("Settings/MainTop").toString(), QString("1"));

        store.setValue("Settings", "MainLeft", "15");
        store.setValue("section0012345", "New", "x");
        QVERIFY(store.removeSection("section0000007"));
        QVERIFY(store.sync());
        bytes.replace("MainLeft=3000", "MainLeft=15");
        bytes.replace("k=0012345\n", "k=0012345\nNew=x\n");
        bytes.replace("[section0000007\nk=0000007\n", "");
        QCOMPARE(readBytes(path), bytes);
    }

    // What is set in a line of an odd shape reads back as set, and the rest of the file keeps
    // its meaning.
    void changesToOddLinesReadBackAsSet() {
        const struct {
            QByteArray before;
            QString section, key, value;
            QByteArray after;
        } cases[] = {
            // A lone double quote in a key leaves one open where the value starts: quotes in the
            // value would end it, and a ';' after them would start a comment.
            {"[S]\nk\"ey=old ; part of the value\n", "S", "k\"ey", "a;b, c ",
             "[S]\nk\"ey=a\\x3b\\x62\\x2c c\\x20\n"},
            {"[S]\nk\"ey=o\"ld ; note\n", "S", "k\"ey", "x", "[S]\nk\"ey=x\"; note\n"},
            // A new key needs a line end after the last line: after a backslash that ended the
            // file, it would keep the blank before the backslash in that line's value.
            {"[S]\nk=v \\", "S", "new", "1", "[S]\nk=v\nnew=1\n"},
            {"\xef\xbb\xbf", "S", "k", "1", "\xef\xbb\xbf[S]\nk=1\n"},  // a byte order mark alone
            // UTF-8 text read from a byte order mark on drops it.
            {"[S]\n", "S", "k", QChar(0xfeff) + QString("x"), "[S]\nk=\\xfeffx\n"},
            // [general] in any letter case is the section "", [%General] the section "General".
            {"[%General]\nk=1\n", "general", "k", "2", "[%General]\nk=1\n\n[%67eneral]\nk=2\n"},
        };
        QTemporaryDir dir;
        const QString path = dir.filePath("odd.ini");
        for (const auto& c : cases) {
            QVERIFY(writeBytes(path, c.before));
            QtSettingsStore store(path, disk_);
            const Value old = store.value(c.section, "k");
            store.setValue(c.section, c.key, c.value);
            QVERIFY(store.sync());
            QCOMPARE(readBytes(path), c.after);
            const QtSettingsStore again(path, disk_);
            QCOMPARE(again.value(c.section, c.key), Value(c.value));
            QCOMPARE(again.value(c.section, "k"), c.key != "k" ? old : Value(c.value));
            QCOMPARE(again.value("General", "k"), store.value("General", "k"));
        }
    }

    void untouchedLinesKeepTheirBytes() {
        QTemporaryDir dir;
        const QString path = dir.filePath("kept.ini");
        QVERIFY(writeBytes(
            path,
            "; Trovix settings\r\n[Settings]\r\nFileA=Caf\xe9.txt\r\n"
            "FileB = \"old name\"   ; chosen by hand\r\nUnknown=\\x41 kept\r\n# a note\r\n"
            "\r\n[Old]\r\nGone=1\r\n\r\n[Other%20Tool]\r\nMode=fast,safe"));
        {
            QtSettingsStore store(path, disk_);
            const Value fileA = store.value("Settings", "FileA");
            QCOMPARE(fileA, Value("Caf\u00e9.txt"));
            // Changed and changed back, as the program writes every setting it holds.
            store.setValue("Settings", "FileA", "elsewhere.txt");
            store.setValue("Settings", "FileA", *fileA);
            store.setValue("Settings", "FileB", "new, name");
            store.setValue("Settings", "FileC", "third");
            store.setValue("Other Tool", "Mode", *store.value("Other Tool", "Mode"));
            QVERIFY(store.removeSection("Old"));
            store.setValue("New Section", "Key 1", " x");
            QVERIFY(store.sync());
        }
        QCOMPARE(readBytes(path),
                 "; Trovix settings\r\n[Settings]\r\nFileA=Caf\xe9.txt\r\n"
                 "FileB = \"new, name\"   ; chosen by hand\r\nUnknown=\\x41 kept\r\nFileC=third\r\n"
                 "# a note\r\n\r\n[Other%20Tool]\r\nMode=fast,safe\r\n\r\n[New%20Section]\r\n"
                 "Key%201=\" x\"\r\n");

        // Setting what is already there writes nothing at all.
        QVERIFY(trovix::testing::age(path));
        QtSettingsStore again(path, disk_);
        again.setValue("Settings", "FileA", "Caf\u00e9.txt");
        again.setValue("Settings", "FileC", "third");
        QVERIFY(!again.removeSection("Nothing"));
        QVERIFY(again.sync());
        QVERIFY(trovix::testing::aged(path));
    }

    void failedSyncSaysWhyAndKeepsTheFile_data() {
        QTest::addColumn<Obstacle>("obstacle");
        QTest::addColumn<QString>("reason");
        QTest::newRow("folder at the path") << Obstacle::FolderAtPath << "It is a folder.";
        QTest::newRow("unreadable file") << Obstacle::UnreadableFile << "Permission denied";
        QTest::newRow("read-only folder") << Obstacle::ReadOnlyFolder << "Permission denied";
        QTest::newRow("full disk") << Obstacle::FullDisk << "No space left on device";
    }

    void failedSyncSaysWhyAndKeepsTheFile() {
        QFETCH(Obstacle, obstacle);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        const QString folder = dir.filePath("cfg");
        const QString path = folder + "/Trovix.ini";
        const QByteArray old = "[Settings]\nKeep=1\n";
        QVERIFY(QDir().mkpath(folder));
        if (obstacle == Obstacle::FolderAtPath) {
            QVERIFY(QDir().mkpath(path + "/inside"));
        } else if (obstacle != Obstacle::ReadOnlyFolder) {
            QVERIFY(writeBytes(path, old));
        }
        FaultyDisk disk(disk_);
        QtSettingsStore store(path, disk);
        const auto removeObstacle = [&] {
            disk.plan({});
            QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            if (QFileInfo(path).isDir()) {
                QDir(path).removeRecursively();
                QVERIFY(writeBytes(path, old));
            }
            QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        };
        const auto cleanup = qScopeGuard(removeObstacle);
        switch (obstacle) {
            case Obstacle::UnreadableFile:
                QVERIFY(QFile::setPermissions(path, {}));
                if (canRead(path)) {
                    QSKIP("Permission bits do not stop this user from reading.");
                }
                break;
            case Obstacle::ReadOnlyFolder:
                QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
                if (canCreateIn(folder)) {
                    QSKIP("Permission bits do not stop this user from writing.");
                }
                break;
            case Obstacle::FullDisk:
                disk.plan({{}, 5});
                break;
            case Obstacle::FolderAtPath:
                break;
        }

        store.setValue("Settings", "New", "2");
        const Result<void> synced = store.sync();
        QVERIFY(!synced && store.value("Settings", "New") == Value("2"));
        QVERIFY2(synced.error().contains(reason), qPrintable(synced.error()));

        removeObstacle();
        if (obstacle != Obstacle::ReadOnlyFolder) {
            QCOMPARE(readBytes(path), old);
        }
        // The change that failed is still pending, and the next sync writes it.
        QVERIFY(store.sync().ok());
        const QtSettingsStore reread(path, disk_);
        QVERIFY(reread.value("Settings", "New") == Value("2") &&
                reread.value("Settings", "Keep") ==
                    (obstacle == Obstacle::ReadOnlyFolder ? Value() : Value("1")));
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
        QByteArray contents;
        {
            QLockFile sample(deadPath);
            QVERIFY(sample.tryLock(0));
            QFile file(deadPath);
            contents = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        }
        const QByteArray pid = QByteArray::number(QCoreApplication::applicationPid());
        QVERIFY(contents.startsWith(pid + '\n'));

        // The id of a process that has come and gone: this test program listing its tests.
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {"-functions"});
        QVERIFY(child.waitForStarted());
        const qint64 deadPid = child.processId();
        QVERIFY(child.waitForFinished());
        QFile lock(deadPath);
        QVERIFY(lock.open(QIODevice::WriteOnly) &&
                lock.write(QByteArray::number(deadPid) + contents.mid(pid.size())) > 0);
        lock.close();

        QtInstanceGuard guard(deadPath);
        QtInstanceGuard later(deadPath);
        QVERIFY(!guard.anotherCopyRunning() && later.anotherCopyRunning());  // held from now on
    }
};

QTEST_MAIN(TestQtPlatform)
#include "test_qt_platform.moc"
