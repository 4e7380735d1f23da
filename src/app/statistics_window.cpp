#include "app/statistics_window.h"

#include "app/window_keys.h"
#include "ui_statistics_window.h"

#include <QFont>

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

} // namespace

StatisticsWindow::StatisticsWindow(Room& room, QWidget* parent)
    : QWidget(parent)
    , m_ui(std::make_unique<Ui::StatisticsWindow>())
    , m_room(room) {
    m_ui->setupUi(this);
    m_presentation = std::make_unique<TakingsPresentation>(m_room.takings());
    m_ui->TakingsGrid->setStore(&m_room.takings().grid());
    m_ui->TakingsGrid->setReadOnly(true); // the takings are what the checkouts and sales recorded
    m_ui->TakingsGrid->setPresentation(m_presentation.get());
    m_ui->TakingsGrid->setFitColumnsToContents(true);
    connect(m_ui->statisticsButton, &QPushButton::clicked, this, &StatisticsWindow::ShowDayTotals);
    connect(m_ui->closeButton, &QPushButton::clicked, this, &QWidget::hide);
    closeOnEscape(this);
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

} // namespace cuemora
