#pragma once

#include <algorithm>
#include <cstddef>
#include <exception>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

// Work split into parts that run at once, one part on the calling thread and each other part on
// a thread of its own. How many threads large work may use is decided in one place,
// threadsToUse().
namespace trovix::platform {

// The processor cores of this machine (at least one).
std::size_t coreCount();

// The threads large work may use, the calling one among them: one a core unless limited.
std::size_t threadsToUse();

// Makes large work use this many threads from now on, or one a core again for 0. For measuring
// how work scales with threads; the program itself never limits them.
void limitThreads(std::size_t threads);

// How many parts `items` items of work are split into: as many as there are threads to use, but
// none smaller than `leastPerPart` items, and at least one.
inline std::size_t partsFor(std::size_t items, std::size_t leastPerPart) {
    const std::size_t most = leastPerPart == 0 ? items : items / leastPerPart;
    return std::clamp<std::size_t>(most, 1, std::max<std::size_t>(threadsToUse(), 1));
}

// A stretch [begin, end) of the items.
struct PartRange {
    std::size_t begin = 0;
    std::size_t end = 0;

    friend bool operator==(const PartRange&, const PartRange&) = default;
};

// Part `part` of `parts` near-equal parts of [0, items): the parts follow each other in order
// and together cover every item once.
inline PartRange partOf(std::size_t items, std::size_t part, std::size_t parts) {
    return {items / parts * part + items % parts * part / parts,
            items / parts * (part + 1) + items % parts * (part + 1) / parts};
}

// Cuts [0, items) into at most `parts` ranges of near-equal size, at places `cutAt` chooses.
// cutAt(from) gives the first cut at or after `from` as the end of one range (not before `from`)
// and the begin of the next (the items between them belong to neither), or nothing when there is
// none. Ranges are
// never empty but for a lone empty input; fewer come out when cuts are sparse.
template <typename CutAt>
std::vector<PartRange> cutIntoParts(std::size_t items, std::size_t parts, CutAt cutAt) {
    std::vector<PartRange> ranges;
    std::size_t begin = 0;
    for (std::size_t k = 1; k < parts; ++k) {
        const std::size_t aim = std::max(partOf(items, k, parts).begin, begin + 1);
        if (aim >= items) {
            break;
        }
        const std::optional<std::pair<std::size_t, std::size_t>> cut = cutAt(aim);
        if (!cut || cut->second >= items) {
            break;
        }
        ranges.push_back({begin, cut->first});
        begin = cut->second;
    }
    ranges.push_back({begin, items});
    return ranges;
}

// Runs work(part) for every part in [0, parts) at once: part 0 on the calling thread, the others
// each on a thread of its own. Returns when every part has ended. When parts throw (running out
// of memory, say), the exception of the first of them comes out of this call, after all have
// ended; one that cannot start a thread throws std::system_error the same way.
template <typename Work>
void forEachPart(std::size_t parts, Work&& work) {
    if (parts <= 1) {
        work(std::size_t{0});
        return;
    }
    std::vector<std::exception_ptr> failed(parts);
    {
        // Joins the threads started so far when it goes, also when starting one fails.
        struct Joined {
            std::vector<std::thread> threads;
            ~Joined() {
                for (std::thread& t : threads) {
                    t.join();
                }
            }
        } helpers;
        helpers.threads.reserve(parts - 1);
        const auto run = [&work, &failed](std::size_t part) {
            try {
                work(part);
            } catch (...) {
                failed[part] = std::current_exception();
            }
        };
        for (std::size_t part = 1; part < parts; ++part) {
            helpers.threads.emplace_back(run, part);
        }
        run(0);
    }
    for (const std::exception_ptr& e : failed) {
        if (e) {
            std::rethrow_exception(e);
        }
    }
}

// Runs here() on the calling thread while beside() runs on a thread of its own, and returns when
// both have ended; what either throws comes out afterwards, here()'s first.
template <typename Here, typename Beside>
void sideBySide(Here&& here, Beside&& beside) {
    forEachPart(2, [&](std::size_t part) {
        if (part == 0) {
            here();
        } else {
            beside();
        }
    });
}

}  // namespace trovix::platform
