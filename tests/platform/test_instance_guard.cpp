#include <QCoreApplication>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "platform/qt/qt_instance_guard.h"

using namespace trovix::platform;

class TestInstanceGuard : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void onlyALiveCopyHoldingTheLockCounts() {
        QTemporaryDir dir;
        const QString path = dir.filePath("trovix7.lock");
        {
            QtInstanceGuard first(path);
            QVERIFY(!first.anotherCopyRunning());
            QVERIFY(!first.anotherCopyRunning());  // asking again does not find itself
            QtInstanceGuard second(path);
            QVERIFY(second.anotherCopyRunning());
        }
        // The first copy has quit.
        QtInstanceGuard third(path);
        QVERIFY(!third.anotherCopyRunning());

        // A folder that cannot hold the lock does not keep the program from starting.
        QtInstanceGuard unusable(dir.filePath("missing/trovix7.lock"));
        QVERIFY(!unusable.anotherCopyRunning());
    }

    void aDeadOwnersLockIsTakenOver() {
        QTemporaryDir dir;
        const QString path = dir.filePath("trovix7.lock");
        // QLockFile's own record of this process, so the forged lock has exactly its format.
        QByteArray contents;
        {
            QLockFile sample(path);
            QVERIFY(sample.tryLock(0));
            QFile file(path);
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
        QFile lock(path);
        QVERIFY(lock.open(QIODevice::WriteOnly) &&
                lock.write(QByteArray::number(deadPid) + contents.mid(pid.size())) > 0);
        lock.close();

        QtInstanceGuard guard(path);
        QVERIFY(!guard.anotherCopyRunning());
        // ... and held from now on.
        QtInstanceGuard later(path);
        QVERIFY(later.anotherCopyRunning());
    }
};

QTEST_GUILESS_MAIN(TestInstanceGuard)
#include "test_instance_guard.moc"
