#pragma once

class QCoreApplication;

namespace cuemora {

// Qt's own Chinese texts, so that the standard buttons read 确定, 是 and 否.
void loadQtChineseTranslations(QCoreApplication& app);

} // namespace cuemora
