#include <QTest>
#include <atomic>
#include <chrono>
#include <new>
#include <set>
#include <stdexcept>
#include <thread>
#include <vector>

#include "platform/parallel_work.h"

using namespace trovix::platform;

class TestParallelWork : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    // Work split with partOf() reaches every item exactly once, each part on a thread of its own
    // (part 0 on the calling one); partsFor() never asks for more parts than threads.
    void everyItemIsWorkedOnceEachPartOnItsOwnThread() {
        for (const std::size_t items : {0u, 1u, 2u, 7u, 1001u, 100003u}) {
            for (const std::size_t parts : {1u, 2u, 3u, 5u, 8u}) {
                std::vector<std::atomic<int>> worked(items);
                std::vector<std::thread::id> ids(parts);
                std::vector<std::size_t> sizes(parts);
                forEachPart(parts, [&](std::size_t part) {
                    const PartRange r = partOf(items, part, parts);
                    for (std::size_t i = r.begin; i < r.end; ++i) {
                        ++worked[i];
                    }
                    sizes[part] = r.end - r.begin;
                    ids[part] = std::this_thread::get_id();
                });
                QVERIFY(std::all_of(worked.begin(), worked.end(), [](auto& n) { return n == 1; }));
                QVERIFY(std::all_of(sizes.begin(), sizes.end(), [&](std::size_t size) {
                    return size == items / parts || size == items / parts + 1;  // near equal
                }));
                QCOMPARE(ids[0], std::this_thread::get_id());
                QCOMPARE(std::set<std::thread::id>(ids.begin(), ids.end()).size(), parts);
            }
        }
        QVERIFY(partsFor(0, 100) == 1 && partsFor(199, 100) == 1);
        QCOMPARE(partsFor(1u << 30, 100), threadsToUse());
    }

    void cutsFallWhereAllowedAndPartsStayWhole() {
        // Items are cut only where cutAt allows, at the cut's own bounds; what lies between two
        // parts belongs to neither. Cuts every `every` items (a two-item gap), or none at all.
        for (const std::size_t every : {0u, 1u, 5u, 97u, 400u, 999u}) {
            for (const std::size_t parts : {1u, 2u, 3u, 8u}) {
                const std::size_t items = 1000;
                const auto cutAt = [&](std::size_t from) {
                    std::optional<std::pair<std::size_t, std::size_t>> cut;
                    const std::size_t at = every == 0 ? items : (from + every - 1) / every * every;
                    if (at < items) {
                        cut.emplace(at, at + 2);
                    }
                    return cut;
                };
                const std::vector<PartRange> ranges = cutIntoParts(items, parts, cutAt);
                QVERIFY(!ranges.empty() && ranges.size() <= parts);
                QVERIFY(ranges.front().begin == 0 && ranges.back().end == items);
                QVERIFY(every == 0 || every > 5 ||
                        ranges.size() == parts);  // dense cuts give every part
                for (std::size_t k = 0; k < ranges.size(); ++k) {
                    QVERIFY(ranges[k].end > ranges[k].begin);
                    QVERIFY(k == 0 || (ranges[k].begin == ranges[k - 1].end + 2 &&
                                       ranges[k - 1].end % every == 0));
                }
            }
        }
        QCOMPARE(cutIntoParts(0, 4,
                              [](std::size_t) {
                                  return std::optional<std::pair<std::size_t, std::size_t>>();
                              }),
                 std::vector<PartRange>({{0, 0}}));
    }

    void aFailingPartThrowsOnlyAfterEveryPartHasEnded() {
        // Which parts throw, and whether out of memory: the first failing part's own exception
        // comes out, with its type, once the slow parts that did not fail have finished.
        const std::pair<std::vector<std::size_t>, bool> cases[] = {
            {{0}, false}, {{1}, true}, {{2}, false}, {{1, 2}, true}, {{0, 2}, false}};
        for (const auto& c : cases) {
            std::atomic<int> finished{0};
            bool caught = false;
            try {
                forEachPart(3, [&](std::size_t part) {
                    if (std::find(c.first.begin(), c.first.end(), part) == c.first.end()) {
                        std::this_thread::sleep_for(std::chrono::milliseconds(30));
                        ++finished;
                    } else if (c.second) {
                        throw std::bad_alloc();
                    } else {
                        throw std::runtime_error(std::to_string(part));
                    }
                });
            } catch (const std::bad_alloc&) {
                caught = c.second;
            } catch (const std::runtime_error& e) {
                caught = !c.second && e.what() == std::to_string(c.first.front());
            }
            QVERIFY(caught && finished == 3 - static_cast<int>(c.first.size()));
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
