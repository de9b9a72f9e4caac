// The help: an HTML file in Japanese that ships in _RESOURCE beside the
// program and opens in the desktop's browser.
#pragma once

#include <QString>

namespace sorrel::qt {

// The help's start topic under program_folder.
QString HelpFilePath(const QString& program_folder);

// Opens the start topic under program_folder through the desktop. False,
// with nothing shown, when the file is not there or nothing can open it.
bool OpenHelp(const QString& program_folder);

// Opens the help beside the running program, wherever the current folder
// is; the Help button and F1 call this and ignore the result.
bool ShowHelp();

}  // namespace sorrel::qt
