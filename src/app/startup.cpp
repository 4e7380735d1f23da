#include "app/startup.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>

namespace cuemora {

InstanceLock::InstanceLock(const DataDirectory& data)
    : m_lock(data.filePath(fileName())) {
    // The program runs for days: only a lock whose program has died counts as stale, never an old one.
    m_lock.setStaleLockTime(0);
}

QString InstanceLock::fileName() {
    return QStringLiteral(".cuemora.lock");
}

InstanceLock::Result InstanceLock::tryLock() {
    if (m_lock.tryLock(0))
        return Result::Locked;
    return m_lock.error() == QLockFile::LockFailedError ? Result::HeldElsewhere : Result::NotPossible;
}

bool canWriteDataDirectory(const DataDirectory& data, QString* reason) {
    return canMakeFilesIn(data.prefix(), reason);
}

bool claimDataDirectory(const AppServices& services, InstanceLock& lock) {
    const QString directory = QDir::toNativeSeparators(QDir::cleanPath(services.data.prefix()));
    switch (lock.tryLock()) {
    case InstanceLock::Result::HeldElsewhere:
        services.messages.inform(QStringLiteral("Cuemora 已经在运行，同一个数据目录只能打开一个：\n") + directory);
        return false;
    case InstanceLock::Result::Locked:
    case InstanceLock::Result::NotPossible:
        break;
    }
    QString reason;
    if (!canWriteDataDirectory(services.data, &reason)) {
        services.messages.inform(QStringLiteral("数据目录不能写入，台桌、商品和收入都无法保存：\n") + directory +
                                 QStringLiteral("\n") + reason);
    }
    return true;
}

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
