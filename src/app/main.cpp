#include "app/main_window.h"
#include "app/message_box_service.h"
#include "app/startup.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // The program lives on in the notification area with every window hidden; only "退出" ends it.
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/cuemora.ico")));
    cuemora::loadQtChineseTranslations(app);

    cuemora::MessageBoxService messages;
    cuemora::SystemClock clock;
    const cuemora::AppServices services{messages, clock,
                                        cuemora::DataDirectory(QCoreApplication::applicationDirPath())};
    cuemora::InstanceLock lock(services.data);
    if (!cuemora::claimDataDirectory(services, lock))
        return 1;

    cuemora::MainWindow window(services);
    window.show();
    return QApplication::exec();
}
