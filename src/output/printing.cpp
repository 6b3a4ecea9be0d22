#include "output/printing.h"

#include "state/main_state.h"

namespace trovix::output {
namespace {

constexpr int kTopMargin = 5;  // empty lines on top of a list or a selection
const QString kIndent(10, u' ');

platform::PrintFont listFont(const MainState& state) {
    const ListFont& font = state.frame.font();
    return {font.name, font.size, font.bold, font.italic};
}

using Row = lists::ResultList::TextParts;

// Prints the lines below the top margin; a failure is told with its reason. A record's line
// goes to the printer as the record's own bytes, never copied whole.
void print(MainState& state, int count, const std::function<Row(int)>& line) {
    const platform::PrintOutcome outcome = state.services.printer->printLines(
        kTopMargin + count,
        [&](int i) -> platform::PrintLine {
            if (i < kTopMargin) {
                return {};
            }
            const Row row = line(i - kTopMargin);
            return {kIndent + row.start, row.line};
        },
        listFont(state));
    if (outcome.result == platform::PrintOutcome::Result::Failed) {
        state.services.messages->show(QStringLiteral("Nothing was printed:\n%1").arg(outcome.error),
                                      QString(), platform::MessageButtons::Ok,
                                      platform::MessageIcon::Warning);
    }
}

}  // namespace

bool printBigList(MainState& state, int rows) {
    if (rows <= 50) {
        return true;
    }
    return state.services.messages->show(
               QStringLiteral("Printed list will contain %1 lines of data!\r\n\r\nContinue "
                              "printing?")
                   .arg(rows),
               QStringLiteral("Print List"), platform::MessageButtons::OkCancel,
               platform::MessageIcon::None) == platform::MessageAnswer::Ok;
}

void printList(MainState& state) {
    const lists::FileSlot* slot = state.focusedSlot();
    const int rows = slot != nullptr ? slot->list.count() : 0;
    if (!printBigList(state, rows)) {
        return;
    }
    print(state, rows, [&](int row) { return slot->list.textParts(row); });
}

void printSelection(MainState& state) {
    const lists::FileSlot* slot = state.focusedSlot();
    if (slot == nullptr) {
        print(state, 0, {});
        return;
    }
    const int row = slot->list.listIndex();
    print(state, 1, [&](int) { return row >= 0 ? slot->list.textParts(row) : Row{}; });
}

void printForm(MainState& state) {
    const platform::PrintOutcome outcome = state.services.printer->printWindow();
    if (outcome.result == platform::PrintOutcome::Result::Failed) {
        state.services.messages->show(QStringLiteral("Nothing was printed:\n%1").arg(outcome.error),
                                      QString(), platform::MessageButtons::Ok,
                                      platform::MessageIcon::Warning);
    }
}

}  // namespace trovix::output
