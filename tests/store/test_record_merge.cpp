#include <QRandomGenerator>
#include <QSet>
#include <QTest>
#include <algorithm>
#include <vector>

#include "store/record_merge.h"

using namespace trovix::store;

namespace {

// A record of a side with the base record it comes from (-1: added by the side), so that the
// test knows what each side truly did.
struct Record {
    int id;
    QString text;
};
using Records = std::vector<Record>;

QStringList textsOf(const Records& records) {
    QStringList texts;
    for (const Record& r : records) {
        texts << r.text;
    }
    return texts;
}

RecordArray arrayOf(const QStringList& texts) {
    return RecordArray::fromStrings(texts);
}

// A unique text whose random start makes a sort move it anywhere.
QString freshText(QRandomGenerator& random, int& made) {
    return QStringLiteral("%1 #%2").arg(random.bounded(1000), 3, 10, QChar('0')).arg(made++);
}

// A copy of the base with random edits (same record, new text), inserts, deletes and, at times,
// a sort among them.
Records edited(const Records& base, QRandomGenerator& random, int& made, bool editsOnly) {
    Records side = base;
    const int ops = random.bounded(base.size() > 50 ? 30 : 7);
    for (int op = 0; op < ops; ++op) {
        const int kind = editsOnly ? 0 : random.bounded(13);
        const int at = side.empty() ? 0 : random.bounded(static_cast<int>(side.size()));
        if (kind < 5) {
            if (!side.empty()) {
                side[static_cast<std::size_t>(at)].text = freshText(random, made);
            }
        } else if (kind < 8) {
            side.insert(side.begin() + random.bounded(static_cast<int>(side.size()) + 1),
                        Record{-1, freshText(random, made)});
        } else if (kind < 12) {
            if (!side.empty()) {
                side.erase(side.begin() + at);
            }
        } else if (kind == 12) {
            std::sort(side.begin(), side.end(),
                      [](const Record& a, const Record& b) { return a.text < b.text; });
        }
    }
    return side;
}

// Whether the base records a side kept unchanged stand in another order than in the base.
bool reordered(const Records& side, const QSet<QString>& baseTexts) {
    int last = -1;
    for (const Record& r : side) {
        if (baseTexts.contains(r.text)) {
            if (r.id < last) {
                return true;
            }
            last = r.id;
        }
    }
    return false;
}

// Whether `part` stands in `whole` in the same order, every text of it there.
bool inOrder(const QStringList& part, const QStringList& whole) {
    qsizetype from = 0;
    for (const QString& text : part) {
        from = whole.indexOf(text, from);
        if (from < 0) {
            return false;
        }
    }
    return true;
}

}  // namespace

class TestRecordMerge : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    // Random bases edited twice, independently, against what each side truly did. With
    // duplicate texts, which copy a side deleted is ambiguous to any merge: the texts are unique.
    void randomEditsAreMergedWithoutLoss() {
        for (int draw = 0; draw < 2000; ++draw) {
            QRandomGenerator random(static_cast<quint32>(draw));
            const QString where = QStringLiteral("seed %1").arg(draw);
            int made = 0;
            Records base;
            // Some large enough for the anchored alignment, not only the exact one of small gaps.
            for (int n = random.bounded(8) == 0 ? 100 + random.bounded(200) : random.bounded(25);
                 n > 0; --n) {
                base.push_back({static_cast<int>(base.size()), freshText(random, made)});
            }
            const bool editsOnly = random.bounded(4) == 0;
            const Records mine = edited(base, random, made, editsOnly);
            const Records theirs = edited(base, random, made, editsOnly);
            const QStringList b = textsOf(base), m = textsOf(mine), t = textsOf(theirs);
            const QSet<QString> baseSet(b.begin(), b.end()), mineSet(m.begin(), m.end()),
                theirSet(t.begin(), t.end());

            const MergedRecords merged = mergeRecords(arrayOf(b), arrayOf(m), arrayOf(t));
            const QStringList result = merged.records.toStringList();
            const QSet<QString> resultSet(result.begin(), result.end());
            QVERIFY2(resultSet.size() == result.size(), qPrintable(where + ": a text twice"));
            for (const QString& text : result) {
                QVERIFY2(
                    baseSet.contains(text) || mineSet.contains(text) || theirSet.contains(text),
                    qPrintable(where + ": made up " + text));
            }
            // What a side changed or added is there; a base text only while both still hold it.
            for (const QString& text : m + t) {
                QVERIFY2(baseSet.contains(text) || resultSet.contains(text),
                         qPrintable(where + ": lost " + text));
            }
            for (const QString& text : b) {
                QVERIFY2(
                    resultSet.contains(text) == (mineSet.contains(text) && theirSet.contains(text)),
                    qPrintable(where + ": base record wrongly kept or gone: " + text));
            }
            // Mine's order, or theirs' when only theirs reordered the base.
            const bool theirOrder = reordered(theirs, baseSet) && !reordered(mine, baseSet);
            QStringList orderTexts;
            for (const QString& text : theirOrder ? t : m) {
                if (resultSet.contains(text)) {
                    orderTexts << text;
                }
            }
            QVERIFY2(inOrder(orderTexts, result), qPrintable(where + ": order lost"));
            // Records kept twice: mine's version, then theirs'.
            QCOMPARE(merged.keptTwice, static_cast<int>(merged.keptTwiceAt.size()));
            for (const qint32 at : merged.keptTwiceAt) {
                QVERIFY2(at + 1 < result.size() && mineSet.contains(result[at]) &&
                             theirSet.contains(result[at + 1]) && !baseSet.contains(result[at]),
                         qPrintable(where + ": conflict not mine's then theirs'"));
            }
            if (editsOnly) {
                // Every change is where it was made, so the counts are exact.
                int mineChanged = 0, theirChanged = 0, both = 0;
                for (std::size_t i = 0; i < base.size(); ++i) {
                    mineChanged += m[static_cast<qsizetype>(i)] != b[static_cast<qsizetype>(i)];
                    theirChanged += t[static_cast<qsizetype>(i)] != b[static_cast<qsizetype>(i)];
                    both += m[static_cast<qsizetype>(i)] != b[static_cast<qsizetype>(i)] &&
                            t[static_cast<qsizetype>(i)] != b[static_cast<qsizetype>(i)];
                }
                QVERIFY2(merged.mine == mineChanged && merged.theirs == theirChanged &&
                             merged.keptTwice == both,
                         qPrintable(where + ": counts"));
            }
            // A side left as the base gives the other side exactly.
            QVERIFY2(mergeRecords(arrayOf(b), arrayOf(m), arrayOf(b)).records.toStringList() == m,
                     qPrintable(where + ": theirs unchanged"));
            QVERIFY2(mergeRecords(arrayOf(b), arrayOf(b), arrayOf(t)).records.toStringList() == t,
                     qPrintable(where + ": mine unchanged"));
            // Folding theirs into mine keeps mine in order and adds what only theirs holds.
            const FoldedCopy folded = foldInCopy(arrayOf(m), arrayOf(t));
            const QStringList all = folded.records.toStringList();
            QVERIFY2(inOrder(m, all) &&
                         QSet<QString>(all.begin(), all.end()) == mineSet + theirSet &&
                         all.size() == (mineSet + theirSet).size() &&
                         folded.added == (theirSet - mineSet).size(),
                     qPrintable(where + ": fold"));
        }
    }

    void chosenCases_data() {
        QTest::addColumn<bool>("fold");
        QTest::addColumn<QStringList>("base");
        QTest::addColumn<QStringList>("mine");
        QTest::addColumn<QStringList>("theirs");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<int>("keptTwice");
        const QStringList abc{"a", "b", "c"};
        // 200 records with a blank after each: mine deletes every blank and record 150, theirs
        // changes record 150 and deletes a blank.
        QStringList spaced, compacted, edited, expected;
        for (int i = 0; i < 200; ++i) {
            spaced << QString::number(i) << QString();
            compacted << QString::number(i);
            edited << (i == 150 ? QStringLiteral("x") : QString::number(i)) << QString();
        }
        expected = compacted;
        expected[150] = QStringLiteral("x");
        compacted.removeAt(150);
        edited.removeAt(101);
        QTest::newRow("blanks compacted by mine, one edited by theirs")
            << false << QStringList{"a", "", "b", "", "c", ""} << abc
            << QStringList{"a", "", "b2", "x", "c", ""} << QStringList{"a", "b2", "x", "c"} << 0;
        QTest::newRow("blanks compacted by theirs, edits by mine")
            << false << QStringList{"", "a", "", "", "b", "", "c", ""}
            << QStringList{"", "a", "", "x", "b", "", "c2", ""} << abc
            << QStringList{"a", "x", "b", "c2"} << 0;
        QTest::newRow("many blanks compacted by mine, a record deleted by mine, edited by theirs")
            << false << spaced << compacted << edited << expected << 0;
        QTest::newRow("both add the same record")
            << false << abc << QStringList{"a", "n", "b", "c"} << QStringList{"a", "b", "c", "n"}
            << QStringList{"a", "n", "b", "c"} << 0;
        QTest::newRow("both change a record alike")
            << false << abc << QStringList{"a", "B", "c"} << QStringList{"a", "B", "c"}
            << QStringList{"a", "B", "c"} << 0;
        QTest::newRow("both change a record, each its own way")
            << false << abc << QStringList{"a", "m", "c"} << QStringList{"a", "t", "c"}
            << QStringList{"a", "m", "t", "c"} << 1;
        QTest::newRow("theirs sorted, mine edited and added")
            << false << QStringList{"c", "a", "b"} << QStringList{"c", "a2", "n", "b"} << abc
            << QStringList{"a2", "n", "b", "c"} << 0;
        QTest::newRow("mine sorted, theirs edited and added")
            << false << QStringList{"c", "a", "b"} << abc << QStringList{"c", "a", "b2", "x"}
            << QStringList{"a", "b2", "x", "c"} << 0;
        QTest::newRow("added records after their neighbours")
            << false << abc << QStringList{"m0", "a", "m", "b", "c"}
            << QStringList{"t0", "a", "b", "t", "c"}
            << QStringList{"m0", "t0", "a", "m", "b", "t", "c"} << 0;
        QTest::newRow("fold: the copy's own records after their neighbours")
            << true << QStringList() << abc << QStringList{"y", "a", "x", "c", "b"}
            << QStringList{"y", "a", "x", "b", "c"} << 0;
    }

    void chosenCases() {
        QFETCH(bool, fold);
        QFETCH(QStringList, base);
        QFETCH(QStringList, mine);
        QFETCH(QStringList, theirs);
        QFETCH(QStringList, expected);
        QFETCH(int, keptTwice);
        if (fold) {
            QCOMPARE(foldInCopy(arrayOf(mine), arrayOf(theirs)).records.toStringList(), expected);
            return;
        }
        const MergedRecords merged = mergeRecords(arrayOf(base), arrayOf(mine), arrayOf(theirs));
        QCOMPARE(merged.records.toStringList(), expected);
        QCOMPARE(merged.keptTwice, keptTwice);
    }
};

QTEST_APPLESS_MAIN(TestRecordMerge)
#include "test_record_merge.moc"
