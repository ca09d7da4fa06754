#pragma once

#include <QString>

namespace quirex::app
{

// Help topics (pages in the help folder's "Quirex" folder).
constexpr char HelpTopicSettings[] = "_Settings.html";
constexpr char HelpTopicCommandLine[] = "_CMDLine.html";

// The help file: help/index.html beside the program file, or, when that is missing and an
// installation has it, share/quirex/help/index.html of the prefix above the program's folder.
QString defaultHelpFilePath();

// The page the viewer is started on: the help file itself without a topic,
// else the topic's page in the folder named by string 3029 beside the help
// file. A topic page that is missing falls back to the help file.
QString helpPagePath(const QString &helpFilePath, const QString &topic);

} // namespace quirex::app
