#include "app/register_presentation.h"

#include "checkout/checkout.h"
#include "checkout/table_glance.h"

#include <QBrush>

namespace cuemora {

namespace {

QColor mixed(const QColor& a, const QColor& b, double share) {
    return QColor::fromRgbF(float(a.redF() * (1 - share) + b.redF() * share),
                            float(a.greenF() * (1 - share) + b.greenF() * share),
                            float(a.blueF() * (1 - share) + b.blueF() * share));
}

} // namespace

RegisterPresentation::RegisterPresentation(const TableRegister& tables, const Clock& clock)
    : m_tables(tables)
    , m_clock(clock) {}

QString RegisterPresentation::extraColumnCaption(int) const {
    return QStringLiteral("当前应付");
}

std::pair<int, int> RegisterPresentation::columnsDrawnFrom(int column) const {
    switch (column) {
    case RegisterColumn::InUse: // the tint of the whole row, and what it owes
        return {0, OwedColumn};
    case RegisterColumn::Seconds:
    case RegisterColumn::Price:
    case RegisterColumn::Rate:
    case RegisterColumn::GoodsTotal:
        return {OwedColumn, OwedColumn};
    default:
        return {1, 0}; // drawn from its own cell alone
    }
}

QColor RegisterPresentation::inUseTint(const QColor& background) {
    // Amber over a light background, a deep amber over a dark one: the text colour that suits the
    // background suits the tint as well.
    const bool light = background.lightnessF() >= 0.5;
    return mixed(background, light ? QColor(255, 190, 60) : QColor(150, 95, 0), light ? 0.45 : 0.55);
}

QVariant RegisterPresentation::data(int row, int column, int role) const {
    if (!m_tables.isTable(row))
        return {};
    const GridStore& grid = m_tables.grid();
    switch (role) {
    case Qt::DisplayRole:
        if (column == RegisterColumn::Seconds)
            return clockText(grid.cellText(row, column));
        if (column == RegisterColumn::Start)
            return timeOfDayText(grid.cellText(row, column), m_clock.now().date());
        if (column == OwedColumn)
            return owedNowText(m_tables, row);
        return {};
    case Qt::ToolTipRole:
        if (column == RegisterColumn::Seconds) {
            const QString seconds = grid.cellText(row, column);
            return seconds.isEmpty() || clockText(seconds) == seconds ? seconds : seconds + QStringLiteral(" 秒");
        }
        if (column == OwedColumn)
            return m_tables.isInUse(row) ? QStringLiteral("共付：") + FillCheckout(m_tables, row).total : QString();
        return {}; // the grid's own: the whole text, the start time's date included
    case Qt::TextAlignmentRole:
        if (column == RegisterColumn::Seconds || column == OwedColumn)
            return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
        return {};
    case Qt::BackgroundRole: {
        if (!m_tables.isInUse(row))
            return {};
        const QVariant own =
            column < grid.columnCount() ? grid.data(grid.index(row, column), GridStore::BackgroundRgbRole) : QVariant();
        return QBrush(inUseTint(fromColorRef(own.isValid() ? own.toUInt() : grid.defaultBackground())));
    }
    default:
        return {};
    }
}

} // namespace cuemora
