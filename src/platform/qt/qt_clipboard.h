#pragma once

#include "platform/clipboard.h"

namespace trovix::platform {

// The system clipboard (QGuiApplication must exist).
class QtClipboard : public Clipboard {
  public:
    void clear() override;
    void setText(const QString& text) override;
};

}  // namespace trovix::platform
