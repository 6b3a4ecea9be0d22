#include <QTest>

#include "lists/listing.h"
#include "lists/result_list.h"
#include "store/record_array.h"
#include "store/record_splitter.h"
#include "support/result_rows.h"

using namespace trovix::lists;
using namespace trovix::store;
using trovix::testing::rowsOf;

namespace {

// The texts a search that ignores case compares, as the folded records give them: an element
// that folds by lowering its ASCII letters as it is, lowered; the others from their copies.
QStringList searchedForms(const RecordArray& a) {
    const FoldedRecords& folded = a.caseFolding();
    QStringList forms;
    std::size_t k = 0;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (folded.isAscii(i)) {
            QByteArray bytes(a.utf8(i).data(), static_cast<qsizetype>(a.utf8(i).size()));
            for (char& c : bytes) {
                c = c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
            }
            forms << QString::fromUtf8(bytes);
        } else {
            forms << QString::fromUtf8(folded.textAt(k).data(),
                                       static_cast<qsizetype>(folded.textAt(k).size()));
            ++k;
        }
    }
    return k == folded.count() ? forms : QStringList{"<entries left over>"};
}

// Records what a view is told, and the row count the core list has at that moment.
struct Recorder {
    QStringList events;
    explicit Recorder(ResultList& list) {
        const auto note = [this, &list](const QString& event) {
            events << QStringLiteral("%1 (%2)").arg(event).arg(list.count());
        };
        const auto rows = [note](const char* what) {
            return [note, what](const QModelIndex&, int first, int last) {
                note(QStringLiteral("%1 %2 %3").arg(what).arg(first).arg(last - first + 1));
            };
        };
        QObject::connect(&list, &ResultList::modelAboutToBeReset, [note] { note("resetting"); });
        QObject::connect(&list, &ResultList::modelReset, [note] { note("reset"); });
        QObject::connect(&list, &ResultList::rowsAboutToBeInserted, rows("inserting"));
        QObject::connect(&list, &ResultList::rowsInserted, rows("inserted"));
        QObject::connect(&list, &ResultList::rowsAboutToBeRemoved, rows("removing"));
        QObject::connect(&list, &ResultList::rowsRemoved, rows("removed"));
        QObject::connect(&list, &ResultList::dataChanged, [note](const QModelIndex& at) {
            note(QStringLiteral("text %1").arg(at.row()));
        });
        QObject::connect(&list, &ResultList::selectionChanged, [note] { note("selection"); });
        QObject::connect(&list, &ResultList::appearanceChanged, [note] { note("appearance"); });
    }
};

}  // namespace

class TestResultList : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void writesLeaveOtherRecordsAndCopiesAloneAndTheFoldedCopyFollows() {
        RecordArray a = parseDataFile("Alpha\r\nBETA\r\nGamma\r\ncafé").records;
        QCOMPARE(searchedForms(a), QStringList({"alpha", "beta", "gamma", "café"}));
        QCOMPARE(a.caseFolding().count(), std::size_t{0});  // é is its own folded form
        a.set(1, QStringLiteral("ÉCOLE-----2"));
        a.append(QStringLiteral("Straße ΣΑΣ"));
        a.set(0, std::string_view());
        QCOMPARE(a.toStringList(), QStringList({"", "ÉCOLE-----2", "Gamma", "café", "Straße ΣΑΣ"}));
        QCOMPARE(searchedForms(a), QStringList({"", "école-----2", "gamma", "café", "straße σασ"}));
        a.swap(1, 2);
        a.set(4, QStringLiteral("plain"));
        QCOMPARE(searchedForms(a), QStringList({"", "gamma", "école-----2", "café", "plain"}));
        for (qsizetype i = 0; i < a.size(); ++i) {
            QCOMPARE(searchedForms(a)[i], a.foldedText(i));
        }
        a.removeAt({0});
        QCOMPARE(searchedForms(a), QStringList({"gamma", "école-----2", "café", "plain"}));

        // Copies are independent.
        RecordArray b = a;
        b.set(0, QStringLiteral("changed"));
        a.append(QStringLiteral("z"));
        QCOMPARE(a.toStringList(), QStringList({"Gamma", "ÉCOLE-----2", "café", "plain", "z"}));
        QCOMPARE(b.toStringList(), QStringList({"changed", "ÉCOLE-----2", "café", "plain"}));
        RecordArray moved = std::move(b);
        QCOMPARE(moved.toStringList(), QStringList({"changed", "ÉCOLE-----2", "café", "plain"}));
    }

    void rewritesKeepTheLatestTextsThroughACleanUp() {
        // Enough rewritten text to make the array move its live texts to fresh storage, on the
        // last write. That write's text lives in the storage the clean-up frees: it must be read
        // first.
        RecordArray a = RecordArray::fromStrings({"x", QString(1 << 20, u'y'), "kept"});
        a.caseFolding();
        for (int i = 0; i < 62; ++i) {
            a.set(0, QStringLiteral("edit %1 ").arg(i) + QString(1 << 20, u'z'));
        }
        a.set(1, a.utf8(1));
        QVERIFY(a.text(1) == QString(1 << 20, u'y') && searchedForms(a)[1] == a.text(1));
        QCOMPARE(a.text(0), QStringLiteral("edit 61 ") + QString(1 << 20, u'z'));
        QCOMPARE(a.text(2), QStringLiteral("kept"));

        // Over a million short rewrites: the replaced texts are cleared away by their number
        // too, and the loaded element and the latest texts stay.
        RecordArray many = parseDataFile("first\nsecond\nthird").records;
        const int rewrites = (1 << 20) + 100;
        for (int i = 0; i < rewrites; ++i) {
            const std::string text = std::to_string(i);
            many.set(i % 2, text);
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
        RecordArray records = RecordArray::fromStrings({"a", "b", "c"});
        ResultList list(records);
        for (int i = 0; i < 3; ++i) {
            list.addRecordRow(i);
        }
        QList<int> seen;
        QObject::connect(&list, &ResultList::clicked, [&] { seen << list.listIndex(); });
        list.setListIndex(1);
        QCOMPARE(seen, QList<int>({1}));  // ran before setListIndex returned, saw the new row
        list.setListIndex(1);             // no change, no event
        list.setListIndex(3);             // no such row: ignored
        list.setListIndex(-2);
        list.setListIndex(-1);
        QCOMPARE(seen, QList<int>({1, -1}));
        // A user's click always counts, also on the row already selected.
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

    void viewHearsOfEveryChangeBeforeAndAfterAndOneResetForARebuild() {
        RecordArray records = RecordArray::fromStrings({"a", "b"});
        ResultList list(records);
        list.addRecordRow(0);
        list.addRecordRow(1);
        Recorder view(list);
        {
            ResultList::Update update(list);
            list.clear();
            for (int i = 0; i < 1000; ++i) {
                list.addRecordRow(i % 2);
            }
            list.setListIndex(3);
        }
        QCOMPARE(view.events, QStringList({"resetting (2)", "reset (1000)"}));
        view.events.clear();
        { ResultList::Update unchanged(list); }
        list.addNoMatchRow();
        list.setRowText(0, QStringLiteral("x"));
        list.insertHeaderRow(QStringLiteral("h"));
        list.removeRow(1001);
        list.setBackColor(ResultList::kFocusColour);
        list.setBackColor(ResultList::kFocusColour);
        list.clear();
        QCOMPARE(
            view.events,
            QStringList({"inserting 1000 1 (1000)", "inserted 1000 1 (1001)", "text 0 (1001)",
                         "inserting 0 1 (1001)", "inserted 0 1 (1002)", "removing 1001 1 (1002)",
                         "removed 1001 1 (1001)", "selection (1001)", "appearance (1001)",
                         "removing 0 1001 (1001)", "removed 0 1001 (0)", "selection (0)"}));
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
