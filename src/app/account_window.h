#pragma once

#include "room/room.h"

#include <QWidget>

#include <memory>

namespace Ui {
class AccountWindow;
}

namespace cuemora {

// The login that unlocks the setup page, and the change of the account. Created hidden with the
// main window; the page guard shows it, "关闭" hides it.
class AccountWindow : public QWidget {
    Q_OBJECT

public:
    explicit AccountWindow(Room& room, QWidget* parent = nullptr);
    ~AccountWindow() override;

private:
    // "进入": checks the typed account against the account file; the room opens the setup page.
    void Login();
    // "修改": stores the typed account as the new one.
    void ChangeAccount();

    std::unique_ptr<Ui::AccountWindow> m_ui;
    Room& m_room;
};

} // namespace cuemora
