#pragma once

#include "app/grid_view.h"
#include "common/clock.h"
#include "tables/table_register.h"

#include <QColor>

namespace cuemora {

// The register as the operator reads it at a glance: "使用时长" as h:mm:ss, "开始时间" as the time
// of day, the column "当前应付" with what each table in use would owe if checked out now, and the
// rows of tables in use tinted. The cells keep their texts and the file never sees any of it.
class RegisterPresentation : public GridPresentation {
public:
    // The one column of the view alone, after the register's own.
    static constexpr int OwedColumn = RegisterColumn::Count;

    RegisterPresentation(const TableRegister& tables, const Clock& clock);

    int extraColumnCount() const override { return 1; }
    QString extraColumnCaption(int extra) const override;
    QVariant data(int row, int column, int role) const override;
    std::pair<int, int> columnsDrawnFrom(int column) const override;

    // The background of a row in use over the colour it has while free: the same hue family for
    // every background, far enough from it to be seen at once and near enough to keep the text
    // that is drawn on it readable.
    static QColor inUseTint(const QColor& background);

private:
    const TableRegister& m_tables;
    const Clock& m_clock;
};

} // namespace cuemora
