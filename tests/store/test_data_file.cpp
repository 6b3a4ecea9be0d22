#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QLocale>
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
        // Which line break the records of a file can carry is the data-file fuzzer's, on its
        // corpus (tests/fuzz/corpus/line_break_*). A CR LF file of one record holding an LF
        // would read back as an LF file: it keeps a CR LF, in front of a marker that opens it or
        // at its end.
        const QStringList lone[] = {{"-------a\nb"}, {"a\nb"}};
        for (const QStringList& records : lone) {
            QStringList back = parse(written(records, kCrLfUtf8));
            if (back.size() == 2 && back.last().isEmpty()) {
                back.removeLast();  // the line break at the end adds an empty element
            }
            QCOMPARE(back, records);
        }
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
                     output.contains("\nrefused: Its " + QLocale().toString(50331649) +
                                     " records would take about") &&
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
