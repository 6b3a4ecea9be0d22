#include <QTest>

#include "lists/listing.h"
#include "lists/result_list.h"
#include "store/record_array.h"
#include "store/record_splitter.h"
#include "support/state_fixture.h"

using namespace trovix::lists;
using namespace trovix::store;
using trovix::testing::rowsOf;

class TestResultList : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    // Writes leave the other records and every copy alone (that the case-folded copy follows
    // every write is test_search's). Enough rewritten text makes the array move its live texts
    // to fresh storage on the last write, whose text lives in the storage the clean-up frees: it
    // must be read first. Over a million short rewrites clear the replaced texts away by their
    // number too.
    void writesLeaveOtherRecordsAndCopiesAloneThroughACleanUp() {
        RecordArray a = parseDataFile("Alpha\r\nBETA\r\ncafé").records;
        a.set(1, QStringLiteral("ÉCOLE-----2"));
        RecordArray b = a;
        b.set(0, QStringLiteral("changed"));
        a.append(QStringLiteral("z"));
        RecordArray moved = std::move(b);
        QCOMPARE(a.toStringList(), QStringList({"Alpha", "ÉCOLE-----2", "café", "z"}));
        QCOMPARE(moved.toStringList(), QStringList({"changed", "ÉCOLE-----2", "café"}));

        RecordArray big = RecordArray::fromStrings({"x", QString(1 << 20, u'y'), "kept"});
        big.caseFolding();
        for (int i = 0; i < 62; ++i) {
            big.set(0, QStringLiteral("edit %1 ").arg(i) + QString(1 << 20, u'z'));
        }
        big.set(1, big.utf8(1));
        QCOMPARE(big.toStringList(),
                 QStringList({QStringLiteral("edit 61 ") + QString(1 << 20, u'z'),
                              QString(1 << 20, u'y'), "kept"}));

        RecordArray many = parseDataFile("first\nsecond\nthird").records;
        const int rewrites = (1 << 20) + 100;
        for (int i = 0; i < rewrites; ++i) {
            many.set(i % 2, std::to_string(i));
        }
        QCOMPARE(many.toStringList(), QStringList({QString::number(rewrites - 2),
                                                   QString::number(rewrites - 1), "third"}));
    }

    void aRecordRowFollowsItsRecordUntilTypedOver() {
        RecordArray records = RecordArray::fromStrings({"alpha-----beta"});
        ResultList list(records);
        list.addRecordRow(0);
        list.addContinuationRow(0, 1);
        records.set(0, QStringLiteral("ALPHA-----BETA"));
        QCOMPARE(rowsOf(list), QStringList({"0|ALPHA", "-1|-----BETA"}));
        list.setRowText(0, QStringLiteral("typed-----over"));
        records.set(0, QStringLiteral("other-----line"));
        QCOMPARE(rowsOf(list), QStringList({"0|typed-----over", "-1|-----line"}));
        // Typed over with exactly the width a row shows, it shows whole; one character more is cut
        // there and marked.
        const QString wide(ResultList::kShownChars, u'w');
        list.setRowText(0, wide);
        const QString exact = list.shownText(0);
        list.setRowText(0, wide + u'!');
        QCOMPARE(exact + '|' + list.shownText(0), wide + '|' + wide + QChar(0x2026));

        // A row names its record by the whole index, however large: one past 2^29 is not
        // record 1, which has no such record to show.
        const qint32 far = (qint32{1} << 29) + 1;
        records.append(QStringLiteral("one-----two"));
        list.addRecordRow(far);
        list.addContinuationRow(far, 1);
        QCOMPARE(rowsOf(list).mid(2), QStringList({QString::number(far) + "|", "-1|-----"}));
        QCOMPARE(list.findRow(QStringLiteral("one")), -1);
    }

    void selectingRaisesTheClickHandlerInsideTheWrite() {
        const RecordArray records = RecordArray::fromStrings({"a", "b", "c"});
        ResultList list(records);
        listAllRecords(list, records, QStringLiteral("x"), {false, false});
        QList<int> seen;
        QObject::connect(&list, &ResultList::clicked, [&] { seen << list.listIndex(); });
        // It runs before setListIndex returns and sees the new row; a user's click always counts,
        // also on the row already selected.
        list.setListIndex(1);
        list.setListIndex(1);  // no change, no event
        list.setListIndex(3);  // no such row: ignored
        list.setListIndex(-2);
        list.setListIndex(-1);
        list.userSelect(2);
        list.userSelect(2);
        QCOMPARE(seen, QList<int>({1, -1, 2, 2}));
        // Rows inserted or removed above the selection keep the same row selected.
        QList<qsizetype> selected;
        list.insertHeaderRow(QStringLiteral("h"));
        selected << list.listIndex();
        list.removeRow(0);
        selected << list.listIndex();
        list.removeRow(2);
        selected << list.listIndex();
        list.removeRow(list.count());             // no such row: nothing happens
        selected << list.count() << seen.size();  // none of that was a click
        QCOMPARE(selected, QList<qsizetype>({3, 2, -1, 2, 4}));
    }

    void listingEveryRecord() {
        const RecordArray records =
            parseDataFile("alpha\r\n-----beta\r\n-----gamma\r\n\r\n   \r\ndelta\r\n").records;
        ResultList list(records);
        listAllRecords(list, records, QStringLiteral("/data/f.txt"), {false, false});
        // Blank records are not listed but keep their index: tags have gaps.
        QCOMPARE(rowsOf(list), QStringList({"0|alpha", "3|delta"}));

        listAllRecords(list, records, QStringLiteral("/data/f.txt"), {true, true});
        QCOMPARE(rowsOf(list), QStringList({"0|... /data/f.txt ...", "0|alpha", "-1|-----beta",
                                            "-1|-----gamma", "3|delta"}));
        QCOMPARE(list.listIndex(), -1);

        // An empty array lists nothing but the header row.
        const RecordArray none;
        ResultList empty(none);
        listAllRecords(empty, none, QStringLiteral("x"), {true, false});
        QCOMPARE(rowsOf(empty), QStringList({"0|... x ..."}));
        listAllRecords(empty, none, QStringLiteral("x"), {false, true});
        QCOMPARE(empty.count(), 0);

        // A missing file lists its single stand-in record; a record starting with the marker
        // shows an empty first line; ten hyphens give an empty middle line.
        const RecordArray odd =
            RecordArray::fromStrings({"<file not found>", "-----x", "a----------b"});
        ResultList oddList(odd);
        listAllRecords(oddList, odd, QStringLiteral("x"), {false, true});
        QCOMPARE(rowsOf(oddList), QStringList({"0|<file not found>", "1|", "-1|-----x", "2|a",
                                               "-1|-----", "-1|-----b"}));
    }

    void expandingAndContractingKeepWhatIsShown() {
        RecordArray records =
            RecordArray::fromStrings({"one-----1a-----1b", "two", "three-----3a", "four"});
        ResultList list(records);
        // A search result: a header and two of the records, in this order.
        list.insertHeaderRow(headerRowText(QStringLiteral("old name")));
        list.addRecordRow(2);
        list.addRecordRow(0);
        const QStringList before = rowsOf(list);

        expandList(list, records, QStringLiteral("new name"), true);
        QCOMPARE(rowsOf(list), QStringList({"0|... new name ...", "2|three", "-1|-----3a", "0|one",
                                            "-1|-----1a", "-1|-----1b"}));
        contractList(list, records, QStringLiteral("old name"), true);
        QCOMPARE(rowsOf(list), before);

        // Rows are written from the records, not from what the rows showed.
        list.setRowText(1, QStringLiteral("typed over"));
        records.set(2, QStringLiteral("THREE-----x-----y"));
        expandList(list, records, QStringLiteral("old name"), true);
        QCOMPARE(rowsOf(list), QStringList({"0|... old name ...", "2|THREE", "-1|-----x",
                                            "-1|-----y", "0|one", "-1|-----1a", "-1|-----1b"}));

        // A list showing "no match found" stays so, with and without the header.
        ResultList noMatch(records);
        noMatch.addNoMatchRow();
        expandList(noMatch, records, QStringLiteral("n"), false);
        QCOMPARE(rowsOf(noMatch), QStringList({"0|no match found"}));
        noMatch.insertHeaderRow(headerRowText(QStringLiteral("n")));
        contractList(noMatch, records, QStringLiteral("n"), true);
        QCOMPARE(rowsOf(noMatch), QStringList({"0|... n ...", "0|no match found"}));

        // A record whose first line reads like the no-match row is still a record.
        RecordArray tricky = RecordArray::fromStrings({"no match found-----really"});
        ResultList trickyList(tricky);
        trickyList.addRecordRow(0);
        expandList(trickyList, tricky, QStringLiteral("t"), false);
        QCOMPARE(rowsOf(trickyList), QStringList({"0|no match found", "-1|-----really"}));

        // An empty list, or one with only the header, is left so.
        const RecordArray none;
        ResultList empty(none);
        expandList(empty, none, QStringLiteral("e"), false);
        QCOMPARE(empty.count(), 0);
        empty.insertHeaderRow(headerRowText(QStringLiteral("e")));
        contractList(empty, none, QStringLiteral("e"), true);
        QCOMPARE(rowsOf(empty), QStringList({"0|... e ..."}));
    }
};

QTEST_GUILESS_MAIN(TestResultList)
#include "test_result_list.moc"
