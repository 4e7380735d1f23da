// The group "结账" of the main window, and the day query of "营业统计".
#include "app/main_window.h"

#include "ui_main_window.h"

namespace cuemora {

void MainWindow::ConnectCheckout() {}

} // namespace cuemora
