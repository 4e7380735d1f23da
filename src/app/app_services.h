#pragma once

#include "common/clock.h"
#include "common/data_directory.h"
#include "common/messages.h"

#include <QSystemTrayIcon>

#include <functional>

namespace cuemora {

// What the windows need from the world around them: message boxes, the local time and the
// directory of the data files. main() builds it with the real ones; tests with scripted messages, a
// set clock and a temporary directory. The main window passes it on to every window it creates.
struct AppServices {
    MessageService& messages;
    Clock& clock;
    DataDirectory data;
    // Whether the desktop has a notification area to hide the program in.
    std::function<bool()> notificationAreaAvailable = [] { return QSystemTrayIcon::isSystemTrayAvailable(); };
};

} // namespace cuemora
