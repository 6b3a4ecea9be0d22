#include "store/record_array.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <stdexcept>

#include "platform/parallel_work.h"
#include "store/text_codec.h"

namespace trovix::store {

// Append-only storage for texts written after loading. Blocks never move, so the texts kept
// in them stay where they are; a RecordArray copy may share the arena. The elements of a
// RecordArray name their texts by number, which keeps an element at eight bytes.
class TextArena {
  public:
    // Keeps a copy of a text, at an address that lives as long as the arena.
    const char* keep(std::string_view text) {
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
    // Keeps a copy of a text and returns its number.
    std::uint32_t add(std::string_view text) {
        if (starts_.size() >= kMaxTexts) {
            throw std::length_error("too many texts");
        }
        starts_.push_back(keep(text));
        return static_cast<std::uint32_t>(starts_.size() - 1);
    }
    const char* text(std::uint32_t number) const { return starts_[number]; }
    std::size_t used() const { return used_; }
    std::size_t count() const { return starts_.size(); }

  private:
    static constexpr std::size_t kBlockSize = 64 * 1024;
    static constexpr std::size_t kMaxTexts = 0x100000000u - RecordArray::kArenaBase;
    std::vector<std::unique_ptr<char[]>> blocks_;
    std::vector<std::unique_ptr<char[]>> large_;
    std::vector<const char*> starts_;
    std::size_t fill_ = 0;
    std::size_t used_ = 0;
};

namespace {
constexpr std::uint32_t kMaxElement = 0xFFFFFFFFu;

// Change stamps are given out from one counter for all arrays, so two arrays, or one array
// before and after a change, never share one.
std::atomic<std::uint64_t> lastChangeStamp{0};
}  // namespace

void RecordArray::touch() {
    changeStamp_ = lastChangeStamp.fetch_add(1, std::memory_order_relaxed) + 1;
}

RecordArray::RecordArray() : arena_(std::make_shared<TextArena>()) {
    touch();
}
RecordArray::~RecordArray() = default;
// A copy folds again when it is first searched ignoring case.
RecordArray::RecordArray(const RecordArray& other)
    : storage_(other.storage_),
      arena_(other.arena_),
      spans_(other.spans_),
      arenaLive_(other.arenaLive_),
      arenaCount_(other.arenaCount_) {
    touch();
}
RecordArray& RecordArray::operator=(const RecordArray& other) {
    if (this != &other) {
        touch();
        storage_ = other.storage_;
        arena_ = other.arena_;
        spans_ = other.spans_;
        arenaLive_ = other.arenaLive_;
        arenaCount_ = other.arenaCount_;
        folded_.reset();
    }
    return *this;
}
RecordArray::RecordArray(RecordArray&& other) noexcept
    : storage_(std::move(other.storage_)),
      arena_(std::move(other.arena_)),
      spans_(std::move(other.spans_)),
      arenaLive_(other.arenaLive_),
      arenaCount_(other.arenaCount_),
      folded_(std::move(other.folded_)) {
    touch();
    other.touch();
    other.arena_ = std::make_shared<TextArena>();
    other.spans_.clear();
    other.arenaLive_ = 0;
    other.arenaCount_ = 0;
}
RecordArray& RecordArray::operator=(RecordArray&& other) noexcept {
    if (this != &other) {
        touch();
        other.touch();
        storage_ = std::move(other.storage_);
        arena_ = std::move(other.arena_);
        spans_ = std::move(other.spans_);
        arenaLive_ = other.arenaLive_;
        arenaCount_ = other.arenaCount_;
        folded_ = std::move(other.folded_);
        other.arena_ = std::make_shared<TextArena>();
        other.spans_.clear();
        other.arenaLive_ = 0;
        other.arenaCount_ = 0;
    }
    return *this;
}

RecordArray RecordArray::adopt(QByteArray storage, std::vector<Span> spans) {
    if (static_cast<std::size_t>(storage.size()) >= kArenaBase) {
        throw std::length_error("records too large");
    }
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

RecordArray RecordArray::detached() const {
    RecordArray copy;
    copy.storage_ = storage_;
    copy.spans_ = spans_;
    for (Span& s : copy.spans_) {
        if (!inStorage(s)) {
            s = copy.store(view(s));
        }
    }
    return copy;
}

const char* RecordArray::arenaText(std::uint32_t number) const {
    return arena_->text(number);
}

RecordArray::Span RecordArray::store(std::string_view utf8) {
    if (utf8.size() > kMaxElement) {
        throw std::length_error("record too long");
    }
    if (utf8.empty()) {
        return Span{0, 0};  // needs no text anywhere
    }
    const Span span{kArenaBase + arena_->add(utf8), static_cast<std::uint32_t>(utf8.size())};
    arenaLive_ += utf8.size();
    ++arenaCount_;
    return span;
}

void RecordArray::release(const Span& s) {
    if (!inStorage(s)) {
        arenaLive_ -= s.size;
        --arenaCount_;
    }
}

void RecordArray::set(qsizetype index, std::string_view utf8) {
    touch();
    Span& slot = spans_[static_cast<std::size_t>(index)];
    const Span stored = store(utf8);
    release(slot);
    slot = stored;
    // The text may live in this array's own arena, which the garbage collection below may
    // free: everything that reads it comes first.
    if (folded_) {
        folded_->update(static_cast<std::size_t>(index), utf8);
        if (folded_->arenaBytes() > (std::size_t{64} << 20)) {
            folded_.reset();  // folded again, without the replaced texts, when next needed
        }
    }
    collectGarbage();
}

void RecordArray::set(qsizetype index, const QString& text) {
    const QByteArray bytes = text.toUtf8();
    set(index, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

void RecordArray::append(std::string_view utf8) {
    touch();
    spans_.push_back(store(utf8));
    if (folded_) {
        folded_->ascii_.resize((spans_.size() + 63) / 64);
        folded_->update(spans_.size() - 1, utf8);
    }
}

void RecordArray::append(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    append(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

void RecordArray::swap(qsizetype a, qsizetype b) {
    touch();
    std::swap(spans_[static_cast<std::size_t>(a)], spans_[static_cast<std::size_t>(b)]);
    if (folded_) {
        folded_->update(static_cast<std::size_t>(a), utf8(a));
        folded_->update(static_cast<std::size_t>(b), utf8(b));
    }
}

void RecordArray::permute(const std::vector<qint32>& order) {
    touch();
    std::vector<Span> spans;
    spans.reserve(order.size());
    for (const qint32 i : order) {
        spans.push_back(spans_[static_cast<std::size_t>(i)]);
    }
    spans_ = std::move(spans);
    folded_.reset();
}

void RecordArray::unpermute(const std::vector<qint32>& order) {
    touch();
    std::vector<Span> spans(order.size());
    for (std::size_t k = 0; k < order.size(); ++k) {
        spans[static_cast<std::size_t>(order[k])] = spans_[k];
    }
    spans_ = std::move(spans);
    folded_.reset();
}

const FoldedRecords& RecordArray::caseFolding() const {
    if (!folded_) {
        folded_ = FoldedRecords::build(*this);
    }
    return *folded_;
}

QString RecordArray::foldedText(qsizetype index) const {
    std::string folded;
    appendCaseFolded(utf8(index), folded);
    return utf8ToText(folded);
}

FoldedRecords::~FoldedRecords() = default;

std::unique_ptr<FoldedRecords> FoldedRecords::build(const RecordArray& records) {
    auto f = std::make_unique<FoldedRecords>();
    const auto n = static_cast<std::size_t>(records.size());
    f->ascii_.assign((n + 63) / 64, 0);
    // Which elements are pure ASCII, a word of 64 at a time; large arrays in parts at once,
    // each on its own words.
    constexpr std::size_t kLeastPerPart = 25000;
    const std::size_t words = f->ascii_.size();
    const std::size_t parts = platform::partsFor(n, kLeastPerPart);
    platform::forEachPart(parts, [&](std::size_t part) {
        const platform::PartRange range = platform::partOf(words, part, parts);
        for (std::size_t w = range.begin; w < range.end; ++w) {
            std::uint64_t bits = 0;
            const std::size_t end = std::min(n, (w + 1) * 64);
            for (std::size_t i = w * 64; i < end; ++i) {
                bits |= std::uint64_t{foldsByLoweringAscii(records.utf8(static_cast<qsizetype>(i)))}
                        << (i % 64);
            }
            f->ascii_[w] = bits;
        }
    });
    // The others are folded into one buffer.
    std::size_t bytes = 0;
    for (std::size_t i = 0; i < n; ++i) {
        if (!f->isAscii(static_cast<qsizetype>(i))) {
            f->index_.push_back(static_cast<qint32>(i));
            bytes += records.utf8(static_cast<qsizetype>(i)).size();
        }
    }
    f->storage_ = QByteArray(static_cast<qsizetype>(foldedSizeBound(bytes)), Qt::Uninitialized);
    char* out = f->storage_.data();
    f->text_.reserve(f->index_.size());
    for (const qint32 i : f->index_) {
        char* end = foldCaseTo(records.utf8(i), out);
        f->text_.emplace_back(out, static_cast<std::size_t>(end - out));
        out = end;
    }
    f->arena_ = std::make_unique<TextArena>();
    return f;
}

std::size_t FoldedRecords::firstAtOrAfter(qsizetype index) const {
    return static_cast<std::size_t>(std::lower_bound(index_.begin(), index_.end(), index) -
                                    index_.begin());
}

void FoldedRecords::setAscii(std::size_t index, bool ascii) {
    const std::uint64_t bit = std::uint64_t{1} << (index % 64);
    ascii_[index / 64] = ascii ? (ascii_[index / 64] | bit) : (ascii_[index / 64] & ~bit);
}

void FoldedRecords::update(std::size_t index, std::string_view utf8) {
    const bool ascii = foldsByLoweringAscii(utf8);
    setAscii(index, ascii);
    const std::size_t k = firstAtOrAfter(static_cast<qsizetype>(index));
    const bool listed = k < index_.size() && static_cast<std::size_t>(index_[k]) == index;
    if (ascii) {
        if (listed) {
            index_.erase(index_.begin() + static_cast<std::ptrdiff_t>(k));
            text_.erase(text_.begin() + static_cast<std::ptrdiff_t>(k));
        }
        return;
    }
    std::string folded;
    appendCaseFolded(utf8, folded);
    const std::string_view span{arena_->keep(folded), folded.size()};
    if (listed) {
        text_[k] = span;
    } else {
        index_.insert(index_.begin() + static_cast<std::ptrdiff_t>(k), static_cast<qint32>(index));
        text_.insert(text_.begin() + static_cast<std::ptrdiff_t>(k), span);
    }
}

std::size_t FoldedRecords::arenaBytes() const {
    return arena_->used();
}

void RecordArray::clear() {
    *this = RecordArray();
}

void RecordArray::truncate(qsizetype count) {
    if (count < 0 || count >= size()) {
        return;
    }
    touch();
    for (auto s = spans_.begin() + count; s != spans_.end(); ++s) {
        release(*s);
    }
    spans_.resize(static_cast<std::size_t>(count));
    folded_.reset();
    collectGarbage();
}

void RecordArray::removeAt(const std::vector<qint32>& indices) {
    touch();
    std::size_t out = 0;
    std::size_t next = 0;
    for (std::size_t i = 0; i < spans_.size(); ++i) {
        if (next < indices.size() && static_cast<std::size_t>(indices[next]) == i) {
            release(spans_[i]);
            ++next;
            continue;
        }
        spans_[out++] = spans_[i];
    }
    spans_.resize(out);
    folded_.reset();
    collectGarbage();
}

void RecordArray::insertAt(const std::vector<qint32>& indices,
                           const std::vector<std::string>& texts) {
    touch();
    std::vector<Span> spans;
    spans.reserve(spans_.size() + indices.size());
    std::size_t from = 0;
    for (std::size_t k = 0; k < indices.size(); ++k) {
        while (spans.size() < static_cast<std::size_t>(indices[k]) && from < spans_.size()) {
            spans.push_back(spans_[from++]);
        }
        spans.push_back(store(texts[k]));
    }
    spans.insert(spans.end(), spans_.begin() + static_cast<std::ptrdiff_t>(from), spans_.end());
    spans_ = std::move(spans);
    folded_.reset();
}

std::size_t RecordArray::memoryBytes() const {
    return static_cast<std::size_t>(storage_.size()) + arena_->used() +
           spans_.size() * sizeof(Span);
}

// Replaced texts stay in the arena until it holds much more dead text than live text, or
// many more numbered texts than elements point to; then the live texts move to a fresh arena.
// Amortised over the writes that made the garbage.
void RecordArray::collectGarbage() {
    const std::size_t used = arena_->used();
    const std::size_t count = arena_->count();
    // Rare: only after 64 MB of rewritten text or a million texts, so the walk over every
    // element it costs never shows while typing.
    const bool deadText = used >= (std::size_t{64} << 20) && used >= 4 * arenaLive_;
    const bool deadNumbers = count >= (std::size_t{1} << 20) && count >= 4 * arenaCount_;
    if (!deadText && !deadNumbers) {
        return;
    }
    auto fresh = std::make_shared<TextArena>();
    for (Span& s : spans_) {
        if (!inStorage(s)) {
            s.at = kArenaBase + fresh->add(view(s));
        }
    }
    arena_ = std::move(fresh);
}

}  // namespace trovix::store
