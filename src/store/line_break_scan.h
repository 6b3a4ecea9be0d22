#pragma once

#include <cstddef>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace trovix::store {

// Calls atBreak(p) for the LF of every line break in [from, to), in order, sixteen bytes at a
// time. In a CR LF text an LF is a break only when a CR at or after `lineStart()` stands before
// it; atBreak moves the line start on.
template <typename LineStart, typename AtBreak>
void forEachBreak(const char* d, std::size_t from, std::size_t to, bool crLf, LineStart lineStart,
                  AtBreak atBreak) {
    const auto atLf = [&](std::size_t p) {
        if (!crLf || (p > lineStart() && d[p - 1] == '\r')) {
            atBreak(p);
        }
    };
    std::size_t i = from;
#ifdef __SSE2__
    const __m128i lf = _mm_set1_epi8('\n');
    for (; i + 16 <= to; i += 16) {
        auto mask = static_cast<unsigned>(_mm_movemask_epi8(
            _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i)), lf)));
        while (mask != 0) {
            atLf(i + static_cast<std::size_t>(__builtin_ctz(mask)));
            mask &= mask - 1;
        }
    }
#endif
    for (; i < to; ++i) {
        if (d[i] == '\n') {
            atLf(i);
        }
    }
}

}  // namespace trovix::store
