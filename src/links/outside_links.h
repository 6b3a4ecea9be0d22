#pragma once

#include <QString>

namespace trovix {
struct MainState;
}

namespace trovix::links {

// The mail address "Email Author" writes to, with its subject and body.
QString authorMailUrl();

// "Email Author": the user's mail program on a message to the author. The program's folder
// becomes the current folder first.
void emailAuthor(MainState& state);

// "WebSite": the product's web page in the user's browser.
void openWebSite(MainState& state);

// "Online Update": asks first; then a newer update program left by an earlier update ("Update")
// takes the place of "Patchlet", "Patchlet" is started from the program's folder, and the
// window closes by its normal path, which asks about unsaved changes. Cancel, and every failure
// (told in a message), leave the program running and its files as they were.
void onlineUpdate(MainState& state);

}  // namespace trovix::links
