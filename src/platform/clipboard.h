#pragma once

#include <QString>

namespace trovix::platform {

class Clipboard {
  public:
    virtual ~Clipboard() = default;
    // Removes every format from the clipboard.
    virtual void clear() = 0;
    // Replaces the clipboard's content by plain text.
    virtual void setText(const QString& text) = 0;
};

}  // namespace trovix::platform
