#pragma once

// Grid files built byte by byte from the layout of the format, independently of the store's own
// writer: the reader is tested against these, and the writer is compared with them.

#include <QByteArray>
#include <QList>
#include <QtEndian>

#include <array>

namespace testgrid {

// Offsets of the settings block's fields from the start of the file.
namespace at {
constexpr int version = 4;
constexpr int settings = 12;
constexpr int rows = settings + 0;
constexpr int columns = settings + 4;
constexpr int fixedRows = settings + 8;
constexpr int fixedColumns = settings + 12;
constexpr int kinds = settings + 84;
constexpr int merges = settings + 88;
constexpr int cells = settings + 92;
constexpr int fonts = settings + 96;
constexpr int backgrounds = settings + 100;
constexpr int states = settings + 124;
constexpr int rulesA = settings + 128;
constexpr int rulesB = settings + 132;
} // namespace at

inline int settingsBytes(int version) {
    return version >= 5 ? 464 : 120 + 4 * version;
}

struct Kind {
    Kind(qint32 column_, qint32 code_, QByteArray a = {}, QByteArray b = {}, qint32 x_ = 0, qint32 y_ = 0,
         QList<QByteArray> items_ = {})
        : column(column_)
        , code(code_)
        , textA(a)
        , textB(b)
        , x(x_)
        , y(y_)
        , items(items_) {}
    qint32 column;
    qint32 code;
    QByteArray textA, textB;
    qint32 x, y;
    QList<QByteArray> items;
};

struct CellRecord {
    CellRecord(qint32 row_, qint32 column_, QByteArray text_ = {}, qint32 check_ = 0, QByteArray picture_ = {})
        : row(row_)
        , column(column_)
        , text(text_)
        , check(check_)
        , picture(picture_) {}
    qint32 row, column;
    QByteArray text; // CP936 bytes
    qint32 check;
    QByteArray picture;
};

struct Value {
    qint32 row = 0, column = 0, value = 0;
};

struct FontRecord {
    qint32 row = 0, column = 0;
    QByteArray logFont; // 60 bytes
};

// The seven lists of 12-byte override records, in file order.
enum List { Background, Foreground, Format, ValueE, Margin, FlagG, State, ListCount };

struct GridFile {
    qint32 version = 6;
    qint32 rows = 1, columns = 1, fixedRows = 1, fixedColumns = 0;
    qint32 rowHeight = 24, columnWidth = 60;
    quint32 gridLineColour = 0xC0C0C0, background = 0xFFFFFF, foreground = 0;
    std::array<qint32, 8> look{};
    qint32 alternateOn = 0, alternateByRows = 1;
    quint32 alternateOdd = 0xFFFFFF, alternateEven = 0xFFFFFF;
    QList<qint32> heights, widths; // when empty: every row rowHeight, every column columnWidth
    QList<Kind> kinds;
    QList<std::array<qint32, 6>> merges;
    QList<CellRecord> cells;
    QList<FontRecord> fonts;
    std::array<QList<Value>, ListCount> lists;
    QList<std::array<qint32, 4>> rulesA, rulesB;
    QByteArray title, titleFace;
    qint32 titleHeight = 0, titleBold = 0, titleAlignment = 2;
    std::array<qint32, 7> pageLayout{};

    QByteArray bytes() const {
        QByteArray out;
        const auto i32 = [&out](qint64 v) {
            char b[4];
            qToLittleEndian(static_cast<qint32>(v), b);
            out.append(b, 4);
        };
        const auto fixed = [&out](const QByteArray& text, int width) {
            out.append(text.left(width));
            out.append(width - qMin<qsizetype>(text.size(), width), '\0');
        };
        out.append("EGRD", 4);
        i32(version);
        i32(0);
        for (qint64 v : {qint64(rows), qint64(columns), qint64(fixedRows), qint64(fixedColumns), qint64(rowHeight),
                         qint64(columnWidth), qint64(gridLineColour), qint64(background), qint64(foreground)})
            i32(v);
        for (qint32 v : look)
            i32(v);
        for (qint64 v : {qint64(alternateOn), qint64(alternateByRows), qint64(alternateOdd), qint64(alternateEven)})
            i32(v);
        i32(kinds.size());
        i32(merges.size());
        i32(cells.size());
        i32(fonts.size());
        for (int list = 0; list < 6; ++list)
            i32(lists[list].size());
        if (version >= 2)
            i32(lists[State].size());
        if (version >= 3)
            i32(rulesA.size());
        if (version >= 4)
            i32(rulesB.size());
        if (version >= 5) {
            fixed(title, 256);
            fixed(titleFace, 32);
            i32(titleHeight);
            i32(titleBold);
            i32(titleAlignment);
            for (qint32 v : pageLayout)
                i32(v);
        }
        for (qint32 r = 0; r < rows; ++r)
            i32(heights.isEmpty() ? rowHeight : heights.value(r));
        for (qint32 c = 0; c < columns; ++c)
            i32(widths.isEmpty() ? columnWidth : widths.value(c));
        for (const Kind& k : kinds) {
            i32(k.column);
            i32(k.code);
            fixed(k.textA, 8);
            fixed(k.textB, 12);
            i32(k.x);
            i32(k.y);
            i32(k.items.size());
            for (const QByteArray& item : k.items)
                fixed(item, 100);
        }
        for (const auto& m : merges) {
            for (qint32 v : m)
                i32(v);
        }
        for (const CellRecord& c : cells) {
            i32(c.row);
            i32(c.column);
            if (version >= 6) {
                i32(c.text.size() + 1);
                out.append(c.text);
                out.append('\0');
            } else {
                fixed(c.text, 256);
            }
            i32(c.check);
            i32(c.picture.size());
            out.append(c.picture);
        }
        for (const FontRecord& f : fonts) {
            i32(f.row);
            i32(f.column);
            out.append(f.logFont);
        }
        for (int list = 0; list < ListCount; ++list) {
            if (list == State && version < 2)
                break;
            for (const Value& v : lists[list]) {
                i32(v.row);
                i32(v.column);
                i32(v.value);
            }
        }
        if (version >= 3) {
            for (const auto& rule : rulesA) {
                for (qint32 v : rule)
                    i32(v);
            }
        }
        if (version >= 4) {
            for (const auto& rule : rulesB) {
                for (qint32 v : rule)
                    i32(v);
            }
        }
        return out;
    }
};

inline void patch(QByteArray& bytes, qsizetype offset, qint32 value) {
    qToLittleEndian(value, bytes.data() + offset);
}

inline qint32 peek(const QByteArray& bytes, qsizetype offset) {
    return qFromLittleEndian<qint32>(bytes.constData() + offset);
}

// A LOGFONTA of 60 bytes: height, weight, italic, underline, strike-out and face name.
inline QByteArray logFont(qint32 height, qint32 weight, bool italic, bool underline, bool strikeOut,
                          const QByteArray& face, char charSet = char(134), qint32 width = 0) {
    QByteArray f(60, '\0');
    qToLittleEndian(height, f.data());
    qToLittleEndian(width, f.data() + 4);
    qToLittleEndian(weight, f.data() + 16);
    f[20] = italic;
    f[21] = underline;
    f[22] = strikeOut;
    f[23] = charSet;
    f.replace(28, face.size(), face);
    return f;
}

} // namespace testgrid
