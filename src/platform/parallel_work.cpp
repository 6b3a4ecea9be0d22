#include "platform/parallel_work.h"

#include <atomic>

namespace trovix::platform {
namespace {

// Beyond this many, starting and joining threads costs more than a share of the work saves.
constexpr std::size_t kMostThreads = 64;

// 0 while every core may be used; otherwise the number set by limitThreads().
std::atomic<std::size_t> threadLimit{0};

}  // namespace

std::size_t coreCount() {
    static const std::size_t cores =
        std::clamp<std::size_t>(std::thread::hardware_concurrency(), 1, kMostThreads);
    return cores;
}

std::size_t threadsToUse() {
    const std::size_t limit = threadLimit.load(std::memory_order_relaxed);
    return limit == 0 ? coreCount() : std::min(limit, kMostThreads);
}

void limitThreads(std::size_t threads) {
    threadLimit.store(threads, std::memory_order_relaxed);
}

}  // namespace trovix::platform
