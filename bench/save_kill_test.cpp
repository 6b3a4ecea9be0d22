// Kills a process in the middle of saving a file, again and again, runs the recovery of the next
// start, and counts the files that hold neither their old nor their new content whole.
//
//   save_kill_test [--in-place | --normal] [--megabytes N] [--kills K] [--folder DIR]
//                  [--races R]
//
// --in-place writes the file over itself, as in a read-only folder; --normal writes a temporary
// file beside it and renames it. Exits with 1 when a file was torn.
//
// --races R, instead of killing, saves R times while another writer renames a file of its own
// over the file at a random moment of each save, and counts the writes of the other that a save
// replaced without noticing. Exits with 1 when one was lost.

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>
#include <atomic>
#include <cstdio>
#include <thread>

#include "platform/fake/faulty_disk.h"
#include "platform/safe_file.h"
#include "platform/save_journal.h"
#include "platform/system_disk.h"

#ifdef Q_OS_UNIX
#include <signal.h>
#endif

using namespace trovix::platform;

namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Records of about `bytes` in all. Each line of the new content is a byte longer or shorter than
// the old one's, so that a seam anywhere shows.
QByteArray records(qint64 bytes, const char* word) {
    QByteArray out;
    out.reserve(bytes + 64);
    for (int i = 0; out.size() < bytes; ++i) {
        out += QByteArray(word) + " record " + QByteArray::number(i) +
               "\r\n-----12 Elm Street, Springfield\r\n";
    }
    return out;
}

// The child: saves the content of `source` over `target`, and says when it begins.
int saveAsChild(const QString& target, const QString& source, bool inPlace) {
    const QByteArray content = readAll(source);
    SystemDisk system;
    FaultyDisk disk(system);
    if (inPlace) {
        // No temporary file can be made beside the file, as in a read-only folder.
        disk.plan({{0}, -1});
    }
    std::fputs("saving\n", stdout);
    std::fflush(stdout);
    const Result<void, WriteFailure> outcome = writeFileSafely(disk, target, bytesContent(content));
    if (!outcome.ok()) {
        std::fprintf(stderr, "%s\n", qPrintable(outcome.error()));
    }
    return outcome.ok() ? 0 : 1;
}

struct Run {
    bool finished = false;  // the save ended before the kill
    qint64 changedMs = -1;  // when the file itself first changed, after the child began saving
    qint64 endedMs = 0;     // when the child ended
};

// Starts a child that saves `source` over `target`, and kills it `killAfterMs` after it said it
// began saving, or after the file began to change (never, when negative). Watches when the file
// begins to change.
Run runChild(const QString& target, const QString& source, bool inPlace, qint64 killAfterMs,
             bool afterChange = false) {
    QProcess child;
    child.setProgram(QCoreApplication::applicationFilePath());
    child.setArguments({QStringLiteral("--child"), target, source,
                        inPlace ? QStringLiteral("in-place") : QStringLiteral("normal")});
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    const FileStamp before = fileStamp(target);
    child.start();
    Run run;
    if (!child.waitForStarted()) {
        return run;
    }
    while (!child.canReadLine() && child.state() == QProcess::Running) {
        child.waitForReadyRead(100);
    }
    QElapsedTimer clock;
    clock.start();
    bool killed = killAfterMs < 0;
    while (!child.waitForFinished(0)) {
        if (run.changedMs < 0 && !(fileStamp(target) == before)) {
            run.changedMs = clock.elapsed();
        }
        const qint64 since = afterChange
                                 ? (run.changedMs < 0 ? -1 : clock.elapsed() - run.changedMs)
                                 : clock.elapsed();
        if (!killed && since >= killAfterMs) {
#ifdef Q_OS_UNIX
            ::kill(static_cast<pid_t>(child.processId()), SIGKILL);
#else
            child.kill();
#endif
            killed = true;
        }
        QThread::usleep(200);
    }
    run.endedMs = clock.elapsed();
    run.finished = child.exitStatus() == QProcess::NormalExit;
    return run;
}

// Saves `mine` over `target` `rounds` times, each while another writer renames its own file over
// the target at a random moment of the save (which takes about `saveMs`), and tells how each
// race ended. Returns the number of the other writer's files that were replaced unnoticed.
int raceAnotherWriter(const QString& target, const QByteArray& old, const QByteArray& mine,
                      bool inPlace, int rounds, qint64 saveMs) {
    const QByteArray theirs = "their record\r\n";
    const QString theirFile = target + QStringLiteral(".theirs");
    int noticed = 0;
    int after = 0;
    int lost = 0;
    SystemDisk system;
    FaultyDisk disk(system);
    QRandomGenerator* random = QRandomGenerator::global();
    for (int round = 0; round < rounds; ++round) {
        writeAll(target, old);
        writeAll(theirFile, theirs);
        const FileStamp read = fileStamp(target);
        const auto delayUs =
            static_cast<qint64>(random->generateDouble() * static_cast<double>(saveMs) * 1200.0);
        std::thread other([&] {
            std::this_thread::sleep_for(std::chrono::microseconds(delayUs));
            QFile::rename(theirFile, target + QStringLiteral(".swap"));
            ::rename(QFile::encodeName(target + QStringLiteral(".swap")).constData(),
                     QFile::encodeName(target).constData());
        });
        disk.plan({inPlace ? QList<int>{0} : QList<int>{}, -1});
        SafeFile file(disk, target);
        Result<void, WriteFailure> outcome = file.prepare(bytesContent(mine));
        if (outcome) {
            outcome = file.commit(read);
        }
        other.join();
        const QByteArray now = readAll(target);
        if (outcome.ok() && now == theirs) {
            ++after;  // the other writer came after the save
        } else if (!outcome.ok() && outcome.failure().changedMeanwhile && now == theirs) {
            ++noticed;
        } else {
            ++lost;
            std::fprintf(stderr, "race %d, their rename after %lld us: %s, the file holds %s\n",
                         round, static_cast<long long>(delayUs),
                         outcome.ok() ? "saved" : qPrintable(outcome.error()),
                         now == mine ? "the save's records" : "something else");
        }
    }
    std::printf(
        "%s save of %.1f MB (%lld ms) raced by another writer's rename %d times: %d "
        "noticed, %d after the save, %d lost\n",
        inPlace ? "in-place" : "normal", static_cast<double>(mine.size()) / (1024 * 1024),
        static_cast<long long>(saveMs), rounds, noticed, after, lost);
    return lost;
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() == 5 && args[1] == QLatin1String("--child")) {
        return saveAsChild(args[2], args[3], args[4] == QLatin1String("in-place"));
    }
    bool inPlace = true;
    double megabytes = 5;
    int kills = 10;
    int races = 0;
    QString folder;
    for (qsizetype i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--in-place")) {
            inPlace = true;
        } else if (args[i] == QLatin1String("--normal")) {
            inPlace = false;
        } else if (args[i] == QLatin1String("--megabytes") && i + 1 < args.size()) {
            megabytes = args[++i].toDouble();
        } else if (args[i] == QLatin1String("--kills") && i + 1 < args.size()) {
            kills = args[++i].toInt();
        } else if (args[i] == QLatin1String("--folder") && i + 1 < args.size()) {
            folder = args[++i];
        } else if (args[i] == QLatin1String("--races") && i + 1 < args.size()) {
            races = args[++i].toInt();
        } else {
            std::fprintf(stderr,
                         "usage: save_kill_test [--in-place | --normal] [--megabytes N] "
                         "[--kills K] [--folder DIR] [--races R]\n");
            return 2;
        }
    }

    QTemporaryDir work(folder.isEmpty() ? QDir::tempPath() + QStringLiteral("/save-kill-XXXXXX")
                                        : folder + QStringLiteral("/save-kill-XXXXXX"));
    QTemporaryDir state;
    // The child's rollback copies go where this process's recovery looks for them.
    qputenv("XDG_STATE_HOME", QFile::encodeName(state.path()));
    const QString target = work.filePath(QStringLiteral("data.txt"));
    const auto bytes = static_cast<qint64>(megabytes * 1024 * 1024);
    const QByteArray old = records(bytes, "old");
    // Growing and shrinking saves take turns: an eighth longer with longer lines, and an eighth
    // shorter with shorter lines, so that a kill can also cut the shrinking save's truncation.
    const QByteArray contents[] = {records(bytes + bytes / 8, "newer"),
                                   records(bytes - bytes / 8, "ne")};
    const QString sources[] = {state.filePath(QStringLiteral("longer")),
                               state.filePath(QStringLiteral("shorter"))};
    for (int i = 0; i < 2; ++i) {
        if (!writeAll(sources[i], contents[i])) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(sources[i]));
            return 2;
        }
    }

    // When a save that nothing stops begins to change the file, and when it ends, for each
    // direction; the first round warms the caches up.
    qint64 changed[2] = {};
    qint64 ended[2] = {};
    for (int i = 0; i < 4; ++i) {
        const int which = i % 2;
        writeAll(target, old);
        const Run run = runChild(target, sources[which], inPlace, -1);
        if (!run.finished || readAll(target) != contents[which]) {
            std::fprintf(stderr, "a save that nobody stopped failed\n");
            return 2;
        }
        ended[which] = std::max<qint64>(run.endedMs, 1);
        changed[which] = run.changedMs >= 0 ? run.changedMs : run.endedMs;
    }

    if (races > 0) {
        return raceAnotherWriter(target, old, contents[0], inPlace, races, ended[0]) == 0 ? 0 : 1;
    }

    int torn = 0;
    int stillOld = 0;
    int allNew = 0;
    int restored = 0;
    int finishedFirst = 0;
    QRandomGenerator* random = QRandomGenerator::global();
    for (int kill = 0; kill < kills; ++kill) {
        const int which = kill % 2;
        writeAll(target, old);
        // A third of the kills fall at random moments of the whole save, two thirds at random
        // moments after the file began to change, when tearing it is possible; each at a random
        // moment of its own stretch of that time.
        const bool afterChange = kill % 3 != 0;
        const double span =
            static_cast<double>(afterChange ? ended[which] - changed[which] : ended[which]);
        const int stretches = afterChange ? (2 * kills + 2) / 3 : (kills + 2) / 3;
        const int stretch = afterChange ? kill - kill / 3 - 1 : kill / 3;
        const auto delay = static_cast<qint64>((stretch % stretches + random->generateDouble()) *
                                               span / stretches);
        if (runChild(target, sources[which], inPlace, delay, afterChange).finished) {
            ++finishedFirst;
        }
        SystemDisk disk;
        const QList<InterruptedSave> told = recoverInterruptedSaves(disk);
        for (const InterruptedSave& save : told) {
            restored += save.outcome == InterruptedSave::Outcome::Restored ? 1 : 0;
        }
        const QByteArray now = readAll(target);
        if (now == old) {
            ++stillOld;
        } else if (now == contents[which]) {
            ++allNew;
        } else {
            ++torn;
            std::fprintf(stderr, "torn after %lld ms: %lld bytes\n", static_cast<long long>(delay),
                         static_cast<long long>(now.size()));
        }
        // Temporary files a killed normal save left beside the file.
        for (const QString& name : QDir(work.path()).entryList(QDir::Files)) {
            if (name != QLatin1String("data.txt")) {
                QFile::remove(work.filePath(name));
            }
        }
    }
    std::printf(
        "%s save of %.1f MB (%lld ms, the file changing from %lld ms): %d kills, %d torn; "
        "afterwards %d old (%d of them put back at the next start), %d new; %d saves ended "
        "before their kill\n",
        inPlace ? "in-place" : "normal", static_cast<double>(bytes) / (1024 * 1024),
        static_cast<long long>(ended[0]), static_cast<long long>(changed[0]), kills, torn, stillOld,
        restored, allNew, finishedFirst);
    return torn == 0 ? 0 : 1;
}
