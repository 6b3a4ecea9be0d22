#pragma once

#include <QList>
#include <functional>

#include "platform/disk.h"

namespace trovix::platform {

// A disk that fails as a test plans: as a full disk, or a device that fails one step. Every
// operation is a counted step; a step the plan does not fail is done by the disk underneath.
class FaultyDisk : public Disk {
  public:
    struct Plan {
        // Fail these steps (counted from 0) of the writes that follow: opening, each write,
        // flush, sync, rename and resize, of the file, of its rollback copy and of putting its
        // old content back. Once a write of new content has failed, later ones fail too, as a
        // full disk stays full.
        QList<int> failAtSteps;
        // Or: files take this many bytes of new content in all, then every write of new
        // content fails. (Rollback copies are on another disk; putting old bytes back takes no
        // new space.) Negative: no bound.
        qint64 bytesAccepted = -1;
    };

    explicit FaultyDisk(Disk& underneath) : underneath_(underneath) {}

    // Starts a plan and counts the steps from 0 again. The default plan fails nothing.
    void plan(const Plan& plan);
    // The steps taken since the plan was set, for tests that fail each in turn.
    int steps() const { return steps_; }
    // Runs before each step, with its number: another program writing the file, say. Empty: none.
    void beforeEachStep(std::function<void(int step)> run) { beforeStep_ = std::move(run); }
    // Acts as a file system that cannot exchange two names.
    void withoutExchange(bool without) { withoutExchange_ = without; }

    Result<void> open(QFile& file, QIODevice::OpenMode mode,
                      std::optional<QFileDevice::Permissions> permissions) override;
    Result<void> openReplacement(ReplacementFile& file) override;
    Result<void> write(QFileDevice& file, const char* data, qint64 size, WriteKind kind) override;
    Result<void> flush(QFileDevice& file) override;
    Result<void> sync(QFileDevice& file) override;
    Result<void> resize(QFileDevice& file, qint64 size) override;
    Result<void> syncFolder(const QString& folder) override;
    Result<void> moveToTrash(const QString& file) override;
    Result<void, RenameFailure> rename(const QString& from, const QString& to,
                                       RenameKind kind) override;
    Result<void, WriteFailure> commitReplacement(ReplacementFile& file,
                                                 const std::optional<FileStamp>& expected) override;

  private:
    // Counts a step; true when the plan makes it fail.
    bool stepFails();
    static Result<void> fullDisk();

    Disk& underneath_;
    Plan plan_;
    std::function<void(int step)> beforeStep_;
    bool withoutExchange_ = false;
    int steps_ = 0;
    qint64 bytes_ = 0;  // of new content written
    bool writeFailed_ = false;
};

}  // namespace trovix::platform
