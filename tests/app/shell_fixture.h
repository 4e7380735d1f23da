#pragma once

// The program as a window test starts it: the real Room over scripted message boxes, a clock set
// to 20 May 2013 and an empty data directory of its own, the real main window over it, and a
// notification area that the test says is there or not.

#include "app/main_window.h"
#include "app/printing.h"
#include "app/startup.h"
#include "app/window_places.h"
#include "room/room.h"
#include "support/failing_writer.h"
#include "support/manual_clock.h"
#include "support/register_file.h"
#include "support/scripted_messages.h"
#include "support/window_controls.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QStandardPaths>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include <memory>

struct Shell {
    QTemporaryDir dir;
    // The windows' places and the printing's settings are kept apart from the data directory, in
    // files of this shell's own: a restart of the same shell finds them, the next test starts afresh.
    QTemporaryDir settingsDir;
    // The disk under the room: the real one, until a test makes it fail.
    cuemora::FailingWriter writer;
    cuemora::DataDirectory data{dir.path(), writer};
    cuemora::ScriptedMessages messages;
    cuemora::ManualClock clock;
    // The clock the room reads: the manual one, unless a test wants real time to pass.
    cuemora::SystemClock systemClock;
    const cuemora::Clock* roomClock = &clock;
    bool trayAvailable = true;
    std::unique_ptr<cuemora::Room> room;
    std::unique_ptr<cuemora::MainWindow> window;

    ~Shell() { stop(); }

    // Starts the program on the data directory, as main() does: the room opens (and must), then the
    // main window is shown. A second start is a restart: the first program ends before.
    cuemora::MainWindow& start() {
        build();
        window->show();
        return *window;
    }

    // The same, with the main window not yet shown.
    cuemora::MainWindow& build() {
        stop();
        cuemora::setWindowSettingsFile(settingsDir.filePath(QStringLiteral("windows.ini")));
        room = std::make_unique<cuemora::Room>(data, *roomClock, messages);
        if (!room->open())
            qFatal("the room did not open: %s", qPrintable(messages.lastText()));
        window = std::make_unique<cuemora::MainWindow>(*room, [this] { return trayAvailable; });
        // A preview or a save dialog would wait for a hand that never comes: unless a test prints
        // itself, every preview is closed unprinted and every save cancelled.
        window->printing().useSettingsFile(settingsDir.filePath(QStringLiteral("cuemora.ini")));
        window->printing().setPreviewRunner([](QPrintPreviewDialog&, QPrinter&) { return int(QDialog::Rejected); });
        window->printing().setSaveDialog(
            [](QWidget*, const QString&, const QString&, const QString&) { return QString(); });
        return *window;
    }

    // A start over a register that holds tables in use, as after a power cut: the one message that
    // names them is taken as read.
    cuemora::MainWindow& resume() {
        start();
        if (messages.shown().size() != 1 || !messages.lastText().startsWith(QStringLiteral("上次程序没有正常结束")))
            qFatal("no tables came back in use: %s", qPrintable(messages.shownTexts().join(QLatin1Char('\n'))));
        messages.clear();
        return *window;
    }

    void stop() {
        window.reset();
        room.reset();
    }

    // What a login at the account window does: the setup page opens.
    void logIn() { QVERIFY(room->Login(QStringLiteral("tulip"), QStringLiteral("947"))); }

    // Lets `seconds` pass and gives the room the clock's tick.
    void tick(qint64 seconds = 1) {
        clock.advance(seconds);
        room->ClockTick();
    }

    cuemora::TableRegister& tables() { return room->tables(); }

    // The files of the data directory, hidden ones included.
    QStringList files() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System); }
};

// Saves a register with the given tables into the directory, as the program leaves it: billiard
// tables at odd numbers, mahjong tables at even ones, the tables in `inUse` opened at `start` (by
// default the moment the shell's clock shows, so that their saved seconds stand at a restart).
inline void saveRegister(const QString& directory, int count, const QList<int>& inUse,
                         const QString& start = QStringLiteral("2013年5月20日14时30分5秒")) {
    cuemora::testing::RegisterFile file;
    file.tables = count;
    file.inUse = inUse;
    file.start = start;
    QVERIFY(cuemora::testing::writeRegisterFile(cuemora::DataDirectory(directory), file));
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

// A QtTest main for window tests: the offscreen platform, set before the application exists, and
// the user's settings in a directory of the test's own.
#define CUEMORA_WINDOW_TEST_MAIN(TestClass)                                                                            \
    int main(int argc, char** argv) {                                                                                  \
        qputenv("QT_QPA_PLATFORM", "offscreen");                                                                       \
        QTemporaryDir settingsDir;                                                                                     \
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir.path());                            \
        QApplication app(argc, argv);                                                                                  \
        QApplication::setQuitOnLastWindowClosed(false);                                                                \
        QStandardPaths::setTestModeEnabled(true); /* no window test touches the user's settings */                     \
        cuemora::loadQtChineseTranslations(app);                                                                       \
        TestClass test;                                                                                                \
        return QTest::qExec(&test, argc, argv);                                                                        \
    }
