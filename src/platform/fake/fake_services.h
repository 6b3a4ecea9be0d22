#pragma once

#include "platform/fake/fake_clipboard.h"
#include "platform/fake/fake_file_dialog.h"
#include "platform/fake/fake_font_dialog.h"
#include "platform/fake/fake_instance_guard.h"
#include "platform/fake/fake_load_progress.h"
#include "platform/fake/fake_memory_limits.h"
#include "platform/fake/fake_message_boxes.h"
#include "platform/fake/fake_printer.h"
#include "platform/fake/fake_screen.h"
#include "platform/fake/fake_settings_store.h"
#include "platform/fake/fake_shell.h"
#include "platform/fake/fake_window_control.h"
#include "platform/fake/faulty_disk.h"
#include "platform/services.h"
#include "platform/system_disk.h"

namespace trovix::platform {

// Every service as an in-memory stand-in: empty settings, boxes answered as Enter would, a
// printer, clipboard and shell that record, one 1920x1080 screen at 96 dpi, no other copy
// running, no bound on memory, the system's disk, which fails only where a test plans it, and
// readings that are never cancelled unless a test plans it. A test reads and scripts the one it
// needs.
struct FakeServices {
    FakeSettingsStore settings;
    FakeMessageBoxes messages;
    FakeFileDialog files;
    FakeFontDialog fonts;
    FakePrinter printer;
    FakeClipboard clipboard;
    FakeShell shell;
    FakeScreen screen;
    FakeInstanceGuard instance;
    FakeMemoryLimits memory;
    SystemDisk systemDisk;
    FaultyDisk disk{systemDisk};
    FakeLoadProgress loading;
    FakeWindowControl window;

    Services services() {
        return {settings, messages, files,  fonts, printer, clipboard, shell,
                screen,   instance, memory, disk,  loading, window};
    }
};

}  // namespace trovix::platform
