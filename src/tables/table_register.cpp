#include "tables/table_register.h"

#include "common/text_rules.h"

#include <QFile>

#include <array>

namespace cuemora {

namespace {

struct ColumnHead {
    const char16_t* caption;
    int width;
};

// Captions and widths of the register's columns, in column order.
constexpr std::array<ColumnHead, RegisterColumn::Count> kColumns{{
    {u"图片", 40},
    {u"序号", 30},
    {u"类型", 50},
    {u"台名称", 120},
    {u"单价/h", 60},
    {u"开始时间", 120},
    {u"使用时长", 60},
    {u"记录商品名称", 120},
    {u"记录总价", 60},
    {u"是否使用", 60},
    {u"折率", 40},
}};

constexpr int kImageColumnKind = 6;
constexpr int kCheckBoxColumnKind = 5;

GridStore::Definition registerDefinition() {
    GridStore::Definition definition;
    definition.rows = 1;
    definition.columns = RegisterColumn::Count;
    definition.fixedRows = 1;
    definition.fixedColumns = 1;
    definition.rowHeight = 30;
    definition.columnWidth = 60;
    definition.look = {0, 0, 0, 0, 1, 1, 1, 1};
    return definition;
}

QString resourcePath(StatusPicture picture) {
    switch (picture) {
    case StatusPicture::BilliardFree:
        return QStringLiteral(":/pictures/billiard_free.ico");
    case StatusPicture::BilliardInUse:
        return QStringLiteral(":/pictures/billiard_in_use.ico");
    case StatusPicture::MahjongFree:
        return QStringLiteral(":/pictures/mahjong_free.ico");
    case StatusPicture::MahjongInUse:
        break;
    }
    return QStringLiteral(":/pictures/mahjong_in_use.ico");
}

constexpr std::array<StatusPicture, 4> kPictures{StatusPicture::BilliardFree, StatusPicture::BilliardInUse,
                                                 StatusPicture::MahjongFree, StatusPicture::MahjongInUse};

// The pictures as the grid keeps them. A refresh of the register sets a picture on every row; the
// icons are turned into bitmaps once, by the grid itself, and every row then shares those bytes.
const std::array<QByteArray, 4>& statusBitmaps() {
    static const std::array<QByteArray, 4> bitmaps = [] {
        GridStore::Definition definition;
        definition.rows = 2;
        definition.columns = 1;
        definition.fixedRows = 1;
        GridStore scratch(definition);
        scratch.setColumnKind(0, kImageColumnKind);
        std::array<QByteArray, 4> made;
        for (std::size_t i = 0; i < kPictures.size(); ++i) {
            scratch.setPicture(1, 0, statusPictureIcon(kPictures[i]));
            made[i] = scratch.getCell(1, 0).toByteArray();
        }
        return made;
    }();
    return bitmaps;
}

} // namespace

QString billiardType() {
    return QStringLiteral("桌球台");
}

QString mahjongType() {
    return QStringLiteral("麻雀台");
}

StatusPicture statusPictureFor(const QString& type, bool inUse) {
    if (type == billiardType())
        return inUse ? StatusPicture::BilliardInUse : StatusPicture::BilliardFree;
    return inUse ? StatusPicture::MahjongInUse : StatusPicture::MahjongFree;
}

QByteArray statusPictureIcon(StatusPicture picture) {
    static const std::array<QByteArray, 4> icons = [] {
        std::array<QByteArray, 4> read;
        for (std::size_t i = 0; i < kPictures.size(); ++i) {
            QFile file(resourcePath(kPictures[i]));
            if (file.open(QIODevice::ReadOnly))
                read[i] = file.readAll();
        }
        return read;
    }();
    return icons[std::size_t(picture)];
}

QByteArray statusPictureBitmap(StatusPicture picture) {
    return statusBitmaps()[std::size_t(picture)];
}

TableRegister::TableRegister()
    : m_grid(registerDefinition()) {
    InitRegisterLook();
    RenumberTables();
    WriteRegisterHeader();
}

bool TableRegister::isEditableInPlace(int column) {
    switch (column) {
    case RegisterColumn::Type:
    case RegisterColumn::Name:
    case RegisterColumn::Price:
    case RegisterColumn::Rate:
        return true;
    default:
        return false;
    }
}

bool TableRegister::Grid::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!(flags(index) & Qt::ItemIsEditable) || role != Qt::EditRole)
        return false;
    if (check && !check(index.column(), value.toString()))
        return false;
    if (!GridStore::setData(index, value, role))
        return false;
    if (edited)
        edited();
    return true;
}

Qt::ItemFlags TableRegister::Grid::flags(const QModelIndex& index) const {
    Qt::ItemFlags flags = GridStore::flags(index) & ~Qt::ItemIsUserCheckable;
    if (index.row() < fixedRowCount() || !isEditableInPlace(index.column()))
        flags &= ~Qt::ItemIsEditable;
    return flags;
}

void TableRegister::reset() {
    m_grid.resetGrid();
    InitRegisterLook();
    WriteRegisterHeader();
}

QString TableRegister::fileName() {
    return QStringLiteral("表格设置");
}

void TableRegister::InitRegisterLook() {
    m_grid.setRowCount(1);
    m_grid.setColumnCount(RegisterColumn::Count);
    for (int setting = 5; setting <= 8; ++setting)
        m_grid.setLookSetting(setting, 1); // 5: edit in place, 7: select cells, rows and columns
    // Print and Enter-key settings the file does not keep; the register is never printed.
    m_grid.setPageNumberPosition(2);
    m_grid.setPageNumberPosition(3);
    m_grid.setEnterKeySetting(1);
    m_grid.setGridLineColour(0xC0C0C0);
    m_grid.setDefaultBackground(0xFFFFFF);
    m_grid.setDefaultForeground(0x000000);
    m_grid.setLookSetting(1, 0);
    m_grid.setEveryRowHeight(30);
    m_grid.setEveryColumnWidth(60);
    m_grid.setFixedRowCount(1);
    m_grid.setFixedColumnCount(1);
    m_grid.setPageNumberPosition(1);
    m_grid.setDatePosition(1);
    m_grid.setEnterKeySetting(1);
}

void TableRegister::WriteRegisterHeader() {
    m_grid.setColumnKind(RegisterColumn::Picture, kImageColumnKind);
    for (int column = 0; column < RegisterColumn::Count; ++column) {
        const ColumnHead& head = kColumns[std::size_t(column)];
        m_grid.setCell(0, column, QString::fromUtf16(head.caption));
        m_grid.setColumnWidth(column, head.width);
        if (column == RegisterColumn::InUse)
            m_grid.setColumnKind(RegisterColumn::InUse, kCheckBoxColumnKind);
    }
}

void TableRegister::RenumberTables() {
    const GridStore::Batch batch(m_grid); // one change to the views, not one per table
    for (int i = 1; i <= m_grid.rowCount() - m_grid.fixedRowCount(); ++i)
        m_grid.setCell(i, RegisterColumn::Number, integerToText(i));
}

void TableRegister::RefreshPictures() {
    m_grid.setColumnKind(RegisterColumn::Picture, kImageColumnKind);
    const GridStore::Batch batch(m_grid);
    for (int i = 1; i < m_grid.rowCount(); ++i)
        showPicture(i, statusPictureFor(type(i), isInUse(i)));
}

bool TableRegister::LoadRegister(const DataDirectory& data) {
    return m_grid.loadFromFile(data.filePath(fileName()));
}

bool TableRegister::SaveRegister(const DataDirectory& data, QString* error) {
    const bool saved = m_grid.saveToFile(data.filePath(fileName()), data.writer());
    if (!saved && error)
        *error = m_grid.errorString();
    return saved;
}

int TableRegister::tableCount() const {
    return qMax(0, m_grid.rowCount() - m_grid.fixedRowCount());
}

bool TableRegister::isTable(qint64 n) const {
    return n >= 1 && n <= tableCount();
}

bool TableRegister::isInUse(int n) const {
    return m_grid.isChecked(n, RegisterColumn::InUse);
}

int TableRegister::lastTableInUse() const {
    int last = 0;
    for (int i = 1; i < m_grid.rowCount(); ++i) {
        if (isInUse(i))
            last = i;
    }
    return last;
}

QString TableRegister::type(int n) const {
    return m_grid.cellText(n, RegisterColumn::Type);
}

QString TableRegister::name(int n) const {
    return m_grid.cellText(n, RegisterColumn::Name);
}

void TableRegister::showPicture(int row, StatusPicture picture) {
    m_grid.setPicture(row, RegisterColumn::Picture, statusBitmaps()[std::size_t(picture)]);
}

QString exitRefusal(const TableRegister& tables) {
    const int last = tables.lastTableInUse();
    if (last == 0)
        return {};
    return QStringLiteral("还有第") + integerToText(last) + QStringLiteral("台没有结账，不能退出");
}

} // namespace cuemora
