#include <QTest>

#include "store/data_file.h"
#include "store/record_array.h"

using namespace trovix::store;

class TestRecordArray : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void writesLeaveOtherRecordsAlone() {
        RecordArray a = parseDataFile("one\r\ntwo\r\nthree").records;
        a.set(1, QStringLiteral("TWO-----2"));
        a.append(QStringLiteral("four"));
        a.set(0, std::string_view());
        QCOMPARE(a.toStringList(), QStringList({"", "TWO-----2", "three", "four"}));
        a.swap(0, 3);
        QCOMPARE(a.toStringList(), QStringList({"four", "TWO-----2", "three", ""}));
        a.keepIf([](std::string_view s) { return !s.empty(); });
        QCOMPARE(a.toStringList(), QStringList({"four", "TWO-----2", "three"}));
    }

    void copiesAreIndependent() {
        RecordArray a = RecordArray::fromStrings({"x", "y"});
        RecordArray b = a;
        b.set(0, QStringLiteral("changed"));
        a.append(QStringLiteral("z"));
        QCOMPARE(a.toStringList(), QStringList({"x", "y", "z"}));
        QCOMPARE(b.toStringList(), QStringList({"changed", "y"}));
        RecordArray moved = std::move(b);
        QCOMPARE(moved.toStringList(), QStringList({"changed", "y"}));
    }

    void foldedCopyFollowsEveryChange() {
        RecordArray a = parseDataFile("Alpha\r\nBETA\r\nGamma").records;
        QCOMPARE(a.folded().toStringList(), QStringList({"alpha", "beta", "gamma"}));
        a.set(1, QStringLiteral("ÉCOLE"));
        a.append(QStringLiteral("Delta"));
        a.swap(0, 2);
        QCOMPARE(a.folded().toStringList(), QStringList({"gamma", "école", "alpha", "delta"}));
        a.keepIf([](std::string_view s) { return s != "alpha" && s != "Alpha"; });
        QCOMPARE(a.folded().toStringList(), QStringList({"gamma", "école", "delta"}));
    }

    void rewritingARecordWithItsOwnTextSurvivesACleanUp() {
        // The text passed in lives in the storage the clean-up may free; it must be read first.
        RecordArray a = RecordArray::fromStrings({"x", QString(1 << 20, u'y')});
        a.folded();
        const QString big(1 << 20, u'z');
        for (int i = 0; i < 62; ++i) {
            a.set(0, big);
        }
        a.set(1, a.utf8(1));
        QCOMPARE(a.text(1), QString(1 << 20, u'y'));
        QCOMPARE(a.folded().text(1), QString(1 << 20, u'y'));
    }

    void manyEditsKeepTheLatestTexts() {
        // Enough rewrites to make the array move its live texts to fresh storage several times.
        RecordArray a = parseDataFile("first\r\nsecond\r\nthird").records;
        QString text;
        for (int i = 0; i < 30000; ++i) {
            text = QStringLiteral("edit %1 ").arg(i) + QString(3000, u'x');
            a.set(i % 2 == 0 ? 0 : 2, text);
        }
        QCOMPARE(a.text(1), QStringLiteral("second"));
        QCOMPARE(a.text(2), text);
        QVERIFY(a.text(0).startsWith(QStringLiteral("edit 29998 ")));
    }
};

QTEST_GUILESS_MAIN(TestRecordArray)
#include "test_record_array.moc"
