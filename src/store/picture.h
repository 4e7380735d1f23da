#pragma once

#include <QByteArray>

namespace cuemora::picture {

// The picture that some bytes stand for, as the cell keeps and the grid file holds it: a complete
// 24-bit BMP file image (54 bytes of headers, no colour table, rows from bottom to top in
// blue-green-red order, each padded to a multiple of 4 bytes). Accepted: BMP files of 1, 4, 8, 16,
// 24 or 32 bits per pixel without compression (bottom-up or top-down), and icon or cursor files
// whose first image is a bitmap of 1, 4, 8, 24 or 32 bits with its mask; an icon is drawn on white,
// so its transparent parts become white. A bottom-up 24-bit BMP with the plain 40-byte header is
// kept byte for byte as it came. Anything else (JPEG, GIF, PCX, PNG, damaged data) gives empty
// bytes: no picture.
QByteArray toBmp24(const QByteArray& data);

// The most bytes that toBmp24 gives for some data, read from its headers alone, before a pixel is
// decoded: what the picture will cost once it is a cell's. 0 for data whose headers are none of
// the kinds toBmp24 reads.
qint64 heldSize(const QByteArray& data);

} // namespace cuemora::picture
