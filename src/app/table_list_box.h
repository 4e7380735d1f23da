#pragma once

#include "tables/table_lists.h"

#include <QComboBox>

class QRadioButton;

namespace cuemora {

// A drop-down list of tables. It is rebuilt from the register each time it is about to drop
// down, so it shows the tables as they are at that moment; what the operator picks is a snapshot
// that the handlers look at again when they use it.
class TableListBox : public QComboBox {
    Q_OBJECT

public:
    using QComboBox::QComboBox;

    void showPopup() override;

    // Puts the items in place of the old ones, with none chosen.
    void setTables(const QList<TableItem>& items);
    // The number of the chosen table, or -1 when none is chosen.
    int chosenTable() const;

Q_SIGNALS:
    // The list is about to drop down: the moment to rebuild it.
    void aboutToDropDown();
};

// Which button of a radio pair ("桌球台", "麻雀台") is chosen.
TableType chosenType(const QRadioButton* billiard, const QRadioButton* mahjong);

} // namespace cuemora
