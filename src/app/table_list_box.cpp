#include "app/table_list_box.h"

#include <QRadioButton>

namespace cuemora {

void TableListBox::showPopup() {
    Q_EMIT aboutToDropDown();
    QComboBox::showPopup();
}

void TableListBox::setTables(const QList<TableItem>& items) {
    clear();
    for (const TableItem& item : items)
        addItem(item.name, item.number);
    setCurrentIndex(-1);
}

int TableListBox::chosenTable() const {
    const int index = currentIndex();
    return index < 0 ? -1 : itemData(index).toInt();
}

TableType chosenType(const QRadioButton* billiard, const QRadioButton* mahjong) {
    if (billiard->isChecked())
        return TableType::Billiard;
    if (mahjong->isChecked())
        return TableType::Mahjong;
    return TableType::None;
}

} // namespace cuemora
