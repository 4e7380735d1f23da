#include "app/startup.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace cuemora {

void loadQtChineseTranslations(QCoreApplication& app) {
    auto* translator = new QTranslator(&app);
    if (translator->load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
}

} // namespace cuemora
