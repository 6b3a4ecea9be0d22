// Measures the record store on a large generated data file: loading, listing, expanding,
// contracting and saving, next to the plain cost of reading and writing the same bytes, and the
// peak memory of the whole run. Then searches with the file in the window's first slot, and
// times a keystroke in the edit box that writes the record back.
//
// Output is one "name value" pair a line (seconds, megabytes or counts); lines starting with '#'
// are notes, lines starting with "warning" report a check that failed. bench/run.sh reads it.

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "app/commands.h"
#include "app/event_handlers.h"
#include "app/file_changes.h"
#include "app/search_commands.h"
#include "app/settings.h"
#include "app/undo_commands.h"
#include "lists/listing.h"
#include "lists/result_list.h"
#include "output/clipboard_copy.h"
#include "platform/fake/fake_services.h"
#include "platform/parallel_work.h"
#include "platform/qt/qt_settings_store.h"
#include "platform/system_disk.h"
#include "records/record_order.h"
#include "records/slot_procedures.h"
#include "search/match_ranges.h"
#include "search/matcher.h"
#include "search/search_engine.h"
#include "state/main_state.h"
#include "store/data_file_io.h"
#include "store/record_array.h"
#include "store/record_merge.h"
#include "store/record_splitter.h"
#include "store/recovery_writer.h"
#include "store/text_codec.h"
#include "widgets/result_list_view.h"
#include "widgets/result_row_delegate.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRuns = 3;

// ---------------------------------------------------------------------------------------------
// Command line

struct Options {
    long long records = 1'000'000;
    QString file;  // empty: a file in a temporary folder
    bool keep = false;
    // Search texts as the data writes them; the searches that ignore case use them in lower
    // case. The rare pair occurs together in few records, the common pair in a large share.
    QString rare = QStringLiteral("Westhaven Brontë");
    QString common = QStringLiteral("an 5");
    // Only the searches, on the data file given, in a process of their own: its peak memory
    // is what the program holds after loading, searching and editing.
    bool searchesOnly = false;
    // Only sorting and copying, in a process of their own.
    bool sortsOnly = false;
    // Only merging two sets of changes, in a process of its own.
    bool mergeOnly = false;
    // Only loading a file of nothing but line breaks, in a process of their own.
    bool lineBreaksOnly = false;
    // Only the settings files, in a process of their own, each opened and closed in a process
    // of its own again: with the name of one of their shapes, only that file.
    bool settingsOnly = false;
    std::string settingsShape;
    // Only highlighting the matches in a painted list, in a process of its own.
    bool highlightOnly = false;
    // Only typing a search key by key, on the data file given (generated first when it does not
    // exist), in a process of its own.
    bool typingOnly = false;
    // What is typed: ignoring case as it stands, minding case with its first letter capital.
    QString typed = QStringLiteral("thomas no 55");
    std::string self;  // this program, to start the searches with
};

[[noreturn]] void usage(const char* problem) {
    if (problem != nullptr) {
        std::fprintf(stderr, "trovix_bench: %s\n", problem);
    }
    std::fprintf(stderr,
                 "usage: trovix_bench [--records N] [--file PATH] [--keep] [--rare TEXT]\n"
                 "                    [--common TEXT] [--typed TEXT]\n"
                 "  --records N    records to generate (default 1000000)\n"
                 "  --file PATH    where to write the generated data file (overwritten)\n"
                 "  --keep         leave the data file in place and print its path\n"
                 "  --rare TEXT    search text of terms found together in few records\n"
                 "                 (default \"Westhaven Brontë\")\n"
                 "  --common TEXT  search text of terms found together in many records\n"
                 "                 (default \"an 5\")\n"
                 "  --typed TEXT   search text typed key by key (default \"thomas no 55\")\n");
    std::exit(2);
}

Options parseOptions(int argc, char** argv) {
    Options options;
    options.self = argv[0];
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--records" && i + 1 < argc) {
            char* end = nullptr;
            errno = 0;
            options.records = std::strtoll(argv[++i], &end, 10);
            if (errno != 0 || end == argv[i] || *end != '\0' || options.records < 1 ||
                options.records > std::numeric_limits<std::int32_t>::max()) {
                usage("--records needs a positive whole number");
            }
        } else if (arg == "--file" && i + 1 < argc) {
            options.file = QString::fromLocal8Bit(argv[++i]);
        } else if (arg == "--keep") {
            options.keep = true;
        } else if (arg == "--searches-only") {
            options.searchesOnly = true;
        } else if (arg == "--sorts-only") {
            options.sortsOnly = true;
        } else if (arg == "--merge-only") {
            options.mergeOnly = true;
        } else if (arg == "--line-breaks-only") {
            options.lineBreaksOnly = true;
        } else if (arg == "--highlight-only") {
            options.highlightOnly = true;
        } else if (arg == "--settings-only") {
            options.settingsOnly = true;
        } else if (arg == "--settings-shape" && i + 1 < argc) {
            options.settingsShape = argv[++i];
        } else if (arg == "--typing-only") {
            options.typingOnly = true;
        } else if (arg == "--typed" && i + 1 < argc) {
            options.typed = QString::fromLocal8Bit(argv[++i]);
            if (options.typed.trimmed().isEmpty()) {
                usage("a search text needs a term");
            }
        } else if ((arg == "--rare" || arg == "--common") && i + 1 < argc) {
            const QString text = QString::fromLocal8Bit(argv[++i]);
            if (text.trimmed().isEmpty()) {
                usage("a search text needs a term");
            }
            (arg == "--rare" ? options.rare : options.common) = text;
        } else if (arg == "--help" || arg == "-h") {
            usage(nullptr);
        } else {
            usage("unknown or incomplete argument");
        }
    }
    return options;
}

// ---------------------------------------------------------------------------------------------
// Output and small helpers

[[noreturn]] void fail(const std::string& what) {
    std::fflush(stdout);
    std::fprintf(stderr, "trovix_bench: %s\n", what.c_str());
    std::exit(1);
}

void printSeconds(const char* name, double seconds) {
    std::printf("%s %.6f\n", name, seconds);
    std::fflush(stdout);
}

// For times of a few microseconds, which six decimals would round away.
void printShortSeconds(const char* name, double seconds) {
    std::printf("%s %.9f\n", name, seconds);
    std::fflush(stdout);
}

void printValue(const char* name, double value) {
    std::printf("%s %.1f\n", name, value);
    std::fflush(stdout);
}

void printCount(const char* name, long long value) {
    std::printf("%s %lld\n", name, value);
    std::fflush(stdout);
}

void warn(const std::string& what) {
    std::printf("warning %s\n", what.c_str());
    std::fflush(stdout);
}

template <typename Work>
double timed(Work&& work) {
    const auto start = Clock::now();
    work();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// The fastest of several timed runs.
class Fastest {
  public:
    void add(double seconds) { best_ = std::min(best_, seconds); }
    double seconds() const { return best_; }

  private:
    double best_ = std::numeric_limits<double>::infinity();
};

std::string nativePath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

// The peak resident memory of this process's address space. getrusage() would carry over the
// peak of the process that started this one, which a search process must not inherit.
double peakRssMiB() {
    if (FILE* status = std::fopen("/proc/self/status", "r")) {
        char line[256];
        while (std::fgets(line, sizeof line, status) != nullptr) {
            long long kib = 0;
            if (std::sscanf(line, "VmHWM: %lld kB", &kib) == 1) {
                std::fclose(status);
                return static_cast<double>(kib) / 1024.0;
            }
        }
        std::fclose(status);
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;  // KiB on Linux
}

constexpr double kMiB = 1024.0 * 1024.0;

// The resident memory of this process now, or, where the system does not tell, its peak so far.
double residentMiB() {
    if (FILE* status = std::fopen("/proc/self/status", "r")) {
        char line[256];
        while (std::fgets(line, sizeof line, status) != nullptr) {
            long long kib = 0;
            if (std::sscanf(line, "VmRSS: %lld kB", &kib) == 1) {
                std::fclose(status);
                return static_cast<double>(kib) / 1024.0;
            }
        }
        std::fclose(status);
    }
    return peakRssMiB();
}

// ---------------------------------------------------------------------------------------------
// Test data: contact records, generated the same way on every run and every platform.

// SplitMix64: small, fast, and its sequence depends on nothing but the seed.
class Random {
  public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    // Uniform enough for test data: the modulo bias is below 2^-40 for these small ranges.
    unsigned below(unsigned n) { return static_cast<unsigned>(next() % n); }
    bool chance(unsigned percent) { return below(100) < percent; }
    template <typename T, std::size_t N>
    const T& pick(const std::array<T, N>& from) {
        return from[below(static_cast<unsigned>(N))];
    }

  private:
    std::uint64_t state_;
};

constexpr std::array<std::string_view, 48> kLastNames = {
    "Smith", "Johnson",  "Williams", "Brown",   "Jones",   "Garcia",   "Miller", "Davis",
    "Núñez", "Martinez", "Lopez",    "Wilson",  "Moore",   "Taylor",   "Thomas", "Müller",
    "Lee",   "Harris",   "Clark",    "Lewis",   "Walker",  "Hall",     "Young",  "Allen",
    "King",  "Wright",   "Scott",    "Green",   "Baker",   "Adams",    "Nelson", "Sørensen",
    "Hill",  "Campbell", "Mitchell", "Roberts", "Carter",  "Phillips", "Evans",  "Turner",
    "Peña",  "Parker",   "Collins",  "Edwards", "Stewart", "Brontë",   "Morris", "O'Brien"};

constexpr std::array<std::string_view, 40> kFirstNames = {
    "James",   "Mary",  "John",  "Patricia", "Robert", "Jennifer", "Michael", "Linda",
    "William", "Zoë",   "David", "Barbara",  "José",   "Susan",    "Richard", "Jessica",
    "Joseph",  "Sarah", "Chloé", "Karen",    "Björn",  "Nancy",    "Daniel",  "Lisa",
    "Paul",    "Betty", "Mark",  "Helen",    "Renée",  "Sandra",   "Steven",  "Donna",
    "Andrew",  "Carol", "André", "Ruth",     "Kevin",  "Sharon",   "Brian",   "Michelle"};

constexpr std::array<std::string_view, 32> kStreets = {
    "Maple",  "Oak",       "Pine",   "Cedar",    "Elm",      "Larkspur", "Quarry",  "Mill",
    "Lake",   "Hill",      "Park",   "Church",   "Market",   "Spring",   "River",   "Sunset",
    "Willow", "Highland",  "Meadow", "Orchard",  "Chestnut", "Birch",    "Walnut",  "Forest",
    "Ridge",  "Westhaven", "Harbor", "Franklin", "Lincoln",  "Madison",  "Jackson", "Union"};

constexpr std::array<std::string_view, 8> kStreetKinds = {"St",    "Ave",   "Road", "Lane",
                                                          "Court", "Drive", "Way",  "Blvd"};

struct City {
    std::string_view name;
    std::string_view state;
    std::string_view areaCode;
    std::string_view zipPrefix;
};

constexpr std::array<City, 16> kCities = {{
    {"New York", "NY", "212", "100"},
    {"Springfield", "IL", "217", "627"},
    {"Burlington", "VT", "802", "054"},
    {"Tacoma", "WA", "253", "984"},
    {"Concord", "NH", "603", "033"},
    {"Austin", "TX", "512", "787"},
    {"Denver", "CO", "303", "802"},
    {"Boston", "MA", "617", "021"},
    {"San José", "CA", "408", "951"},
    {"Portland", "OR", "503", "972"},
    {"Madison", "WI", "608", "537"},
    {"Savannah", "GA", "912", "314"},
    {"Santa Fe", "NM", "505", "875"},
    {"Raleigh", "NC", "919", "276"},
    {"Cañon City", "CO", "719", "812"},
    {"Omaha", "NE", "402", "681"},
}};

void appendNumber(std::string& out, unsigned value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "%0*u", digits, value);
    out += text;
}

void appendPhone(std::string& out, const City& city, Random& random) {
    out += "-----(";
    out += city.areaCode;
    out += ") ";
    appendNumber(out, 200 + random.below(800), 3);
    out += '-';
    appendNumber(out, random.below(10000), 4);
}

struct GeneratedData {
    std::string bytes;
    long long lines = 0;
};

// Records of a name line and three or four continuation lines ("-----" + street, city, one or
// two phone numbers), every line ended by CR LF.
GeneratedData generateRecords(long long count) {
    constexpr std::string_view kBreak = "\r\n";
    Random random(20240611);
    GeneratedData data;
    data.bytes.reserve(static_cast<std::size_t>(count) * 100);
    std::string& out = data.bytes;
    for (long long i = 0; i < count; ++i) {
        out += random.pick(kLastNames);
        out += ", ";
        out += random.pick(kFirstNames);
        if (random.chance(25)) {
            out += ' ';
            out += static_cast<char>('A' + random.below(26));
            out += '.';
        }
        out += kBreak;

        out += "-----";
        appendNumber(out, 1 + random.below(9999), 1);
        out += ' ';
        out += random.pick(kStreets);
        out += ' ';
        out += random.pick(kStreetKinds);
        if (random.chance(10)) {
            out += ", Apt ";
            appendNumber(out, 1 + random.below(40), 1);
            out += static_cast<char>('A' + random.below(6));
        }
        out += kBreak;

        const City& city = random.pick(kCities);
        out += "-----";
        out += city.name;
        out += ", ";
        out += city.state;
        out += ' ';
        out += city.zipPrefix;
        appendNumber(out, random.below(100), 2);
        out += kBreak;

        appendPhone(out, city, random);
        const bool secondPhone = random.chance(20);
        if (secondPhone) {
            out += " (home)";
            out += kBreak;
            appendPhone(out, city, random);
            out += " (cell)";
        }
        out += kBreak;
        data.lines += secondPhone ? 5 : 4;
    }
    return data;
}

// ---------------------------------------------------------------------------------------------
// Plain file input and output: the floor that loading and saving are measured against.

void writeWhole(const std::string& path, const std::string& bytes, bool sync) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        fail("cannot create " + path + ": " + std::strerror(errno));
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t wrote = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (wrote < 0) {
            if (errno == EINTR) {
                continue;
            }
            fail("cannot write " + path + ": " + std::strerror(errno));
        }
        done += static_cast<std::size_t>(wrote);
    }
    if (sync && ::fdatasync(fd) != 0) {
        fail("cannot sync " + path + ": " + std::strerror(errno));
    }
    if (::close(fd) != 0) {
        fail("cannot close " + path + ": " + std::strerror(errno));
    }
}

// Opens, sizes, allocates a buffer and reads the whole file into it.
std::unique_ptr<char[]> readWhole(const std::string& path, std::size_t& size) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        fail("cannot open " + path + ": " + std::strerror(errno));
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        fail("cannot stat " + path + ": " + std::strerror(errno));
    }
    size = static_cast<std::size_t>(info.st_size);
    std::unique_ptr<char[]> buffer(new char[size]);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t got = ::read(fd, buffer.get() + done, size - done);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            fail("cannot read " + path);
        }
        done += static_cast<std::size_t>(got);
    }
    ::close(fd);
    return buffer;
}

long long fileSize(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? static_cast<long long>(info.st_size) : -1;
}

// Compares two files piece by piece, so the check costs no memory worth mentioning.
bool sameContent(const std::string& a, const std::string& b) {
    const int fa = ::open(a.c_str(), O_RDONLY | O_CLOEXEC);
    const int fb = ::open(b.c_str(), O_RDONLY | O_CLOEXEC);
    bool same = fa >= 0 && fb >= 0;
    std::vector<char> pa(1 << 20), pb(1 << 20);
    while (same) {
        const ssize_t ga = ::read(fa, pa.data(), pa.size());
        std::size_t filled = 0;
        while (ga > 0 && filled < static_cast<std::size_t>(ga)) {
            const ssize_t gb =
                ::read(fb, pb.data() + filled, static_cast<std::size_t>(ga) - filled);
            if (gb <= 0) {
                break;
            }
            filled += static_cast<std::size_t>(gb);
        }
        if (ga < 0 || filled != static_cast<std::size_t>(std::max<ssize_t>(ga, 0)) ||
            std::memcmp(pa.data(), pb.data(), filled) != 0) {
            same = false;
        } else if (ga == 0) {
            char extra;
            same = ::read(fb, &extra, 1) == 0;
            break;
        }
    }
    if (fa >= 0) {
        ::close(fa);
    }
    if (fb >= 0) {
        ::close(fb);
    }
    return same;
}

std::string scratchName(const QString& dataFile, const char* kind, int run) {
    return nativePath(dataFile) + "." + kind + "-" + std::to_string(run);
}

// ---------------------------------------------------------------------------------------------
// Searching and editing, through the window's state as the user's actions reach it.

using trovix::MainState;
using trovix::lists::kAllSlots;
using trovix::lists::SlotId;

constexpr int kKeystrokes = 1000;
constexpr long long kSmallFileRecords = 10'000;

// The second and third files: a few records each, so that the search figures are about the one
// large file in the first slot.
constexpr std::string_view kSlotBBytes =
    "Time flies like an arrow; fruit flies like a banana.\r\n"
    "A watched pot never boils.\r\n"
    "Measure twice, cut once.\r\n";
constexpr std::string_view kSlotCBytes =
    "212\r\n-----New York, NY\r\n"
    "303\r\n-----Denver, CO\r\n"
    "505\r\n-----Santa Fe, NM\r\n"
    "512\r\n-----Austin, TX\r\n";

// The window's state with a file loaded and listed in each slot and a list model on each result
// list, so that every rebuild of a list pays for its model reset as in the window.
// A clipboard that counts the lines it is given.
class CountingClipboard : public trovix::platform::Clipboard {
  public:
    void clear() override {}
    // Keeps the text as a clipboard does (shared, not copied); its rows are counted after
    // the copy is timed.
    void setText(const QString& text) override { last = text; }
    long long rows() const { return last.isEmpty() ? 0 : last.count(u'\n') + 1; }
    QString last;
};

class Window {
  public:
    explicit Window(const std::array<QString, 3>& files) {
        trovix::app::connectEventHandlers(state);
        state.busy = true;  // as at start-up: loading selects nothing
        for (SlotId id : kAllSlots) {
            const auto i = static_cast<std::size_t>(id);
            state.slot(id).fileName = files[i];
            trovix::records::loadFile(state.files(), id);
            if (state.slot(id).disk().unreadable) {
                fail("cannot load " + nativePath(files[i]));
            }
        }
        state.busy = false;
    }

    // Services that show nothing: the benchmark runs without a window.
    trovix::platform::FakeServices services;
    MainState state{services.services()};
};

struct SearchCase {
    const char* name;
    QString text;
    bool ignoreCase;
};

// The records holding every term of a search text, found the slow and obvious way: each record
// decoded and each term looked for with QString::contains.
std::vector<qint32> expectedMatches(const trovix::store::RecordArray& records, const QString& text,
                                    bool ignoreCase) {
    const QStringList terms = text.split(u' ', Qt::SkipEmptyParts);
    const Qt::CaseSensitivity sensitivity = ignoreCase ? Qt::CaseInsensitive : Qt::CaseSensitive;
    std::vector<qint32> found;
    for (qsizetype i = 0; i < records.size(); ++i) {
        const QString record = records.text(i);
        if (std::all_of(terms.begin(), terms.end(),
                        [&](const QString& term) { return record.contains(term, sensitivity); })) {
            found.push_back(static_cast<qint32>(i));
        }
    }
    return found;
}

using ExpectedLists = std::array<std::vector<qint32>, 3>;

ExpectedLists expectedLists(const MainState& state, const SearchCase& search) {
    ExpectedLists expected;
    for (SlotId id : kAllSlots) {
        expected[static_cast<std::size_t>(id)] =
            expectedMatches(state.slot(id).records, search.text, search.ignoreCase);
    }
    return expected;
}

// The records a list shows, in its order.
std::vector<qint32> listedRecords(const trovix::lists::ResultList& list) {
    std::vector<qint32> records;
    for (int row = 0; row < list.count(); ++row) {
        if (!list.isNoMatchRow(row) && !list.isContinuationRow(row) && !list.isHeaderRow(row)) {
            records.push_back(list.itemData(row));
        }
    }
    return records;
}

// The edit box text of a record: its lines separated by CR LF.
QString shownText(const trovix::store::RecordArray& records, qint32 record) {
    return records.text(record).replace(QStringLiteral("-----"), QStringLiteral("\r\n"));
}

void enterSearch(MainState& state, const SearchCase& search) {
    state.searchBox.userTyped(search.text);
    state.options.setChecked(trovix::Option::IgnoreCase, search.ignoreCase);
}

// What a search must leave behind: each list holds exactly the matching records of its file, or
// the "no match found" row; each model knows its list's row count; the first match of the first
// list that has one is selected, its list has the focus and the edit box shows the record.
void checkSearch(const Window& window, const SearchCase& search, const ExpectedLists& expected) {
    const MainState& state = window.state;
    const std::string name = search.name;
    bool firstShown = false;
    for (SlotId id : kAllSlots) {
        const auto i = static_cast<std::size_t>(id);
        const std::string list = "list " + std::string(1, static_cast<char>('A' + i));
        const trovix::lists::ResultList& rows = state.slot(id).list;
        const std::vector<qint32> listed = listedRecords(rows);
        if (listed != expected[i]) {
            warn(name + ": " + list + " shows " + std::to_string(listed.size()) +
                 " records, not the " + std::to_string(expected[i].size()) + " that match");
        }
        if (expected[i].empty() && !(rows.count() == 1 && rows.isNoMatchRow(0))) {
            warn(name + ": " + list + " has no \"no match found\" row");
        }
        if (!firstShown && !expected[i].empty()) {
            firstShown = true;
            if (rows.listIndex() != 0 || state.listWithFocus != kAllSlots[i] ||
                state.editBox.text() != shownText(state.slot(id).records, expected[i].front())) {
                warn(name + ": the first match of " + list + " is not selected and shown");
            }
        }
    }
}

struct Keystrokes {
    double average = 0;  // of a run of kKeystrokes keys, the fastest run
    double slowest = 0;  // the slowest single key of all runs
};

// The cost of a keystroke in the edit box with a record of the first file shown: the change
// writes the whole text back into the record (and its case-folded copy) and the list row shows
// the record's first line. kRuns runs of kKeystrokes keys, each from the same text; the slowest
// key shows the occasional pause when the records' replaced texts are cleared away. The search
// that selects the record is not timed.
std::optional<Keystrokes> timeKeystrokes(Window& window, const SearchCase& selecting,
                                         const char* name) {
    MainState& state = window.state;
    enterSearch(state, selecting);
    trovix::app::search(state);
    trovix::lists::FileSlot& slot = state.slot(SlotId::A);
    trovix::lists::ResultList& list = slot.list;
    const int row = list.listIndex();
    if (state.listWithFocus != SlotId::A || row < 0 || list.isNoMatchRow(row) ||
        list.isContinuationRow(row) || list.isHeaderRow(row)) {
        warn(std::string(name) + ": the search selected no record of the first file");
        return std::nullopt;
    }
    const qint32 record = list.itemData(row);
    const QString before = state.editBox.text();
    const QString key = QStringLiteral("x");
    Fastest typing;
    double slowest = 0;
    for (int run = 0; run < kRuns; ++run) {
        if (run > 0) {
            state.editBox.setText(before);
        }
        double total = 0;
        for (int k = 0; k < kKeystrokes; ++k) {
            const double seconds =
                timed([&] { state.editBox.setText(state.editBox.text() + key); });
            total += seconds;
            slowest = std::max(slowest, seconds);
        }
        typing.add(total);
    }

    const QString typed = before + QString(kKeystrokes, u'x');
    QString element = typed;
    element.replace(QStringLiteral("\r\n"), QStringLiteral("-----"));
    if (slot.records.text(record) != element) {
        warn(std::string(name) + ": the record does not hold the typed text");
    }
    // A search that ignores case finds the typed text in the record.
    enterSearch(state, {name, QStringLiteral("XXXX"), true});
    trovix::app::search(state);
    bool seen = false;
    for (int r = 0; r < list.count(); ++r) {
        seen = seen || (!list.isHeaderRow(r) && !list.isNoMatchRow(r) &&
                        !list.isContinuationRow(r) && list.itemData(r) == record);
    }
    if (!seen) {
        warn(std::string(name) + ": a search that ignores case does not see the typed text");
    }
    const qsizetype firstBreak = typed.indexOf(QStringLiteral("\r\n"));
    if (list.text(row) != (firstBreak < 0 ? typed : typed.left(firstBreak)) ||
        list.listIndex() != row) {
        warn(std::string(name) + ": the list row does not show the edited record");
    }
    if (!slot.changed) {
        warn(std::string(name) + ": the first file is not marked changed");
    }
    return Keystrokes{typing.seconds() / kKeystrokes, slowest};
}

// Searches with the data file in the first slot: the first search that ignores case (which
// folds every record), then each search best of kRuns, then keystrokes in the edit box; and the
// same keystrokes with a file of kSmallFileRecords records, to show they do not grow with it.
void benchSearching(const QString& dataFile, const Options& options) {
    const QString fileB = dataFile + QStringLiteral(".slot-b");
    const QString fileC = dataFile + QStringLiteral(".slot-c");
    const QString smallFile = dataFile + QStringLiteral(".small");
    writeWhole(nativePath(fileB), std::string(kSlotBBytes), false);
    writeWhole(nativePath(fileC), std::string(kSlotCBytes), false);

    const std::array<SearchCase, 4> searches = {{
        {"search_rare_ci", options.rare.toLower(), true},
        {"search_rare_cs", options.rare, false},
        {"search_common_ci", options.common.toLower(), true},
        {"search_common_cs", options.common, false},
    }};
    const SearchCase& selecting = searches[2];  // finds records in any file of some size

    {
        Window window({dataFile, fileB, fileC});
        MainState& state = window.state;
        if (state.slot(SlotId::A).records.size() != options.records + 1) {
            warn("the first slot holds " + std::to_string(state.slot(SlotId::A).records.size()) +
                 " elements, expected " + std::to_string(options.records + 1));
        }
        std::array<ExpectedLists, searches.size()> expected;
        for (std::size_t i = 0; i < searches.size(); ++i) {
            expected[i] = expectedLists(state, searches[i]);
        }

        enterSearch(state, searches[0]);
        printSeconds("search_first_fold", timed([&] { trovix::app::search(state); }));
        checkSearch(window, searches[0], expected[0]);

        for (std::size_t i = 0; i < searches.size(); ++i) {
            Fastest searching;
            for (int run = 0; run < kRuns; ++run) {
                enterSearch(state, searches[i]);
                // Each run searches every record, not what the run before found.
                for (SlotId id : kAllSlots) {
                    state.slot(id).recentFinds.clear();
                }
                searching.add(timed([&] { trovix::app::search(state); }));
                checkSearch(window, searches[i], expected[i]);
            }
            printSeconds(searches[i].name, searching.seconds());
            printCount((std::string(searches[i].name) + "_rows").c_str(),
                       static_cast<long long>(listedRecords(state.slot(SlotId::A).list).size()));
        }

        if (const auto keys = timeKeystrokes(window, selecting, "edit_keystroke")) {
            printShortSeconds("edit_keystroke", keys->average);
            printShortSeconds("edit_keystroke_max", keys->slowest);
        }
        printValue("peak_rss_search_mb", peakRssMiB());

        // The file read again as after another program's save, with a search shown: the read,
        // the search run again on the new records and the list rebuilt. Best of kRuns.
        Fastest reloading;
        for (int run = 0; run < kRuns; ++run) {
            enterSearch(state, selecting);
            trovix::app::search(state);
            trovix::app::ReloadOutcome outcome{};
            reloading.add(
                timed([&] { outcome = trovix::app::reloadChangedSlot(state, SlotId::A); }));
            if (outcome != trovix::app::ReloadOutcome::Reloaded) {
                warn("reload_changed: the file was not read again");
            }
        }
        printSeconds("reload_changed", reloading.seconds());
    }

    {
        writeWhole(nativePath(smallFile), generateRecords(kSmallFileRecords).bytes, false);
        Window window({smallFile, fileB, fileC});
        if (const auto keys = timeKeystrokes(window, selecting, "edit_keystroke_10k")) {
            printShortSeconds("edit_keystroke_10k", keys->average);
            printShortSeconds("edit_keystroke_10k_max", keys->slowest);
        }
    }
    for (const QString& file : {fileB, fileC, smallFile}) {
        ::unlink(nativePath(file).c_str());
    }
}

// Runs this benchmark again with `phase` in a fresh process and waits for it; its figures go to
// the same output.
void runPhase(const Options& options, const char* phase, const std::string& dataPath) {
    const std::string recordCount = std::to_string(options.records);
    const std::string rare = options.rare.toStdString();
    const std::string common = options.common.toStdString();
    const std::string typed = options.typed.toStdString();
    const char* const args[] = {options.self.c_str(),
                                phase,
                                "--file",
                                dataPath.c_str(),
                                "--records",
                                recordCount.c_str(),
                                "--rare",
                                rare.c_str(),
                                "--common",
                                common.c_str(),
                                "--typed",
                                typed.c_str(),
                                nullptr};
    pid_t child = 0;
    if (::posix_spawn(&child, options.self.c_str(), nullptr, nullptr,
                      const_cast<char* const*>(args), environ) != 0) {
        fail(std::string("cannot start ") + phase);
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        fail(std::string("the run ") + phase + " failed");
    }
}

// Sorting: the records of a generated file of `count` records, one in a hundred replaced by a
// copy of another record in other letter case, so that the groups of equal keys hold different
// texts (the case the exchange sort's order has to be worked out for). The same records go to
// `linesFile`, one a line in their array form, for `sort -f` to sort. Best of kRuns.
double timeSort(long long count, const std::string& linesFile) {
    using trovix::store::DataFileContent;
    using trovix::store::RecordArray;
    const GeneratedData data = generateRecords(count);
    DataFileContent content = trovix::store::parseDataFile(QByteArray::fromStdString(data.bytes));
    RecordArray& records = content.records;
    Random random(99);
    for (qsizetype i = 0; i < records.size(); ++i) {
        if (random.chance(1)) {
            const qsizetype other =
                static_cast<qsizetype>(random.below(static_cast<unsigned>(records.size())));
            records.set(i, random.chance(50) ? records.text(other).toUpper()
                                             : records.text(other).toLower());
        }
    }
    if (!linesFile.empty()) {
        std::string lines;
        for (qsizetype i = 0; i < records.size(); ++i) {
            lines.append(records.utf8(i));
            lines += '\n';
        }
        writeWhole(linesFile, lines, false);
    }
    Fastest sorting;
    for (int run = 0; run < kRuns; ++run) {
        RecordArray copy = records;
        sorting.add(timed([&] { copy.permute(trovix::records::exchangeSortOrder(copy)); }));
        for (qsizetype i = 1; i < copy.size(); ++i) {
            if (trovix::store::compareLowered(copy.utf8(i - 1), copy.utf8(i)) > 0) {
                warn("the sorted records are out of order");
                break;
            }
        }
    }
    return sorting.seconds();
}

struct MergeTimes {
    double merge = 0;
    double sorted = 0;
};

// Merging two sets of changes to the records of a generated file of `count` records. Mine and
// theirs each make 300 edits, 100 inserts and 100 deletes spread across the file: 30 records
// both edit (each kept twice), and 10 that mine deletes theirs edits (kept with theirs' text); in a
// file of fewer than 10,000 records, proportionally fewer. Then the same mine against theirs
// that only sorted the base. Best of kRuns each; the number of records merged is checked.
MergeTimes timeMerge(long long count) {
    using trovix::store::RecordArray;
    const GeneratedData data = generateRecords(count);
    const RecordArray base =
        trovix::store::parseDataFile(QByteArray::fromStdString(data.bytes)).records;
    const auto size = static_cast<unsigned>(base.size());
    Random random(17);
    std::vector<bool> taken(size);
    // `n` records no other change touches.
    const auto pick = [&](int n) {
        std::vector<qint32> picked;
        while (static_cast<int>(picked.size()) < n) {
            const unsigned i = random.below(size);
            if (!taken[i]) {
                taken[i] = true;
                picked.push_back(static_cast<qint32>(i));
            }
        }
        return picked;
    };
    // Changes per 10,000 records, or in all: how many of each kind.
    const auto share = [&](int changes) {
        return static_cast<int>(std::min<long long>(changes, changes * base.size() / 10000));
    };
    const int inserts = share(100);
    const std::vector<qint32> bothEdit = pick(share(30)), mineEdit = pick(share(270)),
                              theirEdit = pick(share(260)), mineDeleteTheirEdit = pick(share(10)),
                              mineDelete = pick(share(90)), theirDelete = pick(share(100));
    const auto changed = [&](const std::string& who, std::vector<std::vector<qint32>> edits,
                             std::vector<std::vector<qint32>> deletes) {
        RecordArray side = base;
        for (const auto& some : edits) {
            for (const qint32 i : some) {
                side.set(i, std::string(side.utf8(i)) + " (edited by " + who + ")");
            }
        }
        std::vector<qint32> gone;
        for (const auto& some : deletes) {
            gone.insert(gone.end(), some.begin(), some.end());
        }
        std::sort(gone.begin(), gone.end());
        side.removeAt(gone);
        std::vector<qint32> at;
        std::vector<std::string> texts;
        for (int k = 0; k < inserts; ++k) {
            at.push_back(static_cast<qint32>(random.below(static_cast<unsigned>(side.size()))));
            texts.push_back("New record " + std::to_string(k) + " of " + who);
        }
        std::sort(at.begin(), at.end());
        for (std::size_t k = 0; k < at.size(); ++k) {
            at[k] += static_cast<qint32>(k);  // counted in the array with the records before
        }
        side.insertAt(at, texts);
        return side;
    };
    const RecordArray mine =
        changed("mine", {bothEdit, mineEdit}, {mineDelete, mineDeleteTheirEdit});
    const RecordArray theirs =
        changed("theirs", {bothEdit, theirEdit, mineDeleteTheirEdit}, {theirDelete});
    RecordArray sorted = base;
    sorted.permute(trovix::records::exchangeSortOrder(sorted));

    MergeTimes times;
    Fastest merging, mergingSorted;
    for (int run = 0; run < kRuns; ++run) {
        trovix::store::MergedRecords merged;
        merging.add(timed([&] { merged = trovix::store::mergeRecords(base, mine, theirs); }));
        // Both sides' inserts, less both sides' deletes, the records both edited once more.
        // The count holds however a change next to an insert or delete is read; how many
        // records are kept twice does not, so it is not checked.
        const auto expected = static_cast<qsizetype>(
            base.size() + 2 * inserts - static_cast<qsizetype>(mineDelete.size()) -
            static_cast<qsizetype>(theirDelete.size()) + static_cast<qsizetype>(bothEdit.size()));
        if (merged.records.size() != expected) {
            warn("the merge gave " + std::to_string(merged.records.size()) + " records, " +
                 "expected " + std::to_string(expected));
        }
        mergingSorted.add(timed([&] { merged = trovix::store::mergeRecords(base, mine, sorted); }));
        if (merged.records.size() != mine.size() || merged.keptTwice != 0) {
            warn("the merge with a sorted side gave " + std::to_string(merged.records.size()) +
                 " records, mine has " + std::to_string(mine.size()));
        }
    }
    times.merge = merging.seconds();
    times.sorted = mergingSorted.seconds();
    return times;
}

struct UndoTimes {
    double sort = 0;
    double compact = 0;
};

// Undoing a sort and a compaction of `count` generated records in the window's first list, one
// in twenty of them blank: the whole command, the records put back, the list listed again and
// the record shown. Best of kRuns each; every undo must give back the records exactly.
UndoTimes timeUndo(long long count) {
    using trovix::store::DataFileContent;
    using trovix::store::RecordArray;
    const GeneratedData data = generateRecords(count);
    DataFileContent content = trovix::store::parseDataFile(QByteArray::fromStdString(data.bytes));
    Random random(7);
    for (qsizetype i = 0; i < content.records.size(); ++i) {
        if (random.chance(5)) {
            content.records.set(i, std::string_view());
        }
    }
    Window window({QString(), QString(), QString()});
    MainState& state = window.state;
    state.slot(SlotId::A).records = content.records;
    trovix::records::loadArray(state.slot(SlotId::A), state.listingOptions());
    state.slot(SlotId::A).list.setListIndex(0);
    const auto sameRecords = [&] {
        const RecordArray& now = state.slot(SlotId::A).records;
        if (now.size() != content.records.size()) {
            return false;
        }
        for (qsizetype i = 0; i < now.size(); ++i) {
            if (now.utf8(i) != content.records.utf8(i)) {
                return false;
            }
        }
        return true;
    };
    Fastest sort;
    Fastest compact;
    for (int run = 0; run < kRuns; ++run) {
        trovix::app::toolbarButtonPressed(state, trovix::Command::Sort);
        sort.add(timed([&] { trovix::app::undoCommand(state); }));
        if (!sameRecords()) {
            warn("undoing the sort did not give the records back");
        }
        trovix::app::menuCommand(state, trovix::MenuCommand::Compact);
        compact.add(timed([&] { trovix::app::undoCommand(state); }));
        if (!sameRecords()) {
            warn("undoing the compaction did not give the records back");
        }
    }
    return {sort.seconds(), compact.seconds()};
}

struct RecoveryTimes {
    double snapshot = 0;         // the window's share of starting a recovery write
    double write = 0;            // the write itself, on its own thread
    double slowestKey = 0;       // the slowest keystroke while it ran
    double slowestQuietKey = 0;  // the slowest keystroke with no write running
    int keys = 0;
};

// Keystrokes in the edit box while the unsaved records of `count` generated records (90 MB for
// a million) are written to a recovery file in the background: the window's part (a copy of
// the record table and of the texts typed since the file was read) is timed on its own, then
// keys are typed and timed one by one until the write has ended, and as many keys again with
// nothing written, for comparison.
RecoveryTimes timeRecoveryWrite(long long count) {
    const GeneratedData data = generateRecords(count);
    Window window({QString(), QString(), QString()});
    MainState& state = window.state;
    state.slot(SlotId::A).records =
        trovix::store::parseDataFile(QByteArray::fromStdString(data.bytes)).records;
    trovix::records::loadArray(state.slot(SlotId::A), state.listingOptions());
    state.listWithFocus = SlotId::A;
    state.slot(SlotId::A).list.setListIndex(0);
    const QTemporaryDir folder;
    trovix::store::RecoveryWriter writer(folder.path());
    RecoveryTimes times;
    const auto typeKey = [&] {
        return timed([&] { state.editBox.setText(state.editBox.text() + QStringLiteral("x")); });
    };
    for (int run = 0; run < kRuns; ++run) {
        typeKey();
        trovix::store::RecoveryHeader header;
        header.dataFile = QStringLiteral("/bench/phone_numbers.txt");
        trovix::store::RecordArray snapshot;
        const double snapshotSeconds =
            timed([&] { snapshot = state.slot(SlotId::A).records.detached(); });
        times.snapshot = run == 0 ? snapshotSeconds : std::min(times.snapshot, snapshotSeconds);
        std::atomic<bool> written = false;
        const auto started = std::chrono::steady_clock::now();
        writer.keep(header, std::move(snapshot));
        std::thread waiter([&] {
            writer.waitUntilWritten();
            written = true;
        });
        int keys = 0;
        while (!written) {
            times.slowestKey = std::max(times.slowestKey, typeKey());
            ++keys;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        waiter.join();
        times.write =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        for (int k = 0; k < keys; ++k) {
            times.slowestQuietKey = std::max(times.slowestQuietKey, typeKey());
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        times.keys += keys;
        if (!writer.lastError().isEmpty()) {
            warn("the recovery file was not written: " + writer.lastError().toStdString());
        }
    }
    return times;
}

// Copying a list of `count` rows to the clipboard: the text is built from every row.
double timeCopyList(long long count) {
    using trovix::store::RecordArray;
    Window window({QString(), QString(), QString()});
    MainState& state = window.state;
    QStringList texts;
    for (long long i = 0; i < count; ++i) {
        texts << QStringLiteral("Record number %1 with some text").arg(i);
    }
    state.slot(SlotId::A).records = RecordArray::fromStrings(texts);
    trovix::records::loadArray(state.slot(SlotId::A), state.listingOptions());
    state.listWithFocus = SlotId::A;
    CountingClipboard clipboard;
    state.services.clipboard = clipboard;
    const double seconds =
        timed([&] { trovix::output::copyList(state.services, state.focusedSlot()); });
    if (clipboard.rows() != count) {
        warn("copying the list gave " + std::to_string(clipboard.rows()) + " rows");
    }
    return seconds;
}

// The memory a record costs when records are tiny: a file of nothing but LF line breaks, 400 of
// them per generated record (400 MB for the full run's million records), every one an empty
// record. It is loaded as the window loads its first file, in a process of its own, and the
// peak memory beyond what the process held before and beyond the file's own bytes is shared
// out over the records. The file is removed afterwards.
void benchLineBreaks(const QString& dataFile, const Options& options) {
    const QString file = dataFile + QStringLiteral(".line-breaks");
    // At most the million-record run's 400 MB: a larger file would pass the 1 GB a data file
    // may have, and be refused.
    const long long fileBytes = std::min(options.records, 1'000'000LL) * 400;
    {
        // Written a piece at a time, so that the peak memory before loading stays small.
        QFile out(file);
        const std::string piece(std::size_t{1} << 20, '\n');
        bool ok = out.open(QIODevice::WriteOnly);
        for (long long left = fileBytes; ok && left > 0;) {
            const auto size =
                static_cast<qint64>(std::min(left, static_cast<long long>(piece.size())));
            ok = out.write(piece.data(), size) == size;
            left -= size;
        }
        if (!ok) {
            fail("cannot write " + nativePath(file) + ": " + out.errorString().toStdString());
        }
    }
    const QString fileB = dataFile + QStringLiteral(".slot-b");
    const QString fileC = dataFile + QStringLiteral(".slot-c");
    writeWhole(nativePath(fileB), std::string(kSlotBBytes), false);
    writeWhole(nativePath(fileC), std::string(kSlotCBytes), false);
    const double before = peakRssMiB() * kMiB;
    {
        std::optional<Window> loaded;
        printSeconds("line_breaks_load", timed([&] {
                         loaded.emplace(std::array{file, fileB, fileC});
                     }));
        Window& window = *loaded;
        const qsizetype records = window.state.slot(SlotId::A).records.size();
        if (records != fileBytes + 1) {
            warn("the file of line breaks gave " + std::to_string(records) + " records");
        }
        const double beyond = peakRssMiB() * kMiB - before - static_cast<double>(fileBytes);
        printCount("line_breaks_records", records);
        std::printf("line_breaks_bytes_per_record %.2f\n",
                    beyond / static_cast<double>(std::max<qsizetype>(1, records)));
    }
    for (const QString& name : {file, fileB, fileC}) {
        ::unlink(nativePath(name).c_str());
    }
}

// Settings files of about 11 MB, each of a shape that once made reading slow or took much
// memory: the window's start (open the store, read every setting) and its close (write every
// setting back) are timed. Each file ends with a [Settings] section that moves the window, which
// must be read.
//
// Each file is opened and closed in a process of its own, which has read no other: the most
// memory that process holds, beyond what it held before it opened the file, is the memory the
// settings took at their peak. That is the peak resident size (VmHWM, or getrusage's maximum)
// less the resident size just before; a process that had read another file before would reuse
// the memory freed after it, and show less.
constexpr double kSettingsSecondsLimit = 1;
constexpr double kSettingsMemoryLimit = 10;  // times the file's size

// Opens and closes the settings file at `path` in this process, and prints the times and the
// memory it took as "settings_file_..." lines for the process that started this one.
void benchSettingsFile(const QString& path, const std::string& shape) {
    std::unique_ptr<trovix::platform::QtSettingsStore> store;
    trovix::platform::FakeServices services;
    MainState state{services.services()};
    const double before = residentMiB();
    const double open = timed([&] {
        store = std::make_unique<trovix::platform::QtSettingsStore>(path, services.systemDisk);
        state.services.settings = *store;
        trovix::app::settings(state, trovix::app::SettingsTask::Read);
    });
    if (state.frame.placement().left != 3000) {
        warn("settings " + shape + ": MainLeft was not read");
    }
    const double close =
        timed([&] { trovix::app::settings(state, trovix::app::SettingsTask::Write); });
    const double peak = peakRssMiB();
    if (store->value(trovix::app::kSettingsSection, QStringLiteral("Gap")) !=
        QStringLiteral("2700")) {
        warn("settings " + shape + ": the settings were not written");
    }
    printSeconds("settings_file_open", open);
    printSeconds("settings_file_close", close);
    std::printf("settings_file_memory_bytes %.0f\n", std::max(0.0, peak - before) * kMiB);
    std::fflush(stdout);
}

struct SettingsFigures {
    double open = -1;
    double close = -1;
    double memoryBytes = -1;
};

// Runs this benchmark again on the settings file of one shape, in a fresh process, and returns
// its figures; anything else it prints (warnings) goes to this one's output.
SettingsFigures runSettingsFile(const Options& options, const std::string& dataPath,
                                const char* shape) {
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) {
        fail(std::string("cannot make a pipe: ") + std::strerror(errno));
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[1]);
    const char* const args[] = {options.self.c_str(),
                                "--settings-only",
                                "--settings-shape",
                                shape,
                                "--file",
                                dataPath.c_str(),
                                nullptr};
    pid_t child = 0;
    const int spawned = ::posix_spawn(&child, options.self.c_str(), &actions, nullptr,
                                      const_cast<char* const*>(args), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeEnds[1]);
    if (spawned != 0) {
        ::close(pipeEnds[0]);
        fail(std::string("cannot start the settings run of ") + shape);
    }
    std::string output;
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(pipeEnds[0], buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            break;
        }
        output.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(pipeEnds[0]);
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fputs(output.c_str(), stdout);
        fail(std::string("the settings run of ") + shape + " failed");
    }
    SettingsFigures figures;
    std::size_t from = 0;
    while (from < output.size()) {
        std::size_t end = output.find('\n', from);
        end = end == std::string::npos ? output.size() : end + 1;
        const std::string line = output.substr(from, end - from);
        from = end;
        if (std::sscanf(line.c_str(), "settings_file_open %lf", &figures.open) != 1 &&
            std::sscanf(line.c_str(), "settings_file_close %lf", &figures.close) != 1 &&
            std::sscanf(line.c_str(), "settings_file_memory_bytes %lf", &figures.memoryBytes) !=
                1) {
            std::fputs(line.c_str(), stdout);
        }
    }
    if (figures.open < 0 || figures.close < 0 || figures.memoryBytes < 0) {
        fail(std::string("the settings run of ") + shape + " gave no figures");
    }
    return figures;
}

const char* withinLimit(double value, double limit) {
    return value <= limit ? "OK" : "OVER";
}

void benchSettings(const Options& options) {
    const QString path = options.file + QStringLiteral(".settings.ini");
    if (!options.settingsShape.empty()) {
        benchSettingsFile(path, options.settingsShape);
        return;
    }
    constexpr std::size_t kTarget = 11'000'000;
    const auto repeated = [](std::string_view line) {
        std::string out;
        out.reserve(kTarget + line.size());
        while (out.size() < kTarget) {
            out += line;
        }
        return out;
    };
    // Each line names a section of its own: every name is new to the reader.
    const auto numbered = [](std::string_view before, std::string_view after, int digits) {
        std::string out;
        out.reserve(kTarget + 64);
        char number[16];
        for (int i = 0; out.size() < kTarget; ++i) {
            std::snprintf(number, sizeof number, "%0*d", digits, i);
            out.append(before).append(number).append(after);
        }
        return out;
    };
    const struct {
        const char* name;
        std::string bytes;
    } shapes[] = {
        {"unclosed_headers", numbered("[section", "\n", 7)},
        {"unclosed_short_headers", repeated("[x\n")},  // 3.7 million headers of one section
        {"sections", numbered("[s", "]\nk=v\n", 7)},
        {"one_key_sections", numbered("[sec", "]\nkey=val\n", 6)},  // 550,000 of them
        {"keys", repeated("Key0000001=some value\n")},
        {"comments", repeated("; a comment with [brackets] and = signs\n")},
        {"one_line", "[Settings]\nFontName=" + std::string(kTarget, 'x') + "\n"},
        {"continued", repeated("k=\\\n") + "end\n"},
        {"quotes_and_escapes", repeated("k=\"a,b\" \\x41, \\n ; c\n")},
    };
    const std::string dataPath = nativePath(options.file);
    double worstOpen = 0;
    double worstClose = 0;
    double worstMemory = 0;
    std::string worstName;
    std::string worstMemoryName;
    for (const auto& shape : shapes) {
        const std::string bytes = shape.bytes + "\n[Settings]\nMainLeft=3000\n";
        writeWhole(nativePath(path), bytes, false);
        const SettingsFigures figures = runSettingsFile(options, dataPath, shape.name);
        ::unlink(nativePath(path).c_str());
        const double fileMiB = static_cast<double>(bytes.size()) / kMiB;
        const double memory = figures.memoryBytes / static_cast<double>(bytes.size());
        std::printf(
            "# settings %s: open %.3f s (<= %g %s), close %.3f s (<= %g %s), memory %.1f MB for "
            "%.1f MB, %.2f x the file (<= %g %s)\n",
            shape.name, figures.open, kSettingsSecondsLimit,
            withinLimit(figures.open, kSettingsSecondsLimit), figures.close, kSettingsSecondsLimit,
            withinLimit(figures.close, kSettingsSecondsLimit), figures.memoryBytes / kMiB, fileMiB,
            memory, kSettingsMemoryLimit, withinLimit(memory, kSettingsMemoryLimit));
        if (figures.open + figures.close > worstOpen + worstClose) {
            worstName = shape.name;
        }
        worstOpen = std::max(worstOpen, figures.open);
        worstClose = std::max(worstClose, figures.close);
        if (memory >= worstMemory) {
            worstMemory = memory;
            worstMemoryName = shape.name;
        }
    }
    printSeconds("settings_open", worstOpen);
    printSeconds("settings_close", worstClose);
    std::printf("settings_worst %s\n", worstName.c_str());
    std::printf("settings_memory_per_file_size %.2f\n", worstMemory);
    std::printf("settings_memory_worst %s\n", worstMemoryName.c_str());
    std::printf("# settings memory: at most %.2f x the file's size (%s), target <= %g: %s\n",
                worstMemory, worstMemoryName.c_str(), kSettingsMemoryLimit,
                withinLimit(worstMemory, kSettingsMemoryLimit));
    std::fflush(stdout);
}

// ---------------------------------------------------------------------------------------------
// Typing a search key by key with Search While Typing ticked, the data file in the first slot.
// A key's time runs from the text's change to the rows in the lists (their models told) and the
// status bar written, as search() leaves them.

struct KeyTimes {
    std::vector<double> first;    // the first key of each run: a search of every record
    std::vector<double> later;    // the keys after it
    std::vector<double> erasing;  // Backspace, key by key back to the first letter
    // The processor time of the keys after the first, all threads together: on a machine
    // shared with other work it shows what the key costs, which the wall time may not.
    std::vector<double> laterCpu;
    long long firstRows = 0;  // the records the first key lists
};

// The processor time this process has used so far, all its threads together.
double processCpuSeconds() {
    timespec t{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// The time below which a share `p` of the times lie (nearest rank).
double percentile(std::vector<double> times, double p) {
    if (times.empty()) {
        return 0;
    }
    std::sort(times.begin(), times.end());
    const auto rank = static_cast<std::size_t>(std::ceil(p * static_cast<double>(times.size())));
    return times[std::clamp<std::size_t>(rank, 1, times.size()) - 1];
}

// Types `typed` key by key, kRuns * 3 times, and erases it again; each run starts with no
// earlier search to narrow. After each run the lists must hold what a search of every record
// finds.
KeyTimes timeTyping(Window& window, const QString& typed, bool ignoreCase) {
    MainState& state = window.state;
    state.options.setChecked(trovix::Option::SearchWhileTyping, true);
    state.options.setChecked(trovix::Option::IgnoreCase, ignoreCase);
    KeyTimes times;
    for (int run = 0; run < kRuns * 3; ++run) {
        for (SlotId id : kAllSlots) {
            state.slot(id).recentFinds.clear();
        }
        state.searchBox.userTyped(QString());
        bool first = true;
        for (qsizetype k = 1; k <= typed.size(); ++k) {
            const QString text = typed.left(k);
            const double cpuBefore = processCpuSeconds();
            const double seconds = timed([&] { state.searchBox.userTyped(text); });
            const double cpu = processCpuSeconds() - cpuBefore;
            if (!text.trimmed().isEmpty()) {
                (first ? times.first : times.later).push_back(seconds);
                if (!first) {
                    times.laterCpu.push_back(cpu);
                }
                if (first) {
                    times.firstRows = state.slot(SlotId::A).list.count();
                }
                first = false;
            }
        }
        const trovix::search::TermMatcher matcher(trovix::search::searchTerms(typed), ignoreCase);
        for (SlotId id : kAllSlots) {
            const std::vector<qint32> all =
                trovix::search::matchingRecords(state.slot(id).records, matcher);
            const std::vector<qint32> shown = listedRecords(state.slot(id).list);
            if (shown != all) {
                warn("typing: a list holds other records than a search of every record finds");
            }
        }
        for (qsizetype k = typed.size() - 1; k >= 1; --k) {
            const QString text = typed.left(k);
            const double seconds = timed([&] { state.searchBox.userTyped(text); });
            if (!text.trimmed().isEmpty()) {
                times.erasing.push_back(seconds);
            }
        }
    }
    return times;
}

void printKeyTimes(const std::string& name, const KeyTimes& times) {
    printSeconds((name + "_p50").c_str(), percentile(times.later, 0.5));
    printSeconds((name + "_p95").c_str(), percentile(times.later, 0.95));
    printSeconds((name + "_first").c_str(),
                 *std::max_element(times.first.begin(), times.first.end()));
    printSeconds((name + "_erase_p95").c_str(), percentile(times.erasing, 0.95));
    printSeconds((name + "_cpu_p95").c_str(), percentile(times.laterCpu, 0.95));
    printCount((name + "_first_rows").c_str(), times.firstRows);
    printCount((name + "_keys").c_str(), static_cast<long long>(times.later.size()));
}

// Typing with Ignore Case ticked and not; then what one scan of every record for the first key
// costs on one thread, two and every core, and what listing its rows costs next to it.
void benchTyping(const QString& dataFile, const Options& options) {
    const QString fileB = dataFile + QStringLiteral(".slot-b");
    const QString fileC = dataFile + QStringLiteral(".slot-c");
    writeWhole(nativePath(fileB), std::string(kSlotBBytes), false);
    writeWhole(nativePath(fileC), std::string(kSlotCBytes), false);
    {
        Window window({dataFile, fileB, fileC});
        MainState& state = window.state;
        // The case folding is made by the first search that ignores case, timed elsewhere.
        state.slot(SlotId::A).records.caseFolding();

        const QString lower = options.typed.toLower();
        const QString capital = options.typed.left(1).toUpper() + lower.mid(1);
        printKeyTimes("typing_ci", timeTyping(window, lower, true));
        printKeyTimes("typing_cs", timeTyping(window, capital, false));

        const trovix::store::RecordArray& records = state.slot(SlotId::A).records;
        const trovix::search::TermMatcher firstKey({lower.left(1)}, true);
        std::vector<qint32> found;
        std::vector<std::size_t> threadCounts = {1, 2, trovix::platform::coreCount()};
        std::sort(threadCounts.begin(), threadCounts.end());
        threadCounts.erase(std::unique(threadCounts.begin(), threadCounts.end()),
                           threadCounts.end());
        printCount("cores", static_cast<long long>(trovix::platform::coreCount()));
        double scanAll = 0;
        for (const std::size_t threads : threadCounts) {
            trovix::platform::limitThreads(threads);
            Fastest scanning;
            for (int run = 0; run < kRuns; ++run) {
                scanning.add(
                    timed([&] { found = trovix::search::matchingRecords(records, firstKey); }));
            }
            printSeconds(("scan_threads_" + std::to_string(threads)).c_str(), scanning.seconds());
            scanAll = scanning.seconds();
        }
        trovix::platform::limitThreads(0);
        printSeconds("scan_threads_all", scanAll);

        // Listing the first key's rows into the first list, its views told, as a search does.
        trovix::lists::ResultList& list = state.slot(SlotId::A).list;
        Fastest listing;
        for (int run = 0; run < kRuns; ++run) {
            listing.add(timed([&] {
                const trovix::lists::ResultList::Update update(list);
                list.clear();
                trovix::lists::appendRecordsRows(list, records, found, false);
            }));
        }
        printSeconds("list_found", listing.seconds());
        printCount("list_found_rows", static_cast<long long>(found.size()));
    }
    for (const QString& file : {fileB, fileC}) {
        ::unlink(nativePath(file).c_str());
    }
}

// ---------------------------------------------------------------------------------------------
// The main run: the data file, the floors, loading, listing and saving

using namespace trovix::lists;
using namespace trovix::store;

// Runs the one part of the benchmark that a "--...-only" option asks for, in this process.
// Returns false when no such option was given.
bool ranSinglePart(const Options& options) {
    if (options.sortsOnly) {
        // Sorting and copying, in a process of their own: 100,000 records next to sort -f, a
        // million, and copying a list of a million rows.
        const std::string linesFile = nativePath(options.file) + ".lines";
        printCount("sort_small_records", options.records / 10);
        printSeconds("sort_small", timeSort(options.records / 10, linesFile));
        std::printf("sort_lines %s\n", linesFile.c_str());
        printSeconds("sort_large", timeSort(options.records, std::string()));
        printSeconds("copy_list", timeCopyList(options.records));
        const UndoTimes undo = timeUndo(options.records);
        printSeconds("undo_sort", undo.sort);
        printSeconds("undo_compact", undo.compact);
        const RecoveryTimes recovery = timeRecoveryWrite(options.records);
        printShortSeconds("recovery_snapshot", recovery.snapshot);
        printSeconds("recovery_write", recovery.write);
        printCount("recovery_keys", recovery.keys);
        printShortSeconds("recovery_slowest_key", recovery.slowestKey);
        printShortSeconds("recovery_slowest_quiet_key", recovery.slowestQuietKey);
        return true;
    }
    if (options.mergeOnly) {
        const MergeTimes merge = timeMerge(options.records);
        printSeconds("merge", merge.merge);
        printSeconds("merge_sorted", merge.sorted);
        return true;
    }
    if (options.lineBreaksOnly) {
        if (options.file.isEmpty()) {
            usage("--line-breaks-only needs --file");
        }
        benchLineBreaks(options.file, options);
        return true;
    }
    if (options.settingsOnly) {
        if (options.file.isEmpty()) {
            usage("--settings-only needs --file");
        }
        benchSettings(options);
        return true;
    }
    if (options.typingOnly) {
        if (options.file.isEmpty()) {
            usage("--typing-only needs --file");
        }
        if (!QFile::exists(options.file)) {
            // Run by itself, as for a measurement through the window: the data made first.
            writeWhole(nativePath(options.file), generateRecords(options.records).bytes, false);
        }
        benchTyping(options.file, options);
        return true;
    }
    if (options.searchesOnly) {
        if (options.file.isEmpty()) {
            usage("--searches-only needs --file");
        }
        benchSearching(options.file, options);
        return true;
    }
    return false;
}

// The data file: the one given, or one in a temporary folder that goes unless --keep.
QString dataFileFor(const Options& options, std::optional<QTemporaryDir>& tempDir) {
    if (!options.file.isEmpty()) {
        return options.file;
    }
    tempDir.emplace(QDir::tempPath() + QStringLiteral("/trovix_bench-XXXXXX"));
    if (!tempDir->isValid()) {
        fail("cannot create a temporary folder: " + tempDir->errorString().toStdString());
    }
    tempDir->setAutoRemove(!options.keep);
    return tempDir->filePath(QStringLiteral("records.txt"));
}

struct DataFileSize {
    long long bytes = 0;
    long long lines = 0;
};

// Generates and writes the data file, and times writing its bytes plainly, with and without
// forcing them to the disk: the floors a save is measured against.
DataFileSize writeDataFileAndFloors(const QString& dataFile, const std::string& dataPath,
                                    const Options& options) {
    const GeneratedData data = generateRecords(options.records);
    const DataFileSize size{static_cast<long long>(data.bytes.size()), data.lines};
    writeWhole(dataPath, data.bytes, false);

    Fastest writeFloor;
    for (int run = 0; run < kRuns; ++run) {
        const std::string target = scratchName(dataFile, "write-floor", run);
        writeFloor.add(timed([&] { writeWhole(target, data.bytes, false); }));
        ::unlink(target.c_str());
    }
    // The same with the data forced to the disk (fdatasync), as an atomic save does.
    Fastest syncFloor;
    for (int run = 0; run < kRuns; ++run) {
        const std::string target = scratchName(dataFile, "sync-floor", run);
        syncFloor.add(timed([&] { writeWhole(target, data.bytes, true); }));
        ::unlink(target.c_str());
    }
    std::printf("# best of %d runs: every timing below\n", kRuns);
    printCount("records", options.records);
    printCount("file_bytes", size.bytes);
    printCount("file_lines", size.lines);
    printValue("file_mb", static_cast<double>(size.bytes) / kMiB);
    printSeconds("write_floor", writeFloor.seconds());
    printSeconds("write_sync_floor", syncFloor.seconds());
    return size;
}

// Times reading the file's bytes with plain POSIX calls: the floor a load is measured against.
void benchReadFloor(const std::string& dataPath, long long fileBytes) {
    Fastest readFloor;
    for (int run = 0; run < kRuns; ++run) {
        std::size_t size = 0;
        std::unique_ptr<char[]> buffer;
        readFloor.add(timed([&] { buffer = readWhole(dataPath, size); }));
        if (static_cast<long long>(size) != fileBytes) {
            warn("read_floor read " + std::to_string(size) + " bytes");
        }
    }
    printSeconds("read_floor", readFloor.seconds());
}

// Where loading spends its time: reading through QFile, the UTF-8 check alone, and the parse
// (which includes that check). Run with nothing else loaded, it adds nothing to the peak memory.
void benchLoadingParts(const QString& dataFile, const std::string& dataPath,
                       const Options& options) {
    Fastest reading, checking, parsing;
    for (int run = 0; run < kRuns; ++run) {
        QByteArray bytes;
        reading.add(timed([&] {
            QFile file(dataFile);
            if (!file.open(QIODevice::ReadOnly)) {
                fail("cannot read " + dataPath + ": " + file.errorString().toStdString());
            }
            trovix::platform::Result<QByteArray> read = readWholeDevice(file);
            if (!read) {
                fail("cannot read " + dataPath + ": " + read.error().toStdString());
            }
            bytes = std::move(*read);
        }));
        bool valid = false;
        checking.add(timed([&] {
            valid = isValidUtf8(
                std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
        }));
        if (!valid) {
            warn("the generated file is not valid UTF-8");
        }
        DataFileContent content;
        parsing.add(timed([&] { content = parseDataFile(std::move(bytes)); }));
        if (content.records.size() != options.records + 1) {
            warn("parsing gave " + std::to_string(content.records.size()) + " elements");
        }
    }
    printSeconds("load_read", reading.seconds());
    printSeconds("load_utf8_check", checking.seconds());
    printSeconds("load_parse", parsing.seconds());
}

// Loads the file as the program does. Each run starts with nothing loaded; the last run's
// records are returned, for the rest of the run.
DataFileContent benchLoading(const QString& dataFile, const std::string& dataPath,
                             const Options& options) {
    std::optional<DataFileContent> loaded;
    Fastest load;
    for (int run = 0; run < kRuns; ++run) {
        loaded.reset();
        std::optional<trovix::platform::Result<ReadFile, ReadFailure>> result;
        load.add(timed([&] { result.emplace(readDataFile(dataFile)); }));
        if (!*result) {
            fail("cannot load " + dataPath + ": " + result->error().toStdString());
        }
        loaded = std::move((*result)->content);
    }
    printSeconds("load", load.seconds());
    const RecordArray& records = loaded->records;
    // The file ends with a line break, which leaves an empty last element.
    if (records.size() != options.records + 1 || !records.utf8(records.size() - 1).empty()) {
        warn("loaded " + std::to_string(records.size()) + " elements, expected " +
             std::to_string(options.records + 1));
    }
    if (!(loaded->format == FileFormat{Encoding::Utf8, LineBreak::CrLf})) {
        warn("the file was not taken for UTF-8 with CR LF line breaks");
    }
    return std::move(*loaded);
}

// A result list, which is the model the window shows.
struct ShownList {
    std::unique_ptr<ResultList> list;
};

// Lists, expands and contracts, each round on a new list, so that every round pays for growing
// its rows as the first listing after loading does. The last round's list is returned.
ShownList benchListing(const RecordArray& records, const QString& dataFile, const Options& options,
                       long long fileLines) {
    const int listedRows = static_cast<int>(options.records) + 1;  // the header row on top
    const long long expandedRows = fileLines + 1;
    ShownList shown;
    Fastest listing, expanding, contracting;
    for (int run = 0; run < kRuns; ++run) {
        shown.list.reset();
        shown.list = std::make_unique<ResultList>(records);
        ResultList& list = *shown.list;
        const ResultList& model = list;

        listing.add(timed([&] {
            listAllRecords(list, records, dataFile, ListingOptions{true, false});
        }));
        if (list.count() != listedRows || model.rowCount() != listedRows) {
            warn("listing gave " + std::to_string(list.count()) + " rows, expected " +
                 std::to_string(listedRows));
        }
        expanding.add(timed([&] { expandList(list, records, dataFile, true); }));
        if (list.count() != expandedRows || model.rowCount() != expandedRows) {
            warn("expanding gave " + std::to_string(list.count()) + " rows, expected " +
                 std::to_string(expandedRows));
        }
        contracting.add(timed([&] { contractList(list, records, dataFile, true); }));
        if (list.count() != listedRows || model.rowCount() != listedRows) {
            warn("contracting gave " + std::to_string(list.count()) + " rows, expected " +
                 std::to_string(listedRows));
        }
    }
    printSeconds("list", listing.seconds());
    printSeconds("expand", expanding.seconds());
    printSeconds("contract", contracting.seconds());
    return shown;
}

// Saving without the atomic file: the same bytes written through a plain QFile, without the
// sync to disk that QSaveFile::commit() does.
void benchUnsyncedWriting(const DataFileContent& loaded, const QString& dataFile,
                          long long fileBytes) {
    Fastest writing;
    for (int run = 0; run < kRuns; ++run) {
        const std::string target = scratchName(dataFile, "written", run);
        QFile file(QFile::decodeName(QByteArray::fromStdString(target)));
        QString error;
        bool ok = false;
        writing.add(timed([&] {
            if (file.open(QIODevice::WriteOnly)) {
                const trovix::platform::Result<FileFormat> written =
                    writeDataFile(file, loaded.records, loaded.format);
                ok = written.ok();
                error = written.error();
            }
            file.close();
        }));
        if (!ok) {
            fail("cannot write " + target + ": " + error.toStdString());
        }
        if (fileSize(target) != fileBytes) {
            warn("written file has " + std::to_string(fileSize(target)) + " bytes");
        }
        ::unlink(target.c_str());
    }
    printSeconds("save_unsynced", writing.seconds());
}

// Saves to a new file each run, next to the data file; returns the last one saved.
std::string benchSaving(const DataFileContent& loaded, const QString& dataFile,
                        long long fileBytes) {
    std::string lastSaved;
    Fastest saving;
    trovix::platform::SystemDisk disk;
    for (int run = 0; run < kRuns; ++run) {
        if (!lastSaved.empty()) {
            ::unlink(lastSaved.c_str());
        }
        lastSaved = scratchName(dataFile, "saved", run);
        const QString target = QFile::decodeName(QByteArray::fromStdString(lastSaved));
        bool savedWhole = false;
        QString error;
        saving.add(timed([&] {
            const auto result = saveDataFile(disk, target, loaded.records, loaded.format);
            savedWhole = result.ok();
            error = result.error();
        }));
        if (!savedWhole) {
            fail("cannot save " + lastSaved + ": " + error.toStdString());
        }
        const long long saved = fileSize(lastSaved);
        if (saved != fileBytes) {
            warn("saved file has " + std::to_string(saved) + " bytes, the generated one " +
                 std::to_string(fileBytes));
        }
    }
    printSeconds("save", saving.seconds());
    return lastSaved;
}

// ---------------------------------------------------------------------------------------------
// Highlighting the matches

// Paints the first list as the window does, on the offscreen platform, with the common search
// shown: a screenful after the search, and screenfuls scrolled to across the whole list, with
// the matches highlighted and without; and the cost of finding the matches in a row's text.
int benchHighlight(int argc, char** argv, const Options& options) {
    if (options.file.isEmpty()) {
        usage("--highlight-only needs --file");
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    Window window({options.file, QString(), QString()});
    MainState& state = window.state;
    const QString text = options.common.toLower();
    enterSearch(state, {"search_common_ci", text, true});

    bool highlighting = true;
    trovix::widgets::ResultListView view(state.slot(SlotId::A).list);
    view.rowDelegate()->setShownSearchSource([&]() -> trovix::widgets::ShownSearch {
        return highlighting ? trovix::widgets::ShownSearch{text, true}
                            : trovix::widgets::ShownSearch{};
    });
    view.resize(480, 640);  // the lists of a large window
    view.show();
    QImage screen(view.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    const auto paint = [&] { view.viewport()->render(&screen); };

    // Runs alternate between plain and highlighted, so that both meet the same load.
    constexpr int kHighlightRuns = 7;
    // A search as the user starts it, and the screenful it shows.
    Fastest searchPlain, searchMarked;
    for (int run = 0; run < kHighlightRuns; ++run) {
        for (const bool on : {false, true}) {
            highlighting = on;
            // A search of every record, not one taken back from the last run's result.
            for (const SlotId id : kAllSlots) {
                state.slot(id).recentFinds.clear();
            }
            (on ? searchMarked : searchPlain).add(timed([&] {
                trovix::app::search(state);
                paint();
            }));
        }
    }
    const trovix::lists::ResultList& list = state.slot(SlotId::A).list;
    // The view lays out the rows past the first batch between events: all of them before the
    // screenfuls are scrolled to, as a user's drag of the scroll bar waits for them.
    while (view.visualRect(view.model()->index(list.count() - 1, 0)).isEmpty()) {
        QCoreApplication::processEvents();
    }
    const int rowHeight = std::max(1, view.sizeHintForRow(0));
    const int perScreen = view.viewport()->height() / rowHeight + 1;
    if (list.count() < perScreen * 10) {
        warn("the common search lists too few rows to scroll");
    }

    // Screenfuls across the whole list, as a scroll bar dragged from top to bottom shows them.
    // Each screenful counts with its fastest run: a run the system interrupts loses one
    // screenful's time, not the whole pass's.
    constexpr int kScreens = 200;
    std::vector<Fastest> screenPlain(kScreens), screenMarked(kScreens);
    for (int run = 0; run < kHighlightRuns; ++run) {
        for (const bool on : {false, true}) {
            highlighting = on;
            for (int s = 0; s < kScreens; ++s) {
                const int row =
                    static_cast<int>(static_cast<long long>(list.count() - 1) * s / kScreens);
                view.scrollTo(view.model()->index(row, 0), QAbstractItemView::PositionAtTop);
                (on ? screenMarked : screenPlain)[static_cast<std::size_t>(s)].add(timed(paint));
            }
        }
    }
    const auto averageScreen = [](const std::vector<Fastest>& screens) {
        double sum = 0;
        for (const Fastest& one : screens) {
            sum += one.seconds();
        }
        return sum / static_cast<double>(screens.size());
    };

    // How many of the rows painted had a match to mark.
    highlighting = true;
    long long marked = 0;
    for (int s = 0; s < kScreens; ++s) {
        const int top = static_cast<int>(static_cast<long long>(list.count() - 1) * s / kScreens);
        for (int row = top; row < std::min(list.count(), top + perScreen); ++row) {
            marked += !view.rowDelegate()->matchRanges(view.model()->index(row, 0)).empty();
        }
    }

    // Finding the ranges alone, over rows spread across the list.
    const trovix::search::MatchFinder finder(trovix::search::searchTerms(text), true);
    constexpr int kRows = 100000;
    std::vector<QString> rows;
    rows.reserve(kRows);
    for (int i = 0; i < kRows; ++i) {
        rows.push_back(
            list.shownText(static_cast<int>(static_cast<long long>(list.count()) * i / kRows)));
    }
    std::size_t found = 0;
    Fastest ranges;
    for (int run = 0; run < kRuns; ++run) {
        found = 0;
        ranges.add(timed([&] {
            for (const QString& row : rows) {
                found += finder.rangesIn(row).size();
            }
        }));
    }
    if (found == 0) {
        warn("the common search's terms were found in no listed row");
    }

    printCount("highlight_rows", list.count());
    printCount("highlight_rows_per_screen", perScreen);
    printValue("highlight_marked_per_screen", static_cast<double>(marked) / kScreens);
    printSeconds("highlight_search_plain", searchPlain.seconds());
    printSeconds("highlight_search_marked", searchMarked.seconds());
    printSeconds("highlight_screen_plain", averageScreen(screenPlain));
    printSeconds("highlight_screen_marked", averageScreen(screenMarked));
    printShortSeconds("highlight_ranges_row", ranges.seconds() / kRows);
    return 0;
}
}  // namespace

int main(int argc, char** argv) {
    const Options options = parseOptions(argc, argv);
    if (options.highlightOnly) {
        return benchHighlight(argc, argv, options);  // paints, so it needs a GUI application
    }
    QCoreApplication app(argc, argv);  // the result list model is a QObject
    std::setlocale(LC_NUMERIC, "C");   // Qt took the user's locale: keep decimal points
    if (ranSinglePart(options)) {
        return 0;
    }
    std::optional<QTemporaryDir> tempDir;
    const QString dataFile = dataFileFor(options, tempDir);
    const std::string dataPath = nativePath(dataFile);

    const DataFileSize size = writeDataFileAndFloors(dataFile, dataPath, options);
    benchReadFloor(dataPath, size.bytes);
    printValue("peak_rss_floors_mb", peakRssMiB());

    benchLoadingParts(dataFile, dataPath, options);
    std::optional<DataFileContent> loaded = benchLoading(dataFile, dataPath, options);
    printValue("peak_rss_load_mb", peakRssMiB());
    ShownList shown = benchListing(loaded->records, dataFile, options, size.lines);
    printValue("peak_rss_listing_mb", peakRssMiB());
    benchUnsyncedWriting(*loaded, dataFile, size.bytes);
    const std::string lastSaved = benchSaving(*loaded, dataFile, size.bytes);

    // Everything loaded is still alive here: records, the expanded-and-contracted list, the model.
    const double peak = peakRssMiB();
    printValue("peak_rss_mb", peak);
    std::printf("# peak memory / file size %.2f\n",
                peak / (static_cast<double>(size.bytes) / kMiB));
    if (!sameContent(dataPath, lastSaved)) {
        warn("the saved file differs from the generated one");
    }
    ::unlink(lastSaved.c_str());
    shown.list.reset();
    loaded.reset();

    // The searches run in a process of their own, which starts with nothing loaded as the
    // program does: its peak memory is the program's after loading, searching and editing. So
    // do sorting and copying.
    std::fflush(stdout);
    runPhase(options, "--searches-only", dataPath);
    runPhase(options, "--sorts-only", dataPath);
    runPhase(options, "--merge-only", dataPath);
    runPhase(options, "--line-breaks-only", dataPath);
    runPhase(options, "--settings-only", dataPath);
    runPhase(options, "--highlight-only", dataPath);
    runPhase(options, "--typing-only", dataPath);

    if (options.keep) {
        std::printf("file %s\n", dataPath.c_str());
    } else {
        ::unlink(dataPath.c_str());
    }
    std::fflush(stdout);
    return 0;
}
