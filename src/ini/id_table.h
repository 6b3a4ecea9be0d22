#pragma once

#include <QtGlobal>
#include <algorithm>
#include <bit>
#include <cstddef>
#include <vector>

namespace trovix::ini {

// An open-addressing table of the numbers of sections or entries, which are compared and
// hashed through their lines. It holds 4 bytes a slot: the number, and in the bits the
// number leaves free, some bits of its hash, which spare looking at most lines that do not
// match.
class IdTable {
  public:
    explicit IdTable(quint32 firstId) : firstId_(firstId) {}
    template <typename Matches>
    qint64 find(quint64 hash, Matches&& matches) const;  // -1 when none matches
    // The number that matches, or else `id`, added. Numbers are added in order: the table
    // holds firstId and those after it.
    template <typename Matches, typename HashOf>
    quint32 findOrAdd(quint64 hash, Matches&& matches, quint32 id, HashOf&& hashOf);

  private:
    struct Probe {
        std::size_t free = 0;  // the slot where the probe ended
        qint64 found = -1;
    };
    template <typename Matches>
    Probe probe(quint64 hash, Matches&& matches) const;
    quint32 tagOf(quint64 hash) const;
    quint32 slotOf(quint64 hash, quint32 id) const;
    void place(quint64 hash, quint32 id);
    std::vector<quint32> slots_;  // 0 when free
    unsigned idBits_ = 0;         // log2 of the number of slots
    quint32 firstId_;
    quint32 count_ = 0;
};

// A slot is chosen by the low bits of a hash. It keeps the number, plus one, in as many bits as
// the slots take to count, and the hash's highest bits above it: a tag that rules out most
// numbers without a look at their lines.
inline quint32 IdTable::tagOf(quint64 hash) const {
    return static_cast<quint32>(hash >> 32 >> idBits_);
}

inline quint32 IdTable::slotOf(quint64 hash, quint32 id) const {
    return static_cast<quint32>(quint64{tagOf(hash)} << idBits_) | (id + 1);
}

template <typename Matches>
IdTable::Probe IdTable::probe(quint64 hash, Matches&& matches) const {
    if (slots_.empty()) {
        return {};
    }
    const std::size_t mask = slots_.size() - 1;
    const quint32 tag = tagOf(hash);
    const auto idMask = static_cast<quint32>((quint64{1} << idBits_) - 1);
    std::size_t i = static_cast<std::size_t>(hash) & mask;
    for (; slots_[i] != 0; i = (i + 1) & mask) {
        const quint32 slot = slots_[i];
        if (quint64{slot} >> idBits_ == tag && matches((slot & idMask) - 1)) {
            return {i, (slot & idMask) - 1};
        }
    }
    return {i, -1};
}

template <typename Matches>
qint64 IdTable::find(quint64 hash, Matches&& matches) const {
    return probe(hash, matches).found;
}

template <typename Matches, typename HashOf>
quint32 IdTable::findOrAdd(quint64 hash, Matches&& matches, quint32 id, HashOf&& hashOf) {
    const Probe found = probe(hash, matches);
    if (found.found >= 0) {
        return static_cast<quint32>(found.found);
    }
    // The table doubles rather than be more than three quarters full, and the numbers in it
    // are hashed again from their lines, in order, as the lines follow each other in the file.
    if ((std::size_t{count_} + 1) * 4 > slots_.size() * 3) {
        const std::size_t size = std::max<std::size_t>(16, slots_.size() * 2);
        std::vector<quint32>(size).swap(slots_);
        idBits_ = static_cast<unsigned>(std::countr_zero(size));
        for (quint32 other = firstId_; other < firstId_ + count_; ++other) {
            place(hashOf(other), other);
        }
        place(hash, id);
    } else {
        slots_[found.free] = slotOf(hash, id);
    }
    ++count_;
    return id;
}

inline void IdTable::place(quint64 hash, quint32 id) {
    const std::size_t mask = slots_.size() - 1;
    std::size_t i = static_cast<std::size_t>(hash) & mask;
    while (slots_[i] != 0) {
        i = (i + 1) & mask;
    }
    slots_[i] = slotOf(hash, id);
}

}  // namespace trovix::ini
