#pragma once

#include <QList>
#include <QString>

#include "platform/file_dialog.h"

namespace trovix::platform {

struct FileDialogCall {
    QString title;
    QString startFolder;
    QString filterLabel;
    QString filterPattern;
};

// Records each call and returns `result` (empty: the user cancelled).
class FakeFileDialog : public FileDialog {
  public:
    QString openFileName(const QString& title, const QString& startFolder,
                         const QString& filterLabel, const QString& filterPattern) override {
        calls.append({title, startFolder, filterLabel, filterPattern});
        return result;
    }

    QList<FileDialogCall> calls;
    QString result;
};

}  // namespace trovix::platform
