#pragma once

#include <QString>
#include <array>
#include <condition_variable>
#include <cstdint>
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
    explicit RecoveryWriter(QString folder);
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

    const QString& folder() const { return folder_; }
    // The file of a slot, whether it exists or not.
    QString pathOf(int slot) const;
    // Why the last write failed, empty when it did not.
    QString lastError() const;

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
    std::thread thread_;
};

}  // namespace trovix::store
