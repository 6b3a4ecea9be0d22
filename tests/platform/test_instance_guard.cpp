#include <QCoreApplication>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "platform/qt/qt_instance_guard.h"

using namespace trovix::platform;

namespace {

QByteArray firstLine(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return file.readLine().trimmed();
}

}  // namespace

class TestInstanceGuard : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void liveCopyHoldsTheLock() {
        QTemporaryDir dir;
        const QString path = dir.filePath("trovix7.lock");
        auto first = std::make_unique<QtInstanceGuard>(path);
        QVERIFY(!first->anotherCopyRunning());
        QVERIFY(!first->anotherCopyRunning());
        QVERIFY(QFile::exists(path));

        QtInstanceGuard second(path);
        QVERIFY(second.anotherCopyRunning());

        first.reset();
        QtInstanceGuard third(path);
        QVERIFY(!third.anotherCopyRunning());
    }

    void unusableFolderDoesNotBlockStart() {
        QTemporaryDir dir;
        QtInstanceGuard guard(dir.filePath("missing/trovix7.lock"));
        QVERIFY(!guard.anotherCopyRunning());
    }

    void deadOwnerLeavesNoLock() {
        QTemporaryDir dir;
        // QLockFile's own record of this process, so the forged lock has exactly its format.
        QByteArray contents;
        {
            QLockFile sample(dir.filePath("sample.lock"));
            QVERIFY(sample.tryLock(0));
            QFile file(dir.filePath("sample.lock"));
            QVERIFY(file.open(QIODevice::ReadOnly));
            contents = file.readAll();
        }
        const qsizetype endOfPid = contents.indexOf('\n');
        QCOMPARE(contents.left(endOfPid), QByteArray::number(QCoreApplication::applicationPid()));

        // The id of a process that has come and gone: this test program listing its tests.
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {"-functions"});
        QVERIFY(child.waitForStarted());
        const qint64 deadPid = child.processId();
        QVERIFY(child.waitForFinished());

        const QString path = dir.filePath("trovix7.lock");
        {
            QFile lock(path);
            QVERIFY(lock.open(QIODevice::WriteOnly));
            lock.write(QByteArray::number(deadPid) + contents.mid(endOfPid));
        }
        QtInstanceGuard guard(path);
        QVERIFY(!guard.anotherCopyRunning());
        QCOMPARE(firstLine(path), QByteArray::number(QCoreApplication::applicationPid()));
    }
};

QTEST_GUILESS_MAIN(TestInstanceGuard)
#include "test_instance_guard.moc"
