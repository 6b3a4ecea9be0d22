#include "store/record_array.h"

#include <cstring>
#include <stdexcept>

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
    collectGarbage();
    if (folded_) {
        std::string f;
        appendCaseFolded(utf8, f);
        folded_->set(index, std::string_view(f));
    }
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
    if (!folded_) {
        // One buffer for all folded texts, adopted like a loaded file's.
        std::string all;
        std::vector<std::size_t> ends;
        ends.reserve(spans_.size());
        for (const Span& s : spans_) {
            appendCaseFolded(std::string_view(s.data, s.size), all);
            ends.push_back(all.size());
        }
        QByteArray storage(all.data(), static_cast<qsizetype>(all.size()));
        std::vector<Span> spans(spans_.size());
        std::size_t begin = 0;
        for (std::size_t i = 0; i < spans.size(); ++i) {
            spans[i] = {storage.constData() + begin, static_cast<std::uint32_t>(ends[i] - begin)};
            begin = ends[i];
        }
        folded_ = std::make_unique<RecordArray>(adopt(std::move(storage), std::move(spans)));
    }
    return *folded_;
}

void RecordArray::clear() {
    *this = RecordArray();
}

// Replaced texts stay in the arena until it holds much more dead text than live text; then
// the live texts move to a fresh arena. Amortised over the writes that made the garbage.
void RecordArray::collectGarbage() {
    const std::size_t used = arena_->used();
    if (used < (std::size_t{1} << 20) || used < 4 * arenaLive_) {
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
