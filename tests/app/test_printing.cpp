// Receipts after a checkout and a cash sale, the day's close, the span of days and the export, as
// the windows print and write them: the preview prints to a PDF file, and pdftotext reads it back.
#include "app/checkout_window.h"
#include "app/printing.h"
#include "app/sales_window.h"
#include "app/statistics_window.h"
#include "common/safe_save.h"
#include "goods/goods_stock.h"
#include "shell_fixture.h"
#include "takings/takings_book.h"

#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QFile>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStackedBarSeries>

using namespace cuemora;
namespace col = RegisterColumn;

namespace {

const QString kToday = QStringLiteral("2013年5月20日收入统计");

// What a reader of the PDF finds in it: its lines, every run of blanks made one blank.
QStringList pdfText(const QString& pdf) {
    QProcess reader;
    reader.start(QStringLiteral(CUEMORA_PDFTOTEXT), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    if (!reader.waitForFinished(30000) || reader.exitCode() != 0)
        return {QStringLiteral("pdftotext failed: ") + QString::fromUtf8(reader.readAllStandardError())};
    QStringList lines;
    for (const QString& line : QString::fromUtf8(reader.readAllStandardOutput()).split(QLatin1Char('\n'))) {
        const QString simple = line.simplified();
        if (!simple.isEmpty())
            lines.append(simple);
    }
    return lines;
}

// The first page's width and height in points, as pdfinfo tells them.
QSizeF pdfPageSize(const QString& pdf) {
    QProcess info;
    info.start(QStringLiteral(CUEMORA_PDFINFO), {pdf});
    info.waitForFinished(30000);
    static const QRegularExpression size(QStringLiteral("Page size:\\s+([0-9.]+) x ([0-9.]+) pts"));
    const QRegularExpressionMatch match = size.match(QString::fromUtf8(info.readAllStandardOutput()));
    return match.hasMatch() ? QSizeF(match.captured(1).toDouble(), match.captured(2).toDouble()) : QSizeF();
}

constexpr double kPointsPerMm = 72.0 / 25.4;

// A preview that the operator prints from at once, to a PDF file; `choose` first does what the
// operator does in the preview's tool bar.
Printing::PreviewRunner printTo(const QString& pdf, std::function<void(QPrintPreviewDialog&)> choose = {}) {
    return [pdf, choose](QPrintPreviewDialog& dialog, QPrinter& printer) {
        if (choose)
            choose(dialog);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        dialog.findChild<QPrintPreviewWidget*>()->print();
        return int(QDialog::Accepted);
    };
}

// Puts table n in use, as opening it and charging goods to it would leave it.
void putInUse(Shell& shell, int n, const QStringList& cells) {
    GridStore& grid = shell.tables().grid();
    grid.setCell(n, col::Start, QStringLiteral("2013年5月20日14时30分5秒"));
    grid.setCell(n, col::Seconds, cells[0]);
    grid.setCell(n, col::Price, cells[1]);
    grid.setCell(n, col::Rate, cells[2]);
    grid.setCell(n, col::GoodsNames, cells[3].isEmpty() ? QString() : QStringLiteral("、可乐、花生"));
    grid.setCell(n, col::GoodsTotal, cells[3]);
    grid.setChecked(n, col::InUse, true);
}

QList<QStringList> rowsOfFile(const Shell& shell, const QString& name) {
    GridStore grid;
    QList<QStringList> rows;
    if (!grid.loadFromFile(shell.dir.filePath(name)))
        return rows;
    for (int r = 1; r < grid.rowCount(); ++r)
        rows.append({grid.cellText(r, 0), grid.cellText(r, 1), grid.cellText(r, 2)});
    return rows;
}

void writeDay(const Shell& shell, QDate day, const QList<TakingsRow>& rows) {
    ManualClock clock(QDateTime(day, QTime(20, 0)));
    ScriptedMessages quiet;
    TakingsBook book(shell.data, clock);
    QVERIFY(book.AddTakingsRows(rows, quiet));
}

QByteArray bytesOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QList<QStringList> modelRows(const QAbstractItemModel* model) {
    QList<QStringList> rows;
    for (int r = 0; r < model->rowCount(); ++r) {
        QStringList texts;
        for (int c = 0; c < model->columnCount(); ++c)
            texts.append(model->index(r, c).data().toString());
        rows.append(texts);
    }
    return rows;
}

// A logged-in shell with the statistics window open on the day in the query box.
StatisticsWindow* openStatistics(Shell& shell) {
    MainWindow& window = shell.start();
    shell.logIn();
    MainWindowControls(&window).findButton->click();
    return window.statisticsWindow();
}

} // namespace

class TestPrinting : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup() {
        QCOMPARE(visibleWindows(), QStringList());
    }

    // "打印小票" asks as "结账" does; on Yes the checkout is recorded, the table freed, and the
    // receipt printed holds the figures exactly as the checkout window showed them.
    void checkoutReceiptHoldsTheFiguresShown_data() {
        QTest::addColumn<QStringList>("cells");   // 使用时长, 单价/h, 折率, 记录总价
        QTest::addColumn<QStringList>("printed"); // lines of the receipt, blanks made one
        QTest::newRow("goods and a discount")
            << QStringList{"5400", "20", "8", "12.5"}
            << QStringList{"时长： 1.5时",     "单价： 20元",   "折率： 8折",    "应付： 30元", "实付： 24元",
                           "商品：可乐、花生", "小计： 12.5元", "共付： 36.5元", "付款： 50元", "找零： 13.5元"};
        QTest::newRow("1000 seconds at full price")
            << QStringList{"1000", "15", "10", ""}
            << QStringList{"时长： 0.2777777777778时", "应付： 4.166666666667元", "实付： 4.166666666667元",
                           "共付： 4.166666666667元", "找零： 45.83333333333元"};
        QTest::newRow("1000 seconds at 8 tenths")
            << QStringList{"1000", "15", "8", ""}
            << QStringList{"时长： 0.2777777777778时", "应付： 4.166666666667元", "实付： 3.333333333334元",
                           "共付： 3.333333333334元", "找零： 46.66666666667元"};
    }

    void checkoutReceiptHoldsTheFiguresShown() {
        QFETCH(QStringList, cells);
        QFETCH(QStringList, printed);
        Shell shell;
        saveRegister(shell.dir.path(), 4, {});
        MainWindow& window = shell.start();
        putInUse(shell, 3, cells);
        const QString pdf = shell.settingsDir.filePath(QStringLiteral("receipt.pdf"));
        window.printing().setPreviewRunner(printTo(pdf));

        MainWindowControls(&window).checkoutNumberEdit->setText(QStringLiteral("3"));
        MainWindowControls(&window).输号结账按钮->click();
        CheckoutWindowControls ui(window.checkoutWindow());
        QTest::keyClicks(ui.paymentEdit, QStringLiteral("50"));
        const QString total = ui.totalEdit->text();
        shell.messages.setNextAnswers({MessageButton::Yes});
        ui.printReceiptButton->click();

        QCOMPARE(shell.messages.shownTexts(),
                 QStringList{QStringLiteral("   是否结账？\r\n按 “ 是 ” 钮,关闭程序？。")});
        QVERIFY(window.checkoutWindow()->isHidden());
        QCOMPARE(rowsOfFile(shell, kToday), (QList<QStringList>{{"3号台收费", ui.hoursEdit->text(), total}}));
        QVERIFY(!shell.tables().isInUse(3));
        const QStringList text = pdfText(pdf);
        QCOMPARE(text.value(0), QStringLiteral("Cuemora"));
        QVERIFY2(text.contains(QStringLiteral("台号： 3号台")), qPrintable(text.join(QLatin1Char('\n'))));
        QVERIFY(text.contains(QStringLiteral("开时： 2013年5月20日14时30分5秒")));
        // Too long for one line of the roll: the time stands right-aligned under its caption.
        const int checkedOut = static_cast<int>(text.indexOf(QStringLiteral("结账时间：")));
        QVERIFY(checkedOut > 0);
        QCOMPARE(text.value(checkedOut + 1), QStringLiteral("2013年5月20日14时30分5秒"));
        for (const QString& line : printed)
            QVERIFY2(text.contains(line),
                     qPrintable(line + QStringLiteral(" not in:\n") + text.join(QLatin1Char('\n'))));
        // A 58 mm roll, cut where the receipt ends.
        const QSizeF page = pdfPageSize(pdf);
        QVERIFY2(qAbs(page.width() - 58 * kPointsPerMm) < 1.0, qPrintable(QString::number(page.width())));
        QVERIFY(page.height() < page.width() * 4);
    }

    // The answer No: nothing is recorded, nothing previewed, the window hides, the table stays.
    void noReceiptForACheckoutNotMade() {
        Shell shell;
        saveRegister(shell.dir.path(), 4, {});
        MainWindow& window = shell.start();
        putInUse(shell, 2, {"5400", "20", "8", ""});
        int previews = 0;
        window.printing().setPreviewRunner([&previews](QPrintPreviewDialog&, QPrinter&) {
            ++previews;
            return int(QDialog::Rejected);
        });
        MainWindowControls(&window).checkoutNumberEdit->setText(QStringLiteral("2"));
        MainWindowControls(&window).输号结账按钮->click();
        shell.messages.setNextAnswers({MessageButton::No});
        CheckoutWindowControls(window.checkoutWindow()).printReceiptButton->click();
        QCOMPARE(previews, 0);
        QVERIFY(window.checkoutWindow()->isHidden());
        QVERIFY(!QFile::exists(shell.dir.filePath(kToday)));
        QVERIFY(shell.tables().isInUse(2));
    }

    // Ctrl+P in the checkout window is "打印小票"; in the sales window, that of the cash payment.
    void ctrlPPrints() {
        Shell shell;
        saveRegister(shell.dir.path(), 4, {});
        MainWindow& window = shell.start();
        putInUse(shell, 1, {"3600", "20", "10", ""});
        int previews = 0;
        window.printing().setPreviewRunner([&previews](QPrintPreviewDialog&, QPrinter&) {
            ++previews;
            return int(QDialog::Rejected);
        });
        MainWindowControls(&window).checkoutNumberEdit->setText(QStringLiteral("1"));
        MainWindowControls(&window).输号结账按钮->click();
        CheckoutWindow* checkout = window.checkoutWindow();
        QVERIFY(QTest::qWaitForWindowActive(checkout));
        shell.messages.setNextAnswers({MessageButton::Yes});
        QTest::keySequence(checkout, QKeySequence::Print);
        QTRY_COMPARE(previews, 1); // a button's shortcut clicks it as a short animation

        QCOMPARE(rowsOfFile(shell, kToday).size(), 1);

        MainWindowControls(&window).sellButton->click();
        QVERIFY(QTest::qWaitForWindowActive(window.salesWindow()));
        QTest::keySequence(window.salesWindow(), QKeySequence::Print);
        QTRY_COMPARE(previews, 2);
        QVERIFY(window.salesWindow()->isHidden());
    }

    // The cash sale's receipt lists the goods as the sale list showed them, newest first, with the
    // total, the payment and the change; the sale is recorded and the page emptied as after "结账".
    void cashSaleReceipt() {
        Shell shell;
        {
            ScriptedMessages quiet;
            GoodsStock stock(shell.data);
            stock.ReloadGoods(quiet);
            QVERIFY(stock.AddGoods(QStringLiteral("啤酒"), QStringLiteral("20"), QStringLiteral("5"),
                                   QStringLiteral("B2"), quiet));
            QVERIFY(stock.AddGoods(QStringLiteral("可乐"), QStringLiteral("10"), QStringLiteral("2.5"),
                                   QStringLiteral("A1"), quiet));
            QVERIFY(stock.SaveGoods(quiet));
        }
        MainWindow& window = shell.start();
        const QString pdf = shell.settingsDir.filePath(QStringLiteral("sale.pdf"));
        window.printing().setPreviewRunner(printTo(pdf));
        MainWindowControls(&window).sellButton->click();
        SalesWindowControls ui(window.salesWindow());
        for (int k : {0, 1})
            Q_EMIT ui.GoodsListBox->itemDoubleClicked(ui.GoodsListBox->item(k)); // 可乐, then 啤酒
        ui.paidEdit->setText(QStringLiteral("10"));
        QCOMPARE(ui.cashChangeEdit->text(), QStringLiteral("2.5"));
        ui.printSaleReceiptButton->click();

        QVERIFY(window.salesWindow()->isHidden());
        QCOMPARE(shell.room->saleList().grid().rowCount(), 1);
        QCOMPARE(rowsOfFile(shell, kToday), (QList<QStringList>{{"可乐", "1", "2.5"}, {"啤酒", "1", "5"}}));
        const QStringList text = pdfText(pdf);
        const int beer = static_cast<int>(text.indexOf(QStringLiteral("啤酒 5 1 5")));
        QVERIFY2(beer > 0 && text.value(beer + 1) == QStringLiteral("可乐 2.5 1 2.5"),
                 qPrintable(text.join(QLatin1Char('\n'))));
        for (const QString& line :
             {QStringLiteral("销售小票"), QStringLiteral("时间： 2013年5月20日14时30分5秒"),
              QStringLiteral("合计： 7.5元"), QStringLiteral("付款： 10元"), QStringLiteral("找零： 2.5元")})
            QVERIFY2(text.contains(line), qPrintable(line));
    }

    // The paper and the room's name chosen in the preview show at once, print, and are what the
    // next preview (and the next start of the program) offers; the day's close keeps its own paper.
    void paperAndRoomNameAreRemembered() {
        Shell shell;
        saveRegister(shell.dir.path(), 4, {});
        MainWindow& window = shell.start();
        putInUse(shell, 4, {"1800", "30", "10", ""});
        const QString pdf = shell.settingsDir.filePath(QStringLiteral("receipt.pdf"));
        int pagesShown = 0;
        window.printing().setPreviewRunner(printTo(pdf, [&pagesShown](QPrintPreviewDialog& dialog) {
            auto* paper = dialog.findChild<QComboBox*>(QStringLiteral("paperCombo"));
            auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("roomNameEdit"));
            QCOMPARE(paper->currentText(), QStringLiteral("58毫米小票纸"));
            QCOMPARE(name->text(), QStringLiteral("Cuemora"));
            paper->setCurrentIndex(paper->findText(QStringLiteral("80毫米小票纸")));
            name->setText(QStringLiteral("  台球之家 "));
            Q_EMIT name->editingFinished();
            dialog.show();
            QCoreApplication::processEvents();
            pagesShown = dialog.findChild<QPrintPreviewWidget*>()->pageCount();
            dialog.hide();
        }));
        MainWindowControls(&window).checkoutNumberEdit->setText(QStringLiteral("4"));
        MainWindowControls(&window).输号结账按钮->click();
        shell.messages.setNextAnswers({MessageButton::Yes});
        CheckoutWindowControls(window.checkoutWindow()).printReceiptButton->click();

        QCOMPARE(pagesShown, 1);
        QCOMPARE(pdfText(pdf).value(0), QStringLiteral("台球之家"));
        QVERIFY(qAbs(pdfPageSize(pdf).width() - 80 * kPointsPerMm) < 1.0);
        Printing again(shell.messages);
        again.useSettingsFile(shell.settingsDir.filePath(QStringLiteral("cuemora.ini")));
        QCOMPARE(again.roomName(), QStringLiteral("台球之家"));
        QCOMPARE(again.paper(PrintKind::Receipt), PaperWidth::Roll80mm);
        QCOMPARE(again.paper(PrintKind::DayClose), PaperWidth::A4);
    }

    // "日结" for the queried day: time and goods apart, the whole, the hours and the best sellers,
    // previewed on A4 and saved as PDF on request.
    void dayCloseSavedAsPdf() {
        Shell shell;
        writeDay(shell, QDate(2013, 5, 20),
                 {{"3号台收费", "1.5", "36.5"},
                  {"可乐", "2", "5"},
                  {"1号台收费", "0.2777777777778", "4.166666666667"},
                  {"啤酒", "1", "5"},
                  {"可乐", "1", "2.5"}});
        StatisticsWindow* statistics = openStatistics(shell);
        const QString pdf = shell.settingsDir.filePath(QStringLiteral("close.pdf"));
        QString suggested, title;
        shell.window->printing().setSaveDialog([&](QWidget*, const QString&, const QString& name, const QString&) {
            suggested = name;
            return pdf;
        });
        shell.window->printing().setPreviewRunner([&title](QPrintPreviewDialog& dialog, QPrinter&) {
            title = dialog.windowTitle();
            dialog.findChild<QPushButton*>(QStringLiteral("savePdfButton"))->click();
            return int(QDialog::Rejected);
        });
        StatisticsWindowControls(statistics).dayCloseButton->click();

        QCOMPARE(title, QStringLiteral("日结 2013年5月20日"));
        QCOMPARE(suggested, QStringLiteral("2013年5月20日日结.pdf"));
        QVERIFY(shell.messages.shown().isEmpty());
        const QStringList text = pdfText(pdf);
        for (const QString& line :
             {QStringLiteral("日结 2013年5月20日"), QStringLiteral("结账次数： 2"),
              QStringLiteral("售出时长： 1.777777777778时"), QStringLiteral("台费收入： 40.66666666667元"),
              QStringLiteral("商品收入： 12.5元"), QStringLiteral("总收入： 53.16666666667元"),
              QStringLiteral("可乐 3 7.5"), QStringLiteral("啤酒 1 5")})
            QVERIFY2(text.contains(line),
                     qPrintable(line + QStringLiteral(" not in:\n") + text.join(QLatin1Char('\n'))));
        const QSizeF page = pdfPageSize(pdf);
        QVERIFY(qAbs(page.width() - 210 * kPointsPerMm) < 1.0 && qAbs(page.height() - 297 * kPointsPerMm) < 1.0);
        statistics->hide();
    }

    // A PDF that cannot be written is told with the file and the reason, and leaves no file.
    void dayClosePdfThatCannotBeWritten() {
        Shell shell;
        StatisticsWindow* statistics = openStatistics(shell);
        const QString pdf = shell.settingsDir.filePath(QStringLiteral("missing/close.pdf"));
        shell.window->printing().setSaveDialog(
            [&](QWidget*, const QString&, const QString&, const QString&) { return pdf; });
        shell.window->printing().setPreviewRunner([](QPrintPreviewDialog& dialog, QPrinter&) {
            dialog.findChild<QPushButton*>(QStringLiteral("savePdfButton"))->click();
            return int(QDialog::Rejected);
        });
        StatisticsWindowControls(statistics).dayCloseButton->click();
        QCOMPARE(shell.messages.shown().size(), 1);
        QVERIFY2(shell.messages.lastText().startsWith(QStringLiteral("无法存为PDF文件“") + pdf + QStringLiteral("”：")),
                 qPrintable(shell.messages.lastText()));
        QCOMPARE(shell.messages.shown().first().icon, MessageIcon::Warning);
        QVERIFY(!QFile::exists(pdf));
        statistics->hide();
    }

    // A span with a day without a file (0) and a day whose file cannot be read (0, and named in the
    // window): the table by day with its total row, and the chart of the same days, stacked.
    void spanWithAMissingAndAnUnreadableDay() {
        Shell shell;
        writeDay(shell, QDate(2013, 5, 18), {{"3号台收费", "1.5", "36.5"}, {"可乐", "1", "3"}});
        QVERIFY(saveWholeFile(shell.data.filePath(QStringLiteral("2013年5月20日收入统计")), QByteArrayLiteral("EGRD")));
        StatisticsWindow* statistics = openStatistics(shell);
        StatisticsWindowControls ui(statistics);
        ui.statisticsTabs->setCurrentIndex(1); // "从 … 到 …"
        QVERIFY(ui.spanFromEdit->calendarPopup() && ui.spanToEdit->calendarPopup());
        QCOMPARE(ui.spanToEdit->date(), QDate(2013, 5, 20));
        ui.spanFromEdit->setDate(QDate(2013, 5, 18));
        ui.spanButton->click();

        QVERIFY(shell.messages.shown().isEmpty());
        const QList<QStringList> rows = modelRows(ui.spanTable->model());
        QCOMPARE(rows.size(), 4);
        QCOMPARE(rows[0], (QStringList{"2013年5月18日", "36.5", "3", "39.5", ""}));
        QCOMPARE(rows[1], (QStringList{"2013年5月19日", "0", "0", "0", ""}));
        QCOMPARE(rows[2].mid(0, 4), (QStringList{"2013年5月20日", "0", "0", "0"}));
        QVERIFY(rows[2][4].startsWith(QStringLiteral("无法读取：")));
        QCOMPARE(rows[3], (QStringList{"合计", "36.5", "3", "39.5", ""}));
        QVERIFY(ui.spanNotice->isVisible());
        QVERIFY(ui.spanNotice->text().contains(QStringLiteral("“2013年5月20日收入统计”")));

        auto* view = statistics->findChild<QChartView*>(QStringLiteral("spanChart"));
        QVERIFY(view && view->chart());
        auto* series = qobject_cast<QStackedBarSeries*>(view->chart()->series().value(0));
        QVERIFY(series);
        QCOMPARE(series->barSets().size(), 2);
        const QBarSet* time = series->barSets()[0];
        const QBarSet* goods = series->barSets()[1];
        QCOMPARE(time->label(), QStringLiteral("台费收入"));
        QCOMPARE(time->count(), 3);
        QCOMPARE((QList<double>{time->at(0), time->at(1), time->at(2)}), (QList<double>{36.5, 0, 0}));
        QCOMPARE((QList<double>{goods->at(0), goods->at(1), goods->at(2)}), (QList<double>{3, 0, 0}));

        // A span the wrong way round is refused with its reason; the span shown stays.
        ui.spanFromEdit->setDate(QDate(2013, 5, 21));
        ui.spanButton->click();
        QCOMPARE(shell.messages.shown().size(), 1);
        QCOMPARE(shell.messages.shown().first().icon, MessageIcon::Warning);
        QVERIFY(!shell.messages.lastText().isEmpty());
        QCOMPARE(modelRows(ui.spanTable->model()), rows);
        statistics->hide();
    }

    // "导出" writes what the page in front shows, as a spreadsheet opens it: UTF-8 with its byte
    // order mark, the texts exactly as shown (a comma in a name quoted).
    void exportWritesWhatIsShown() {
        Shell shell;
        writeDay(shell, QDate(2013, 5, 19), {{"5号台收费", "2", "40"}});
        writeDay(shell, QDate(2013, 5, 20), {{"3号台收费", "1.5", "36.5"}, {"可乐,大瓶", "1", "5"}});
        StatisticsWindow* statistics = openStatistics(shell);
        StatisticsWindowControls ui(statistics);
        QString path, suggested;
        shell.window->printing().setSaveDialog([&](QWidget*, const QString&, const QString& name, const QString&) {
            suggested = name;
            return path;
        });
        ui.statisticsButton->click();
        path = shell.settingsDir.filePath(QStringLiteral("day"));
        ui.exportButton->click();
        QCOMPARE(suggested, QStringLiteral("2013年5月20日收入统计.csv"));
        QCOMPARE(
            bytesOf(path + QStringLiteral(".csv")),
            QStringLiteral("\uFEFF名称,明细表,收费\r\n\"可乐,大瓶\",1,5\r\n3号台收费,1.5,36.5\r\n总收入,2,41.5\r\n")
                .toUtf8());

        ui.statisticsTabs->setCurrentIndex(1); // "从 … 到 …"
        path = shell.settingsDir.filePath(QStringLiteral("span.csv"));
        ui.exportButton->click(); // nothing summed yet: nothing to export
        QCOMPARE(shell.messages.shown().size(), 1);
        QVERIFY(!QFile::exists(path));
        ui.spanFromEdit->setDate(QDate(2013, 5, 19));
        ui.spanButton->click();
        ui.exportButton->click();
        QCOMPARE(suggested, QStringLiteral("收入统计 2013-05-19 至 2013-05-20.csv"));
        QCOMPARE(bytesOf(path), QStringLiteral("\uFEFF日期,台费收入,商品收入,总收入,说明\r\n"
                                               "2013年5月19日,40,0,40,\r\n"
                                               "2013年5月20日,36.5,5,41.5,\r\n"
                                               "合计,76.5,5,81.5,\r\n")
                                    .toUtf8());

        // A file that cannot be written is told, with the file's name.
        path = shell.settingsDir.filePath(QStringLiteral("missing/span.csv"));
        ui.exportButton->click();
        QCOMPARE(shell.messages.shown().size(), 2);
        QVERIFY(shell.messages.lastText().contains(path));
        QVERIFY(!QFile::exists(path));
        statistics->hide();
    }
};

CUEMORA_WINDOW_TEST_MAIN(TestPrinting)
#include "test_printing.moc"
