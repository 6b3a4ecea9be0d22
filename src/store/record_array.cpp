#include "store/record_array.h"

#include <atomic>
#include <stdexcept>
#include <utility>

#include "store/text_arena.h"
#include "store/text_codec.h"

namespace trovix::store {

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
    other.spans_ = SpanTable();
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
        other.spans_ = SpanTable();
        other.arenaLive_ = 0;
        other.arenaCount_ = 0;
    }
    return *this;
}

RecordArray RecordArray::adopt(QByteArray storage, std::vector<Span> spans) {
    if (static_cast<std::size_t>(storage.size()) >= kArenaBase) {
        throw std::length_error("records too large");  // not shown
    }
    RecordArray a;
    a.storage_ = std::move(storage);
    a.spans_ = SpanTable(std::move(spans));
    return a;
}

RecordArray RecordArray::fromStrings(const QStringList& elements) {
    RecordArray a;
    a.spans_.write().reserve(static_cast<std::size_t>(elements.size()));
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
    copy.spans_ = SpanTable(spans_.read());  // a table of its own for another thread
    for (Span& s : copy.spans_.write()) {
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
        throw std::length_error("record too long");  // not shown
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
    Span& slot = spans_.write()[static_cast<std::size_t>(index)];
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
    std::vector<Span>& spans = spans_.write();
    spans.push_back(store(utf8));
    if (folded_) {
        folded_->ascii_.resize((spans.size() + 63) / 64);
        folded_->update(spans.size() - 1, utf8);
    }
}

void RecordArray::append(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    append(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

void RecordArray::swap(qsizetype a, qsizetype b) {
    touch();
    std::vector<Span>& spans = spans_.write();
    std::swap(spans[static_cast<std::size_t>(a)], spans[static_cast<std::size_t>(b)]);
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
        spans.push_back(spans_.read()[static_cast<std::size_t>(i)]);
    }
    spans_ = SpanTable(std::move(spans));
    folded_.reset();
}

void RecordArray::unpermute(const std::vector<qint32>& order) {
    touch();
    std::vector<Span> spans(order.size());
    for (std::size_t k = 0; k < order.size(); ++k) {
        spans[static_cast<std::size_t>(order[k])] = spans_.read()[k];
    }
    spans_ = SpanTable(std::move(spans));
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

void RecordArray::clear() {
    *this = RecordArray();
}

void RecordArray::truncate(qsizetype count) {
    if (count < 0 || count >= size()) {
        return;
    }
    touch();
    std::vector<Span>& spans = spans_.write();
    for (auto s = spans.begin() + count; s != spans.end(); ++s) {
        release(*s);
    }
    spans.resize(static_cast<std::size_t>(count));
    folded_.reset();
    collectGarbage();
}

void RecordArray::removeAt(const std::vector<qint32>& indices) {
    touch();
    std::size_t out = 0;
    std::size_t next = 0;
    std::vector<Span>& spans = spans_.write();
    for (std::size_t i = 0; i < spans.size(); ++i) {
        if (next < indices.size() && static_cast<std::size_t>(indices[next]) == i) {
            release(spans[i]);
            ++next;
            continue;
        }
        spans[out++] = spans[i];
    }
    spans.resize(out);
    folded_.reset();
    collectGarbage();
}

void RecordArray::insertAt(const std::vector<qint32>& indices,
                           const std::vector<std::string>& texts) {
    touch();
    const std::vector<Span>& old = spans_.read();
    std::vector<Span> spans;
    spans.reserve(old.size() + indices.size());
    std::size_t from = 0;
    for (std::size_t k = 0; k < indices.size(); ++k) {
        while (spans.size() < static_cast<std::size_t>(indices[k]) && from < old.size()) {
            spans.push_back(old[from++]);
        }
        spans.push_back(store(texts[k]));
    }
    spans.insert(spans.end(), old.begin() + static_cast<std::ptrdiff_t>(from), old.end());
    spans_ = SpanTable(std::move(spans));
    folded_.reset();
}

std::size_t RecordArray::memoryBytes() const {
    return static_cast<std::size_t>(storage_.size()) + arena_->used() +
           spans_.read().size() * sizeof(Span);
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
    for (Span& s : spans_.write()) {
        if (!inStorage(s)) {
            s.at = kArenaBase + fresh->add(view(s));
        }
    }
    arena_ = std::move(fresh);
}

}  // namespace trovix::store
