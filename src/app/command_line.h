#pragma once

#include <QString>
#include <QStringList>

#include "app/command_line_find.h"
#include "app/home_folder.h"

namespace trovix::app {

// What the command line asks for.
struct CommandLine {
    enum class Request { Start, Help, HelpWithQtOptions, Version, Find, Mistake };
    Request request = Request::Start;
    QStringList arguments;  // for start-up: "clear", or data file names; for Find: the files
    FindRequest find;       // for Find
    QString mistake;        // what is wrong with the command line, in one line
};

// Reads the command line, the program's name first, as it was typed: before QApplication takes
// Qt's own options out of it. Those options (-style Fusion, -reverse, ...) and their values are
// known and passed over, so that neither a file name is taken for one nor one for a file name.
// Options may be written with one dash or two; "--" ends them.
CommandLine readCommandLine(const QStringList& commandLine);

// The text of --help, which names the folder that relative data file names refer to; with
// Qt's options for --help-all.
QString helpText(const HomeFolder& home, bool withQtOptions);
// The first line of the help: how the program is called.
QString usageText();
// The text of --version.
QString versionText();
// The arguments start-up leaves unused: all of them unless they are "clear" alone or three
// data file names.
QStringList unusedArguments(const QStringList& arguments);

}  // namespace trovix::app
