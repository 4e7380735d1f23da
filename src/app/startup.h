#pragma once

#include <QString>

class QCoreApplication;

namespace cuemora {

// The command line of the program: "--data-dir DIR" names the directory of the room's files;
// "--help" and "--version" answer on the terminal and end the program.
//
// answerHelpAndVersion() runs before the application object exists, so that those two answer
// without a display; it also names the program for Qt ("cuemora", whose data location is
// ~/.local/share/cuemora, and its version). dataDirectoryFromCommandLine() runs once the
// application has taken its own options (-platform and the like) off the command line: it ends the
// program on an option it does not know, and answers the directory that chooseDataDirectory() picks.
void answerHelpAndVersion(int argc, char** argv);
QString dataDirectoryFromCommandLine(const QCoreApplication& app);

// Qt's own Chinese texts, so that the standard buttons read 确定, 是 and 否.
void loadQtChineseTranslations(QCoreApplication& app);

} // namespace cuemora
