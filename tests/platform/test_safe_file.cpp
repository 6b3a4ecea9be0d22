#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "platform/fake/faulty_disk.h"
#include "platform/replacement_set.h"
#include "platform/safe_file.h"
#include "platform/save_journal.h"
#include "platform/system_disk.h"
#include "support/files.h"
#include "support/small_disk.h"

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

using namespace trovix::platform;
using trovix::testing::readBytes;
using trovix::testing::SmallDisk;
using trovix::testing::writeBytes;
using trovix::testing::WriteProtection;

namespace {

const QByteArray kOld = "old record\r\n-----its second line\r\n";
const QByteArray kNew = "a new and longer record\r\n-----with more\r\n-----lines than before\r\n";
const QByteArray kTorn = kNew.left(30) + kOld.mid(30);
const QByteArray kReplacement = "another program's file\n";

// Whether the file still holds exactly its old bytes after a write, as the write tells.
bool unchanged(const Result<void, WriteFailure>& write) {
    return write.ok() || write.failure().unchanged;
}

// A file system that reports a full disk only when the new file is synced, as some do.
struct FullAtSync : SystemDisk {
    Result<void> sync(QFileDevice&) override { return fail(io::diskFullReason()); }
};

}  // namespace

class TestSafeFile : public QObject {
    Q_OBJECT

    QTemporaryDir state_;  // the per-user state folder, where rollback copies go
    SystemDisk system_;
    FaultyDisk disk_{system_};  // fails the steps a test plans

    QStringList rollbackCopies() const {
        return QDir(rollbackFolder()).entryList({"*.rollback"}, QDir::Files);
    }

  private Q_SLOTS:
    void init() { disk_.plan({}); }
    void initTestCase() {
        qputenv("XDG_STATE_HOME", QFile::encodeName(state_.path()));
        QCOMPARE(rollbackFolder(), state_.filePath("Trovix"));
    }

    // Whatever step fails, or however few bytes a full disk takes, the file holds its old bytes
    // or its new ones, never a mix, and a failure says why.
    void aFailureAnywhereLeavesTheOldFileWhole() {
        // Steps failed first, to force a path: none (beside it, renamed over it), or the first
        // (no temporary file could be made: in place).
        for (const QList<int>& diverted : {QList<int>{}, QList<int>{0}}) {
            QTemporaryDir dir;
            const QString path = dir.filePath("data.txt");
            for (const QByteArray& content : {kNew, QByteArray("short")}) {
                QVERIFY(writeBytes(path, kOld));
                disk_.plan({diverted, -1});
                QVERIFY(writeFileSafely(disk_, path, bytesContent(content)).ok());
                QCOMPARE(readBytes(path), content);
                QList<FaultyDisk::Plan> plans;  // each step failed, then each byte count taken
                for (auto step = static_cast<int>(diverted.size()); step < disk_.steps(); ++step) {
                    plans.append({QList<int>(diverted) << step, -1});
                }
                for (qint64 bytes = 0; bytes <= content.size(); ++bytes) {
                    plans.append({diverted, bytes});
                }
                for (const FaultyDisk::Plan& plan : plans) {
                    QVERIFY(writeBytes(path, kOld));
                    disk_.plan(plan);
                    const Result<void, WriteFailure> outcome =
                        writeFileSafely(disk_, path, bytesContent(content));
                    // A file that gets no temporary file beside it is written in place instead.
                    const bool written =
                        plan.bytesAccepted < 0 ? plan.failAtSteps == QList<int>{0} : outcome.ok();
                    QVERIFY2(readBytes(path) == (outcome.ok() ? content : kOld) &&
                                 outcome.ok() == written &&
                                 (outcome.ok() || outcome.error().contains("space")) &&
                                 unchanged(outcome) && rollbackCopies().isEmpty(),
                             qPrintable(QString::asprintf(
                                 "failing %d, disk full after %lld bytes",
                                 plan.failAtSteps.value(diverted.size(), -1), plan.bytesAccepted)));
                }
                QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"data.txt"});
            }
            // A disk that is found full only when a file is synced fails the save too.
            FullAtSync fullAtSync;
            FaultyDisk diverting(fullAtSync);
            diverting.plan({diverted, -1});
            QVERIFY(writeBytes(path, kOld));
            const Result<void, WriteFailure> synced =
                writeFileSafely(diverting, path, bytesContent(kNew));
            QVERIFY(!synced && unchanged(synced) && readBytes(path) == kOld);
        }
    }

    // When a write fails in place and the old content cannot be put back either, the failure
    // says so and where the old content is, and the next start puts it back.
    void aFailedPutBackIsToldAndUndoneAtTheNextStart() {
        QTemporaryDir dir;
        const QString path = dir.filePath("data.txt");
        QVERIFY(writeBytes(path, kOld));
        disk_.plan({{0}, -1});
        QVERIFY(writeFileSafely(disk_, path, bytesContent(kNew)).ok());
        const int steps = disk_.steps();
        int putBackFailures = 0;
        for (int step = 1; step < steps; ++step) {
            QVERIFY(writeBytes(path, kOld));
            disk_.plan({{0, step}, -1});
            QVERIFY(!writeFileSafely(disk_, path, bytesContent(kNew)).ok());
            // The steps after the failed one put the old content back.
            const int failedRun = disk_.steps();
            for (int putBack = step + 1; putBack < failedRun; ++putBack) {
                const QString where = QStringLiteral("step %1, then %2").arg(step).arg(putBack);
                QVERIFY(writeBytes(path, kOld));
                disk_.plan({{0, step, putBack}, -1});
                const Result<void, WriteFailure> outcome =
                    writeFileSafely(disk_, path, bytesContent(kNew));
                disk_.plan({});
                QVERIFY2(!outcome.ok() && !unchanged(outcome) && rollbackCopies().size() == 1 &&
                             outcome.error().contains("could not be put back") &&
                             outcome.error().contains(rollbackCopies()[0]),
                         qPrintable(where + outcome.error()));
                const QList<InterruptedSave> told = recoverInterruptedSaves(disk_);
                QVERIFY(rollbackCopies().isEmpty());
                // A file that happened to hold either content whole keeps it without a word.
                QVERIFY2(told.size() <= 1 && (readBytes(path) == kOld ||
                                              (readBytes(path) == kNew && told.isEmpty())),
                         qPrintable(where));
                for (const InterruptedSave& save : told) {
                    QVERIFY(save.outcome == InterruptedSave::Outcome::Restored &&
                            save.file == QFileInfo(path).absoluteFilePath());
                }
                ++putBackFailures;
            }
        }
        QVERIFY(putBackFailures >= 6);  // the writes that changed the file were all reached
    }

    // A real full disk, with the file beside a temporary file or, in a folder that takes no new
    // file, written in place: the save fails with the system's reason and the file keeps its
    // old bytes exactly, whether the growth crosses a block or not.
    void aRealFullDiskIsReportedAndChangesNothing_data() {
        QTest::addColumn<bool>("inPlace");
        QTest::newRow("beside it") << false;
        QTest::newRow("in place") << true;
    }
    void aRealFullDiskIsReportedAndChangesNothing() {
        QFETCH(bool, inPlace);
        SmallDisk disk;
        if (!disk.mounted()) {
            QSKIP("mounting a small file system needs root on Linux");
        }
        const QString folder = disk.filePath("files");
        QVERIFY(QDir().mkdir(folder));
        const QString small = folder + "/small.txt";
        const QString large = folder + "/large.txt";
        QVERIFY(writeBytes(small, QByteArray(4090, 's')) &&
                writeBytes(large, QByteArray(600 * 1024, 'x')));
        QVERIFY(disk.fill());
        std::optional<WriteProtection> readOnly;
        if (inPlace) {
            readOnly.emplace(folder);
            if (!readOnly->made()) {
                QSKIP("this system has no way to make a folder refuse new files");
            }
        }
        for (const QString& path : {small, large}) {
            for (const int growth : {10, 8192}) {
                const QByteArray before = readBytes(path);
                const Result<void, WriteFailure> outcome =
                    writeFileSafely(disk_, path, bytesContent(before + QByteArray(growth, 'y')));
                QVERIFY2(!outcome.ok() && unchanged(outcome) && outcome.error().contains("space"),
                         qPrintable(outcome.error()));
                QCOMPARE(readBytes(path), before);
            }
        }
        QVERIFY(rollbackCopies().isEmpty());
        disk.empty();
        QVERIFY(writeFileSafely(disk_, small, bytesContent("written")).ok() &&
                readBytes(small) == "written");
        QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList({"large.txt", "small.txt"}));
    }

    // Files replaced together change all or none: whatever step fails, or however the program
    // is killed between two steps (the next start then sets the set right), with and without a
    // file system that exchanges names, and for a file that did not exist before.
    void aSetOfFilesChangesWholeOrNotAtAll() {
#ifndef Q_OS_UNIX
        QSKIP("a kill is made with fork()");
#else
        QTemporaryDir dir;
        const QStringList paths = {dir.filePath("a.txt"), dir.filePath("b.txt"),
                                   dir.filePath("c.txt")};
        const QList<QByteArray> before = {kOld, "old b\n", "<unreadable>"};  // c.txt: none
        const QList<QByteArray> after = {kNew, "new b\n", "new c\n"};
        const auto reset = [&] {
            for (qsizetype i = 0; i < paths.size(); ++i) {
                QFile::remove(paths[i]);
                if (before[i] != "<unreadable>") {
                    QVERIFY(writeBytes(paths[i], before[i]));
                }
            }
        };
        const auto contents = [&] {
            QList<QByteArray> now;
            for (const QString& path : paths) {
                now << readBytes(path);
            }
            return now;
        };
        const auto replace = [&] {
            ReplacementSet set(disk_);
            for (qsizetype i = 0; i < paths.size(); ++i) {
                if (const Result<void, WriteFailure> prepared =
                        set.prepare(paths[i], bytesContent(after[i]));
                    !prepared) {
                    return prepared;
                }
            }
            return set.commit();
        };
        // Nothing of the set is left beside the files or in the state folder.
        const auto tidy = [&] {
            return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size() ==
                       (contents() == after ? 3 : 2) &&
                   QDir(rollbackFolder()).entryList(QDir::Files | QDir::Hidden).isEmpty();
        };
        for (const bool exchange : {true, false}) {
            disk_.withoutExchange(!exchange);
            reset();
            QVERIFY(replace().ok());
            QCOMPARE(contents(), after);
            const int steps = disk_.steps();
            for (int step = 0; step < steps; ++step) {
                const QString where =
                    QStringLiteral("step %1%2").arg(step).arg(exchange ? "" : ", no exchange");
                reset();
                disk_.plan({{step}, -1});
                const Result<void, WriteFailure> failed = replace();
                disk_.plan({});
                QVERIFY2(
                    contents() == (failed.ok() ? after : before) && unchanged(failed) && tidy(),
                    qPrintable(where + ": " + failed.error()));

                reset();
                const pid_t child = ::fork();
                if (child == 0) {
                    disk_.beforeEachStep([step](int at) {
                        if (at == step) {
                            ::_exit(0);  // as a kill would stop it
                        }
                    });
                    ::_exit(replace().ok() ? 1 : 2);
                }
                int status = 0;
                QVERIFY(::waitpid(child, &status, 0) == child && WEXITSTATUS(status) == 0);
                const QList<InterruptedSave> told = recoverInterruptedSaves(disk_);
                QVERIFY2((contents() == before || contents() == after) && tidy(),
                         qPrintable(where));
                for (const InterruptedSave& save : told) {
                    QVERIFY2(
                        save.outcome == InterruptedSave::Outcome::SetUndone && contents() == before,
                        qPrintable(where));
                }
            }
        }
        disk_.withoutExchange(false);
#endif
    }

    // A save cut short leaves its rollback copy; the next start puts the old content back only
    // where the file holds neither content whole, and says so.
    void aSaveCutShortIsUndoneAtTheNextStart_data() {
        QTest::addColumn<QByteArray>("content");  // what the file holds when the program starts
        // What the start tells (0 restored, 1 not restored, 2 replaced meanwhile) and what the
        // file then holds. A copy that was not finished means the file was never touched.
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("part new") << kTorn << "0 " + kOld;
        QTest::newRow("all new") << kNew << kNew;
        QTest::newRow("still old") << kOld << kOld;
        QTest::newRow("replaced since") << kReplacement << "2 " + kReplacement;
        QTest::newRow("removed since") << QByteArray() << QByteArray("2 <unreadable>");
        QTest::newRow("rollback copy unfinished") << kTorn << kTorn;
        QTest::newRow("save still running") << kTorn << kTorn;
        QTest::newRow("file not writable") << kTorn << "1 " + kTorn;
    }
    void aSaveCutShortIsUndoneAtTheNextStart() {
        const QByteArray cut = QTest::currentDataTag();  // how the save was cut short
        QFETCH(QByteArray, content);
        QFETCH(QByteArray, expected);
        QTemporaryDir dir;
        const QString path = dir.filePath("data.txt");
        QVERIFY(writeBytes(path, kOld));
        auto running = std::make_unique<RollbackCopy>(disk_);
        const Result<void> written = running->write(path, kOld, kNew);
        QVERIFY2(written.ok(), qPrintable(written.error()));
        const QString copy = running->path();
        if (cut != "save still running") {
            running.reset();  // the program dies, the copy stays
        }
        if (cut == "removed since") {
            QVERIFY(QFile::remove(path));
        } else if (cut == "replaced since") {
            // As editors save: a new file renamed over the old one.
            QVERIFY(writeBytes(path + ".new", content));
            QVERIFY(::rename(QFile::encodeName(path + ".new").constData(),
                             QFile::encodeName(path).constData()) == 0);
        } else {
            QVERIFY(writeBytes(path, content));
        }
        if (cut == "rollback copy unfinished") {
            QVERIFY(QFile::resize(copy, QFileInfo(copy).size() - 1));
        }
        std::optional<WriteProtection> readOnly;
        if (cut == "file not writable") {
            readOnly.emplace(path);
            if (!readOnly->made()) {
                QSKIP("this system has no way to make a file refuse writes");
            }
        }
        const QList<InterruptedSave> told = recoverInterruptedSaves(disk_);
        QByteArray outcome;
        for (const InterruptedSave& save : told) {
            outcome += QByteArray::number(static_cast<int>(save.outcome)) + ' ';
            QCOMPARE(save.file, QFileInfo(path).absoluteFilePath());
        }
        QCOMPARE(outcome + readBytes(path), expected);
        if (cut == "replaced since" || cut == "removed since") {
            QVERIFY(readBytes(told[0].detail) == kOld &&
                    told[0].detail.startsWith(rollbackFolder()) && QFile::remove(told[0].detail));
        } else if (cut == "save still running") {
            QVERIFY(QFileInfo::exists(copy));
            running->discard();
        } else if (cut == "file not writable") {
            QVERIFY2(told[0].detail.contains("not permitted") ||
                         told[0].detail.contains("Permission denied"),
                     qPrintable(told[0].detail));
            QCOMPARE(told[0].copy, copy);
            // Tried again at the next start, when the file may be written.
            readOnly.reset();
            QCOMPARE(recoverInterruptedSaves(disk_).size(), 1);
            QCOMPARE(readBytes(path), kOld);
        }
        QVERIFY(QDir(rollbackFolder()).entryList(QDir::Files).isEmpty());

        // A copy left over from an earlier save is dropped once the file was saved whole.
        QVERIFY(writeBytes(path, kOld));
        QVERIFY(RollbackCopy(disk_).write(path, kOld, kNew).ok() && rollbackCopies().size() == 1);
        QVERIFY(writeFileSafely(disk_, path, bytesContent("saved whole")).ok() &&
                rollbackCopies().isEmpty());
    }

    void linksOwnersAndThingsThatAreNoFiles() {
#ifndef Q_OS_UNIX
        QSKIP("symbolic links, owners and named pipes are Unix's");
#else
        QTemporaryDir dir;
        const QString target = dir.filePath("target.txt");
        const QString link = dir.filePath("link.txt");
        QVERIFY(writeBytes(target, kOld));
        QVERIFY(QFile::link(target, link));
        QVERIFY(writeFileSafely(disk_, link, bytesContent(kNew)).ok() &&
                QFileInfo(link).isSymLink());
        QCOMPARE(readBytes(target), kNew);

        // Permissions stay, and the owner too where this user may keep it.
        QVERIFY(::chmod(QFile::encodeName(target).constData(), 0640) == 0);
        const bool root = ::geteuid() == 0;
        if (root) {
            QVERIFY(::chown(QFile::encodeName(target).constData(), 12345, 23456) == 0);
        }
        QVERIFY(writeFileSafely(disk_, target, bytesContent(kOld)).ok());
        struct stat st {};
        QVERIFY(::stat(QFile::encodeName(target).constData(), &st) == 0);
        QCOMPARE(st.st_mode & 0777, mode_t{0640});
        QVERIFY(!root || (st.st_uid == 12345 && st.st_gid == 23456));

        // Nothing that is not a regular file is ever replaced: a pipe, a link that leads back to
        // itself, a folder, a pipe behind a link, a device where this user may make one (root
        // may). Each is refused with its reason, and stays what it is.
        const QString pipe = dir.filePath("pipe");
        QVERIFY(::mkfifo(QFile::encodeName(pipe).constData(), 0644) == 0);
        const QString loop = dir.filePath("loop");
        QVERIFY(QFile::link(loop, loop));
        const QString toPipe = dir.filePath("to-pipe");
        QVERIFY(QFile::link(pipe, toPipe));
        QList<std::tuple<QString, const char*, PathKind> > refused = {
            {pipe, "named pipe", PathKind::NamedPipe},
            {loop, "leads back to itself", PathKind::LinkLoop},
            {dir.path(), "folder", PathKind::Folder},
            {toPipe, "named pipe", PathKind::NamedPipe}};
        const QString device = dir.filePath("null");
        if (::mknod(QFile::encodeName(device).constData(), S_IFCHR | 0666, makedev(1, 3)) == 0) {
            refused.append({device, "device", PathKind::Device});
        }
        for (const auto& [path, said, stays] : refused) {
            const Result<void, WriteFailure> outcome =
                writeFileSafely(disk_, path, bytesContent(kNew));
            QVERIFY2(!outcome.ok() && outcome.error().contains(said), qPrintable(outcome.error()));
            QCOMPARE(pathKind(path), stays);
        }
        QVERIFY(QFileInfo(toPipe).isSymLink());
#endif
    }
};

QTEST_GUILESS_MAIN(TestSafeFile)
#include "test_safe_file.moc"
