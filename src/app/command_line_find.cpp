#include "app/command_line_find.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QIODevice>
#include <string>

#include "platform/file_names.h"
#include "platform/native.h"
#include "platform/regular_file.h"
#include "platform/safe_file.h"
#include "search/file_search.h"
#include "search/match_ranges.h"
#include "search/matcher.h"
#include "store/record_bytes.h"
#include "store/text_codec.h"

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace trovix::app {
namespace {

// Output is handed on in pieces of about this size.
constexpr std::size_t kOutputPiece = std::size_t{1} << 20;

// Hands on to the system what a file device holds back, so that the output and the error output
// show in the order they were written, and nothing waits for the end of the search.
bool handOn(QIODevice& device) {
    auto* const file = qobject_cast<QFileDevice*>(&device);
    return file == nullptr || file->flush();
}

// Writes a message on the error output at once.
void tell(QIODevice& errors, const QString& message) {
    errors.write(message.toLocal8Bit());
    handOn(errors);
}

// Why nothing can be opened where no file was found, in the words QFile gives ("No such file or
// directory", "Permission denied"); empty when something can be opened there after all. It is
// tried without waiting, so that a named pipe made there in the meantime does not hold the search.
QString whyNothingOpens(const QString& path) {
#ifdef Q_OS_UNIX
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return qt_error_string(errno);
    }
    ::close(fd);
    return {};
#else
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString() : file.errorString();
#endif
}

// A file's bytes, mapped when the system can, read otherwise.
class FileContent {
  public:
    // Opens and reads the file; says why not on failure. Only a regular file is read: a named
    // pipe may wait for ever for a writer and a device may never end (/dev/zero).
    QString open(const QString& path) {
        if (const QString unusable = platform::unusableNameReason(path); !unusable.isEmpty()) {
            return unusable;
        }
        const platform::PathKind kind = platform::pathKind(path);
        if (kind == platform::PathKind::Folder) {
            return QCoreApplication::translate("CommandLineFind", "Is a folder");
        }
        if (kind == platform::PathKind::Missing || kind == platform::PathKind::DanglingLink ||
            kind == platform::PathKind::LinkLoop) {
            if (QString why = whyNothingOpens(path); !why.isEmpty()) {
                return why;
            }
        }
        // Refuses anything but a regular file, as checked on what was opened, so that a file
        // that turned into a named pipe since the look above does not hold the search.
        file_.setFileName(path);
        if (const platform::Result<void> opened = platform::openRegularFile(file_); !opened) {
            return opened.error();
        }
        const qint64 size = file_.size();
        if (size > 0) {
            if (uchar* mapped = file_.map(0, size)) {
                view_ = {reinterpret_cast<const char*>(mapped), static_cast<std::size_t>(size)};
                return {};
            }
        }
        read_ = file_.readAll();
        if (file_.error() != QFileDevice::NoError) {
            return file_.errorString();
        }
        view_ = {read_.constData(), static_cast<std::size_t>(read_.size())};
        return {};
    }
    // Reads the standard input whole: it may be a pipe.
    QString read(QIODevice& in) {
        read_ = in.readAll();
        if (const auto* file = qobject_cast<QFileDevice*>(&in);
            file != nullptr && file->error() != QFileDevice::NoError) {
            return file->errorString();
        }
        view_ = {read_.constData(), static_cast<std::size_t>(read_.size())};
        return {};
    }
    std::string_view bytes() const { return view_; }

  private:
    QFile file_;
    QByteArray read_;
    std::string_view view_;
};

class Output {
  public:
    explicit Output(QIODevice& device) : device_(device) {}
    std::string& text() { return text_; }
    // Hands on what is gathered, when there is enough of it or `now`.
    bool flush(bool now) {
        if ((now || text_.size() >= kOutputPiece) && !text_.empty()) {
            const qint64 written = device_.write(text_.data(), static_cast<qint64>(text_.size()));
            failed_ = failed_ || written != static_cast<qint64>(text_.size());
            text_.clear();
        }
        failed_ = failed_ || (now && !handOn(device_));
        return !failed_;
    }

  private:
    QIODevice& device_;
    std::string text_;
    bool failed_ = false;
};

// grep's colours: the words found bold red, file names magenta, line numbers green and the
// separators cyan, each followed by grep's "clear to the end of the line".
constexpr std::string_view kMatchColour = "\033[01;31m\033[K";
constexpr std::string_view kNameColour = "\033[35m\033[K";
constexpr std::string_view kNumberColour = "\033[32m\033[K";
constexpr std::string_view kSeparatorColour = "\033[36m\033[K";
constexpr std::string_view kPlain = "\033[m\033[K";

// Prints the records found of one file after another: their lines with the file's name, their
// numbers and the words marked as asked.
class RecordPrinter {
  public:
    RecordPrinter(const FindRequest& request, std::string_view lineEnd)
        : finder_(search::searchTerms(request.text), !request.matchCase),
          lineEnd_(lineEnd),
          colour_(request.colour == FindRequest::Colour::Always),
          numbers_(request.lineNumbers) {}

    // The text in colour, when the output is coloured.
    void appendPainted(std::string_view colour, std::string_view text, std::string& out) const {
        if (colour_) {
            out.append(colour).append(text).append(kPlain);
        } else {
            out.append(text);
        }
    }
    // The file's name, followed by its separator unless it stands alone.
    std::string named(const QByteArray& name, bool separated) const {
        std::string out;
        appendPainted(kNameColour, std::string_view(name.constData(), std::size_t(name.size())),
                      out);
        if (separated) {
            appendPainted(kSeparatorColour, ":", out);
        }
        return out;
    }
    void startFile(const store::FileBytes& file, std::string prefix) {
        file_ = &file;
        prefix_ = std::move(prefix);
        counted_ = 0;
        line_ = 1;
    }
    void print(const search::RecordRange& range, std::string& out) {
        if (!colour_ && !numbers_) {
            file_->appendLines(range.begin, range.end, prefix_, lineEnd_, out);
            return;
        }
        const char* d = file_->bytes.data();
        const std::size_t breakSize = file_->lineBreak == store::LineBreak::CrLf ? 2 : 1;
        std::size_t lineStart = range.begin;
        for (;;) {
            if (numbers_) {
                countLinesTo(lineStart);
                out.append(prefix_);
                appendPainted(kNumberColour, std::to_string(line_), out);
                appendPainted(kSeparatorColour, ":", out);
            } else {
                out.append(prefix_);
            }
            const std::size_t at =
                file_->lineBreak ? store::nextBreak(d, range.end, lineStart, *file_->lineBreak)
                                 : store::kNoBreak;
            const std::size_t lineEnd = at == store::kNoBreak ? range.end : at + 1 - breakSize;
            appendMarked(file_->bytes.substr(lineStart, lineEnd - lineStart), out);
            out.append(lineEnd_);
            if (at == store::kNoBreak) {
                return;
            }
            lineStart = at + 1;
        }
    }

  private:
    // Counts the file's line breaks up to `to`.
    void countLinesTo(std::size_t to) {
        const char* d = file_->bytes.data();
        for (; counted_ < to; ++counted_) {
            if (d[counted_] == '\n' && (file_->lineBreak != store::LineBreak::CrLf ||
                                        (counted_ > 0 && d[counted_ - 1] == '\r'))) {
                ++line_;
            }
        }
    }
    // A line with the words marked where the window's lists highlight them in the same line.
    void appendMarked(std::string_view line, std::string& out) const {
        if (!colour_) {
            out.append(line);
            return;
        }
        // The line as text, and where each of its UTF-16 positions begins in its bytes.
        const bool utf8 = file_->encoding == store::Encoding::Utf8;
        const QString text =
            utf8 ? store::utf8ToText(line) : QString::fromUtf8(store::windows1252ToUtf8(line));
        std::vector<std::size_t> at;
        for (std::size_t i = 0; i < line.size(); ++i) {
            const auto byte = static_cast<unsigned char>(line[i]);
            if (!utf8 || (byte & 0xC0) != 0x80) {
                at.insert(at.end(), utf8 && byte >= 0xF0 ? 2 : 1, i);  // a pair of UTF-16 units
            }
        }
        at.push_back(line.size());
        std::size_t written = 0;
        for (const search::TextRange& range : finder_.rangesIn(text)) {
            const std::size_t from = at[static_cast<std::size_t>(range.start)];
            const std::size_t to = at[static_cast<std::size_t>(range.start + range.length)];
            out.append(line.substr(written, from - written));
            appendPainted(kMatchColour, line.substr(from, to - from), out);
            written = to;
        }
        out.append(line.substr(written));
    }

    const search::MatchFinder finder_;
    const std::string_view lineEnd_;
    const bool colour_;
    const bool numbers_;
    const store::FileBytes* file_ = nullptr;
    std::string prefix_;
    std::size_t counted_ = 0;  // the line breaks before this are counted
    std::size_t line_ = 1;     // the number of the line that holds counted_
};

}  // namespace

bool colourOutput(FindRequest::Colour colour, bool terminal, const QByteArray& noColor) {
    return colour == FindRequest::Colour::Always ||
           (colour == FindRequest::Colour::Auto && terminal && noColor.isEmpty());
}

int findInFiles(const FindRequest& request, const QList<FindFile>& files, QIODevice& in,
                QIODevice& out, QIODevice& errors, const QString& programName) {
    if (files.isEmpty()) {
        tell(errors, QCoreApplication::translate(
                         "CommandLineFind",
                         "%1: there are no data files yet in %2: name the files to search (%1 "
                         "--find \"words\" file...), or start %1 once to make them.\n")
                         .arg(programName, QDir::toNativeSeparators(request.dataFolder)));
        return 2;
    }
    const search::TermMatcher matcher(search::searchTerms(request.text), !request.matchCase);
    const bool named = files.size() > 1;
    const QByteArray lineEndBytes = platform::nativeLineEnd();
    const std::string_view lineEnd(lineEndBytes.constData(),
                                   static_cast<std::size_t>(lineEndBytes.size()));
    RecordPrinter printer(request, lineEnd);
    Output output(out);
    bool found = false;
    bool failed = false;
    for (const FindFile& file : files) {
        const QByteArray nameBytes = file.name.toLocal8Bit();
        FileContent content;
        if (const QString why = file.path.isEmpty() ? content.read(in) : content.open(file.path);
            !why.isEmpty()) {
            output.flush(true);
            tell(errors, QStringLiteral("%1: %2: %3\n")
                             .arg(programName, platform::displayFileName(file.name), why));
            failed = true;
            continue;
        }
        const search::FileSearch searched = search::searchFileBytes(
            content.bytes(), matcher, request.colour == FindRequest::Colour::Always);
        const store::FileBytes& bytes = searched.file;
        const std::vector<search::RecordRange>& ranges = searched.found;
        found = found || !ranges.empty();
        std::string& text = output.text();
        const std::string prefix = named ? printer.named(nameBytes, true) : std::string();
        if (request.filesWithMatches) {
            if (!ranges.empty()) {
                text.append(printer.named(nameBytes, false)).append(lineEnd);
            }
        } else if (request.count) {
            text.append(prefix).append(std::to_string(ranges.size())).append(lineEnd);
        } else {
            printer.startFile(bytes, prefix);
            for (const search::RecordRange& range : ranges) {
                printer.print(range, text);
                output.flush(false);
            }
        }
        if (!output.flush(false)) {
            break;
        }
    }
    if (!output.flush(true)) {
        tell(errors,
             QCoreApplication::translate("CommandLineFind", "%1: the output could not be written\n")
                 .arg(programName));
        return 2;
    }
    return failed ? 2 : found ? 0 : 1;
}

}  // namespace trovix::app
