#pragma once

#include "room/room.h"
#include "takings/takings_span.h"

#include <QString>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class QChartView;
class QStandardItemModel;
class QTabBar;

namespace Ui {
class StatisticsWindow;
}

namespace cuemora {

class GridPresentation;
class Printing;

// The takings of one day with their totals. Created hidden with the main window; "关闭" and the
// close box only hide it. It shows the room's takings grid, through which every takings row of the
// day passes (a checkout's, a cash sale's).
class StatisticsWindow : public QWidget {
    Q_OBJECT

public:
    StatisticsWindow(Room& room, Printing& printing, QWidget* parent = nullptr);
    ~StatisticsWindow() override;

    // Where "统计" reads the day to load: the main window's query box, read at the moment of the
    // press, so a day typed after "查找" is the one loaded.
    void setQuery(std::function<QString()> query);

    // "查找": the window, captioned with the day asked for, shows what it already holds under the
    // header; nothing is loaded until "统计".
    void FindDay(const QString& day);

    // The span last summed, as the page "从 … 到 …" shows it; nothing before the first "汇总".
    const std::optional<TakingsSpan>& span() const { return m_span; }

private:
    // "统计": the day now in the query box, with its total row.
    void ShowDayTotals();
    // "日结": the close of the day now in the query box, previewed to print or save as PDF.
    void ShowDayClose();
    // "汇总": the takings of every day from "从" to "到", as a table and a chart, with the files
    // that could not be read named above them.
    void ShowSpan();
    // "导出": what the page in front shows (the day's rows, or the span's table) into a CSV file.
    void ExportShown();
    void ShowSpanChart(const TakingsSpan& span);

    std::unique_ptr<Ui::StatisticsWindow> m_ui;
    Room& m_room;
    Printing& m_printing;
    std::function<QString()> m_query;
    std::unique_ptr<GridPresentation> m_presentation;
    std::optional<TakingsSpan> m_span;
    QStandardItemModel* m_spanModel = nullptr;
    QChartView* m_chartView = nullptr;
    QTabBar* m_pages = nullptr;
};

} // namespace cuemora
