#include <QAccessible>
#include <QApplication>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>

#include "lists/result_list.h"
#include "support/window_fixture.h"
#include "view/match_look.h"
#include "widgets/result_list_view.h"
#include "widgets/result_row_delegate.h"

using namespace trovix;
using lists::SlotId;

namespace {

const QByteArray kPhones =
    "Smith, Ann\r\n-----(212) 555-0100\r\nJones, Bo\r\n-----555-0199\r\nsmithson 555 Smith\r\n";

// A row's shown text with its highlighted stretches in brackets, as the list's delegate draws
// them: "[Smith], Ann".
QString drawn(QListView* list, int row) {
    auto* view = qobject_cast<widgets::ResultListView*>(list);
    const QModelIndex index = list->model()->index(row, 0);
    QString text = index.data().toString();
    const std::vector<search::TextRange> ranges = view->rowDelegate()->matchRanges(index);
    for (auto it = ranges.rbegin(); it != ranges.rend(); ++it) {
        text.insert(it->start + it->length, u']');
        text.insert(it->start, u'[');
    }
    return text;
}

// The pixels of a row, as the list paints it now, in the highlight's amber.
int amberPixels(QListView* list, int row) {
    const QImage shot = list->viewport()->grab().toImage();
    const qreal ratio = shot.devicePixelRatio();
    const QRect place = list->visualRect(list->model()->index(row, 0));
    const QColor amber = QColor::fromRgb(static_cast<QRgb>(view::kMatchBackground));
    int count = 0;
    for (int y = int(place.top() * ratio); y < int((place.bottom() + 1) * ratio); ++y) {
        for (int x = 0; x < shot.width(); ++x) {
            count += shot.pixelColor(x, y) == amber;
        }
    }
    return count;
}

// The edit box's marks, each the text it covers.
QStringList marks(const QPlainTextEdit* edit) {
    QStringList out;
    for (const QTextEdit::ExtraSelection& mark : edit->extraSelections()) {
        out << mark.cursor.selectedText();
    }
    return out;
}

// Whether any character of the edit box's document carries a format of its own beyond the
// stand-in marks: a highlight must never be written into the text.
bool documentHasFormats(const QPlainTextEdit* edit) {
    for (QTextBlock block = edit->document()->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (format.hasProperty(QTextFormat::BackgroundBrush) ||
                format.hasProperty(QTextFormat::FontWeight)) {
                return true;
            }
        }
    }
    return false;
}

}  // namespace

class TestMatchHighlight : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    // A user searches, sees why each record matched in the list and the edit box, edits the
    // record and sees the marks follow, and turns the highlighting off and on again; what is
    // read, copied and printed stays plain throughout.
    void matchesAreHighlightedWhereTheyStandAndOnlyThere() {
        testing::WindowFixture w(kPhones, "Smithers, Al\r\n", "212  New York\r\n");
        QListView* lstA = w.list(SlotId::A);
        // A row of list A as drawn, and the edit box's marks.
        const auto shown = [&](int row) {
            return drawn(lstA, row) + " / " + marks(w.edit).join(u',');
        };
        w.typeSearch(QStringLiteral("smith 555"));
        QCOMPARE(drawn(lstA, 1) + '|' + drawn(w.list(SlotId::B), 0) + '|' + shown(0),
                 "[smith]son [555] [Smith]|no match found|[Smith], Ann / Smith,555");
        QVERIFY(amberPixels(lstA, 0) > 0 && amberPixels(lstA, 1) > amberPixels(lstA, 0));
        QCOMPARE(amberPixels(w.list(SlotId::B), 0), 0);

        // What a screen reader reads of the rows and the edit box stays the plain text.
        QAccessibleInterface* reader = QAccessible::queryAccessibleInterface(lstA);
        QCOMPARE(reader->child(1)->text(QAccessible::Name), "smithson 555 Smith");
        QCOMPARE(lstA->model()->index(0, 0).data(Qt::AccessibleTextRole).toString(), "Smith, Ann");
        QCOMPARE(QAccessible::queryAccessibleInterface(w.edit)->textInterface()->text(0, 10),
                 "Smith, Ann");

        // Typing in the edit box: the marks follow the text, in the box and in the list's row.
        w.clickRow(lstA, 0);
        w.click(w.edit);
        w.edit->moveCursor(QTextCursor::Start);
        w.key(Qt::Key_End);
        w.type(QStringLiteral(" smithy"));
        QCOMPARE(shown(0), "[Smith], Ann [smith]y / Smith,smith,555");
        w.key(Qt::Key_Home);
        w.key(Qt::Key_Delete);
        QCOMPARE(shown(0), "mith, Ann [smith]y / smith,555");
        QVERIFY(!documentHasFormats(w.edit));

        // Ctrl+H turns the highlighting off, the menu item on again; the setting follows.
        w.clickRow(lstA, 1);
        QVERIFY(w.action("mnuHighlightMatches")->isChecked());
        w.key(Qt::Key_H, Qt::ControlModifier);
        QVERIFY(!w.state.options.isChecked(Option::HighlightMatches) &&
                !w.action("mnuHighlightMatches")->isChecked());
        QCOMPARE(shown(1), "smithson 555 Smith / ");
        QCOMPARE(amberPixels(lstA, 1), 0);
        w.action("mnuHighlightMatches")->trigger();
        QVERIFY(w.state.options.isChecked(Option::HighlightMatches) && amberPixels(lstA, 1) > 0);
        QCOMPARE(shown(1), "[smith]son [555] [Smith] / smith,555,Smith");

        // Listing every record shows no search, so nothing is highlighted.
        w.click(w.button("viewall"));
        QCOMPARE(shown(0), "mith, Ann smithy / ");
    }

    // The edit box marks the lines on screen: a long record's last line is marked once the
    // user scrolls down to it.
    void theEditBoxMarksTheLinesItShows() {
        QByteArray record = "Smith, Ann\r\n";
        for (int line = 0; line < 80; ++line) {
            record += "-----line " + QByteArray::number(line) + "\r\n";
        }
        record += "-----smith at the end\r\n";
        testing::WindowFixture w(record, "b\r\n", "c\r\n");
        w.typeSearch(QStringLiteral("smith"));
        QStringList seen = marks(w.edit);
        w.click(w.edit);
        w.key(Qt::Key_End, Qt::ControlModifier);
        seen << marks(w.edit);
        w.key(Qt::Key_Home, Qt::ControlModifier);
        seen << marks(w.edit);
        QScrollBar* bar = w.edit->verticalScrollBar();  // dragged to the bottom
        bar->setValue(bar->maximum());
        QCOMPARE(seen << marks(w.edit), QStringList({"Smith", "smith", "Smith", "smith"}));
    }
};

QTEST_MAIN(TestMatchHighlight)
#include "test_match_highlight.moc"
