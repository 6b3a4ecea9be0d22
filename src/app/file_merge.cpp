#include "app/file_merge.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>

#include "state/main_state.h"
#include "store/record_merge.h"

namespace trovix::app {
namespace {

// What a merge did, for the status bar. A conflict copy's records are taken in without a base,
// and none of them is kept twice.
QString mergeSummary(const QString& file, const store::MergedRecords& merged, bool withBase) {
    if (!withBase) {
        return QCoreApplication::translate("FileMerge",
                                           "%1: your changes and %Ln record(s) from disk merged",
                                           nullptr, merged.theirs)
            .arg(file);
    }
    const QLocale locale;
    const QString mine = locale.toString(merged.mine);
    const QString theirs = locale.toString(merged.theirs);
    if (merged.keptTwice > 0) {
        return QCoreApplication::translate(
                   "FileMerge",
                   "%1: %2 of your changes and %3 from disk merged; %Ln record(s) changed on "
                   "both sides (is/are) kept twice",
                   nullptr, merged.keptTwice)
            .arg(file, mine, theirs);
    }
    return QCoreApplication::translate("FileMerge",
                                       "%1: %2 of your changes and %3 from disk merged")
        .arg(file, mine, theirs);
}

}  // namespace

ReloadOutcome mergeChangedSlot(MainState& state, lists::SlotId id) {
    lists::FileSlot& slot = state.slot(id);
    ReloadOutcome outcome = ReloadOutcome::Reloaded;
    std::optional<store::ReadFile> theirs = readSettledFile(state, slot.fileName, outcome);
    if (!theirs) {
        state.statusBar.showMessage(
            outcome == ReloadOutcome::Unsettled
                ? QCoreApplication::translate(
                      "FileMerge", "%1 is still being written; merge it again in a moment")
                      .arg(shortFileName(slot))
                : QCoreApplication::translate("FileMerge",
                                              "%1 could not be read; list %2 keeps its records")
                      .arg(shortFileName(slot), QString::number(lists::listNumber(id))));
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
        state.statusBar.showMessage(
            QCoreApplication::translate("FileMerge", "The conflict copy %1 could not be read")
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
            trashed ? QCoreApplication::translate("FileMerge",
                                                  "%1 already holds every record of its conflict "
                                                  "copy, which was moved to the trash")
                          .arg(shortFileName(slot))
                    : QCoreApplication::translate("FileMerge",
                                                  "%1 already holds every record of its conflict "
                                                  "copy, which could not be moved to the trash: %2")
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
        QCoreApplication::translate("FileMerge",
                                    "%1: %Ln record(s) of the conflict copy merged; the copy "
                                    "goes to the trash when you save",
                                    nullptr, added)
            .arg(shortFileName(slot)));
    return true;
}

}  // namespace trovix::app
