#pragma once

// The program as a window test starts it: scripted message boxes, a clock set to 20 May 2013, an
// empty data directory of its own, and a notification area that the test says is there or not.

#include "app/app_services.h"
#include "app/main_window.h"
#include "app/startup.h"
#include "tables/table_register.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include <memory>

struct Shell {
    QTemporaryDir dir;
    cuemora::ScriptedMessages messages;
    cuemora::ManualClock clock;
    bool trayAvailable = true;
    cuemora::AppServices services{messages, clock, cuemora::DataDirectory(dir.path()),
                                  [this] { return trayAvailable; }};
    std::unique_ptr<cuemora::MainWindow> window;

    cuemora::MainWindow& start() {
        window = std::make_unique<cuemora::MainWindow>(services);
        window->show();
        return *window;
    }

    // The files of the data directory, hidden ones included.
    QStringList files() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System); }
};

// Saves a register with the given tables into the directory, as "添加" leaves it: billiard tables
// at odd numbers, mahjong tables at even ones, the tables in `inUse` opened at `start`.
inline void saveRegister(const QString& directory, int count, const QList<int>& inUse,
                         const QString& start = QStringLiteral("2013年5月20日9时30分")) {
    using namespace cuemora;
    TableRegister tables;
    tables.InitRegisterLook();
    tables.RenumberTables();
    tables.WriteRegisterHeader();
    GridStore& grid = tables.grid();
    for (int n = 1; n <= count; ++n) {
        grid.insertRow();
        grid.setCell(n, RegisterColumn::Type, n % 2 ? billiardType() : mahjongType());
        grid.setCell(n, RegisterColumn::Name, QString::number(n) + QStringLiteral("号大厅"));
        grid.setCell(n, RegisterColumn::Price, QStringLiteral("20"));
        grid.setCell(n, RegisterColumn::Rate, QStringLiteral("10"));
        if (inUse.contains(n)) {
            grid.setCell(n, RegisterColumn::Start, start);
            grid.setCell(n, RegisterColumn::Seconds, QString::number(60 * n));
            grid.setChecked(n, RegisterColumn::InUse, true);
        }
    }
    tables.RenumberTables();
    tables.RefreshPictures();
    QVERIFY(tables.SaveRegister(DataDirectory(directory)));
}

// No test may leave a window on screen for the next one.
inline QStringList visibleWindows() {
    QStringList names;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible())
            names.append(widget->objectName().isEmpty() ? QString::fromLatin1(widget->metaObject()->className())
                                                        : widget->objectName());
    }
    return names;
}

// A QtTest main for window tests: the offscreen platform, set before the application exists.
#define CUEMORA_WINDOW_TEST_MAIN(TestClass)                                                                            \
    int main(int argc, char** argv) {                                                                                  \
        qputenv("QT_QPA_PLATFORM", "offscreen");                                                                       \
        QApplication app(argc, argv);                                                                                  \
        QApplication::setQuitOnLastWindowClosed(false);                                                                \
        cuemora::loadQtChineseTranslations(app);                                                                       \
        TestClass test;                                                                                                \
        return QTest::qExec(&test, argc, argv);                                                                        \
    }
