#include "app/unsaved_edits.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <algorithm>
#include <optional>

#include "lists/listing.h"
#include "platform/private_folder.h"
#include "search/status_summary.h"
#include "state/main_state.h"
#include "undo/history_step.h"

namespace trovix::app {
namespace {

// The data file's path as recovery files name it.
QString dataFilePath(const lists::FileSlot& slot) {
    return QDir::cleanPath(QFileInfo(slot.fileName).absoluteFilePath());
}

QString shortName(const QString& path) {
    return QFileInfo(path).fileName();
}

QString recoveryQuestion(const store::RecoveryHeader& header, const lists::FileSlot& slot) {
    const QString name = shortName(header.dataFile);
    const QString changedAt = QLocale().toString(
        QDateTime::fromMSecsSinceEpoch(header.changedAt).toLocalTime(), QLocale::ShortFormat);
    const QString question =
        !slot.disk().stamp.exists && header.loaded.exists
            ? QCoreApplication::translate("UnsavedEdits",
                                          "Trovix was not closed properly. %1 has changes from "
                                          "%2 that were never saved. %1 has been deleted or "
                                          "moved away since then. Recover them?")
        : slot.disk().stamp != header.loaded
            ? QCoreApplication::translate("UnsavedEdits",
                                          "Trovix was not closed properly. %1 has changes from "
                                          "%2 that were never saved. %1 has been changed on disk "
                                          "since then. Recover them?")
            : QCoreApplication::translate("UnsavedEdits",
                                          "Trovix was not closed properly. %1 has changes from "
                                          "%2 that were never saved. Recover them?");
    return question.arg(name, changedAt);
}

void tellUnreadable(MainState& state, const QString& path, const QString& reason) {
    state.services.messages->show(
        QCoreApplication::translate(
            "UnsavedEdits", "The unsaved changes kept in %1 cannot be read: %2. The file is kept.")
            .arg(QDir::toNativeSeparators(path), reason),
        QCoreApplication::translate("UnsavedEdits", "Unsaved Changes"),
        platform::MessageButtons::Ok, platform::MessageIcon::Warning);
}

// The slot that shows the data file: the one it was in, else the first that holds it.
std::optional<lists::SlotId> slotFor(const MainState& state, const store::RecoveryHeader& header) {
    std::optional<lists::SlotId> found;
    for (const lists::SlotId id : lists::kAllSlots) {
        if (dataFilePath(state.slot(id)) != header.dataFile) {
            continue;
        }
        if (static_cast<int>(id) == header.slot) {
            return id;
        }
        if (!found) {
            found = id;
        }
    }
    return found;
}

}  // namespace

UnsavedEditsWatch::UnsavedEditsWatch(MainState& state, const QString& folder, int delayMs)
    : state_(state),
      writer_(folder,
              [this] {
                  // Told on the writer's thread; shown on the window's.
                  QMetaObject::invokeMethod(
                      &timer_, [this] { tell(writer_.lastError()); }, Qt::QueuedConnection);
              }),
      delayMs_(delayMs) {
    timer_.setSingleShot(true);
    QObject::connect(&timer_, &QTimer::timeout, [this] { due(); });
    QObject::connect(&state_.edits, &undo::EditHistory::recordsChanged, &timer_,
                     [this](lists::SlotId id, bool saved) { changed(id, saved); });
    state_.unsavedEdits = this;
}

UnsavedEditsWatch::~UnsavedEditsWatch() {
    state_.unsavedEdits = nullptr;
}

void UnsavedEditsWatch::tell(const QString& problem) {
    // Told once, so that the user knows a crash would lose the changes and can save them.
    if (!problem.isEmpty() && problem != told_) {
        state_.statusBar.showMessage(
            QCoreApplication::translate("UnsavedEdits",
                                        "Unsaved changes cannot be kept for a crash: %1")
                .arg(problem));
        told_ = problem;
    }
}

void UnsavedEditsWatch::changed(lists::SlotId id, bool saved) {
    const auto n = static_cast<std::size_t>(id);
    if (saved) {
        dirty_[n] = false;
        writer_.forget(static_cast<int>(n));
        return;
    }
    dirty_[n] = true;
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    changedAt_[n] = now;
    if (!timer_.isActive()) {
        firstUnwritten_ = now;
    }
    // Each change waits for a pause again, but never past the longest wait.
    const qint64 latest = firstUnwritten_ + kLongestWait * delayMs_ - now;
    timer_.start(static_cast<int>(std::clamp<qint64>(latest, 0, delayMs_)));
}

void UnsavedEditsWatch::due() {
    for (std::size_t n = 0; n < dirty_.size(); ++n) {
        if (!dirty_[n]) {
            continue;
        }
        dirty_[n] = false;
        const lists::FileSlot& slot = state_.fileSlots[n];
        if (!slot.changed) {
            writer_.forget(static_cast<int>(n));
            continue;
        }
        store::RecoveryHeader header;
        header.dataFile = dataFilePath(slot);
        header.slot = static_cast<int>(n);
        header.changedAt = changedAt_[n];
        header.loaded = slot.expectedFile();
        header.format = slot.format;
        writer_.keep(std::move(header), slot.records.detached());
    }
}

std::array<QString, 3> UnsavedEditsWatch::keepNow() {
    timer_.stop();
    // Every changed slot is written again: one whose last write failed gets another try.
    for (std::size_t n = 0; n < dirty_.size(); ++n) {
        dirty_[n] = dirty_[n] || state_.fileSlots[n].changed;
        if (changedAt_[n] == 0) {
            changedAt_[n] = QDateTime::currentMSecsSinceEpoch();
        }
    }
    due();
    writer_.waitUntilWritten();
    std::array<QString, 3> notKept;
    for (std::size_t n = 0; n < notKept.size(); ++n) {
        if (state_.fileSlots[n].changed) {
            notKept[n] = writer_.errorOf(static_cast<int>(n));
        }
    }
    return notKept;
}

void UnsavedEditsWatch::forgetAll() {
    timer_.stop();
    for (std::size_t n = 0; n < dirty_.size(); ++n) {
        dirty_[n] = false;
        writer_.forget(static_cast<int>(n));
    }
}

void UnsavedEditsWatch::recover(lists::SlotId id, const QString& path) {
    platform::Result<store::RecoveredEdits> recovered = store::readRecoveryFile(path);
    if (!recovered) {
        tellUnreadable(state_, path, recovered.error());
        return;
    }
    lists::FileSlot& slot = state_.slot(id);
    std::array<std::optional<undo::SlotContent>, 3> before;
    before[static_cast<std::size_t>(id)] = slot;
    slot.records = std::move(recovered->records);
    slot.format = recovered->header.format;
    // A save asks before it writes over a file that changed since these records were read.
    slot.basedOn = recovered->header.loaded;
    // What that file held is known when it is the file this run read.
    slot.basedOnRecords.reset();
    if (slot.basedOn == slot.disk().stamp) {
        slot.basedOnRecords = slot.disk().records;  // none when not known
    }
    slot.changed = true;
    state_.edits.recordContents(undo::nameWithFile(undo::FileStep::Recovery, slot.fileName),
                                std::move(before), state_.fileSlots);
    lists::listAllRecords(slot.list, slot.records, slot.fileName, state_.listingOptions());
    search::fillStatusBar(state_.statusBar, state_.fileSlots);
    // The file holds what the slot holds now: it stays, as this run's own, until this run has
    // written the records itself or they are saved.
    writer_.adopt(static_cast<int>(id), path);
}

void UnsavedEditsWatch::offer(std::optional<lists::SlotId> only) {
    const QString& folder = writer_.folder();
    if (folder.isEmpty() || !QFileInfo::exists(folder)) {
        return;
    }
    // Records kept in a folder that others could reach, or that leads elsewhere, are not taken.
    if (const platform::Result<void> private_ = platform::checkPrivateFolder(folder, 2);
        !private_) {
        tell(private_.error());
        return;
    }
    if (!only) {
        store::removeUnfinishedWrites(folder);
    }
    for (const store::FoundRecovery& found : store::findRecoveryFiles(folder)) {
        if (!found.header) {
            if (!only) {
                tellUnreadable(state_, found.path, found.header.error());
            }
            continue;
        }
        const std::optional<lists::SlotId> id = slotFor(state_, *found.header);
        if (!id || (only && *id != *only)) {
            continue;  // offered when a start or a choice holds its data file
        }
        // Recover is the way out of the box (Escape, Enter, closing it): it writes nothing to the
        // data file, and undo takes it back, while Discard loses the changes for good.
        const int answer = state_.services.messages->choose(
            recoveryQuestion(*found.header, state_.slot(*id)),
            QCoreApplication::translate("UnsavedEdits", "Unsaved Changes"),
            {QCoreApplication::translate("UnsavedEdits", "Discard"),
             QCoreApplication::translate("UnsavedEdits", "Recover")},
            platform::MessageIcon::Question);
        if (answer == 1) {
            recover(*id, found.path);
        } else {
            QFile::remove(found.path);
        }
    }
}

}  // namespace trovix::app
