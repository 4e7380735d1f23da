#pragma once

#include "common/data_directory.h"

#include <QList>
#include <QString>

#include <functional>

namespace cuemora::testing {

// A register file as "添加" and the openings leave it: billiard tables at odd numbers, mahjong
// tables at even ones, named "n号大厅", price 20, rate 10, and the tables of `inUse` opened at
// `start` with `seconds(n)` seconds.
struct RegisterFile {
    int tables = 0;
    QList<int> inUse;
    QString start = QStringLiteral("2013年5月20日9时30分");
    std::function<qint64(int)> seconds = [](int n) { return 60 * n; };
};

// Writes it into the data directory; false when it could not be written.
bool writeRegisterFile(const DataDirectory& data, const RegisterFile& file);

// Every number from 1 to n: all the tables of a register of n.
QList<int> allTables(int n);

} // namespace cuemora::testing
