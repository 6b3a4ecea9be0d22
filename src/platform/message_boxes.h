#pragma once

#include <QString>
#include <QStringList>

namespace trovix::platform {

enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MessageIcon { None, Information, Warning, Critical, Question };
enum class MessageAnswer { Ok, Cancel, Yes, No };

// Modal message boxes owned by the main window. An empty title shows the application title.
class MessageBoxes {
  public:
    virtual ~MessageBoxes() = default;
    virtual MessageAnswer show(const QString& text, const QString& title, MessageButtons buttons,
                               MessageIcon icon) = 0;
    // A question with buttons of its own words. Returns the index of the chosen one. The last
    // is the way out that changes nothing: Enter, Escape and closing the box choose it.
    virtual int choose(const QString& text, const QString& title, const QStringList& choices,
                       MessageIcon icon) = 0;
};

}  // namespace trovix::platform
