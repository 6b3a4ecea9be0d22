#include "app/file_commands.h"

#include <QCoreApplication>

#include "app/file_merge.h"

#include "platform/file_names.h"
#include "records/slot_procedures.h"
#include "search/status_summary.h"
#include "state/main_state.h"
#include "view/window_options.h"

namespace trovix::app {
namespace {

// The slot with focus just read a file in place of `before`: one step back.
void recordReplaced(MainState& state, const QString& name, undo::SlotContent before) {
    std::array<std::optional<undo::SlotContent>, 3> contents;
    contents[static_cast<std::size_t>(*state.listWithFocus)] = std::move(before);
    state.edits.recordContents(name, std::move(contents), state.fileSlots);
}

}  // namespace

void selectFile(MainState& state) {
    if (state.listWithFocus) {
        const QString title = QCoreApplication::translate("FileCommands", "Select Text Data File%1")
                                  .arg(QChar(u'A' + static_cast<int>(*state.listWithFocus)));
        // The dialog shows every file under the label the program has always given it.
        const QString chosen = state.services.files->openFileName(
            title, state.programFolder,
            QCoreApplication::translate("FileCommands", "Text Files (*.*)"), QStringLiteral("*"));
        const QString unusable = platform::unusableNameReason(chosen);
        if (!unusable.isEmpty()) {
            state.services.messages->show(
                QCoreApplication::translate("FileCommands",
                                            "The file \"%1\" cannot be used:\n%2\n\nRename the "
                                            "file and choose it again. The list keeps its file.")
                    .arg(platform::displayFileName(chosen), unusable),
                QString(), platform::MessageButtons::Ok, platform::MessageIcon::Warning);
        } else if (!chosen.isEmpty()) {
            undo::SlotContent before = *state.focusedSlot();
            state.focusedSlot()->fileName = chosen;
            records::loadFile(state.files(), *state.listWithFocus);
            state.changeNotice.noteFileNamesChanged();
            recordReplaced(state, undo::nameWithFile(undo::FileStep::Choice, chosen),
                           std::move(before));
            // Changes a run that did not close properly left for the file are offered back.
            if (state.unsavedEdits != nullptr) {
                state.unsavedEdits->offer(*state.listWithFocus);
            }
        }
    }
    view::setToolTipText(state.toolbar, state.fileSlots);
}

void saveSelectedFile(MainState& state) {
    lists::FileSlot* slot = state.focusedSlot();
    if (slot == nullptr) {
        return;
    }
    const lists::SlotId id = *state.listWithFocus;
    const platform::Result<void, records::NotSaved> saved = records::saveFile(state.files(), id);
    if (saved) {
        slot->changed = false;
        state.edits.markSaved(id);
    } else if (saved.failure().mergeWanted) {
        mergeChangedSlot(state, id);
    }
}

void openSelectedFile(MainState& state) {
    const lists::FileSlot* slot = state.focusedSlot();
    if (slot == nullptr) {
        return;
    }
    if (!state.services.shell->openInTextEditor(slot->fileName)) {
        state.services.messages->show(
            QCoreApplication::translate("FileCommands",
                                        "No text editor could be started for \"%1\".\n\nSet the "
                                        "desktop's application for text files, or name an editor "
                                        "in the VISUAL or EDITOR environment variable.")
                .arg(slot->fileName),
            QString(), platform::MessageButtons::Ok, platform::MessageIcon::Warning);
    }
}

void reloadSelectedFile(MainState& state) {
    if (lists::FileSlot* slot = state.focusedSlot()) {
        undo::SlotContent before = *slot;
        records::loadFile(state.files(), *state.listWithFocus);
        recordReplaced(state, undo::nameWithFile(undo::FileStep::Reload, slot->fileName),
                       std::move(before));
        const int firstRecordRow = state.displayFileNames() ? 1 : 0;
        if (slot->list.count() > firstRecordRow) {
            slot->list.setListIndex(firstRecordRow);
        }
    }
    search::fillStatusBar(state.statusBar, state.fileSlots);
}

}  // namespace trovix::app
