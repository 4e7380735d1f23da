#include "takings/takings_book.h"

#include "common/cp936.h"
#include "common/text_rules.h"
#include "store/grid_file_guard.h"

#include <QFileInfo>

namespace cuemora {

namespace {

// The rows as the operator is to write them down; a text pasted by mistake is shown by its start.
QString rowsText(const QList<TakingsRow>& rows) {
    const auto shown = [](const QString& text) {
        return text.size() > 60 ? text.left(60) + QStringLiteral("…") : text;
    };
    QString text;
    for (const TakingsRow& row : rows)
        text += QStringLiteral("\n%1    %2    %3").arg(shown(row.name), shown(row.detail), shown(row.charge));
    return text;
}

} // namespace

TakingsBook::TakingsBook(const DataDirectory& data, const Clock& clock)
    : m_grid(GridStore::Definition::list(3, 100))
    , m_data(data)
    , m_clock(clock) {
    WriteTakingsHeader();
}

QString TakingsBook::fileNameFor(const QString& day) {
    return day + QStringLiteral("收入统计");
}

void TakingsBook::WriteTakingsHeader() {
    m_grid.setCell(0, 0, QStringLiteral("名称"));
    m_grid.setCell(0, 1, QStringLiteral("明细表"));
    m_grid.setCell(0, 2, QStringLiteral("收费"));
}

void TakingsBook::startEmptyDay() {
    m_grid.resetGrid();
    m_grid.setRowCount(1);
    m_grid.setColumnCount(3);
    WriteTakingsHeader();
}

bool TakingsBook::AddTakingsRows(const QList<TakingsRow>& given, MessageService& messages) {
    // A text the file cannot hold would leave its cell empty: an amount taken but not recorded.
    // Such rows are shown to the operator instead, to be written down.
    QList<TakingsRow> rows;
    QList<TakingsRow> unfit;
    for (const TakingsRow& row : given)
        (fitsCp936(row.name) && fitsCp936(row.detail) && fitsCp936(row.charge) ? rows : unfit).append(row);
    if (!unfit.isEmpty()) {
        messages.show(
            Message{QStringLiteral("这些收入里有文件存不下的字符，没有记进收入文件，请记下：%1").arg(rowsText(unfit)),
                    MessageButtons::Ok, MessageIcon::Warning});
    }
    const QString fileName = fileNameFor(dayText(m_clock.now().date()));
    const QString path = m_data.filePath(fileName);
    // The first takings of the day, or a file of the day that could not be read and was put
    // aside, begin the day anew; one that could be neither read nor moved must not be written over.
    const GridFileLoad day = loadKeepingDamaged(m_grid, m_data, fileName, messages);
    const bool canWrite = day != GridFileLoad::Unreadable;
    if (day == GridFileLoad::Missing || day == GridFileLoad::SetAside)
        startEmptyDay();
    if (canWrite) {
        for (const TakingsRow& row : rows) {
            m_grid.insertRow(QString(), 1);
            m_grid.setCell(1, 0, row.name);
            m_grid.setCell(1, 1, row.detail);
            m_grid.setCell(1, 2, row.charge);
        }
    }
    if (canWrite && m_grid.saveToFile(path, m_data.writer()))
        return unfit.isEmpty();
    const QString error = canWrite ? m_grid.errorString() : QStringLiteral("原来的文件无法读取，也无法改名");
    if (!rows.isEmpty()) {
        messages.show(Message{
            QStringLiteral("收入没有保存到文件“%1”%2，请记下：%3")
                .arg(fileName, error.isEmpty() ? QString() : QStringLiteral("（%1）").arg(error), rowsText(rows)),
            MessageButtons::Ok, MessageIcon::Warning});
    }
    return false;
}

void TakingsBook::ShowDayTotals(const QString& query, MessageService& messages) {
    // The query names a file of this directory only; a text with a path in it names no day.
    const bool plainName =
        !query.contains(QLatin1Char('/')) && !query.contains(QLatin1Char('\\')) && !query.contains(QChar(0));
    const QString path = m_data.filePath(fileNameFor(query));
    if (!plainName || !QFileInfo(path).isFile()) {
        startEmptyDay();
    } else if (!m_grid.loadFromFile(path)) {
        messages.show(Message{QStringLiteral("收入文件“%1”无法读取：%2").arg(fileNameFor(query), m_grid.errorString()),
                              MessageButtons::Ok, MessageIcon::Warning});
        startEmptyDay();
    }
    double charges = 0.0;
    qint64 details = 0;
    const int rows = m_grid.rowCount();
    for (int i = 1; i < rows; ++i) {
        charges += m_grid.cellNumber(i, 2);
        details = truncateToWhole(static_cast<double>(details) + m_grid.cellNumber(i, 1));
    }
    m_grid.insertRow(QStringLiteral("总收入"));
    const int last = m_grid.rowCount() - 1;
    m_grid.setCell(last, 2, realToText(charges));
    m_grid.setCell(last, 1, integerToText(details));
}

} // namespace cuemora
