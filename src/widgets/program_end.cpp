#include "widgets/program_end.h"

#include <QClipboard>
#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>

// Builds with AddressSanitizer look for leaks as the process ends normally.
#if defined(__SANITIZE_ADDRESS__)
#define TROVIX_LEAKS_CHECKED_AT_END 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TROVIX_LEAKS_CHECKED_AT_END 1
#endif
#endif

namespace trovix::widgets {

int endProgram(int exitCode, platform::QtInstanceGuard& instance) {
#ifdef TROVIX_LEAKS_CHECKED_AT_END
    static_cast<void>(instance);
    return exitCode;
#else
    const QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard->ownsClipboard() || clipboard->ownsSelection()) {
        return exitCode;
    }
    instance.release();
    std::fflush(nullptr);
    std::_Exit(exitCode);
#endif
}

}  // namespace trovix::widgets
