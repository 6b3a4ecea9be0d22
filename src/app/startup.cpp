#include "app/startup.h"

#include <QCoreApplication>
#include <QDir>

#include "app/commands.h"
#include "app/event_handlers.h"
#include "app/interrupted_saves.h"
#include "app/settings.h"
#include "links/update_files.h"
#include "platform/file_names.h"
#include "platform/native.h"
#include "records/slot_procedures.h"
#include "search/search_box.h"
#include "state/main_state.h"
#include "state/text.h"
#include "view/fonts.h"
#include "view/layout.h"
#include "view/window_options.h"

namespace trovix::app {
namespace {

void handleCommandLine(MainState& state, const QStringList& arguments) {
    const QString text = arguments.join(u' ');
    platform::SettingsStore& store = *state.services.settings;
    if (text == QLatin1String("clear")) {
        store.removeSection(kSettingsSection);
        const platform::Result<void> deleted = store.sync();
        state.services.messages->show(
            deleted ? QCoreApplication::translate("Startup",
                                                  "Registry settings were deleted for Trovix.")
                    : QCoreApplication::translate(
                          "Startup", "The settings of Trovix could not be deleted:\n%1")
                          .arg(deleted.error()),
            QString(), platform::MessageButtons::Ok,
            deleted ? platform::MessageIcon::Information : platform::MessageIcon::Warning);
        return;
    }
    const QString trimmed = trimSpaces(text);
    if (trimmed.isEmpty()) {
        return;
    }
    const QStringList parts = trimmed.split(u' ');
    if (parts.size() != 3) {
        return;
    }
    // The three names are one choice: when one cannot be used, none is.
    for (const QString& part : parts) {
        if (const QString reason = platform::unusableNameReason(part); !reason.isEmpty()) {
            state.services.messages->show(
                QCoreApplication::translate("Startup",
                                            "The file name \"%1\" on the command line cannot be "
                                            "used:\n%2\n\nNone of the three names was used. "
                                            "Rename the file and start Trovix again with its new "
                                            "name.")
                    .arg(platform::displayFileName(part), reason),
                QString(), platform::MessageButtons::Ok, platform::MessageIcon::Warning);
            return;
        }
    }
    store.setValue(kSettingsSection, QStringLiteral("FileA"), parts[0]);
    store.setValue(kSettingsSection, QStringLiteral("FileB"), parts[1]);
    store.setValue(kSettingsSection, QStringLiteral("FileC"), parts[2]);
}

// Everything start-up does while Busy keeps the handlers quiet.
void startUpWhileBusy(MainState& state, const StartupArguments& arguments) {
    tellOfInterruptedSaves(*state.services.messages, arguments.interruptedSaves);
    handleCommandLine(state, arguments.arguments);
    settings(state, SettingsTask::Read);
    state.frame.setEditPaneVisible(state.toolbar.isPressed(Command::Edit));
    view::setToolTipText(state.toolbar, state.fileSlots);
    view::setFonts(state.frame);
    if (state.services.instance->anotherCopyRunning() && state.services.screen->canPlaceWindows()) {
        TwipRect place = state.frame.placement();
        place.left -= 500;
        place.top -= 500;
        state.frame.setPlacement(place);
        keepWindowReachable(state);
    }
    for (lists::SlotId id : lists::kAllSlots) {
        records::loadFile(state.files(), id);
    }
    if (state.unsavedEdits != nullptr) {
        state.unsavedEdits->offer(std::nullopt);
    }
    search::loadSearchTermList(state.searchBox, state.history);
    if (!state.programFolder.isEmpty()) {
        links::refreshUpdateFiles(*state.services.disk, state.programFolder,
                                  arguments.runningProgram);
    }
    enableRecordCommands(state.toolbar, state.fullDataView());
    view::setOnTop(state.frame, state.options);
}

}  // namespace

QString defaultDataFile(const QString& programFolder, const QString& name) {
    return programFolder + platform::nativeFolderSeparator() + name;
}

void startUp(MainState& state, const StartupArguments& arguments) {
    connectEventHandlers(state);
    if (!state.programFolder.isEmpty()) {
        QDir::setCurrent(state.programFolder);  // relative data file names refer to it
    }
    {
        const BusySection busy(state);
        startUpWhileBusy(state, arguments);
    }
    view::formResize(state.frame, state.toolbar, state.gap, state.busy);
}

}  // namespace trovix::app
