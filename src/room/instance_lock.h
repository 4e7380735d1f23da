#pragma once

#include "common/data_directory.h"

#include <QLockFile>
#include <QString>

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

} // namespace cuemora
