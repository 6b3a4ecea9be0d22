// Measures the record store on a large generated data file: loading, listing, expanding,
// contracting and saving, next to the plain cost of reading and writing the same bytes, and the
// peak memory of the whole run.
//
// Output is one "name value" pair a line (seconds, megabytes or counts); lines starting with '#'
// are notes, lines starting with "warning" report a check that failed. bench/run.sh reads it.

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <clocale>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/data_file.h"
#include "store/listing.h"
#include "store/record_array.h"
#include "store/result_list.h"
#include "view/widgets/result_list_model.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRuns = 3;

// ---------------------------------------------------------------------------------------------
// Command line

struct Options {
    long long records = 1'000'000;
    QString file;  // empty: a file in a temporary folder
    bool keep = false;
};

[[noreturn]] void usage(const char* problem) {
    if (problem != nullptr) {
        std::fprintf(stderr, "trovix_bench: %s\n", problem);
    }
    std::fprintf(stderr,
                 "usage: trovix_bench [--records N] [--file PATH] [--keep]\n"
                 "  --records N  records to generate (default 1000000)\n"
                 "  --file PATH  where to write the generated data file (overwritten)\n"
                 "  --keep       leave the data file in place and print its path\n");
    std::exit(2);
}

Options parseOptions(int argc, char** argv) {
    Options options;
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

double peakRssMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;  // KiB on Linux
}

constexpr double kMiB = 1024.0 * 1024.0;

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

}  // namespace

int main(int argc, char** argv) {
    const Options options = parseOptions(argc, argv);
    QCoreApplication app(argc, argv);  // the result list model is a QObject
    std::setlocale(LC_NUMERIC, "C");   // Qt took the user's locale: keep decimal points
    using namespace trovix::store;

    std::optional<QTemporaryDir> tempDir;
    QString dataFile = options.file;
    if (dataFile.isEmpty()) {
        tempDir.emplace(QDir::tempPath() + QStringLiteral("/trovix_bench-XXXXXX"));
        if (!tempDir->isValid()) {
            fail("cannot create a temporary folder: " + tempDir->errorString().toStdString());
        }
        tempDir->setAutoRemove(!options.keep);
        dataFile = tempDir->filePath(QStringLiteral("records.txt"));
    }
    const std::string dataPath = nativePath(dataFile);

    // Generate and write the data file; the generated bytes are the write floor's buffer.
    long long fileBytes = 0;
    long long fileLines = 0;
    {
        GeneratedData data = generateRecords(options.records);
        fileBytes = static_cast<long long>(data.bytes.size());
        fileLines = data.lines;
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
        printCount("file_bytes", fileBytes);
        printCount("file_lines", fileLines);
        printValue("file_mb", static_cast<double>(fileBytes) / kMiB);
        printSeconds("write_floor", writeFloor.seconds());
        printSeconds("write_sync_floor", syncFloor.seconds());
    }

    {
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
    printValue("peak_rss_floors_mb", peakRssMiB());

    // Where loading spends its time: reading through QFile, the UTF-8 check alone, and the
    // parse (which includes that check). Done before the real load, with nothing else loaded,
    // so it adds nothing to the peak memory.
    {
        Fastest reading, checking, parsing;
        for (int run = 0; run < kRuns; ++run) {
            QByteArray bytes;
            QString error;
            reading.add(timed([&] {
                QFile file(dataFile);
                if (!file.open(QIODevice::ReadOnly) || !readWholeDevice(file, bytes, error)) {
                    fail("cannot read " + dataPath + ": " + error.toStdString());
                }
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

    // Load. Each run starts with nothing loaded; the last run's records stay for the rest.
    std::optional<DataFileContent> loaded;
    {
        Fastest load;
        for (int run = 0; run < kRuns; ++run) {
            loaded.reset();
            ReadResult result;
            load.add(timed([&] { result = readDataFile(dataFile); }));
            if (!result.content) {
                fail("cannot load " + dataPath + ": " + result.error.toStdString());
            }
            loaded = std::move(result.content);
        }
        printSeconds("load", load.seconds());
    }
    const RecordArray& records = loaded->records;
    // The file ends with a line break, which leaves an empty last element.
    if (records.size() != options.records + 1 || !records.utf8(records.size() - 1).empty()) {
        warn("loaded " + std::to_string(records.size()) + " elements, expected " +
             std::to_string(options.records + 1));
    }
    if (!(loaded->format == FileFormat{Encoding::Utf8, LineBreak::CrLf})) {
        warn("the file was not taken for UTF-8 with CR LF line breaks");
    }
    printValue("peak_rss_load_mb", peakRssMiB());

    // List, expand and contract, each round on a new list observed by a new model, so that
    // every round pays for growing its rows as the first listing after loading does.
    const int listedRows = static_cast<int>(options.records) + 1;  // the header row on top
    const long long expandedRows = fileLines + 1;
    std::unique_ptr<ResultList> list;
    std::unique_ptr<trovix::view::ResultListModel> model;
    {
        Fastest listing, expanding, contracting;
        for (int run = 0; run < kRuns; ++run) {
            model.reset();
            list.reset();
            list = std::make_unique<ResultList>(records);
            model = std::make_unique<trovix::view::ResultListModel>(*list);

            listing.add(timed([&] {
                listAllRecords(*list, records, dataFile, ListingOptions{true, false});
            }));
            if (list->count() != listedRows || model->rowCount() != listedRows) {
                warn("listing gave " + std::to_string(list->count()) + " rows, expected " +
                     std::to_string(listedRows));
            }
            expanding.add(timed([&] { expandList(*list, records, dataFile, true); }));
            if (list->count() != expandedRows || model->rowCount() != expandedRows) {
                warn("expanding gave " + std::to_string(list->count()) + " rows, expected " +
                     std::to_string(expandedRows));
            }
            contracting.add(timed([&] { contractList(*list, records, dataFile, true); }));
            if (list->count() != listedRows || model->rowCount() != listedRows) {
                warn("contracting gave " + std::to_string(list->count()) + " rows, expected " +
                     std::to_string(listedRows));
            }
        }
        printSeconds("list", listing.seconds());
        printSeconds("expand", expanding.seconds());
        printSeconds("contract", contracting.seconds());
    }
    printValue("peak_rss_listing_mb", peakRssMiB());

    // Saving without the atomic file: the same bytes written through a plain QFile, without
    // the sync to disk that QSaveFile::commit() does.
    {
        Fastest writing;
        for (int run = 0; run < kRuns; ++run) {
            const std::string target = scratchName(dataFile, "written", run);
            QFile file(QFile::decodeName(QByteArray::fromStdString(target)));
            FileFormat written;
            QString error;
            bool ok = false;
            writing.add(timed([&] {
                ok = file.open(QIODevice::WriteOnly) &&
                     writeDataFile(file, records, loaded->format, written, error);
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

    // Save to a new file each run, next to the data file.
    std::string lastSaved;
    {
        Fastest saving;
        for (int run = 0; run < kRuns; ++run) {
            if (!lastSaved.empty()) {
                ::unlink(lastSaved.c_str());
            }
            lastSaved = scratchName(dataFile, "saved", run);
            const QString target = QFile::decodeName(QByteArray::fromStdString(lastSaved));
            SaveResult result;
            saving.add(timed([&] { result = saveDataFile(target, records, loaded->format); }));
            if (!result.ok) {
                fail("cannot save " + lastSaved + ": " + result.error.toStdString());
            }
            const long long saved = fileSize(lastSaved);
            if (saved != fileBytes) {
                warn("saved file has " + std::to_string(saved) + " bytes, the generated one " +
                     std::to_string(fileBytes));
            }
        }
        printSeconds("save", saving.seconds());
    }

    // Everything loaded is still alive here: records, the expanded-and-contracted list, the model.
    const double peak = peakRssMiB();
    printValue("peak_rss_mb", peak);
    std::printf("# peak memory / file size %.2f\n", peak / (static_cast<double>(fileBytes) / kMiB));

    if (!sameContent(dataPath, lastSaved)) {
        warn("the saved file differs from the generated one");
    }
    ::unlink(lastSaved.c_str());

    model.reset();
    list.reset();
    loaded.reset();
    if (options.keep) {
        std::printf("file %s\n", dataPath.c_str());
    } else {
        ::unlink(dataPath.c_str());
    }
    std::fflush(stdout);
    return 0;
}
