#include "app/checkout_window.h"
#include "app/main_window.h"
#include "app/sales_window.h"
#include "app/window_places.h"
#include "shell_fixture.h"

#include <QFile>
#include <QScreen>

using namespace cuemora;

namespace {

qint64 overlap(const QRect& a, const QRect& b) {
    const QRect both = a.intersected(b);
    return both.isEmpty() ? 0 : qint64(both.width()) * both.height();
}

// The least of `keepClear` that a window of `size` anywhere on the screen must cover, tried place
// by place.
qint64 leastCover(const QRect& keepClear, const QSize& size, const QRect& screen) {
    qint64 least = -1;
    for (int x = screen.left(); x <= std::max(screen.left(), screen.right() + 1 - size.width()); ++x) {
        for (int y = screen.top(); y <= std::max(screen.top(), screen.bottom() + 1 - size.height()); ++y) {
            const qint64 cover = overlap(QRect(QPoint(x, y), size), keepClear);
            if (least < 0 || cover < least)
                least = cover;
        }
    }
    return least;
}

// The register of a main window standing at `at` on the screen, as the window lays it out.
QRect registerAt(QPoint at) {
    return QRect(at + QPoint(8, 240), QSize(792, 248));
}

} // namespace

class TestWindowPlaces : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { QCOMPARE(visibleWindows(), QStringList()); }

    // Beside the main window where the screen has room: right of it first, else left, else above
    // or below; with no room, the place that covers the least of the register.
    void placeBeside_data() {
        QTest::addColumn<QRect>("screen");
        QTest::addColumn<QPoint>("mainAt");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QPoint>("expected"); // (-1, -1): any place that covers the least
        QTest::newRow("room on the right")
            << QRect(0, 0, 1920, 1080) << QPoint(50, 50) << QSize(393, 611) << QPoint(860, 50);
        QTest::newRow("room on the left only")
            << QRect(0, 0, 1920, 1080) << QPoint(1000, 50) << QSize(393, 611) << QPoint(607, 50);
        QTest::newRow("room below only") << QRect(0, 0, 1024, 1400) << QPoint(50, 50) << QSize(393, 611)
                                         << QPoint(631, 584);
        QTest::newRow("a second screen to the right")
            << QRect(1920, 0, 1280, 800) << QPoint(1970, 50) << QSize(393, 611) << QPoint(2780, 50);
        QTest::newRow("no room: the sales window")
            << QRect(0, 0, 1280, 800) << QPoint(50, 50) << QSize(613, 453) << QPoint(-1, -1);
        QTest::newRow("no room: the checkout window")
            << QRect(0, 0, 1024, 768) << QPoint(50, 50) << QSize(393, 611) << QPoint(-1, -1);
        QTest::newRow("larger than the screen")
            << QRect(0, 0, 800, 600) << QPoint(0, 0) << QSize(900, 700) << QPoint(0, 0);
    }

    void placeBeside() {
        QFETCH(QRect, screen);
        QFETCH(QPoint, mainAt);
        QFETCH(QSize, size);
        QFETCH(QPoint, expected);
        const QRect main(mainAt, QSize(810, 534));
        const QRect keepClear = registerAt(mainAt);
        const QPoint at = cuemora::placeBeside(main, keepClear, size, screen);
        if (expected != QPoint(-1, -1)) {
            QCOMPARE(at, expected);
            return;
        }
        const QRect placed(at, size);
        QVERIFY2(screen.contains(placed), "the window stays on the screen");
        QCOMPARE(overlap(placed, keepClear), leastCover(keepClear, size, screen));
    }

    // A window opened for the first time covers as little of the register as the screen allows.
    void firstShowKeepsTheRegisterClear() {
        Shell shell;
        MainWindow& window = shell.start();
        GridView* view = MainWindowControls(&window).TableRegister;
        const QRect keepClear(view->mapToGlobal(QPoint(0, 0)), view->size());
        const QRect screen = window.screen()->availableGeometry();
        for (QWidget* secondary : std::initializer_list<QWidget*>{window.checkoutWindow(), window.salesWindow()}) {
            secondary->show();
            const QRect placed = secondary->frameGeometry();
            QVERIFY(screen.contains(placed));
            QCOMPARE(overlap(placed, keepClear), leastCover(keepClear, placed.size(), screen));
            secondary->hide();
        }
        shell.window.reset();
    }

    // Each window comes back at the place and size it had when it was last hidden, after a restart
    // too; the main window as well.
    void placesAreKeptBetweenStarts() {
        Shell shell;
        MainWindow& window = shell.start();
        SalesWindow* sales = window.salesWindow();
        sales->show();
        sales->setGeometry(QRect(120, 90, 640, 480));
        sales->hide();
        window.move(30, 20);
        window.hide();
        sales->show();
        QCOMPARE(sales->geometry(), QRect(120, 90, 640, 480));
        sales->hide();

        MainWindow& again = shell.start(); // the program ends and starts again
        QCOMPARE(again.pos(), QPoint(30, 20));
        again.salesWindow()->show();
        QCOMPARE(again.salesWindow()->geometry(), QRect(120, 90, 640, 480));
        again.salesWindow()->hide();
        QVERIFY(!QFile::exists(shell.dir.filePath(QStringLiteral("windows.ini")))); // not among the room's files
        shell.window.reset();
    }
};

// The offscreen platform with a screen of a desk's size (1280 x 800), where the main window fits
// whole, as it does on the counters the program runs on.
int main(int argc, char** argv) {
    QTemporaryDir configDir;
    const QString config = configDir.filePath(QStringLiteral("screen.json"));
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(R"({"screens": [{"name": "desk", "x": 0, "y": 0, "width": 1280, "height": 800,
                       "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})") < 0)
        return 1;
    file.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(config));
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    QStandardPaths::setTestModeEnabled(true);
    TestWindowPlaces test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_window_places.moc"
