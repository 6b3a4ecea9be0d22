#pragma once

#include <QString>
#include <array>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

#include "store/recovery_file.h"

namespace trovix::store {

// Writes the recovery files of the three slots on a thread of its own, so that typing never
// waits for the disk. Each file is written whole under a temporary name, synced and renamed
// over the last one, and stays locked while this program runs, so that another copy starting
// meanwhile does not take it for the leftover of a crash.
//
// Only the newest records of a slot are written: a write asked for while another of the same
// slot waits takes its place.
class RecoveryWriter {
  public:
    // `failed` is told, on the writer's thread, of each write that failed.
    explicit RecoveryWriter(QString folder, std::function<void()> failed = {});
    // Ends the write under way; the files stay, as after a crash (forget() removes them).
    ~RecoveryWriter();
    RecoveryWriter(const RecoveryWriter&) = delete;
    RecoveryWriter& operator=(const RecoveryWriter&) = delete;

    // Writes a slot's records soon. `records` must share nothing that changes meanwhile
    // (RecordArray::detached()).
    void keep(RecoveryHeader header, RecordArray records);
    // Cancels a slot's write and removes its file.
    void forget(int slot);
    // Returns once every write asked for so far is on the disk, or failed.
    void waitUntilWritten();
    // Takes the recovery file an earlier run left at `path` as the slot's own, in place of the
    // slot's file: it holds what the slot holds. False when it cannot be moved or another copy
    // of the program holds it; it then stays where it is.
    bool adopt(int slot, const QString& path);

    const QString& folder() const { return folder_; }
    // The file of a slot, whether it exists or not.
    QString pathOf(int slot) const;
    // Why the last write failed, empty when it did not.
    QString lastError() const;
    // Why the slot's last write failed, empty when it did not or the slot was forgotten since.
    QString errorOf(int slot) const;

  private:
    struct Job {
        RecoveryHeader header;
        RecordArray records;
        std::uint64_t epoch = 0;
    };
    void run();
    void write(Job job);
    void unlock(int slot);

    const QString folder_;
    const QString prefix_;  // this run's own, so that two copies never write the same file
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::array<std::optional<Job>, 3> waiting_;
    // Bumped by forget(): a write begun before it is not put in place.
    std::array<std::uint64_t, 3> epoch_{};
    std::array<int, 3> lockHandle_{-1, -1, -1};
    bool busy_ = false;
    bool stopping_ = false;
    QString lastError_;
    std::array<QString, 3> slotError_;
    std::function<void()> failed_;
    std::thread thread_;
};

}  // namespace trovix::store
