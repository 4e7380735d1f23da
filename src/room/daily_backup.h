#pragma once

#include "common/clock.h"
#include "common/data_directory.h"

#include <QDate>
#include <QString>
#include <QStringList>

namespace cuemora {

// A copy of the room's files in "备份/YYYY-MM-DD/" beside them, one folder a day: made at the first
// start of the day and again before each save of the goods and each change of the account, so that
// a day's register, goods, account and takings can be had back as they stood. Each copy goes
// through the same whole-file save as the files themselves. The newest kDaysKept day folders stay;
// older ones go, and nothing else in "备份" is ever touched.
class DailyBackup {
public:
    static constexpr int kDaysKept = 60;

    DailyBackup(const DataDirectory& data, const Clock& clock);

    static QString folderName();
    // The files copied on `today`: the register, the goods, the account, and the takings of the day
    // and of the day before (a day's takings still change after midnight until the desk closes).
    static QStringList fileNames(const QDate& today);

    // "备份/2013-05-20" for the clock's day, as the operator finds it beside the data files.
    QString todayFolder() const;
    bool hasToday() const;

    // Copies every file of fileNames() that exists into today's folder, then removes the oldest
    // day folders beyond kDaysKept. False, with the reason, when a file could not be copied.
    bool backUp(QString* error);

private:
    void removeOldest() const;

    const DataDirectory& m_data;
    const Clock& m_clock;
};

} // namespace cuemora
