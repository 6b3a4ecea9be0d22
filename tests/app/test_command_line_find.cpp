#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTest>
#include <random>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

#include "app/command_line_find.h"
#include "app/search_commands.h"
#include "platform/native.h"
#include "search/match_ranges.h"
#include "search/search_engine.h"
#include "store/data_format.h"
#include "store/record_splitter.h"
#include "store/text_codec.h"
#include "support/files.h"
#include "support/state_fixture.h"

using namespace trovix;
using trovix::testing::StateFixture;

namespace {

// What --find writes on the output and the error output, both files appended to one as with
// `2>&1`, so that what either holds back shows out of order; and its exit code.
struct Found {
    QByteArray shown;
    int exitCode = -1;
};

Found find(const app::FindRequest& request, const QList<app::FindFile>& files,
           QByteArray input = {}) {
    QBuffer in(&input);
    in.open(QIODevice::ReadOnly);
    QTemporaryFile shown;
    QFile out(shown.open() ? shown.fileName() : QString());
    QFile errors(out.fileName());
    if (!out.open(QIODevice::Append) || !errors.open(QIODevice::Append)) {
        return {};  // an exit code no case expects
    }
    const int exitCode =
        app::findInFiles(request, files, in, out, errors, QStringLiteral("trovix7"));
    out.close();
    errors.close();
    return {shown.readAll(), exitCode};
}

// What the window lists for the files' bytes loaded into its slots, printed as --find promises
// to print it: the records found written back in their file's encoding, each line ended by the
// platform's line end and begun by the file's name when there are several files. `marked` gets
// the words its rows highlight, every line a row, in order.
QByteArray windowListing(const QList<QByteArray>& files, const QStringList& names,
                         const QString& text, bool ignoreCase, int* found, QStringList* marked) {
    StateFixture f({}, {}, {});
    f.state.toolbar.setPressed(Command::Data, true);  // every line a row, its words highlighted
    std::vector<store::FileFormat> formats;
    for (int i = 0; i < files.size(); ++i) {
        store::DataFileContent content = store::parseDataFile(files[i]);
        formats.push_back(content.format);
        f.slot(i + 1).records = std::move(content.records);
        records::loadArray(f.slot(i + 1), f.state.listingOptions());
    }
    f.state.options.setChecked(Option::IgnoreCase, ignoreCase);
    f.state.searchBox.userTyped(text);
    app::search(f.state);
    QByteArray expected;
    *found = 0;
    const search::MatchFinder highlights(search::searchTerms(text), ignoreCase);
    for (int i = 0; i < files.size(); ++i) {
        const lists::ResultList& list = f.list(i + 1);
        const QByteArray prefix = files.size() > 1 ? names[i].toUtf8() + ':' : QByteArray();
        for (int row = 0; row < list.count(); ++row) {
            if (list.isNoMatchRow(row) || list.isHeaderRow(row)) {
                continue;
            }
            for (const search::TextRange& range : highlights.rangesIn(list.text(row))) {
                marked->append(list.text(row).mid(range.start, range.length));
            }
            if (list.isContinuationRow(row)) {
                continue;
            }
            // Each record written alone, in its file's encoding. A record that begins with the
            // marker began with an empty line, unless it is the file's first and the file
            // begins with the marker itself.
            const qint32 index = list.itemData(row);
            const std::string_view element = f.slot(i + 1).records.utf8(index);
            store::FileFormat format = formats[static_cast<std::size_t>(i)];
            format.leadingBreak =
                element.starts_with(store::kRecordSep) && (index > 0 || format.leadingBreak);
            store::RecordArray record;
            record.append(element);
            record.append(QString());  // the line end after the record
            QBuffer written;
            written.open(QIODevice::WriteOnly);
            if (!store::writeDataFile(written, record, format)) {
                return "could not be written";
            }
            // Its lines, split at the file's line breaks (an LF alone in a CR LF file stays).
            const QByteArray lineBreak = format.lineBreak == store::LineBreak::CrLf ? "\r\n" : "\n";
            QByteArray bytes = written.data();
            for (qsizetype at; (at = bytes.indexOf(lineBreak)) >= 0;
                 bytes.remove(0, at + lineBreak.size())) {
                expected += prefix + bytes.left(at) + platform::nativeLineEnd();
            }
            ++*found;
        }
    }
    return expected;
}

// A large file of random records, of a few lines each, some of them blank, with words the
// searches below find in many, few and no records.
QByteArray randomRecords(std::size_t bytes, bool crLf, std::uint32_t seed) {
    const char* const words[] = {"Smith",  "smith",  "SMITH", "Jones", "555", "Zoë",  "ZOË",
                                 "müller", "Müller", "a-b",   "Elm",   "",    "x\ty", "Ann"};
    std::mt19937 random(seed);
    const QByteArray lineBreak = crLf ? "\r\n" : "\n";
    QByteArray out;
    while (static_cast<std::size_t>(out.size()) < bytes) {
        const auto lines = random() % 4;
        for (std::uint32_t line = 0; line <= lines; ++line) {
            if (line > 0) {
                out += lineBreak + "-----";
            }
            for (auto n = random() % 4; n > 0; --n) {
                out += QByteArray(words[random() % std::size(words)]) + ' ';
            }
        }
        out += lineBreak;
    }
    return out;
}

}  // namespace

class TestCommandLineFind : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    // --find prints the records the window lists for the same search, every line of each as it
    // stands in its file (LF or CR LF, UTF-8 or Windows-1252), in file order.
    void findPrintsTheRecordsTheWindowLists() {
        const QByteArray lf =
            "Smith, Ann\n-----12 Elm Street\n-----(212) 555-0100\n"
            "Pizza Palace  555-0199\n\nsmith, carl\n-----tab\there\n"
            "M\xc3\xbcller, Zo\xc3\xab\n-----\xc3\x96sterreich\n"
            "\xe2\x84\xaaing, Ed\n-----555\n\n-----continued blank\nlast";
        const QByteArray crLf =
            "Jones, Bo\r\n-----555-0100\r\nalpha\r\n-----beta\r\n"
            "lone\nLF smith\r\n\r\nSMITH ROW\r\n";
        const QByteArray windows1252 =
            "J\xf6rg Smith\r\n-----Stra\xdf"
            "e 1\r\n"
            "\xc9MILE\r\n-----555\r\nplain smith\r\n";
        const QByteArray noBreak = "one record smith 555";
        const struct {
            QList<QByteArray> files;
            const char* text;
            bool ignoreCase;
        } cases[] = {
            {{lf}, "smith 555", true},
            {{lf}, "smith", false},
            {{lf}, "zoë österreich", true},  // folded letters beyond ASCII
            {{lf}, "king", true},            // the Kelvin sign folds to "k"
            {{lf}, "king", false},
            {{lf}, "ann-----12", true},  // a term across the join of two lines
            {{lf}, "tab\there", true},
            {{lf}, "blank", true},
            {{lf}, "nowhere", true},
            {{crLf}, "smith", true},  // an LF alone stays within its line
            {{crLf}, "lf", true},
            {{crLf}, "-", true},
            {{windows1252}, "smith", true},
            {{windows1252}, "émile 555", true},
            {{windows1252}, "straße", false},
            {{noBreak}, "555", true},
            {{lf, crLf, windows1252}, "smith", true},
            {{lf, crLf, windows1252}, "555", false},
            {{lf, noBreak}, "zzz", true},
            // Large files are searched in parts at once; the parts must not lose or repeat a
            // record.
            {{randomRecords(9u << 20, true, 1)}, "smith 555", true},
            {{randomRecords(9u << 20, true, 4), randomRecords(5u << 20, false, 5)},
             "a-b zoë",
             false},
        };
        const QStringList names = {"a.txt", "b.txt", "c.txt"};
        QTemporaryDir folder;
        for (const auto& c : cases) {
            QList<app::FindFile> files;
            for (int i = 0; i < c.files.size(); ++i) {
                const QString path = folder.filePath(names[i]);
                QVERIFY(testing::writeBytes(path, c.files[i]));
                files.append({names[i], path});
            }
            const QString text = QString::fromUtf8(c.text);
            int listed = 0;
            QStringList highlighted;
            const QByteArray expected =
                windowListing(c.files, names, text, c.ignoreCase, &listed, &highlighted);
            const Found found = find({text, !c.ignoreCase, false, false}, files);
            QVERIFY2(found.shown == expected,
                     qPrintable(QStringLiteral("%1:\n%2---- expected:\n%3")
                                    .arg(text, QString::fromUtf8(found.shown.left(2000)),
                                         QString::fromUtf8(expected.left(2000)))));
            QCOMPARE(found.exitCode, listed > 0 ? 0 : 1);
            // In colour and numbered, the words are marked where the window's rows highlight
            // them; without the marks and the numbers, the lines are the same.
            if (expected.size() < 100000) {
                const Found painted = find(
                    {text, !c.ignoreCase, false, false, true, app::FindRequest::Colour::Always},
                    files);
                QStringList marked;
                const QByteArray mark = "\033[01;31m\033[K";
                for (qsizetype at = 0; (at = painted.shown.indexOf(mark, at)) >= 0;) {
                    at += mark.size();
                    const QByteArray piece =
                        painted.shown.mid(at, painted.shown.indexOf("\033[m", at) - at);
                    marked << (store::isValidUtf8(piece.toStdString())
                                   ? QString::fromUtf8(piece)
                                   : QString::fromUtf8(
                                         store::windows1252ToUtf8(piece.toStdString())));
                }
                QCOMPARE(marked, highlighted);
                QString plain = QString::fromLatin1(painted.shown);
                plain.remove(QRegularExpression("\033\\[[0-9;]*m\033\\[K"))
                    .replace(QRegularExpression("^((?:[abc]\\.txt:)?)[0-9]+:",
                                                QRegularExpression::MultilineOption),
                             "\\1");
                QCOMPARE(plain.toLatin1(), expected);
            }
        }
    }

    // Counts and names instead of records. A file that cannot be read, or that is no regular file
    // (a named pipe with no writer would wait for ever, /dev/zero never ends), is named on the
    // error output after what the files before it gave, and the others are searched all the same.
    void countsNamesAndExitCodes() {
        QTemporaryDir folder;
        const QString a = folder.filePath("a.txt");
        const QString b = folder.filePath("b.txt");
        QVERIFY(testing::writeBytes(a, "Smith\n-----555\nJones\nsmith\n"));
        QVERIFY(testing::writeBytes(b, "nobody\r\n"));
        QFile missing(folder.filePath("missing.txt"));
        QVERIFY(!missing.open(QIODevice::ReadOnly));  // --find gives the reason QFile gives
        const QString pipe = folder.filePath("pipe");
#ifdef Q_OS_UNIX
        QVERIFY(::mkfifo(QFile::encodeName(pipe).constData(), 0600) == 0);
#endif
        const QByteArray end = platform::nativeLineEnd();
        const app::FindFile in{app::kStandardInputName, {}};  // holds "smith\n-----x\n"
        const auto always = app::FindRequest::Colour::Always;
        const QByteArray plain = "\033[m\033[K", red = "\033[01;31m\033[K", line = "\033[32m\033[K",
                         colon = "\033[36m\033[K:" + plain,
                         name = "\033[35m\033[K(standard input)" + plain + colon;
        const struct {
            QList<app::FindFile> files;
            app::FindRequest request;
            QByteArray shown;  // the output and the error output, in the order they were written
            int exitCode;
        } cases[] = {
            {{in}, {"smith"}, "smith" + end + "-----x" + end, 0},
            {{{"a.txt", a}, in},
             {"smith", false, true},
             "a.txt:2" + end + "(standard input):1" + end,
             0},
            {{in}, {"x", false, false, false, true}, "1:smith" + end + "2:-----x" + end, 0},
            {{{"a.txt", a}, {"b.txt", b}},
             {"smith", true, false, false, true},
             "a.txt:4:smith" + end,
             0},
            {{{"a.txt", a}, {"b.txt", b}},
             {"smith", false, false, true, false, always},
             "\033[35m\033[Ka.txt\033[m\033[K" + end,
             0},
            {{in, in},  // read once: the second time it is at its end
             {"i", false, false, false, true, always},
             name + line + "1" + plain + colon + "sm" + red + "i" + plain + "th" + end + name +
                 line + "2" + plain + colon + "-----x" + end,
             0},
            {{},
             {"smith"},
             "trovix7: there are no data files yet in /nowhere: name the files to search (trovix7 "
             "--find \"words\" file...), or start trovix7 once to make them.\n",
             2},
            {{{"a.txt", a}}, {"smith", false, true, false}, "2" + end, 0},
            {{{"a.txt", a}}, {"smith", true, true, false}, "1" + end, 0},
            {{{"a.txt", a}, {"b.txt", b}},
             {"smith", false, true, false},
             "a.txt:2" + end + "b.txt:0" + end,
             0},
            {{{"a.txt", a}, {"b.txt", b}}, {"SMITH", false, false, true}, "a.txt" + end, 0},
            {{{"b.txt", b}}, {"smith", false, false, true}, "", 1},
            {{{"b.txt", b}}, {"smith", false, true, false}, "0" + end, 1},
            {{{"missing.txt", missing.fileName()}, {"folder", folder.path()}, {"a.txt", a}},
             {"jones", false, false, false},
             "trovix7: missing.txt: " + missing.errorString().toUtf8() +
                 "\ntrovix7: folder: Is a folder\na.txt:Jones" + end,
             2},
#ifdef Q_OS_UNIX
            {{{"a.txt", a}, {"pipe", pipe}, {"null", "/dev/null"}, {"b.txt", b}},
             {"o", false, false, false},
             "a.txt:Jones" + end + "trovix7: pipe: It is a named pipe, not a regular file.\n" +
                 "trovix7: null: It is a device, not a regular file.\nb.txt:nobody" + end,
             2},
#endif
        };
        for (const auto& c : cases) {
            app::FindRequest request = c.request;
            request.dataFolder = "/nowhere";
            const Found found = find(request, c.files, "smith\n-----x\n");
            QCOMPARE(found.shown, c.shown);
            QCOMPARE(found.exitCode, c.exitCode);
        }
        // Colour on a terminal, unless NO_COLOR is set and not empty; always or never as asked.
        QVERIFY(app::colourOutput(app::FindRequest::Colour::Auto, true, "") &&
                !app::colourOutput(app::FindRequest::Colour::Auto, true, "1") &&
                !app::colourOutput(app::FindRequest::Colour::Auto, false, "") &&
                app::colourOutput(always, false, "1") &&
                !app::colourOutput(app::FindRequest::Colour::Never, true, ""));
#ifndef Q_OS_UNIX
        QSKIP("No named pipes nor /dev/null here: only files and folders were tried.");
#endif
    }
};

QTEST_GUILESS_MAIN(TestCommandLineFind)
#include "test_command_line_find.moc"
