#include <QTest>
#include <atomic>
#include <chrono>
#include <new>
#include <numeric>
#include <set>
#include <stdexcept>
#include <thread>
#include <vector>

#include "platform/parallel_work.h"

using namespace trovix::platform;

class TestParallelWork : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void partsCoverEveryItemOnceInOrder() {
        for (const std::size_t items : {0u, 1u, 2u, 3u, 7u, 10u, 64u, 1001u, 100000u}) {
            for (const std::size_t parts : {1u, 2u, 3u, 4u, 8u}) {
                std::size_t next = 0;
                for (std::size_t part = 0; part < parts; ++part) {
                    const PartRange r = partOf(items, part, parts);
                    QCOMPARE(r.begin, next);
                    QVERIFY(r.end >= r.begin && r.end - r.begin <= items / parts + 1);
                    QVERIFY(r.end - r.begin >= items / parts);
                    next = r.end;
                }
                QCOMPARE(next, items);
            }
        }
        // Never more parts than threads, never parts smaller than asked, always one at least.
        const std::size_t threads = threadsToUse();
        QVERIFY(threads >= 1);
        QCOMPARE(partsFor(0, 100), std::size_t{1});
        QCOMPARE(partsFor(199, 100), std::size_t{1});
        QCOMPARE(partsFor(200, 100), std::min<std::size_t>(2, threads));
        QCOMPARE(partsFor(1u << 30, 100), threads);
    }

    void cutsFallWhereAllowedAndPartsStayWhole() {
        // Items are cut only where cutAt allows, at the cut's own bounds; what lies between two
        // parts belongs to neither. Cuts every `every` items (a two-item gap), or none at all.
        for (const std::size_t every : {0u, 1u, 5u, 97u, 400u, 999u}) {
            for (const std::size_t parts : {1u, 2u, 3u, 8u}) {
                const std::size_t items = 1000;
                std::vector<std::pair<std::size_t, std::size_t>> asked;
                const auto cutAt = [&](std::size_t from) {
                    std::optional<std::pair<std::size_t, std::size_t>> cut;
                    if (every > 0) {
                        const std::size_t at = (from + every - 1) / every * every;
                        if (at < items) {
                            cut.emplace(at, at + 2);
                        }
                    }
                    return cut;
                };
                const std::vector<PartRange> ranges = cutIntoParts(items, parts, cutAt);
                QVERIFY(!ranges.empty() && ranges.size() <= parts);
                QCOMPARE(ranges.front().begin, std::size_t{0});
                QCOMPARE(ranges.back().end, items);
                for (std::size_t k = 0; k < ranges.size(); ++k) {
                    QVERIFY(ranges[k].end > ranges[k].begin);
                    if (k > 0) {
                        QCOMPARE(ranges[k].begin, ranges[k - 1].end + 2);
                        QCOMPARE(ranges[k - 1].end % every, std::size_t{0});
                    }
                }
                // Dense cuts give every part asked for, near equal.
                if (every == 1 || every == 5) {
                    QCOMPARE(ranges.size(), parts);
                    for (const PartRange& r : ranges) {
                        const auto size = static_cast<qint64>(r.end - r.begin);
                        QVERIFY(qAbs(size - static_cast<qint64>(items / parts)) <=
                                static_cast<qint64>(every + 2));
                    }
                }
            }
        }
        const auto noCut = [](std::size_t) {
            return std::optional<std::pair<std::size_t, std::size_t>>();
        };
        QCOMPARE(cutIntoParts(0, 4, noCut), std::vector<PartRange>({{0, 0}}));
    }

    void everyPartRunsOnceOnItsOwnThreadAndGivesTheSerialResult() {
        std::vector<int> values(100003);
        std::iota(values.begin(), values.end(), -50000);
        const long long serial = std::accumulate(values.begin(), values.end(), 0LL);
        for (const std::size_t parts : {1u, 2u, 3u, 5u}) {
            std::vector<long long> sums(parts, 0);
            std::vector<std::thread::id> ids(parts);
            std::vector<int> runs(parts, 0);
            forEachPart(parts, [&](std::size_t part) {
                const PartRange r = partOf(values.size(), part, parts);
                sums[part] = std::accumulate(values.begin() + static_cast<long>(r.begin),
                                             values.begin() + static_cast<long>(r.end), 0LL);
                ids[part] = std::this_thread::get_id();
                ++runs[part];
            });
            QCOMPARE(std::accumulate(sums.begin(), sums.end(), 0LL), serial);
            QVERIFY(std::all_of(runs.begin(), runs.end(), [](int n) { return n == 1; }));
            QCOMPARE(ids[0], std::this_thread::get_id());
            QCOMPARE(std::set<std::thread::id>(ids.begin(), ids.end()).size(), parts);
        }
    }

    void aFailingPartThrowsOnlyAfterEveryPartHasEnded() {
        // Which parts throw, and what comes out: the first failing part's own exception, with
        // its type, once the slow parts that did not fail have finished their work.
        struct Case {
            std::vector<std::size_t> failing;
            bool outOfMemory;
        };
        const std::vector<Case> cases = {
            {{0}, false}, {{1}, true}, {{2}, false}, {{1, 2}, true}, {{0, 2}, false}};
        for (const Case& c : cases) {
            std::atomic<int> finished{0};
            const auto work = [&](std::size_t part) {
                if (std::find(c.failing.begin(), c.failing.end(), part) != c.failing.end()) {
                    if (c.outOfMemory) {
                        throw std::bad_alloc();
                    }
                    throw std::runtime_error(std::to_string(part));
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(30));
                ++finished;
            };
            bool caught = false;
            try {
                forEachPart(3, work);
            } catch (const std::bad_alloc&) {
                caught = c.outOfMemory;
            } catch (const std::runtime_error& e) {
                caught = !c.outOfMemory && e.what() == std::to_string(c.failing.front());
            }
            QVERIFY(caught);
            QCOMPARE(finished.load(), 3 - static_cast<int>(c.failing.size()));
        }

        // Side by side: the work beside waits for what the calling thread hands it, and is still
        // joined when the calling thread's work throws.
        std::atomic<bool> handedOver{false};
        bool besideEnded = false;
        const auto here = [&] {
            handedOver = true;
            throw std::runtime_error("here");
        };
        const auto beside = [&] {
            while (!handedOver) {
                std::this_thread::yield();
            }
            besideEnded = true;
        };
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, sideBySide(here, beside));
        QVERIFY(besideEnded);
    }
};

QTEST_GUILESS_MAIN(TestParallelWork)
#include "test_parallel_work.moc"
