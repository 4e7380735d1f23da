#pragma once

// BMP and icon files built byte by byte, and a reader of the 24-bit BMP images the store keeps.

#include <QByteArray>
#include <QList>
#include <QtEndian>

#include <functional>

namespace testpicture {

struct Rgba {
    int r = 0, g = 0, b = 0, a = 255;
    bool operator==(const Rgba& o) const { return r == o.r && g == o.g && b == o.b && a == o.a; }
};

using PixelAt = std::function<Rgba(int x, int y)>; // y = 0 is the top row
using IndexAt = std::function<int(int x, int y)>;
using MaskAt = std::function<bool(int x, int y)>; // true: transparent

inline void put16(QByteArray& b, quint16 v) {
    char c[2];
    qToLittleEndian(v, c);
    b.append(c, 2);
}

inline void put32(QByteArray& b, quint32 v) {
    char c[4];
    qToLittleEndian(v, c);
    b.append(c, 4);
}

inline int strideOf(int width, int bits) {
    return (width * bits + 31) / 32 * 4;
}

inline QByteArray infoHeader(int width, int height, int bits, quint32 compression = 0, quint32 colours = 0,
                             quint32 size = 40) {
    QByteArray h;
    put32(h, size);
    put32(h, static_cast<quint32>(width));
    put32(h, static_cast<quint32>(height));
    put16(h, 1);
    put16(h, static_cast<quint16>(bits));
    put32(h, compression);
    put32(h, 0);
    put32(h, 0);
    put32(h, 0);
    put32(h, colours);
    put32(h, 0);
    h.append(static_cast<qsizetype>(size) - 40, '\0');
    return h;
}

// Pixel rows of a DIB, bottom row first unless topDown. Indexed depths take `index`, the others
// `pixel` (16 bits as 5-5-5).
inline QByteArray pixelRows(int width, int height, int bits, const PixelAt& pixel, const IndexAt& index = {},
                            bool topDown = false) {
    QByteArray rows;
    const int stride = strideOf(width, bits);
    for (int k = 0; k < height; ++k) {
        const int y = topDown ? k : height - 1 - k;
        QByteArray row(stride, '\0');
        for (int x = 0; x < width; ++x) {
            if (bits <= 8) {
                const int bit = x * bits;
                row[bit / 8] = static_cast<char>(row[bit / 8] | (index(x, y) << (8 - bits - bit % 8)));
                continue;
            }
            const Rgba p = pixel(x, y);
            if (bits == 16) {
                const quint16 v = static_cast<quint16>(((p.r >> 3) << 10) | ((p.g >> 3) << 5) | (p.b >> 3));
                qToLittleEndian(v, row.data() + x * 2);
            } else {
                const int n = bits / 8;
                row[x * n] = static_cast<char>(p.b);
                row[x * n + 1] = static_cast<char>(p.g);
                row[x * n + 2] = static_cast<char>(p.r);
                if (n == 4)
                    row[x * n + 3] = static_cast<char>(p.a);
            }
        }
        rows.append(row);
    }
    return rows;
}

inline QByteArray palette(const QList<Rgba>& colours) {
    QByteArray p;
    for (const Rgba& c : colours) {
        p.append(static_cast<char>(c.b));
        p.append(static_cast<char>(c.g));
        p.append(static_cast<char>(c.r));
        p.append('\0');
    }
    return p;
}

inline QByteArray bmpFile(int width, int height, int bits, const PixelAt& pixel, const IndexAt& index = {},
                          const QList<Rgba>& colours = {}, bool topDown = false) {
    const QByteArray info =
        infoHeader(width, topDown ? -height : height, bits, 0, static_cast<quint32>(colours.size()));
    const QByteArray table = palette(colours);
    const QByteArray rows = pixelRows(width, height, bits, pixel, index, topDown);
    QByteArray file("BM");
    put32(file, static_cast<quint32>(14 + info.size() + table.size() + rows.size()));
    put32(file, 0);
    put32(file, static_cast<quint32>(14 + info.size() + table.size()));
    return file + info + table + rows;
}

// A BMP file of one colour (index 0 of a table of two), built without a call per pixel: a picture
// that costs a few bytes a row on disk and three bytes a pixel once it is a cell's.
inline QByteArray plainIndexedBmp(int width, int height, int bits) {
    const QByteArray info = infoHeader(width, height, bits, 0, 2);
    const QByteArray table = palette({Rgba{255, 255, 255}, Rgba{0, 0, 0}});
    QByteArray file("BM");
    const qsizetype rows = qsizetype(strideOf(width, bits)) * height;
    put32(file, static_cast<quint32>(14 + info.size() + table.size() + rows));
    put32(file, 0);
    put32(file, static_cast<quint32>(14 + info.size() + table.size()));
    return file + info + table + QByteArray(rows, '\0');
}

// An icon (type 1) or cursor (type 2) file with one bitmap image and its AND mask.
inline QByteArray iconFile(int width, int height, int bits, const PixelAt& pixel, const MaskAt& transparent,
                           const IndexAt& index = {}, const QList<Rgba>& colours = {}, int type = 1,
                           bool withMask = true) {
    QByteArray image = infoHeader(width, height * 2, bits);
    if (bits <= 8) {
        QList<Rgba> table = colours;
        while (table.size() < (1 << bits))
            table.append(Rgba{0, 0, 0});
        image += palette(table);
    }
    image += pixelRows(width, height, bits, pixel, index);
    if (withMask) {
        image += pixelRows(width, height, 1, {}, [&](int x, int y) { return transparent(x, y) ? 1 : 0; });
    }
    QByteArray file;
    put16(file, 0);
    put16(file, static_cast<quint16>(type));
    put16(file, 1);
    file.append(static_cast<char>(width));
    file.append(static_cast<char>(height));
    file.append(bits <= 8 ? static_cast<char>(1 << bits) : '\0');
    file.append('\0');
    put16(file, 1);
    put16(file, static_cast<quint16>(bits));
    put32(file, static_cast<quint32>(image.size()));
    put32(file, 22);
    return file + image;
}

// Reads the 24-bit BMP images the store keeps.
struct Bmp24 {
    QByteArray bytes;
    int width() const { return qFromLittleEndian<qint32>(bytes.constData() + 18); }
    int height() const { return qFromLittleEndian<qint32>(bytes.constData() + 22); }
    Rgba at(int x, int y) const // y = 0 is the top row
    {
        const int offset = 54 + (height() - 1 - y) * strideOf(width(), 24) + x * 3;
        const auto* p = reinterpret_cast<const uchar*>(bytes.constData()) + offset;
        return Rgba{p[2], p[1], p[0]};
    }
};

} // namespace testpicture
