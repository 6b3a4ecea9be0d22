#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "platform/safe_file.h"
#include "support/files.h"

#ifdef Q_OS_UNIX
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace trovix::platform;
using trovix::testing::readBytes;
using trovix::testing::writeBytes;

namespace {

const QByteArray kOld = "old record\r\n-----its second line\r\n";
const QByteArray kNew = "a new and longer record\r\n-----with more\r\n-----lines than before\r\n";

struct NoFaults {
    ~NoFaults() { setWriteFaultForTesting(std::nullopt); }
};

}  // namespace

class TestSafeFile : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    // Whatever step fails, the file holds its old bytes or its new ones, never a mix, and a
    // failure says why.
    void aFailureAnywhereLeavesTheOldFileWhole_data() {
        QTest::addColumn<QList<int>>("diverted");  // steps failed first, to force a path
        QTest::newRow("beside it, renamed over it") << QList<int>{};
        QTest::newRow("in place") << QList<int>{0};  // no temporary file could be made
    }
    void aFailureAnywhereLeavesTheOldFileWhole() {
        QFETCH(QList<int>, diverted);
        const NoFaults cleanup;
        QTemporaryDir dir;
        const QString path = dir.filePath("data.txt");
        for (const QByteArray& content : {kNew, QByteArray("short")}) {
            writeBytes(path, kOld);
            setWriteFaultForTesting(WriteFault{diverted, -1});
            QVERIFY(writeFileSafely(path, bytesContent(content)).ok);
            const int steps = checkedStepsForTesting();
            QCOMPARE(readBytes(path), content);
            for (int step = diverted.size(); step < steps; ++step) {
                writeBytes(path, kOld);
                setWriteFaultForTesting(WriteFault{QList<int>(diverted) << step, -1});
                const WriteOutcome outcome = writeFileSafely(path, bytesContent(content));
                // A file that gets no temporary file beside it is written in place instead.
                const QString where = QStringLiteral("step %1").arg(step);
                QVERIFY2(readBytes(path) == (outcome.ok ? content : kOld), qPrintable(where));
                QVERIFY2(outcome.ok == outcome.error.isEmpty(), qPrintable(where));
                QVERIFY2(outcome.ok == (step == 0 && diverted.isEmpty()), qPrintable(where));
            }
            for (qint64 bytes = 0; bytes <= content.size(); ++bytes) {
                writeBytes(path, kOld);
                setWriteFaultForTesting(WriteFault{diverted, bytes});
                const WriteOutcome outcome = writeFileSafely(path, bytesContent(content));
                const QString where = QStringLiteral("disk full after %1 bytes").arg(bytes);
                QVERIFY2(readBytes(path) == (outcome.ok ? content : kOld), qPrintable(where));
                QVERIFY2(outcome.ok || outcome.error.contains("space"), qPrintable(outcome.error));
            }
            QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"data.txt"});
        }
    }

    void aRealFullDiskIsReportedAndChangesNothing() {
#ifdef Q_OS_LINUX
        QTemporaryDir dir;
        if (::geteuid() != 0 || ::mount("tmpfs", QFile::encodeName(dir.path()).constData(), "tmpfs",
                                        0, "size=1m") != 0) {
            QSKIP("mounting a small file system needs root");
        }
        const auto unmount =
            qScopeGuard([&] { ::umount(QFile::encodeName(dir.path()).constData()); });
        const QString small = dir.filePath("small.txt");
        const QString large = dir.filePath("large.txt");
        writeBytes(small, "13 bytes here");
        writeBytes(large, QByteArray(600 * 1024, 'x'));
        {
            QFile filler(dir.filePath("filler"));
            QVERIFY(filler.open(QIODevice::WriteOnly));
            const QByteArray block(4096, '\0');
            while (filler.write(block) == block.size() && filler.flush()) {
            }
        }
        for (const QString& path : {small, large}) {
            const QByteArray before = readBytes(path);
            const WriteOutcome outcome =
                writeFileSafely(path, bytesContent(before + QByteArray(8192, 'y')));
            QVERIFY2(!outcome.ok, qPrintable(path));
            QVERIFY2(outcome.error.contains("space"), qPrintable(outcome.error));
            QCOMPARE(readBytes(path), before);
        }
        QFile::remove(dir.filePath("filler"));
        QVERIFY(writeFileSafely(small, bytesContent("written")).ok);
        QCOMPARE(readBytes(small), QByteArray("written"));
#else
        QSKIP("Linux only");
#endif
    }

    void linksOwnersAndThingsThatAreNoFiles() {
#ifdef Q_OS_UNIX
        QTemporaryDir dir;
        const QString target = dir.filePath("target.txt");
        const QString link = dir.filePath("link.txt");
        writeBytes(target, kOld);
        QVERIFY(QFile::link(target, link));
        QVERIFY(writeFileSafely(link, bytesContent(kNew)).ok);
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(readBytes(target), kNew);

        // Permissions stay, and the owner too where this user may keep it.
        QVERIFY(::chmod(QFile::encodeName(target).constData(), 0640) == 0);
        const bool root = ::geteuid() == 0;
        if (root) {
            QVERIFY(::chown(QFile::encodeName(target).constData(), 12345, 23456) == 0);
        }
        QVERIFY(writeFileSafely(target, bytesContent(kOld)).ok);
        struct stat st {};
        QVERIFY(::stat(QFile::encodeName(target).constData(), &st) == 0);
        QCOMPARE(st.st_mode & 0777, mode_t{0640});
        if (root) {
            QCOMPARE(st.st_uid, uid_t{12345});
            QCOMPARE(st.st_gid, gid_t{23456});
        }

        // Nothing that is not a regular file is ever replaced: a pipe, a link that leads back to
        // itself, a folder, nor a pipe behind a link.
        const QString pipe = dir.filePath("pipe");
        QVERIFY(::mkfifo(QFile::encodeName(pipe).constData(), 0644) == 0);
        QCOMPARE(pathKind(pipe), PathKind::NamedPipe);
        const QString loop = dir.filePath("loop");
        QVERIFY(QFile::link(loop, loop));
        QCOMPARE(pathKind(loop), PathKind::LinkLoop);
        const QString toPipe = dir.filePath("to-pipe");
        QVERIFY(QFile::link(pipe, toPipe));
        const struct {
            QString path;
            const char* said;
            PathKind stays;
        } refused[] = {{pipe, "named pipe", PathKind::NamedPipe},
                       {loop, "leads back to itself", PathKind::LinkLoop},
                       {dir.path(), "folder", PathKind::Folder},
                       { toPipe,
                         "named pipe",
                         PathKind::NamedPipe }};
        for (const auto& r : refused) {
            const WriteOutcome outcome = writeFileSafely(r.path, bytesContent(kNew));
            QVERIFY2(!outcome.ok && outcome.error.contains(r.said), qPrintable(outcome.error));
            QCOMPARE(pathKind(r.path), r.stays);
        }
        QVERIFY(QFileInfo(toPipe).isSymLink());
#endif
    }
};

QTEST_GUILESS_MAIN(TestSafeFile)
#include "test_safe_file.moc"
