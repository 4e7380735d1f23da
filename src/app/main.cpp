#include "app/main_window.h"
#include "app/message_box_service.h"
#include "app/startup.h"
#include "room/room.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // The program lives on in the notification area with every window hidden; only "退出" ends it.
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/cuemora.ico")));
    cuemora::loadQtChineseTranslations(app);

    cuemora::MessageBoxService messages;
    cuemora::SystemClock clock;
    cuemora::Room room(cuemora::DataDirectory(QCoreApplication::applicationDirPath()), clock, messages);
    if (!room.open())
        return 1;

    cuemora::MainWindow window(room);
    window.show();
    return QApplication::exec();
}
