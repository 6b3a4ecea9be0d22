#include <QTest>

#include "store/data_file.h"
#include "store/listing.h"

using namespace trovix::store;

namespace {

QStringList rows(const ResultList& list) {
    QStringList out;
    for (int r = 0; r < list.count(); ++r) {
        out << QStringLiteral("%1|%2").arg(list.itemData(r)).arg(list.text(r));
    }
    return out;
}

}  // namespace

class TestListing : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void listingEveryRecord() {
        const RecordArray records =
            parseDataFile("alpha\r\n-----beta\r\n-----gamma\r\n\r\n   \r\ndelta\r\n").records;
        ResultList list(records);
        listAllRecords(list, records, QStringLiteral("/data/f.txt"), {false, false});
        // Blank records are not listed but keep their index: tags have gaps.
        QCOMPARE(rows(list), QStringList({"0|alpha", "3|delta"}));

        listAllRecords(list, records, QStringLiteral("/data/f.txt"), {true, true});
        QCOMPARE(rows(list), QStringList({"0|... /data/f.txt ...", "0|alpha", "-1|-----beta",
                                          "-1|-----gamma", "3|delta"}));
        QCOMPARE(list.listIndex(), -1);

        // An empty array lists nothing but the header row.
        const RecordArray none;
        ResultList empty(none);
        listAllRecords(empty, none, QStringLiteral("x"), {true, false});
        QCOMPARE(rows(empty), QStringList({"0|... x ..."}));
        listAllRecords(empty, none, QStringLiteral("x"), {false, true});
        QCOMPARE(empty.count(), 0);

        // A missing file lists its single stand-in record; a record starting with the marker
        // shows an empty first line; ten hyphens give an empty middle line.
        const RecordArray odd =
            RecordArray::fromStrings({"<file not found>", "-----x", "a----------b"});
        ResultList oddList(odd);
        listAllRecords(oddList, odd, QStringLiteral("x"), {false, true});
        QCOMPARE(rows(oddList), QStringList({"0|<file not found>", "1|", "-1|-----x", "2|a",
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
        const QStringList before = rows(list);

        expandList(list, records, QStringLiteral("new name"), true);
        QCOMPARE(rows(list), QStringList({"0|... new name ...", "2|three", "-1|-----3a", "0|one",
                                          "-1|-----1a", "-1|-----1b"}));
        contractList(list, records, QStringLiteral("old name"), true);
        QCOMPARE(rows(list), before);

        // Rows are written from the records, not from what the rows showed.
        list.setRowText(1, QStringLiteral("typed over"));
        records.set(2, QStringLiteral("THREE-----x-----y"));
        expandList(list, records, QStringLiteral("old name"), true);
        QCOMPARE(rows(list), QStringList({"0|... old name ...", "2|THREE", "-1|-----x", "-1|-----y",
                                          "0|one", "-1|-----1a", "-1|-----1b"}));

        // A list showing "no match found" stays so, with and without the header.
        ResultList noMatch(records);
        noMatch.addNoMatchRow();
        expandList(noMatch, records, QStringLiteral("n"), false);
        QCOMPARE(rows(noMatch), QStringList({"0|no match found"}));
        noMatch.insertHeaderRow(headerRowText(QStringLiteral("n")));
        contractList(noMatch, records, QStringLiteral("n"), true);
        QCOMPARE(rows(noMatch), QStringList({"0|... n ...", "0|no match found"}));

        // A record whose first line reads like the no-match row is still a record.
        RecordArray tricky = RecordArray::fromStrings({"no match found-----really"});
        ResultList trickyList(tricky);
        trickyList.addRecordRow(0);
        expandList(trickyList, tricky, QStringLiteral("t"), false);
        QCOMPARE(rows(trickyList), QStringList({"0|no match found", "-1|-----really"}));

        // An empty list, or one with only the header, is left so.
        const RecordArray none;
        ResultList empty(none);
        expandList(empty, none, QStringLiteral("e"), false);
        QCOMPARE(empty.count(), 0);
        empty.insertHeaderRow(headerRowText(QStringLiteral("e")));
        contractList(empty, none, QStringLiteral("e"), true);
        QCOMPARE(rows(empty), QStringList({"0|... e ..."}));
    }
};

QTEST_GUILESS_MAIN(TestListing)
#include "test_listing.moc"
