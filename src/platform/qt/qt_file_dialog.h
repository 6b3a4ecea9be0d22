#pragma once

#include "platform/file_dialog.h"
#include "platform/qt/owner_window.h"

namespace trovix::platform {

// An open-file dialog that also accepts the name of a file that does not exist yet.
class QtFileDialog : public FileDialog {
  public:
    explicit QtFileDialog(const OwnerWindow& owner) : owner_(owner) {}

    QString openFileName(const QString& title, const QString& startFolder,
                         const QString& filterLabel, const QString& filterPattern) override;

    // The Qt name filter for a label and a pattern list such as "*.txt;*.dat".
    static QString nameFilter(const QString& filterLabel, const QString& filterPattern);

  private:
    const OwnerWindow& owner_;
};

}  // namespace trovix::platform
