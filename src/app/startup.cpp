#include "app/startup.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTemporaryFile>
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
    QTemporaryFile probe(data.filePath(QStringLiteral(".cuemora-write-XXXXXX")));
    if (!probe.open() || probe.write("0", 1) != 1 || !probe.flush()) {
        if (reason)
            *reason = probe.errorString();
        return false;
    }
    return true;
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

void loadQtChineseTranslations(QCoreApplication& app) {
    auto* translator = new QTranslator(&app);
    if (translator->load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
}

} // namespace cuemora
