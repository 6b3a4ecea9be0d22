#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include "store/data_file.h"

#include "support/files.h"

using namespace trovix::store;
using trovix::testing::readBytes;
using trovix::testing::writeBytes;

namespace {

QStringList parse(const QByteArray& bytes) {
    return parseDataFile(bytes).records.toStringList();
}

QByteArray written(const QStringList& elements, FileFormat format, FileFormat* used = nullptr) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    FileFormat actual;
    QString error;
    if (!writeDataFile(buffer, RecordArray::fromStrings(elements), format, actual, error)) {
        return "<failed>";
    }
    if (used != nullptr) {
        *used = actual;
    }
    return buffer.data();
}

constexpr FileFormat kCrLfUtf8{Encoding::Utf8, LineBreak::CrLf};
constexpr FileFormat kLfUtf8{Encoding::Utf8, LineBreak::Lf};
constexpr FileFormat kCrLf1252{Encoding::Windows1252, LineBreak::CrLf};

// A device that accepts a few bytes and then fails, like a disk that fills up.
class FailingDevice : public QIODevice {
  public:
    explicit FailingDevice(qint64 budget) : budget_(budget) { open(QIODevice::ReadWrite); }

  protected:
    qint64 readData(char*, qint64) override {
        setErrorString(QStringLiteral("Input/output error"));
        return -1;
    }
    qint64 writeData(const char*, qint64 len) override {
        if (len > budget_) {
            setErrorString(QStringLiteral("No space left on device"));
            return -1;
        }
        budget_ -= len;
        return len;
    }

  private:
    qint64 budget_;
};

class UnknownSizeBuffer : public QBuffer {
  public:
    using QBuffer::QBuffer;
    qint64 size() const override { return 0; }
};

// Random text lines: letters, spaces, hyphens, a tab, a stray CR or LF where allowed, and
// characters outside ASCII. No line holds the marker except at its start.
QString randomLine(QRandomGenerator& rng, bool strayBreaks) {
    static const QString alphabet = QStringLiteral("ab Z- -\t5éü€ß");
    QString line;
    const int length = rng.bounded(0, 14);
    for (int i = 0; i < length; ++i) {
        line.append(alphabet.at(rng.bounded(alphabet.size())));
        if (strayBreaks && rng.bounded(20) == 0) {
            line.append(rng.bounded(2) ? QChar(u'\r') : QChar(u'\n'));
        }
    }
    while (line.indexOf(QStringLiteral("-----"), 1) >= 0) {
        line.remove(line.indexOf(QStringLiteral("-----"), 1), 1);
    }
    if (line.endsWith(u'\r')) {
        line.chop(1);  // a CR right before the line break would make it part of the break
    }
    return line;
}

}  // namespace

class TestDataFile : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void continuationLinesJoinTheirRecord() {
        const DataFileContent c = parseDataFile("alpha\r\n-----beta\r\n-----gamma\r\ndelta");
        QCOMPARE(c.records.toStringList(), QStringList({QStringLiteral("alpha-----beta-----gamma"),
                                                        QStringLiteral("delta")}));
        QCOMPARE(c.format, kCrLfUtf8);

        // A file that ends in a line break has an empty last record; blank lines are records.
        QCOMPARE(parse("a\r\n\r\n   \r\nb\r\n"), QStringList({"a", "", "   ", "b", ""}));
        QCOMPARE(parse(""), QStringList());
        QCOMPARE(parse("\r\n"), QStringList({"", ""}));
        // The first line of a file has no record above it to continue.
        QCOMPARE(parse("-----x\r\ny"), QStringList({"-----x", "y"}));
        // Ten hyphens at a line start are two markers; both join the record above.
        QCOMPARE(parse("a\r\n-----\r\n-----b"), QStringList({"a----------b"}));
        // The marker inside a line is ordinary text.
        QCOMPARE(parse("a-----b\r\nc"), QStringList({"a-----b", "c"}));
        // A line break followed by fewer than five hyphens starts a record.
        QCOMPARE(parse("a\r\n----b"), QStringList({"a", "----b"}));
    }

    void lineBreakConventions() {
        // In a CR LF file a lone CR or LF is text, and only CR LF breaks lines.
        QCOMPARE(parse("a\nb\r\nc\rd\r\n-----e\nf"), QStringList({"a\nb", "c\rd-----e\nf"}));
        // A file without any CR LF breaks at LF and is written back with LF.
        const DataFileContent lf = parseDataFile("one\n-----two\nthree\n");
        QCOMPARE(lf.records.toStringList(), QStringList({"one-----two", "three", ""}));
        QCOMPARE(lf.format.lineBreak, LineBreak::Lf);
        QCOMPARE(written(lf.records.toStringList(), lf.format),
                 QByteArray("one\n-----two\nthree\n"));
        // Lone CRs are no line break at all: one record, and the platform's line end.
        const DataFileContent cr = parseDataFile("a\rb\r");
        QCOMPARE(cr.records.toStringList(), QStringList({"a\rb\r"}));
        QCOMPARE(cr.format, FileFormat::native());
    }

    void recordsLfBreaksCannotCarryAreWrittenWithCrLf() {
        // Each case holds one thing that would make an LF file read back with other records:
        // a CR right before a written line break reads as CR LF, an LF breaks the record.
        const struct {
            const char* what;
            QStringList records;
            LineBreak expected;
        } cases[] = {
            {"a record ending in CR", {"one", "two\r", "three"}, LineBreak::CrLf},
            {"a CR before a further line", {"one", "two\r-----three"}, LineBreak::CrLf},
            {"an LF inside a line", {"one\ntwo", "three"}, LineBreak::CrLf},
            {"a CR inside a line", {"one", "two\rmore"}, LineBreak::Lf},
        };
        for (const auto& c : cases) {
            FileFormat used;
            const QByteArray bytes = written(c.records, kLfUtf8, &used);
            QVERIFY2(used.lineBreak == c.expected, c.what);
            QVERIFY2(parse(bytes) == c.records, c.what);
        }
    }

    void encodings() {
        // Not UTF-8: every byte is one Windows-1252 character.
        const DataFileContent legacy = parseDataFile("caf\xE9\r\n-----\x80 5\r\n");
        QCOMPARE(legacy.records.toStringList(), QStringList({QStringLiteral("café-----€ 5"), ""}));
        QCOMPARE(legacy.format.encoding, Encoding::Windows1252);
        QCOMPARE(written(legacy.records.toStringList(), legacy.format),
                 QByteArray("caf\xE9\r\n-----\x80 5\r\n"));

        const DataFileContent utf8 = parseDataFile(QStringLiteral("Zoë\r\n").toUtf8());
        QCOMPARE(utf8.records.text(0), QStringLiteral("Zoë"));
        QCOMPARE(utf8.format.encoding, Encoding::Utf8);

        // A byte-order mark stays part of the first line, and is written back.
        const QByteArray bom = "\xEF\xBB\xBFhead\r\n";
        QCOMPARE(parse(bom).first(), QStringLiteral("\uFEFFhead"));
        QCOMPARE(written(parse(bom), kCrLfUtf8), bom);

        // A character the code page lacks switches the file to UTF-8 rather than losing it.
        FileFormat used;
        const QByteArray bytes = written({QStringLiteral("Łódź"), ""}, kCrLf1252, &used);
        QCOMPARE(used.encoding, Encoding::Utf8);
        QCOMPARE(QString::fromUtf8(bytes), QStringLiteral("Łódź\r\n"));
        QCOMPARE(written({QStringLiteral("Müller")}, kCrLf1252, &used), QByteArray("M\xFCller"));
        QCOMPARE(used.encoding, Encoding::Windows1252);
    }

    void markersGetTheirOwnLinesWhenWritten() {
        QCOMPARE(written({"alpha-----beta", "delta", ""}, kCrLfUtf8),
                 QByteArray("alpha\r\n-----beta\r\ndelta\r\n"));
        QCOMPARE(written({"a----------b"}, kCrLfUtf8), QByteArray("a\r\n-----\r\n-----b"));
        // A record beginning with the marker starts the file without an empty line above it,
        // but further down it needs one so it does not join the record before it.
        QCOMPARE(written({"-----x", "-----y"}, kCrLfUtf8), QByteArray("-----x\r\n\r\n-----y"));
        QCOMPARE(parse("-----x\r\n\r\n-----y"), QStringList({"-----x", "-----y"}));
        QCOMPARE(written({}, kCrLfUtf8), QByteArray());
    }

    void readingAndWritingAreInverse() {
        QRandomGenerator rng(20261206);
        for (int round = 0; round < 400; ++round) {
            const bool crlf = rng.bounded(2) == 0;
            // Records hold lone CR and LF characters only where the file's breaks are CR LF.
            QStringList records;
            const int count = rng.bounded(1, 8);
            for (int i = 0; i < count; ++i) {
                QString record = randomLine(rng, crlf);
                for (int extra = rng.bounded(3); extra > 0; --extra) {
                    record += QStringLiteral("-----") + randomLine(rng, crlf);
                }
                records.append(record);
            }
            if (records == QStringList({QString()})) {
                continue;  // a lone empty record and no record at all both make an empty file
            }
            const FileFormat format = crlf ? kCrLfUtf8 : kLfUtf8;
            const QByteArray bytes = written(records, format);
            QCOMPARE(parse(bytes), records);
            // Reading the file and writing it again gives the same bytes.
            const DataFileContent again = parseDataFile(bytes);
            if (again.format.lineBreak == format.lineBreak) {
                QCOMPARE(written(again.records.toStringList(), again.format), bytes);
            }
        }
    }

    void edgesOfTheFormatKeepTheirBytesOrAtLeastTheirRecords() {
        // A file that opens with an empty line continued by a marker keeps that line break.
        for (const QByteArray& bytes :
             {QByteArray("\r\n-----x\r\ny\r\n"), QByteArray("\n-----x\ny\n")}) {
            const DataFileContent c = parseDataFile(bytes);
            QCOMPARE(written(c.records.toStringList(), c.format), bytes);
        }
        // A CR LF file of one record holding an LF would read back as an LF file: it keeps a
        // CR LF, in front of a marker that opens it or at its end.
        const QStringList lone[] = {{"-------a\nb"}, {"a\nb"}};
        for (const QStringList& records : lone) {
            QStringList back = parse(written(records, kCrLfUtf8));
            if (back.size() == 2 && back.last().isEmpty()) {
                back.removeLast();  // the line break at the end adds an empty element
            }
            QCOMPARE(back, records);
        }
    }

    void largeFilesAreSplitOnTwoThreadsAlike() {
        // Over 8 MB: validated and split in two halves at once, in UTF-8 and in Windows-1252.
        QRandomGenerator rng(5);
        QStringList records;
        qsizetype bytes = 0;
        while (bytes < (9 << 20)) {
            QString record = QStringLiteral("Name %1").arg(rng.bounded(100000));
            for (int extra = rng.bounded(4); extra > 0; --extra) {
                record += QStringLiteral("-----line %1 caf\u00e9").arg(rng.bounded(1000));
            }
            bytes += record.size() + 4;
            records << record;
        }
        records << QString();
        for (const FileFormat format : {kCrLfUtf8, kLfUtf8, kCrLf1252}) {
            const DataFileContent c = parseDataFile(written(records, format));
            QCOMPARE(c.format.encoding, format.encoding);
            QVERIFY(c.records.toStringList() == records);
        }
    }

    void anyBytesRoundTrip() {
        // Binary content, NUL bytes and invalid UTF-8 come back byte for byte.
        QRandomGenerator rng(7);
        for (int round = 0; round < 200; ++round) {
            QByteArray bytes;
            const int length = rng.bounded(0, 300);
            for (int i = 0; i < length; ++i) {
                bytes.append(static_cast<char>(rng.bounded(256)));
            }
            if (rng.bounded(2) == 0) {
                bytes.append("\r\n");
            }
            const DataFileContent c = parseDataFile(bytes);
            const QByteArray back = written(c.records.toStringList(), c.format);
            // The only change a save may make: a marker inside a line moves to its own line.
            QByteArray expected = bytes;
            if (!expected.contains("-----")) {
                QCOMPARE(back, expected);
            } else {
                QCOMPARE(parse(back), c.records.toStringList());
            }
        }
    }

    void findingTheMarkerAgreesWithAPlainSearch() {
        QRandomGenerator rng(99);
        for (int round = 0; round < 20000; ++round) {
            std::string text;
            const int length = rng.bounded(0, 40);
            for (int i = 0; i < length; ++i) {
                text.push_back(rng.bounded(3) == 0 ? 'x' : '-');
            }
            QCOMPARE(findRecordSep(text), std::string_view(text).find("-----"));
        }
    }

    void missingFilesAndTheFileTest() {
        QTemporaryDir dir;
        QVERIFY(!fileExists(QString()));
        QVERIFY(!fileExists(dir.filePath(QStringLiteral("absent.txt"))));
        QVERIFY(!fileExists(dir.path()));  // a folder is not a data file
        writeBytes(dir.filePath(QStringLiteral("present.txt")), "x");
        QVERIFY(fileExists(dir.filePath(QStringLiteral("present.txt"))));

        const ReadResult missing = readDataFile(dir.filePath(QStringLiteral("absent.txt")));
        QVERIFY(missing.content);
        QCOMPARE(missing.content->records.toStringList(), QStringList({"<file not found>"}));
        const ReadResult folder = readDataFile(dir.path());
        QCOMPARE(folder.content->records.toStringList(), QStringList({"<file not found>"}));
    }

    void deviceFailuresAreReported() {
        FailingDevice disk(10);
        FileFormat used;
        QString error;
        QVERIFY(!writeDataFile(disk, RecordArray::fromStrings({"more than ten bytes"}), kCrLfUtf8,
                               used, error));
        QCOMPARE(error, QStringLiteral("No space left on device"));

        FailingDevice broken(0);
        QByteArray bytes = "stale";
        QVERIFY(!readWholeDevice(broken, bytes, error));
        QCOMPARE(error, QStringLiteral("Input/output error"));
        QVERIFY(bytes.isEmpty());

        // A device that does not know its size beforehand is read to its end.
        QByteArray content(200000, 'x');
        content[150000] = 'y';
        UnknownSizeBuffer sequential(&content);
        sequential.open(QIODevice::ReadOnly);
        QVERIFY(readWholeDevice(sequential, bytes, error));
        QCOMPARE(bytes, content);
    }
};

QTEST_GUILESS_MAIN(TestDataFile)
#include "test_data_file.moc"
