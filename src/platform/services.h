#pragma once

#include "platform/clipboard.h"
#include "platform/file_dialog.h"
#include "platform/font_dialog.h"
#include "platform/instance_guard.h"
#include "platform/memory_limits.h"
#include "platform/message_boxes.h"
#include "platform/printer.h"
#include "platform/screen.h"
#include "platform/settings_store.h"
#include "platform/shell.h"

namespace trovix::platform {

// Everything outside the program that the core talks to. The objects outlive the core.
struct Services {
    SettingsStore* settings = nullptr;
    MessageBoxes* messages = nullptr;
    FileDialog* files = nullptr;
    FontDialog* fonts = nullptr;
    Printer* printer = nullptr;
    Clipboard* clipboard = nullptr;
    Shell* shell = nullptr;
    Screen* screen = nullptr;
    InstanceGuard* instance = nullptr;
    // What memory is left; none given means the system's own figures.
    const MemoryLimits* memory = nullptr;
};

}  // namespace trovix::platform
