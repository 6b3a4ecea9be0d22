#include <QTest>

#include "store/record_array.h"
#include "store/result_list.h"

using namespace trovix::store;

namespace {

// Records what the view would be told.
struct Recorder : ResultListObserver {
    QStringList events;
    void rowsReset() override { events << QStringLiteral("reset"); }
    void rowsInserted(int first, int count) override {
        events << QStringLiteral("insert %1 %2").arg(first).arg(count);
    }
    void rowsRemoved(int first, int count) override {
        events << QStringLiteral("remove %1 %2").arg(first).arg(count);
    }
    void rowTextChanged(int row) override { events << QStringLiteral("text %1").arg(row); }
    void selectionChanged() override { events << QStringLiteral("selection"); }
    void appearanceChanged() override { events << QStringLiteral("appearance"); }
};

}  // namespace

class TestResultList : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void rowTextsAndTags() {
        RecordArray records = RecordArray::fromStrings({"alpha-----beta-----gamma", "", "-----x"});
        ResultList list(records);
        list.insertHeaderRow(QStringLiteral("... f.txt ..."));
        list.addRecordRow(0);
        list.addContinuationRow(0, 1);
        list.addContinuationRow(0, 2);
        list.addRecordRow(2);
        list.addNoMatchRow();
        const QStringList texts = {"... f.txt ...", "alpha",   "-----beta",
                                   "-----gamma",    QString(), "no match found"};
        const QList<qint32> tags = {0, 0, -1, -1, 2, 0};
        QCOMPARE(list.count(), texts.size());
        for (int r = 0; r < list.count(); ++r) {
            QCOMPARE(list.text(r), texts[r]);
            QCOMPARE(list.itemData(r), tags[r]);
        }
        QVERIFY(list.isNoMatchRow(5) && !list.isNoMatchRow(1));
        QVERIFY(list.isContinuationRow(2) && !list.isContinuationRow(1));

        // A record row follows its record; a text written over it stays, with its tag.
        records.set(0, QStringLiteral("ALPHA-----beta"));
        QCOMPARE(list.text(1), QStringLiteral("ALPHA"));
        list.setRowText(1, QStringLiteral("typed-----over"));
        QCOMPARE(list.text(1), QStringLiteral("typed-----over"));
        QCOMPARE(list.itemData(1), 0);
    }

    void selectingRaisesTheClickHandlerInsideTheWrite() {
        RecordArray records = RecordArray::fromStrings({"a", "b", "c"});
        ResultList list(records);
        for (int i = 0; i < 3; ++i) {
            list.addRecordRow(i);
        }
        QList<int> seen;
        list.setClickHandler([&] { seen << list.listIndex(); });
        list.setListIndex(1);
        QCOMPARE(seen, QList<int>({1}));  // ran before setListIndex returned, saw the new row
        list.setListIndex(1);             // no change, no event
        list.setListIndex(7);             // no such row: ignored
        list.setListIndex(-2);
        QCOMPARE(list.listIndex(), 1);
        list.setListIndex(-1);
        QCOMPARE(seen, QList<int>({1, -1}));
        // A user's click always counts, also on the row already selected.
        list.userSelect(2);
        list.userSelect(2);
        QCOMPARE(seen, QList<int>({1, -1, 2, 2}));
        // Rows inserted or removed above the selection keep the same row selected.
        list.insertHeaderRow(QStringLiteral("h"));
        QCOMPARE(list.listIndex(), 3);
        list.removeRow(0);
        QCOMPARE(list.listIndex(), 2);
        list.removeRow(2);
        QCOMPARE(list.listIndex(), -1);
        list.removeRow(9);  // no such row: nothing happens
        QCOMPARE(list.count(), 2);
        QCOMPARE(seen.size(), 4);  // none of that was a click
    }

    void viewHearsOneResetForARebuild() {
        RecordArray records = RecordArray::fromStrings({"a", "b"});
        ResultList list(records);
        Recorder view;
        list.setObserver(&view);
        {
            ResultList::Update update(list);
            list.clear();
            for (int i = 0; i < 1000; ++i) {
                list.addRecordRow(i % 2);
            }
            list.setListIndex(3);
        }
        QCOMPARE(view.events, QStringList({"reset"}));
        view.events.clear();
        list.addNoMatchRow();
        list.setRowText(0, QStringLiteral("x"));
        list.removeRow(1000);
        list.setBackColor(ResultList::kFocusColour);
        list.setBackColor(ResultList::kFocusColour);
        QCOMPARE(view.events, QStringList({"insert 1000 1", "text 0", "remove 1000 1", "selection",
                                           "appearance"}));
    }
};

QTEST_GUILESS_MAIN(TestResultList)
#include "test_result_list.moc"
