#pragma once

#include <QString>

#include "platform/services.h"

namespace trovix::links {

// The mail address "Email Author" writes to, with its subject and body.
QString authorMailUrl();

// "Email Author": the user's mail program on a message to the author. The program's folder
// becomes the current folder first.
void emailAuthor(const platform::Services& services, const QString& programFolder);

// "WebSite": the product's web page in the user's browser.
void openWebSite(const platform::Services& services);

// "Online Update": asks first; then a newer update program left by an earlier update ("Update")
// takes the place of "Patchlet" and "Patchlet" is started from the program's folder. Returns
// true when the update program runs: the window is to close by its normal path, which asks
// about unsaved changes. Cancel, and every failure (told in a message), return false and leave
// the program's files as they were.
bool onlineUpdate(const platform::Services& services, const QString& programFolder);

}  // namespace trovix::links
