#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <cstdlib>

#include "platform/fake/fake_memory_limits.h"
#include "store/data_file_io.h"
#include "store/record_splitter.h"

#include "support/address_space.h"
#include "support/files.h"

using namespace trovix::store;
using trovix::testing::readBytes;
using trovix::testing::writeBytes;

namespace {

std::string_view view(const QByteArray& b) {
    return {b.constData(), static_cast<std::size_t>(b.size())};
}

QStringList parse(const QByteArray& bytes) {
    return parseDataFile(bytes).records.toStringList();
}

QByteArray written(const QStringList& elements, FileFormat format, FileFormat* used = nullptr) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    const trovix::platform::Result<FileFormat> actual =
        writeDataFile(buffer, RecordArray::fromStrings(elements), format);
    if (!actual) {
        return "<failed>";
    }
    if (used != nullptr) {
        *used = *actual;
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
    void filesReadAsTheirRecordsAndWriteBackByteForByte() {
        const struct {
            QByteArray bytes;
            QStringList records;
            FileFormat format;
        } cases[] = {
            {"alpha\r\n-----beta\r\n-----gamma\r\nd", {"alpha-----beta-----gamma", "d"}, kCrLfUtf8},
            // A file that ends in a line break has an empty last record; blank lines are records.
            {"a\r\n\r\n   \r\nb\r\n", {"a", "", "   ", "b", ""}, kCrLfUtf8},
            {"", {}, FileFormat::native()},
            {"\r\n", {"", ""}, kCrLfUtf8},
            // The first line of a file has no record above it to continue; further down, a
            // record beginning with the marker needs an empty line above it.
            {"-----x\r\ny", {"-----x", "y"}, kCrLfUtf8},
            {"-----x\r\n\r\n-----y", {"-----x", "-----y"}, kCrLfUtf8},
            // A file that opens with an empty line continued by a marker keeps that line break.
            {"\r\n-----x\r\ny\r\n", {"-----x", "y", ""}, {Encoding::Utf8, LineBreak::CrLf, true}},
            {"\n-----x\ny\n", {"-----x", "y", ""}, {Encoding::Utf8, LineBreak::Lf, true}},
            // Ten hyphens at a line start are two markers; both join the record above.
            {"a\r\n-----\r\n-----b", {"a----------b"}, kCrLfUtf8},
            // A line break followed by fewer than five hyphens starts a record.
            {"a\r\n----b", {"a", "----b"}, kCrLfUtf8},
            // In a CR LF file a lone CR or LF is text, and only CR LF breaks lines.
            {"a\nb\r\nc\rd\r\n-----e\nf", {"a\nb", "c\rd-----e\nf"}, kCrLfUtf8},
            // A file without any CR LF breaks at LF; lone CRs are no line break at all.
            {"one\n-----two\nthree\n", {"one-----two", "three", ""}, kLfUtf8},
            {"a\rb\r", {"a\rb\r"}, FileFormat::native()},
            // Not UTF-8: every byte is one Windows-1252 character.
            {"caf\xE9\r\n-----\x80 5\r\n", {"café-----€ 5", ""}, kCrLf1252},
            {"Zo\xC3\xAB\r\n", {"Zoë", ""}, kCrLfUtf8},
            // A byte-order mark stays part of the first line.
            {"\xEF\xBB\xBFhead\r\n", {QStringLiteral("\uFEFFhead"), ""}, kCrLfUtf8},
        };
        for (const auto& c : cases) {
            const DataFileContent read = parseDataFile(c.bytes);
            QVERIFY2(read.records.toStringList() == c.records && read.format == c.format &&
                         written(c.records, c.format) == c.bytes,
                     c.bytes.constData());
        }
        // The marker inside a line is ordinary text (and moves to a line of its own on saving).
        QCOMPARE(parse("a-----b\r\nc"), QStringList({"a-----b", "c"}));
    }

    void recordsEitherLineBreakCannotCarryAreWrittenWithTheOther() {
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
            QVERIFY2(used.lineBreak == c.expected && parse(bytes) == c.records, c.what);
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

    void strictUtf8ValidationAndCaseFoldingAsQtFolds() {
        // NUL is a character; long ASCII runs take the word-at-a-time path.
        for (const std::string_view valid :
             {std::string_view(), std::string_view("a\0b", 3),
              std::string_view("Zo\xC3\xAB \xE2\x82\xAC \xF0\x9D\x84\x9E"),
              std::string_view("plain ascii text, long enough for the word-at-a-time path")}) {
            QVERIFY(isValidUtf8(valid));
        }
        // Latin-1 bytes (read as Windows-1252), among them accented letters that follow a lead
        // byte where only continuation bytes may, overlong forms, a lone surrogate, above
        // U+10FFFF, cut off at the end, a stray continuation byte, an invalid byte after a run of
        // ASCII.
        for (const char* invalid : {"caf\xE9 au lait", "\xE9\xE8\xE0", "\xC3\xC3", "\xC0\xAF",
                                    "\xE0\x80\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80",
                                    "abc\xE2\x82", "\x80", "0123456789abcdef0123456789\xFF"}) {
            QVERIFY2(!isValidUtf8(invalid), invalid);
        }

        // Case folding gives what Qt gives.
        const QString text = QStringLiteral(
            "The QUICK brown Fox [@`{] JUMPS over Zoë, ÉLODIE and ΣΟΦΊΑ; ÀÉÎÕÜ Ÿ and 123 "
            "ABCDEFGHIJKLMNOPQRSTUVWXYZ abcdefghijklmnopqrstuvwxyz");
        const QByteArray utf8 = text.toUtf8();
        std::string folded;
        appendCaseFolded(view(utf8), folded);
        QCOMPARE(QString::fromStdString(folded), text.toCaseFolded());
    }

    void windows1252RoundTripsAndACharacterItLacksSwitchesTheFileToUtf8() {
        QByteArray all;
        for (int b = 0; b < 256; ++b) {
            all.append(static_cast<char>(b));
        }
        const QByteArray utf8 = windows1252ToUtf8(view(all));
        // One character per byte. U+0080 is a control character the code page has no byte for
        // (0x80 is the euro).
        QVERIFY(isValidUtf8(view(utf8)) && QString::fromUtf8(utf8).size() == 256);
        QVERIFY(fitsWindows1252(view(utf8)) &&
                !fitsWindows1252(view(QStringLiteral("emoji 😀").toUtf8())) &&
                !fitsWindows1252(view(QString(QChar(0x80)).toUtf8())));
        std::string back;
        appendAsWindows1252(view(utf8), back);
        QCOMPARE(QByteArray(back.data(), static_cast<qsizetype>(back.size())), all);
        // The code page's own letters decode to their characters.
        QCOMPARE(QString::fromUtf8(windows1252ToUtf8("\x80\x93\xE9")), QStringLiteral("€“é"));

        // A character the code page lacks switches the file to UTF-8 rather than being lost.
        FileFormat used;
        const QByteArray bytes = written({QStringLiteral("Łódź"), ""}, kCrLf1252, &used);
        QVERIFY(used.encoding == Encoding::Utf8 && QString::fromUtf8(bytes) == "Łódź\r\n");
        QCOMPARE(written({QStringLiteral("Müller")}, kCrLf1252, &used), QByteArray("M\xFCller"));
        QCOMPARE(used.encoding, Encoding::Windows1252);
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

    void largeFilesAreSplitOnTwoThreadsAlike() {
        // Over 8 MB: validated and split in parts at once, in UTF-8 and in Windows-1252.
        QRandomGenerator rng(5);
        QStringList records;
        qsizetype size = 0;
        while (size < (9 << 20)) {
            QString record = QStringLiteral("Name %1").arg(rng.bounded(100000));
            for (int extra = rng.bounded(4); extra > 0; --extra) {
                record += QStringLiteral("-----line %1 caf\u00e9").arg(rng.bounded(1000));
            }
            size += record.size() + 4;
            records << record;
        }
        records << QString();
        // Read from disk, a large file is split while it is read; what that reading cannot take
        // as it comes is read again the plain way: Windows-1252 text, and an LF file that turns
        // out to hold a CR LF after its first piece. Either way the records are the same.
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("large.txt"));
        for (const FileFormat format : {kCrLfUtf8, kLfUtf8, kCrLf1252}) {
            const QByteArray bytes = written(records, format);
            for (const QByteArray& file : {bytes, bytes + "late\r\nCR LF"}) {
                const DataFileContent c = parseDataFile(file);
                QCOMPARE(c.format.encoding, format.encoding);
                QVERIFY(writeBytes(path, file));
                const auto read = readDataFile(path);
                QVERIFY(read && read->content.format == c.format);
                QVERIFY(read->content.records.toStringList() == c.records.toStringList());
            }
            QVERIFY(parseDataFile(bytes).records.toStringList() == records);
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

    void aFileThatCannotFitTheAddressSpaceIsRefusedNotAborted() {
        // In a child process (this program again) limited to 256 MB more address space than it
        // holds, a 48 MB file of empty lines, whose records alone need 384 MB, is read.
        if (const QByteArray file = qgetenv("TROVIX_LOAD_UNDER_LIMIT"); !file.isEmpty()) {
            if (!trovix::testing::limitAddressSpace(qint64{256} << 20)) {
                std::printf("no limit\n");
                std::exit(3);
            }
            const auto read = readDataFile(QString::fromLocal8Bit(file));
            std::printf("%s\n", read ? "loaded" : qPrintable("refused: " + read.error()));
            std::fflush(stdout);
            std::exit(0);
        }
        if (trovix::testing::kAddressSanitizer) {
            QSKIP("the address sanitizer reserves more address space than any such limit");
        }
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("line breaks.txt"));
        QVERIFY(writeBytes(path, QByteArray(48 << 20, '\n')));
        const QString output =
            trovix::testing::childOutput("TROVIX_LOAD_UNDER_LIMIT", path,
                                         "aFileThatCannotFitTheAddressSpaceIsRefusedNotAborted");
        QVERIFY2(output.startsWith("exit 0: ") &&
                     output.contains("\nrefused: Its 50,331,649 records would take about") &&
                     output.contains("(the address space allowed to this program (ulimit -v))"),
                 qPrintable(output));
    }

    void theMemoryAFileNeedsIsWorkedOutFromItsSizeAndItsRecords() {
        // The bytes, eight per record and eight per record a list shows (not the empty ones),
        // 64 MB kept for the rest; the bytes twice while Windows-1252 text becomes UTF-8.
        constexpr qint64 kReserve = qint64{64} << 20;
        const struct {
            QByteArray bytes;
            qint64 needed;
            QStringList records;
        } files[] = {
            {"a\r\n-----b\r\n\r\nc", 14 + 3 * 8 + 2 * 8, {"a-----b", "", "c"}},
            {"\n\n\n", 3 + 4 * 8, {"", "", "", ""}},
            {"caf\xE9\r\n", 6 + 7 + 2 * 8 + 8, {"caf\u00e9", ""}},
            {QByteArray(9 << 20, '\n'), (9 << 20) + ((9 << 20) + 1) * 8, {}},  // on two threads
        };
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("data.txt"));
        trovix::platform::FakeMemoryLimits limits;
        limits.given.limitedBy = QStringLiteral("the test's limit");
        for (const auto& file : files) {
            QVERIFY(writeBytes(path, file.bytes));
            limits.given.bytes = kReserve + file.needed;
            const auto fits = readDataFile(path, limits);
            QVERIFY2(fits, qPrintable(fits.error()));
            if (!file.records.isEmpty()) {
                QCOMPARE(fits->content.records.toStringList(), file.records);
            }
            limits.given.bytes -= 1;
            const auto refused = readDataFile(path, limits);
            QVERIFY(!refused && refused.failure().refused);
            QVERIFY2(refused.error().contains(QStringLiteral("records would take about")) &&
                         refused.error().endsWith(QStringLiteral("is left (the test's limit).")),
                     qPrintable(refused.error()));
        }
        // Less room than the file's bytes: refused before anything is read.
        limits.given.bytes = kReserve + 100;
        QVERIFY(writeBytes(path, QByteArray(200, 'x')));
        const auto tooLarge = readDataFile(path, limits);
        QVERIFY(!tooLarge && tooLarge.failure().refused);
        QVERIFY2(tooLarge.error().startsWith(QStringLiteral("Reading it would take at least")),
                 qPrintable(tooLarge.error()));
    }

    void missingFilesAndDeviceFailures() {
        QTemporaryDir dir;
        const QString absent = dir.filePath(QStringLiteral("absent.txt"));
        QVERIFY(writeBytes(dir.filePath(QStringLiteral("present.txt")), "x"));
        // A folder is not a data file.
        QVERIFY(!fileExists(QString()) && !fileExists(absent) && !fileExists(dir.path()) &&
                fileExists(dir.filePath(QStringLiteral("present.txt"))));
        for (const QString& path : {absent, dir.path()}) {
            const auto missing = readDataFile(path);
            QVERIFY(missing &&
                    missing->content.records.toStringList() == QStringList({"<file not found>"}));
            // What stood at the name comes along, for the user to be told.
            QCOMPARE(missing->kind, path == absent ? trovix::platform::PathKind::Missing
                                                   : trovix::platform::PathKind::Folder);
        }

        // Device failures are reported.
        FailingDevice disk(10);
        QCOMPARE(writeDataFile(disk, RecordArray::fromStrings({"more than ten bytes"}), kCrLfUtf8)
                     .error(),
                 QStringLiteral("No space left on device"));
        FailingDevice broken(0);
        const trovix::platform::Result<QByteArray> failed = readWholeDevice(broken);
        QCOMPARE(failed.error(), QStringLiteral("Input/output error"));

        // A device that does not know its size beforehand is read to its end.
        QByteArray content(200000, 'x');
        content[150000] = 'y';
        UnknownSizeBuffer sequential(&content);
        sequential.open(QIODevice::ReadOnly);
        const trovix::platform::Result<QByteArray> read = readWholeDevice(sequential);
        QVERIFY(read.ok());
        QCOMPARE(*read, content);
    }
};

QTEST_GUILESS_MAIN(TestDataFile)
#include "test_data_file.moc"
