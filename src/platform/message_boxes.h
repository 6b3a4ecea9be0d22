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
    // As show(), with a second text under the first that tells more; a box that cannot show
    // it apart shows both as one text.
    virtual MessageAnswer showDetailed(const QString& text, const QString& more,
                                       const QString& title, MessageButtons buttons,
                                       MessageIcon icon) {
        return show(more.isEmpty() ? text : text + QStringLiteral("\n\n") + more, title, buttons,
                    icon);
    }
    // A question with buttons of its own words. Returns the index of the chosen one. The last
    // is the way out that changes nothing: Enter, Escape and closing the box choose it.
    virtual int choose(const QString& text, const QString& title, const QStringList& choices,
                       MessageIcon icon) = 0;
};

}  // namespace trovix::platform
