#include "store/record_array.h"

#include <cstring>
#include <stdexcept>
#include <thread>

#include "store/text_codec.h"

namespace trovix::store {

// Append-only storage for texts written after loading. Blocks never move, so the elements
// that point into them stay valid; a RecordArray copy may share the arena.
class TextArena {
  public:
    const char* store(std::string_view text) {
        if (text.empty()) {
            return "";
        }
        if (text.size() > kBlockSize / 4) {
            auto& block = large_.emplace_back(std::make_unique<char[]>(text.size()));
            std::memcpy(block.get(), text.data(), text.size());
            used_ += text.size();
            return block.get();
        }
        if (blocks_.empty() || kBlockSize - fill_ < text.size()) {
            blocks_.push_back(std::make_unique<char[]>(kBlockSize));
            fill_ = 0;
        }
        char* at = blocks_.back().get() + fill_;
        std::memcpy(at, text.data(), text.size());
        fill_ += text.size();
        used_ += text.size();
        return at;
    }
    std::size_t used() const { return used_; }

  private:
    static constexpr std::size_t kBlockSize = 64 * 1024;
    std::vector<std::unique_ptr<char[]>> blocks_;
    std::vector<std::unique_ptr<char[]>> large_;
    std::size_t fill_ = 0;
    std::size_t used_ = 0;
};

namespace {
constexpr std::uint32_t kMaxElement = 0xFFFFFFFFu;
}

RecordArray::RecordArray() : arena_(std::make_shared<TextArena>()) {
}
RecordArray::~RecordArray() = default;
// A copy folds again when it is first searched ignoring case.
RecordArray::RecordArray(const RecordArray& other)
    : storage_(other.storage_),
      arena_(other.arena_),
      spans_(other.spans_),
      arenaLive_(other.arenaLive_) {
}
RecordArray& RecordArray::operator=(const RecordArray& other) {
    if (this != &other) {
        storage_ = other.storage_;
        arena_ = other.arena_;
        spans_ = other.spans_;
        arenaLive_ = other.arenaLive_;
        folded_.reset();
    }
    return *this;
}
RecordArray::RecordArray(RecordArray&& other) noexcept
    : storage_(std::move(other.storage_)),
      arena_(std::move(other.arena_)),
      spans_(std::move(other.spans_)),
      arenaLive_(other.arenaLive_),
      folded_(std::move(other.folded_)) {
    other.arena_ = std::make_shared<TextArena>();
    other.spans_.clear();
    other.arenaLive_ = 0;
}
RecordArray& RecordArray::operator=(RecordArray&& other) noexcept {
    if (this != &other) {
        storage_ = std::move(other.storage_);
        arena_ = std::move(other.arena_);
        spans_ = std::move(other.spans_);
        arenaLive_ = other.arenaLive_;
        folded_ = std::move(other.folded_);
        other.arena_ = std::make_shared<TextArena>();
        other.spans_.clear();
        other.arenaLive_ = 0;
    }
    return *this;
}

RecordArray RecordArray::adopt(QByteArray storage, std::vector<Span> spans) {
    RecordArray a;
    a.storage_ = std::move(storage);
    a.spans_ = std::move(spans);
    return a;
}

RecordArray RecordArray::fromStrings(const QStringList& elements) {
    RecordArray a;
    a.spans_.reserve(static_cast<std::size_t>(elements.size()));
    for (const QString& e : elements) {
        a.append(e);
    }
    return a;
}

QString RecordArray::text(qsizetype index) const {
    return utf8ToText(utf8(index));
}

QStringList RecordArray::toStringList() const {
    QStringList list;
    list.reserve(size());
    for (qsizetype i = 0; i < size(); ++i) {
        list.append(text(i));
    }
    return list;
}

bool RecordArray::inStorage(const Span& s) const {
    const char* begin = storage_.constData();
    return s.size == 0 || (s.data >= begin && s.data < begin + storage_.size());
}

RecordArray::Span RecordArray::store(std::string_view utf8) {
    if (utf8.size() > kMaxElement) {
        throw std::length_error("record too long");
    }
    arenaLive_ += utf8.size();
    return Span{arena_->store(utf8), static_cast<std::uint32_t>(utf8.size())};
}

void RecordArray::set(qsizetype index, std::string_view utf8) {
    Span& slot = spans_[static_cast<std::size_t>(index)];
    if (!inStorage(slot)) {
        arenaLive_ -= slot.size;
    }
    slot = store(utf8);
    // The text may live in this array's own arena, which the garbage collection below may
    // free: everything that reads it comes first.
    if (folded_) {
        std::string f;
        appendCaseFolded(utf8, f);
        folded_->set(index, std::string_view(f));
    }
    collectGarbage();
}

void RecordArray::set(qsizetype index, const QString& text) {
    const QByteArray bytes = text.toUtf8();
    set(index, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

void RecordArray::append(std::string_view utf8) {
    spans_.push_back(store(utf8));
    if (folded_) {
        std::string f;
        appendCaseFolded(utf8, f);
        folded_->append(std::string_view(f));
    }
}

void RecordArray::append(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    append(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

void RecordArray::swap(qsizetype a, qsizetype b) {
    std::swap(spans_[static_cast<std::size_t>(a)], spans_[static_cast<std::size_t>(b)]);
    if (folded_) {
        folded_->swap(a, b);
    }
}

const RecordArray& RecordArray::folded() const {
    if (folded_) {
        return *folded_;
    }
    // All folded texts go to one buffer, adopted like a loaded file's. The records are folded
    // in two halves at once, each into its own part of the buffer; pages of the room left
    // unused between the parts are never touched.
    const std::size_t n = spans_.size();
    const std::size_t middle = n / 2;
    std::size_t firstBytes = 0;
    std::size_t allBytes = 0;
    for (std::size_t i = 0; i < n; ++i) {
        allBytes += spans_[i].size;
        if (i + 1 == middle) {
            firstBytes = allBytes;
        }
    }
    const std::size_t secondStart = foldedSizeBound(firstBytes);
    QByteArray storage(static_cast<qsizetype>(secondStart + foldedSizeBound(allBytes - firstBytes)),
                       Qt::Uninitialized);
    char* base = storage.data();
    std::vector<Span> spans(n);
    const auto fold = [&](std::size_t from, std::size_t to, char* out) {
        for (std::size_t i = from; i < to; ++i) {
            char* end = foldCaseTo(std::string_view(spans_[i].data, spans_[i].size), out);
            spans[i] = {out, static_cast<std::uint32_t>(end - out)};
            out = end;
        }
    };
    if (n >= 50000 && std::thread::hardware_concurrency() >= 2) {
        std::thread helper([&] { fold(middle, n, base + secondStart); });
        fold(0, middle, base);
        helper.join();
    } else {
        fold(0, middle, base);
        fold(middle, n, base + secondStart);
    }
    folded_ = std::make_unique<RecordArray>(adopt(std::move(storage), std::move(spans)));
    return *folded_;
}

void RecordArray::clear() {
    *this = RecordArray();
}

// Replaced texts stay in the arena until it holds much more dead text than live text; then
// the live texts move to a fresh arena. Amortised over the writes that made the garbage.
void RecordArray::collectGarbage() {
    const std::size_t used = arena_->used();
    // Rare: only after 64 MB of rewritten text, so the walk over every element it costs never
    // shows while typing.
    if (used < (std::size_t{64} << 20) || used < 4 * arenaLive_) {
        return;
    }
    auto fresh = std::make_shared<TextArena>();
    for (Span& s : spans_) {
        if (!inStorage(s)) {
            s.data = fresh->store(std::string_view(s.data, s.size));
        }
    }
    arena_ = std::move(fresh);
}

}  // namespace trovix::store
