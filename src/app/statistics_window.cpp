#include "app/statistics_window.h"

#include "app/printing.h"
#include "app/window_keys.h"
#include "common/text_rules.h"
#include "takings/day_close.h"
#include "takings/takings_csv.h"
#include "ui_statistics_window.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QFileInfo>
#include <QFont>
#include <QHeaderView>
#include <QScrollBar>
#include <QStackedBarSeries>
#include <QStandardItemModel>
#include <QTabBar>
#include <QValueAxis>

#include <algorithm>

namespace cuemora {

namespace {

// The day's takings as they are read: the amounts right-aligned, so that their digits stand under
// each other, and the row "总收入" that "统计" puts at the end in bold.
class TakingsPresentation : public GridPresentation {
public:
    explicit TakingsPresentation(const TakingsBook& takings)
        : m_takings(takings) {}

    QVariant data(int row, int column, int role) const override {
        const GridStore& grid = m_takings.grid();
        if (row < grid.fixedRowCount())
            return {};
        if (role == Qt::TextAlignmentRole && column >= 1)
            return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
        if (role == Qt::FontRole && row == grid.rowCount() - 1 && grid.cellText(row, 0) == u"总收入") {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        return {};
    }

private:
    const TakingsBook& m_takings;
};

// A file name out of a text the operator typed: no separator of folders in it.
QString fileNameOf(QString text) {
    text.replace(QLatin1Char('/'), QLatin1Char('-'));
    text.replace(QLatin1Char('\\'), QLatin1Char('-'));
    return text.trimmed();
}

// The tab of the span of days; the day's takings are the first.
constexpr int kSpanPage = 1;

} // namespace

StatisticsWindow::StatisticsWindow(Room& room, Printing& printing, QWidget* parent)
    : QWidget(parent)
    , m_ui(std::make_unique<Ui::StatisticsWindow>())
    , m_room(room)
    , m_printing(printing) {
    m_ui->setupUi(this);
    m_presentation = std::make_unique<TakingsPresentation>(m_room.takings());
    m_ui->TakingsGrid->setStore(&m_room.takings().grid());
    m_ui->TakingsGrid->setReadOnly(true); // the takings are what the checkouts and sales recorded
    m_ui->TakingsGrid->setPresentation(m_presentation.get());
    m_ui->TakingsGrid->setFitColumnsToContents(true);
    connect(m_ui->statisticsButton, &QPushButton::clicked, this, &StatisticsWindow::ShowDayTotals);
    connect(m_ui->closeButton, &QPushButton::clicked, this, &QWidget::hide);
    closeOnEscape(this);
    connect(m_ui->dayCloseButton, &QPushButton::clicked, this, &StatisticsWindow::ShowDayClose);
    connect(m_ui->exportButton, &QPushButton::clicked, this, &StatisticsWindow::ExportShown);
    connect(m_ui->spanButton, &QPushButton::clicked, this, &StatisticsWindow::ShowSpan);

    // The span opens on the month so far, the usual question at the desk.
    const QDate today = m_room.clock().now().date();
    m_ui->spanFromEdit->setDate(QDate(today.year(), today.month(), 1));
    m_ui->spanToEdit->setDate(today);
    m_ui->spanNotice->hide();
    m_ui->spanNotice->setStyleSheet(QStringLiteral("color: #b00000;"));

    m_spanModel = new QStandardItemModel(this);
    m_ui->spanTable->setModel(m_spanModel);
    m_ui->spanTable->verticalHeader()->hide();
    m_ui->spanTable->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    // The chart beside the table: the table is as wide as its columns, the chart takes the rest.
    m_chartView = new QChartView(m_ui->spanSplitter);
    m_chartView->setObjectName(QStringLiteral("spanChart"));
    m_chartView->setAccessibleName(QStringLiteral("每日收入图"));
    m_chartView->setRenderHint(QPainter::Antialiasing);
    m_chartView->setMinimumSize(240, 240);
    m_ui->spanSplitter->addWidget(m_chartView);
    m_ui->spanSplitter->setStretchFactor(0, 0);
    m_ui->spanSplitter->setStretchFactor(1, 1);

    // Two views over the same place: the day's takings grid, and the span of days. The grid stays
    // where it always was, on the window itself; the tab bar only chooses which of the two shows.
    m_pages = new QTabBar(this);
    m_pages->setObjectName(QStringLiteral("statisticsTabs"));
    m_pages->addTab(QStringLiteral("当日"));
    m_pages->addTab(QStringLiteral("从 … 到 …"));
    m_pages->setExpanding(false);
    m_ui->shownLayout->insertWidget(0, m_pages);
    m_ui->spanPage->hide();
    connect(m_pages, &QTabBar::currentChanged, this, [this](int page) {
        const bool span = page == kSpanPage;
        m_ui->TakingsGrid->setVisible(!span);
        m_ui->spanPage->setVisible(span);
        // A table and a chart need more room than the day's grid: the window grows to hold them.
        if (span)
            resize(std::max(width(), 760), std::max(height(), 620));
    });
}

StatisticsWindow::~StatisticsWindow() {
    m_ui->TakingsGrid->setPresentation(nullptr);
    m_ui->TakingsGrid->setStore(nullptr);
}

void StatisticsWindow::setQuery(std::function<QString()> query) {
    m_query = std::move(query);
}

void StatisticsWindow::FindDay(const QString& day) {
    setWindowTitle(QStringLiteral("统计窗口查询：") + day);
    show();
    raise();
    activateWindow();
    m_room.takings().WriteTakingsHeader();
}

void StatisticsWindow::ShowDayTotals() {
    m_room.ShowDayTotals(m_query ? m_query() : QString());
}

void StatisticsWindow::ShowDayClose() {
    if (!m_room.requireLogin())
        return;
    const QString day = m_query ? m_query() : QString();
    const DayClose close = CloseDay(m_room.data(), day);
    const QDateTime printedAt = m_room.clock().now();
    m_printing.PreviewAndPrint(
        this, PrintKind::DayClose, QStringLiteral("日结 ") + day,
        [close, printedAt](const QString& roomName) { return dayCloseReceipt(close, roomName, printedAt); },
        fileNameOf(day) + QStringLiteral("日结.pdf"));
}

void StatisticsWindow::ShowSpan() {
    if (!m_room.requireLogin())
        return;
    TakingsSpan span = SumTakingsSpan(m_room.data(), m_ui->spanFromEdit->date(), m_ui->spanToEdit->date());
    if (!span.summed()) {
        // The table and the chart keep the span shown before: the refused one was never summed.
        m_room.messages().show(Message{span.refusal, MessageButtons::Ok, MessageIcon::Warning});
        return;
    }
    const QList<QStringList> table = spanTable(span);
    m_spanModel->clear();
    if (!table.isEmpty()) {
        m_spanModel->setHorizontalHeaderLabels(table.first());
        for (qsizetype r = 1; r < table.size(); ++r) {
            QList<QStandardItem*> items;
            for (qsizetype c = 0; c < table[r].size(); ++c) {
                auto* item = new QStandardItem(table[r][c]);
                if (c >= 1 && c <= 3)
                    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
                items.append(item);
            }
            m_spanModel->appendRow(items);
        }
    }
    m_ui->spanTable->resizeColumnsToContents();
    // The table keeps the width of its columns; what is left goes to the chart.
    const int tableWidth = m_ui->spanTable->horizontalHeader()->length() + 2 * m_ui->spanTable->frameWidth() +
                           m_ui->spanTable->verticalScrollBar()->sizeHint().width();
    m_ui->spanSplitter->setSizes({tableWidth, std::max(m_ui->spanSplitter->width() - tableWidth, 240)});
    const QString notice = unreadableDaysNotice(span);
    m_ui->spanNotice->setText(notice);
    m_ui->spanNotice->setVisible(!notice.isEmpty());
    ShowSpanChart(span);
    m_span = std::move(span);
}

void StatisticsWindow::ShowSpanChart(const TakingsSpan& span) {
    auto* time = new QBarSet(QStringLiteral("台费收入"));
    auto* goods = new QBarSet(QStringLiteral("商品收入"));
    time->setColor(QColor(0x2e, 0x7d, 0x32));
    goods->setColor(QColor(0xf9, 0xa8, 0x25));
    QStringList days;
    // The categories of the axis must differ from one another, and stay short enough to read under
    // a bar: the day of the month within one month (the month named under the axis), the month and
    // the day within one year, the whole date across the new year.
    const bool oneMonth = span.from.year() == span.to.year() && span.from.month() == span.to.month();
    const bool oneYear = span.from.year() == span.to.year();
    const QString format = oneMonth  ? QStringLiteral("d")
                           : oneYear ? QStringLiteral("M/d")
                                     : QStringLiteral("yyyy/M/d");
    for (const SpanDay& day : span.days) {
        time->append(day.time);
        goods->append(day.goods);
        days.append(day.day.toString(format));
    }
    auto* series = new QStackedBarSeries;
    series->append(time);
    series->append(goods);
    series->setBarWidth(0.8);

    auto* chart = new QChart;
    chart->addSeries(series);
    chart->setTitle(QStringLiteral("每日收入（元）"));
    chart->setAnimationOptions(QChart::NoAnimation);
    auto* dayAxis = new QBarCategoryAxis;
    dayAxis->append(days);
    if (oneMonth)
        dayAxis->setTitleText(QStringLiteral("%1年%2月").arg(span.from.year()).arg(span.from.month()));
    // Past two months a label per day cannot be read: the axis names the span instead.
    if (days.size() > 62) {
        dayAxis->setLabelsVisible(false);
        dayAxis->setTitleText(QStringLiteral("%1 至 %2").arg(dayText(span.from), dayText(span.to)));
    } else if (!oneMonth && days.size() > 7) {
        dayAxis->setLabelsAngle(-90);
    }
    chart->addAxis(dayAxis, Qt::AlignBottom);
    series->attachAxis(dayAxis);
    auto* amountAxis = new QValueAxis;
    amountAxis->setLabelFormat(QStringLiteral("%.0f"));
    chart->addAxis(amountAxis, Qt::AlignLeft);
    series->attachAxis(amountAxis);
    amountAxis->applyNiceNumbers();
    chart->legend()->setAlignment(Qt::AlignBottom);

    QChart* old = m_chartView->chart();
    m_chartView->setChart(chart);
    delete old;
}

void StatisticsWindow::ExportShown() {
    if (!m_room.requireLogin())
        return;
    QList<QStringList> rows;
    QString suggested;
    if (m_pages->currentIndex() == kSpanPage) {
        if (!m_span) {
            m_room.messages().inform(QStringLiteral("请先按“汇总”，再导出"));
            return;
        }
        rows = spanTable(*m_span);
        suggested = QStringLiteral("收入统计 %1 至 %2.csv")
                        .arg(m_span->from.toString(Qt::ISODate), m_span->to.toString(Qt::ISODate));
    } else {
        rows = gridRows(m_room.takings().grid());
        suggested = fileNameOf(m_query ? m_query() : QString()) + QStringLiteral("收入统计.csv");
    }
    QString path = m_printing.askSavePath(this, QStringLiteral("导出"), suggested, QStringLiteral("CSV 文件 (*.csv)"));
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".csv");
    const QString error = ExportCsv(path, rows);
    if (!error.isEmpty())
        m_room.messages().show(Message{error, MessageButtons::Ok, MessageIcon::Warning});
}

} // namespace cuemora
