#include "takings/day_close.h"

#include "common/text_rules.h"

#include <QHash>

#include <algorithm>

namespace cuemora {

namespace {

struct Tally {
    BestSeller goods;
    int firstSoldRow = 0; // the file stands newest first: the lowest row of a name is its first sale
};

QList<BestSeller> bestSellersOf(const GridStore& grid) {
    QHash<QString, qsizetype> index;
    QList<Tally> tallies;
    for (int r = 1; r < grid.rowCount(); ++r) {
        const Cell* name = grid.cell(r, 0);
        if (!name || isTimeTakingsName(name->text))
            continue;
        const QString text = grid.cellText(r, 0);
        auto found = index.constFind(text);
        if (found == index.cend()) {
            found = index.insert(text, tallies.size());
            tallies.append({{text}, r});
        }
        Tally& tally = tallies[*found];
        tally.goods.quantity += grid.cellNumber(r, 1);
        tally.goods.takings += grid.cellNumber(r, 2);
        tally.firstSoldRow = r;
    }
    std::stable_sort(tallies.begin(), tallies.end(), [](const Tally& a, const Tally& b) {
        if (a.goods.quantity != b.goods.quantity)
            return a.goods.quantity > b.goods.quantity;
        if (a.goods.takings != b.goods.takings)
            return a.goods.takings > b.goods.takings;
        return a.firstSoldRow > b.firstSoldRow;
    });
    QList<BestSeller> best;
    for (const Tally& tally : tallies) {
        if (best.size() == kBestSellerCount || !(tally.goods.quantity > 0.0))
            break;
        best.append(tally.goods);
    }
    return best;
}

} // namespace

DayClose CloseDay(const DataDirectory& data, const QString& day) {
    DayClose close;
    close.day = day;
    GridStore grid(GridStore::Definition::list(3, 100));
    close.file = readTakingsDay(data, day, grid);
    if (close.file.state == DayFileState::Read) {
        close.sums = sumTakingsDay(grid);
        close.bestSellers = bestSellersOf(grid);
    }
    return close;
}

Receipt dayCloseReceipt(const DayClose& close, const QString& roomName, const QDateTime& printedAt) {
    ReceiptBuilder r;
    r.roomHeading(roomName);
    r.centred(QStringLiteral("日结 %1").arg(close.day));
    if (close.file.state == DayFileState::Unreadable)
        r.text(QStringLiteral("收入文件“%1”无法读取（%2），以下按0计。").arg(close.file.fileName, close.file.reason));
    else if (close.file.state == DayFileState::Missing)
        r.text(QStringLiteral("这一天没有收入记录。"));
    r.rule();
    const DaySums& s = close.sums;
    const QString yuan = QStringLiteral("元");
    r.field(QStringLiteral("结账次数："), integerToText(s.checkouts));
    r.field(QStringLiteral("售出时长："), realToText(s.hours) + QStringLiteral("时"));
    r.field(QStringLiteral("台费收入："), realToText(s.time) + yuan);
    r.field(QStringLiteral("商品笔数："), integerToText(s.goodsLines));
    r.field(QStringLiteral("商品收入："), realToText(s.goods) + yuan);
    r.field(QStringLiteral("总收入："), realToText(s.total) + yuan, true);
    r.rule();
    r.centred(QStringLiteral("畅销商品"));
    if (close.bestSellers.isEmpty()) {
        r.text(QStringLiteral("没有卖出商品。"));
    } else {
        r.columns({QStringLiteral("商品"), QStringLiteral("数量"), QStringLiteral("金额")});
        for (const BestSeller& goods : close.bestSellers)
            r.columns({goods.name, realToText(goods.quantity), realToText(goods.takings)});
    }
    r.rule();
    r.moment(QStringLiteral("打印时间："), printedAt);
    return r.take();
}

} // namespace cuemora
