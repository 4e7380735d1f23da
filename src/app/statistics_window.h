#pragma once

#include "room/room.h"

#include <QString>
#include <QWidget>

#include <functional>
#include <memory>

namespace Ui {
class StatisticsWindow;
}

namespace cuemora {

class GridPresentation;

// The takings of one day with their totals. Created hidden with the main window; "关闭" and the
// close box only hide it. It shows the room's takings grid, through which every takings row of the
// day passes (a checkout's, a cash sale's).
class StatisticsWindow : public QWidget {
    Q_OBJECT

public:
    explicit StatisticsWindow(Room& room, QWidget* parent = nullptr);
    ~StatisticsWindow() override;

    // Where "统计" reads the day to load: the main window's query box, read at the moment of the
    // press, so a day typed after "查找" is the one loaded.
    void setQuery(std::function<QString()> query);

    // "查找": the window, captioned with the day asked for, shows what it already holds under the
    // header; nothing is loaded until "统计".
    void FindDay(const QString& day);

private:
    // "统计": the day now in the query box, with its total row.
    void ShowDayTotals();

    std::unique_ptr<Ui::StatisticsWindow> m_ui;
    Room& m_room;
    std::function<QString()> m_query;
    std::unique_ptr<GridPresentation> m_presentation;
};

} // namespace cuemora
