#pragma once

#include "app/app_services.h"

#include <QLockFile>
#include <QString>

class QCoreApplication;

namespace cuemora {

// Keeps a second Cuemora from working on the same data files: both would load the register at
// start and each would overwrite what the other saved.
class InstanceLock {
public:
    enum class Result {
        Locked,        // this program holds the data directory now
        HeldElsewhere, // another Cuemora runs on it
        NotPossible,   // no lock can be made there (a directory that cannot be written)
    };

    explicit InstanceLock(const DataDirectory& data);
    static QString fileName(); // ".cuemora.lock"

    Result tryLock();

private:
    QLockFile m_lock;
};

// True when files can be made in the data directory; otherwise false, with the reason in words.
bool canWriteDataDirectory(const DataDirectory& data, QString* reason = nullptr);

// The checks before the main window is built. A second start on the same data directory says so
// and answers false: the program must end without touching any file. A directory that cannot be
// written is reported, since every save would fail, and the program goes on.
bool claimDataDirectory(const AppServices& services, InstanceLock& lock);

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
