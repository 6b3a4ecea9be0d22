#include "output/printing.h"

#include <QCoreApplication>

#include "state/controls.h"

namespace trovix::output {
namespace {

constexpr int kTopMargin = 5;  // empty lines on top of a list or a selection
const QString kIndent(10, u' ');

platform::PrintFont printFont(const ListFont& font) {
    return {font.name, font.size, font.bold, font.italic};
}

using Row = lists::ResultList::TextParts;

// Prints the lines below the top margin; a failure is told with its reason. A record's line
// goes to the printer as the record's own bytes, never copied whole.
void print(const platform::Services& services, const ListFont& font, int count,
           const std::function<Row(int)>& line) {
    const platform::Result<platform::PrintEnd> outcome = services.printer->printLines(
        kTopMargin + count,
        [&](int i) -> platform::PrintLine {
            if (i < kTopMargin) {
                return {};
            }
            const Row row = line(i - kTopMargin);
            return {kIndent + row.start, row.line};
        },
        printFont(font));
    if (!outcome) {
        services.messages->show(QCoreApplication::translate("Printing", "Nothing was printed:\n%1")
                                    .arg(outcome.error()),
                                QString(), platform::MessageButtons::Ok,
                                platform::MessageIcon::Warning);
    }
}

}  // namespace

bool printBigList(const platform::Services& services, int rows) {
    if (rows <= 50) {
        return true;
    }
    return services.messages->show(
               QCoreApplication::translate(
                   "Printing",
                   "Printed list will contain %Ln lines of data!\r\n\r\nContinue printing?",
                   nullptr, rows),
               QCoreApplication::translate("Printing", "Print List"),
               platform::MessageButtons::OkCancel,
               platform::MessageIcon::None) == platform::MessageAnswer::Ok;
}

void printList(const platform::Services& services, const lists::FileSlot* focused,
               const ListFont& font) {
    const int rows = focused != nullptr ? focused->list.count() : 0;
    if (!printBigList(services, rows)) {
        return;
    }
    print(services, font, rows, [&](int row) { return focused->list.textParts(row); });
}

void printSelection(const platform::Services& services, const lists::FileSlot* focused,
                    const ListFont& font) {
    if (focused == nullptr) {
        print(services, font, 0, {});
        return;
    }
    const int row = focused->list.listIndex();
    print(services, font, 1, [&](int) { return row >= 0 ? focused->list.textParts(row) : Row{}; });
}

void printForm(const platform::Services& services) {
    const platform::Result<platform::PrintEnd> outcome = services.printer->printWindow();
    if (!outcome) {
        services.messages->show(QCoreApplication::translate("Printing", "Nothing was printed:\n%1")
                                    .arg(outcome.error()),
                                QString(), platform::MessageButtons::Ok,
                                platform::MessageIcon::Warning);
    }
}

}  // namespace trovix::output
