#pragma once

#include "platform/shell.h"

namespace trovix::platform {

// Desktop services and detached processes; nothing here waits for what it starts.
class QtShell : public Shell {
  public:
    bool openUrl(const QString& url) override;
    QString whyUrlFailed(const QString& url) override;
    bool openInTextEditor(const QString& fileName) override;
    bool startProgram(const QString& program, const QStringList& arguments,
                      const QString& workingFolder) override;
};

}  // namespace trovix::platform
