#include "app/startup.h"

#include "common/data_directory.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace cuemora {

namespace {

struct CommandLine {
    QCommandLineParser parser;
    QCommandLineOption help = parser.addHelpOption();
    QCommandLineOption version = parser.addVersionOption();
    QCommandLineOption dataDir{
        QStringLiteral("data-dir"),
        QStringLiteral("数据文件所在的目录，没有就新建。不给时用程序所在的目录，那里不能写入时用用户的数据目录。"),
        QStringLiteral("DIR")};

    CommandLine() {
        parser.setApplicationDescription(QStringLiteral("Cuemora：桌球、麻雀室的前台程序。"));
        parser.addOption(dataDir);
    }
};

} // namespace

void answerHelpAndVersion(int argc, char** argv) {
    QCoreApplication::setApplicationName(QStringLiteral("cuemora"));
    QCoreApplication::setApplicationVersion(QStringLiteral(CUEMORA_VERSION));
    QCoreApplication app(argc, argv); // Qt Core alone: no window system yet
    loadQtChineseTranslations(app);
    CommandLine line;
    // The window system's own options are still on the line here: what is unknown waits for the
    // second reading.
    line.parser.parse(QCoreApplication::arguments());
    if (line.parser.isSet(line.help))
        line.parser.showHelp();
    if (line.parser.isSet(line.version))
        line.parser.showVersion();
    if (line.parser.isSet(QStringLiteral("help-all")))
        line.parser.process(app); // shows it and ends
}

QString dataDirectoryFromCommandLine(const QCoreApplication& app) {
    CommandLine line;
    line.parser.process(app);
    return chooseDataDirectory(line.parser.value(line.dataDir), QCoreApplication::applicationDirPath());
}

void loadQtChineseTranslations(QCoreApplication& app) {
    auto* translator = new QTranslator(&app);
    if (translator->load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
}

} // namespace cuemora
