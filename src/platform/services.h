#pragma once

#include "platform/clipboard.h"
#include "platform/disk.h"
#include "platform/file_dialog.h"
#include "platform/font_dialog.h"
#include "platform/instance_guard.h"
#include "platform/load_progress.h"
#include "platform/memory_limits.h"
#include "platform/message_boxes.h"
#include "platform/printer.h"
#include "platform/screen.h"
#include "platform/settings_store.h"
#include "platform/shell.h"
#include "platform/window_control.h"

namespace trovix::platform {

// One service the core talks to. It is bound to an object and is never null, so no caller
// needs a fallback for a missing one; it may be bound to another object (a test's fake).
template <class T>
class Service {
  public:
    // Implicit, so that `services.screen = fakeScreen;` binds the fake.
    Service(T& object) : object_(&object) {}  // NOLINT(google-explicit-constructor)
    T* operator->() const { return object_; }
    T& operator*() const { return *object_; }

  private:
    T* object_;
};

// Everything outside the program that the core talks to, every one always there. The objects
// are made before the core and outlive it.
struct Services {
    Service<SettingsStore> settings;
    Service<MessageBoxes> messages;
    Service<FileDialog> files;
    Service<FontDialog> fonts;
    Service<Printer> printer;
    Service<Clipboard> clipboard;
    Service<Shell> shell;
    Service<Screen> screen;
    Service<InstanceGuard> instance;
    Service<const MemoryLimits> memory;
    Service<Disk> disk;
    Service<LoadProgress> loading;
    Service<WindowControl> window;
};

}  // namespace trovix::platform
