#include "platform/parallel_work.h"

namespace trovix::platform {

// Two threads at most for now: the calling one and one helper, on machines that have two.
std::size_t threadsToUse() {
    constexpr std::size_t kMostThreads = 2;
    static const std::size_t threads =
        std::clamp<std::size_t>(std::thread::hardware_concurrency(), 1, kMostThreads);
    return threads;
}

}  // namespace trovix::platform
