#pragma once

// Grid files that a flipped bit, a hand edit or a hostile hand can leave in the data directory:
// small on disk and vast in what they claim. Each is built here rather than kept as a big binary.

#include "common/cp936.h"
#include "grid_file_builder.h"
#include "picture_builder.h"

#include <QString>

namespace testgrid::hostile {

inline QByteArray gbk(const char16_t* text) {
    return cuemora::toCp936(QString::fromUtf16(text));
}

// A register as "添加" leaves it: eleven columns with their captions, a picture column and a
// check-box column, and `tables` billiard tables.
inline GridFile registerFile(int tables) {
    GridFile f;
    f.rows = 1 + tables;
    f.columns = 11;
    f.fixedRows = 1;
    f.fixedColumns = 1;
    f.rowHeight = 30;
    f.look = {0, 0, 0, 0, 1, 1, 1, 1};
    f.kinds = {{0, 106, {}, {}, 201}, {9, 105}};
    const char16_t* captions[] = {u"图片",     u"序号",         u"类型",     u"台名称",   u"单价/h", u"开始时间",
                                  u"使用时长", u"记录商品名称", u"记录总价", u"是否使用", u"折率"};
    for (int c = 0; c < 11; ++c)
        f.cells.append({0, c, gbk(captions[c])});
    for (int n = 1; n <= tables; ++n) {
        f.cells.append({n, 1, QByteArray::number(n)});
        f.cells.append({n, 2, gbk(u"桌球台")});
        f.cells.append({n, 3, QByteArray::number(n) + gbk(u"号大厅")});
        f.cells.append({n, 4, "20"});
        f.cells.append({n, 10, "10"});
    }
    return f;
}

// A day's takings: the three captions and `rows` checkouts.
inline GridFile takingsFile(int rows) {
    GridFile f;
    f.rows = 1 + rows;
    f.columns = 3;
    f.columnWidth = 100;
    f.cells = {{0, 0, gbk(u"名称")}, {0, 1, gbk(u"明细表")}, {0, 2, gbk(u"收费")}};
    for (int r = 1; r <= rows; ++r) {
        f.cells.append({r, 0, QByteArray::number(r) + gbk(u"号台收费")});
        f.cells.append({r, 1, "1.5"});
        f.cells.append({r, 2, "30"});
    }
    return f;
}

// Row 0 of a register with bit 24 of its height set: 16,777,246 pixels.
inline GridFile tallHeaderRow(GridFile f) {
    f.heights = QList<qint32>(f.rows, f.rowHeight);
    f.heights[0] |= 1 << 24;
    return f;
}

// `n` x `n` cells declared, with alternate-line colouring, in a file of about 8 n bytes.
inline GridFile vastColoured(GridFile f, int n) {
    f.rows = n;
    f.columns = n;
    f.alternateOn = 1;
    f.alternateOdd = 0xE0FFFF;
    f.alternateEven = 0xFFE0E0;
    return f;
}

// `rows` rows whose heights all differ from their neighbours'.
inline GridFile manyHeights(GridFile f, int rows) {
    f.rows = rows;
    f.heights.clear();
    f.heights.reserve(rows);
    for (int r = 0; r < rows; ++r)
        f.heights.append(20 + r % 41);
    return f;
}

// `count` pictures of `side` x `side` pixels at one bit a pixel in the first column: 2 MB each on
// disk for a side of 4,096, 48 MB each once decoded.
inline GridFile bigPictures(GridFile f, int count, int side) {
    const QByteArray picture = testpicture::plainIndexedBmp(side, side, 1);
    for (int k = 0; k < count; ++k)
        f.cells.append({1 + k % (f.rows - 1), 0, {}, 0, picture});
    return f;
}

} // namespace testgrid::hostile
