#include "support/register_file.h"

#include "tables/table_register.h"

namespace cuemora::testing {

bool writeRegisterFile(const DataDirectory& data, const RegisterFile& file) {
    TableRegister tables;
    GridStore& grid = tables.grid();
    for (int n = 1; n <= file.tables; ++n) {
        grid.insertRow();
        grid.setCell(n, RegisterColumn::Type, n % 2 ? billiardType() : mahjongType());
        grid.setCell(n, RegisterColumn::Name, QString::number(n) + QStringLiteral("号大厅"));
        grid.setCell(n, RegisterColumn::Price, QStringLiteral("20"));
        grid.setCell(n, RegisterColumn::Rate, QStringLiteral("10"));
        if (file.inUse.contains(n)) {
            grid.setCell(n, RegisterColumn::Start, file.start);
            grid.setCell(n, RegisterColumn::Seconds, QString::number(file.seconds(n)));
            grid.setChecked(n, RegisterColumn::InUse, true);
        }
    }
    tables.RenumberTables();
    tables.RefreshPictures();
    return tables.SaveRegister(data);
}

QList<int> allTables(int n) {
    QList<int> numbers;
    numbers.reserve(n);
    for (int k = 1; k <= n; ++k)
        numbers.append(k);
    return numbers;
}

} // namespace cuemora::testing
