#include <QTest>

#include "store/data_file.h"
#include "store/record_array.h"

using namespace trovix::store;

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

}  // namespace

class TestRecordArray : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void writesLeaveOtherRecordsAloneAndTheFoldedCopyFollows() {
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
        a.keepIf([](std::string_view s) { return !s.empty(); });
        QCOMPARE(searchedForms(a), QStringList({"gamma", "école-----2", "café", "plain"}));
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

    void rewritingARecordWithItsOwnTextSurvivesACleanUp() {
        // The text passed in lives in the storage the clean-up may free; it must be read first.
        RecordArray a = RecordArray::fromStrings({"x", QString(1 << 20, u'y')});
        a.caseFolding();
        const QString big(1 << 20, u'z');
        for (int i = 0; i < 62; ++i) {
            a.set(0, big);
        }
        a.set(1, a.utf8(1));
        QCOMPARE(a.text(1), QString(1 << 20, u'y'));
        QCOMPARE(searchedForms(a)[1], QString(1 << 20, u'y'));
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
