#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <optional>
#include <stdexcept>
#include <vector>

#include "store/data_format.h"
#include "store/line_break_scan.h"
#include "store/record_array.h"

namespace trovix::store {

// Where a splitter puts the records it finds: the end of a vector that grows, or a range set
// aside for exactly as many records as were counted.
class SpanSink {
  public:
    explicit SpanSink(std::vector<RecordArray::Span>& growing) : growing_(&growing) {}
    SpanSink(RecordArray::Span* begin, RecordArray::Span* end) : next_(begin), end_(end) {}

    void put(std::size_t at, std::size_t size) {
        const RecordArray::Span span{static_cast<std::uint32_t>(at),
                                     static_cast<std::uint32_t>(size)};
        if (growing_ != nullptr) {
            growing_->push_back(span);
        } else if (next_ == end_) {
            throw std::logic_error("more records than counted");  // not shown
        } else {
            *next_++ = span;
        }
    }
    // Whether a range set aside was filled exactly.
    bool complete() const { return growing_ != nullptr || next_ == end_; }

  private:
    std::vector<RecordArray::Span>* growing_ = nullptr;
    RecordArray::Span* next_ = nullptr;
    RecordArray::Span* end_ = nullptr;
};

// Splits a text into records, moving lines down over the line breaks it removes, in one pass:
// every line break followed by the marker goes, every other ends a record. Lines only ever
// move down, to places already read, so what is still to be read is always the file's own
// bytes. The text may arrive piece by piece: advance() takes each piece, finish() the end.
class RecordSplitter {
  public:
    RecordSplitter(char* d, std::size_t begin, std::optional<LineBreak> lb, SpanSink& spans)
        : d_(d),
          lb_(lb),
          crLf_(lb == LineBreak::CrLf),
          breakSize_(crLf_ ? 2 : 1),
          spans_(spans),
          write_(begin),
          read_(begin),
          recordStart_(begin),
          scanned_(begin) {}

    // Splits at the line breaks before `limit`; the bytes up to `known` are there to look at
    // (a break is followed by the marker or not: five bytes after it).
    void advance(std::size_t limit, std::size_t known) {
        if (lb_ && limit > scanned_) {
            forEachBreak(
                d_, scanned_, limit, crLf_, [&] { return read_; },
                [&](std::size_t p) { atBreak(p, known); });
        }
        scanned_ = std::max(scanned_, limit);
    }

    void finish(std::size_t end) {
        advance(end, end);
        moveLine(end);
        spans_.put(recordStart_, write_ - recordStart_);
    }

    // An LF text that turned out to hold a CR LF, which makes it a CR LF text.
    bool metCrLfInLfText() const { return crLfInLf_; }

  private:
    void moveLine(std::size_t lineEnd) {
        const std::size_t length = lineEnd - read_;
        if (write_ != read_ && length > 0) {
            std::memmove(d_ + write_, d_ + read_, length);
        }
        write_ += length;
    }
    void atBreak(std::size_t p, std::size_t known) {
        crLfInLf_ = crLfInLf_ || (!crLf_ && p > read_ && d_[p - 1] == '\r');
        moveLine(p + 1 - breakSize_);
        read_ = p + 1;
        if (!startsWithSep(d_, known, read_)) {
            spans_.put(recordStart_, write_ - recordStart_);
            recordStart_ = write_;
        }
    }

    char* d_;
    std::optional<LineBreak> lb_;
    bool crLf_;
    std::size_t breakSize_;
    SpanSink& spans_;
    std::size_t write_, read_, recordStart_, scanned_;
    bool crLfInLf_ = false;
};

}  // namespace trovix::store
