#pragma once

#include <QtGlobal>
#include <cstddef>
#include <vector>

// How a document keeps a few bytes for each section and key of a file of millions of lines:
// numbers packed without gaps, in records kept in blocks that never move.
namespace trovix::ini {

// A whole number kept in 16-bit parts, so that records of them leave no gaps: 48 bits name
// any line of a file of up to 256 TiB. All ones stands for -1.
template <unsigned Parts>
class Packed {
  public:
    Packed(qint64 value = -1) {  // converts as the number it holds
        auto bits = static_cast<quint64>(value);
        for (quint16& part : parts_) {
            part = static_cast<quint16>(bits);
            bits >>= 16;
        }
    }
    qint64 get() const {
        quint64 bits = 0;
        for (unsigned i = Parts; i > 0; --i) {
            bits = bits << 16 | parts_[i - 1];
        }
        return bits == kAllOnes ? -1 : static_cast<qint64>(bits);
    }

  private:
    static constexpr quint64 kAllOnes = (quint64{1} << (16U * Parts)) - 1;
    quint16 parts_[Parts];
};

// Records kept in blocks of a fixed size, so that adding one never moves the others: the
// memory of a document grows a block at a time, never holding two copies of its records.
template <typename T>
class Blocks {
  public:
    std::size_t size() const { return size_; }
    T& operator[](std::size_t i) { return blocks_[i / kBlock][i % kBlock]; }
    const T& operator[](std::size_t i) const { return blocks_[i / kBlock][i % kBlock]; }
    void push_back(const T& record) {
        if (size_ % kBlock == 0) {
            blocks_.emplace_back();
        }
        blocks_.back().push_back(record);
        ++size_;
    }

  private:
    static constexpr std::size_t kBlock = 8192;
    std::vector<std::vector<T>> blocks_;
    std::size_t size_ = 0;
};

}  // namespace trovix::ini
