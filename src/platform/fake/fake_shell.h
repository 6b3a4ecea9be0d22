#pragma once

#include <QList>
#include <QStringList>

#include "platform/shell.h"

namespace trovix::platform {

struct ShellCall {
    enum class Kind { OpenUrl, OpenInTextEditor, StartProgram };
    Kind kind;
    QString target;  // the URL, file or program
    QStringList arguments;
    QString workingFolder;
};

// Records every call; each one reports `succeed`.
class FakeShell : public Shell {
  public:
    bool openUrl(const QString& url) override {
        calls.append({ShellCall::Kind::OpenUrl, url, {}, {}});
        return succeed;
    }
    QString whyUrlFailed(const QString& url) override {
        return QStringLiteral("nothing opens %1 here").arg(url.section(u':', 0, 0));
    }
    bool openInTextEditor(const QString& fileName) override {
        calls.append({ShellCall::Kind::OpenInTextEditor, fileName, {}, {}});
        return succeed;
    }
    bool startProgram(const QString& program, const QStringList& arguments,
                      const QString& workingFolder) override {
        calls.append({ShellCall::Kind::StartProgram, program, arguments, workingFolder});
        return succeed;
    }

    QList<ShellCall> calls;
    bool succeed = true;
};

}  // namespace trovix::platform
