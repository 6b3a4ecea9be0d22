#pragma once

#include <QString>

namespace trovix::platform {

// The system's open-file dialog. The chosen file need not exist.
class FileDialog {
  public:
    virtual ~FileDialog() = default;
    // Returns the chosen path, or the empty text when the user cancelled.
    virtual QString openFileName(const QString& title, const QString& startFolder,
                                 const QString& filterLabel, const QString& filterPattern) = 0;
};

}  // namespace trovix::platform
