#include "app/command_line_find.h"

#include <QFile>
#include <QIODevice>
#include <string>

#include "platform/file_names.h"
#include "platform/native.h"
#include "platform/regular_file.h"
#include "platform/safe_file.h"
#include "search/file_search.h"
#include "search/matcher.h"
#include "store/record_bytes.h"

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
            return QStringLiteral("Is a folder");
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

}  // namespace

int findInFiles(const FindRequest& request, const QList<FindFile>& files, QIODevice& out,
                QIODevice& errors, const QString& programName) {
    const search::TermMatcher matcher(search::searchTerms(request.text), !request.matchCase);
    const bool named = files.size() > 1;
    const QByteArray lineEndBytes = platform::nativeLineEnd();
    const std::string_view lineEnd(lineEndBytes.constData(),
                                   static_cast<std::size_t>(lineEndBytes.size()));
    Output output(out);
    bool found = false;
    bool failed = false;
    for (const FindFile& file : files) {
        const QByteArray nameBytes = file.name.toLocal8Bit();
        const std::string prefix = named ? nameBytes.toStdString() + ':' : std::string();
        FileContent content;
        if (const QString why = content.open(file.path); !why.isEmpty()) {
            output.flush(true);
            tell(errors, QStringLiteral("%1: %2: %3\n")
                             .arg(programName, platform::displayFileName(file.name), why));
            failed = true;
            continue;
        }
        const store::FileBytes bytes = store::FileBytes::of(content.bytes());
        const std::vector<search::RecordRange> ranges =
            search::matchingRecordRanges(bytes, matcher);
        found = found || !ranges.empty();
        std::string& text = output.text();
        if (request.filesWithMatches) {
            if (!ranges.empty()) {
                text.append(nameBytes.constData(), static_cast<std::size_t>(nameBytes.size()));
                text.append(lineEnd);
            }
        } else if (request.count) {
            text.append(prefix).append(std::to_string(ranges.size())).append(lineEnd);
        } else {
            for (const search::RecordRange& range : ranges) {
                bytes.appendLines(range.begin, range.end, prefix, lineEnd, text);
                output.flush(false);
            }
        }
        if (!output.flush(false)) {
            break;
        }
    }
    if (!output.flush(true)) {
        tell(errors, QStringLiteral("%1: the output could not be written\n").arg(programName));
        return 2;
    }
    return failed ? 2 : found ? 0 : 1;
}

}  // namespace trovix::app
