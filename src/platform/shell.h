#pragma once

#include <QString>
#include <QStringList>

namespace trovix::platform {

// Starting things outside the program. None of the calls waits for what it started.
class Shell {
  public:
    virtual ~Shell() = default;
    // Opens a URL (mailto:, https:) with the user's preferred handler.
    virtual bool openUrl(const QString& url) = 0;
    // Why a URL that could not be opened failed, in a few words: "xdg-open is not installed",
    // "no mail program is set up for mailto: links".
    virtual QString whyUrlFailed(const QString& url) = 0;
    // Opens a file in the user's plain-text editor.
    virtual bool openInTextEditor(const QString& fileName) = 0;
    // Starts a program detached from this one.
    virtual bool startProgram(const QString& program, const QStringList& arguments,
                              const QString& workingFolder) = 0;
};

}  // namespace trovix::platform
