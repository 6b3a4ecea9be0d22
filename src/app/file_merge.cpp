#include "app/file_merge.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include "state/main_state.h"
#include "store/record_merge.h"

namespace trovix::app {
namespace {

QString records(int count) {
    return count == 1 ? QStringLiteral("1 record") : QStringLiteral("%1 records").arg(count);
}

// What a merge did, for the status bar.
QString mergeSummary(const QString& file, const store::MergedRecords& merged, bool withBase) {
    QString text = withBase ? QStringLiteral("%1: %2 of your changes and %3 from disk merged")
                                  .arg(file)
                                  .arg(merged.mine)
                                  .arg(merged.theirs)
                            : QStringLiteral("%1: your changes and %2 from disk merged")
                                  .arg(file, records(merged.theirs));
    if (merged.keptTwice == 1) {
        text += QStringLiteral("; 1 record changed on both sides is kept twice");
    } else if (merged.keptTwice > 1) {
        text += QStringLiteral("; %1 records changed on both sides are kept twice")
                    .arg(merged.keptTwice);
    }
    return text;
}

}  // namespace

ReloadOutcome mergeChangedSlot(MainState& state, lists::SlotId id) {
    lists::FileSlot& slot = state.slot(id);
    ReloadOutcome outcome = ReloadOutcome::Reloaded;
    std::optional<store::ReadFile> theirs = readSettledFile(state, slot.fileName, outcome);
    if (!theirs) {
        state.statusBar.showMessage(
            outcome == ReloadOutcome::Unsettled
                ? QStringLiteral("%1 is still being written; merge it again in a moment")
                      .arg(shortFileName(slot))
                : QStringLiteral("%1 could not be read; list %2 keeps its records")
                      .arg(shortFileName(slot))
                      .arg(lists::listNumber(id)));
        return outcome;
    }
    // Without the records the slot's were based on (recovered ones), the file's are taken in as
    // a conflict copy's are: nothing of either side is dropped.
    const store::RecordArray* base = slot.expectedRecords();
    store::MergedRecords merged;
    if (base != nullptr) {
        merged = store::mergeRecords(*base, slot.records, theirs->content.records);
    } else {
        store::FoldedCopy folded = store::foldInCopy(slot.records, theirs->content.records);
        merged.records = std::move(folded.records);
        merged.theirs = folded.added;
    }
    const QString summary = mergeSummary(shortFileName(slot), merged, base != nullptr);
    const std::optional<qint32> firstKeptTwice =
        merged.keptTwiceAt.empty() ? std::nullopt : std::optional(merged.keptTwiceAt.front());
    replaceSlotRecords(
        state, id, undo::nameWithFile(undo::FileStep::Merge, slot.fileName),
        [&](lists::FileSlot& merging) {
            merging.records = std::move(merged.records);
            merging.format = theirs->content.format;
            // A save replaces the file only while it is the one merged.
            merging.basedOn = theirs->stamp;
            merging.basedOnRecords = std::move(theirs->content.records);
            merging.changed = true;
        },
        firstKeptTwice);
    state.statusBar.showMessage(summary);
    return ReloadOutcome::Reloaded;
}

bool isConflictCopyName(const QString& name, const QString& dataFileName) {
    const QFileInfo data(dataFileName);
    const QString suffix = data.suffix();
    const QString stem = suffix.isEmpty() ? data.fileName() : data.completeBaseName();
    const QString ending =
        suffix.isEmpty() ? QString() : QRegularExpression::escape(QLatin1Char('.') + suffix);
    // Syncthing's, then the "(… conflicted copy …)" of Nextcloud, ownCloud and Dropbox.
    const QRegularExpression copy(
        QStringLiteral("^%1(\\.sync-conflict-\\d{8}-\\d{6}-[A-Z0-9]{7}| \\([^()]*conflicted "
                       "copy[^()]*\\))%2$")
            .arg(QRegularExpression::escape(stem), ending),
        QRegularExpression::CaseInsensitiveOption);
    return copy.match(name).hasMatch();
}

QStringList conflictCopiesOf(const QString& dataFile) {
    const QFileInfo data(dataFile);
    QStringList copies;
    const QDir folder = data.absoluteDir();
    for (const QString& name : folder.entryList(QDir::Files | QDir::Hidden, QDir::Name)) {
        if (isConflictCopyName(name, data.fileName())) {
            copies.append(folder.filePath(name));
        }
    }
    return copies;
}

bool takeInConflictCopy(MainState& state, lists::SlotId id, const QString& copy) {
    lists::FileSlot& slot = state.slot(id);
    ReloadOutcome outcome = ReloadOutcome::Reloaded;
    std::optional<store::ReadFile> read = readSettledFile(state, copy, outcome);
    if (!read) {
        state.statusBar.showMessage(QStringLiteral("The conflict copy %1 could not be read")
                                        .arg(QFileInfo(copy).fileName()));
        return false;
    }
    store::FoldedCopy folded = store::foldInCopy(slot.records, read->content.records);
    const int added = folded.added;
    const lists::TakenCopy taken{copy, read->stamp};
    if (added == 0 && !slot.changed) {
        // Nothing to save: the copy holds nothing the file lacks, and goes to the trash now.
        const platform::Result<void> trashed = state.services.disk->moveToTrash(copy);
        state.statusBar.showMessage(
            trashed ? QStringLiteral("%1 already holds every record of its conflict copy, which "
                                     "was moved to the trash")
                          .arg(shortFileName(slot))
                    : QStringLiteral("%1 already holds every record of its conflict copy, which "
                                     "could not be moved to the trash: %2")
                          .arg(shortFileName(slot), trashed.error()));
        return true;
    }
    replaceSlotRecords(state, id, undo::nameWithFile(undo::FileStep::Merge, copy),
                       [&](lists::FileSlot& taking) {
                           taking.records = std::move(folded.records);
                           taking.takenCopies.push_back(taken);
                           taking.changed = true;
                       });
    state.statusBar.showMessage(
        QStringLiteral("%1: %2 of the conflict copy merged; the copy goes to the trash when you "
                       "save")
            .arg(shortFileName(slot), records(added)));
    return true;
}

}  // namespace trovix::app
