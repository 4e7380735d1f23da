#include "app/main_window.h"
#include "app/message_box_service.h"
#include "app/startup.h"
#include "room/room.h"

#include <QApplication>

int main(int argc, char** argv) {
    cuemora::answerHelpAndVersion(argc, argv);
    QApplication app(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral(CUEMORA_APP_ID)); // the menu entry of the window
    // The program lives on in the notification area with every window hidden; only "退出" ends it.
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/cuemora.ico")));
    cuemora::loadQtChineseTranslations(app);
    const QString dataDirectory = cuemora::dataDirectoryFromCommandLine(app);

    cuemora::MessageBoxService messages;
    cuemora::SystemClock clock;
    cuemora::Room room(cuemora::DataDirectory(dataDirectory), clock, messages);
    if (!room.open())
        return 1;

    cuemora::MainWindow window(room);
    window.show();
    return QApplication::exec();
}
