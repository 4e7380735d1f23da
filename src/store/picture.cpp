#include "store/picture.h"

#include <QtEndian>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

namespace cuemora::picture {

namespace {

// The largest picture a cell takes: far beyond the room's 32 x 32 status icons, and small enough
// that a damaged size field never makes the program ask for gigabytes.
constexpr qint64 kMaxPixels = 16 * 1024 * 1024;

constexpr int kHeaderBytes = 54; // file header 14 + BITMAPINFOHEADER 40

struct Rgb {
    quint8 r = 0, g = 0, b = 0;
};

// Pixels top row first, as they are composed; written bottom-up at the end.
struct Image {
    qint64 width = 0;
    qint64 height = 0;
    std::vector<Rgb> pixels;
};

// Reads little-endian fields of a byte range, every read checked against its end.
class Bytes {
public:
    Bytes(const QByteArray& data, qint64 from = 0)
        : m_data(reinterpret_cast<const uchar*>(data.constData()))
        , m_size(data.size())
        , m_from(from) {}
    qint64 size() const { return m_size - m_from; }
    bool has(qint64 offset, qint64 length) const {
        return offset >= 0 && length >= 0 && offset <= size() && length <= size() - offset;
    }
    const uchar* at(qint64 offset) const { return m_data + m_from + offset; }
    quint8 u8(qint64 offset) const { return *at(offset); }
    quint16 u16(qint64 offset) const { return qFromLittleEndian<quint16>(at(offset)); }
    quint32 u32(qint64 offset) const { return qFromLittleEndian<quint32>(at(offset)); }
    qint32 i32(qint64 offset) const { return qFromLittleEndian<qint32>(at(offset)); }

private:
    const uchar* m_data;
    qint64 m_size;
    qint64 m_from;
};

qint64 strideOf(qint64 width, int bitsPerPixel) {
    return (width * bitsPerPixel + 31) / 32 * 4;
}

// A colour channel under a bit mask, scaled to 0..255.
struct Channel {
    quint32 mask = 0;
    int shift = 0;
    quint32 max = 0;

    explicit Channel(quint32 m = 0)
        : mask(m) {
        if (mask == 0)
            return;
        while (((mask >> shift) & 1u) == 0)
            ++shift;
        max = mask >> shift;
    }
    quint8 of(quint32 value) const {
        if (max == 0)
            return 0;
        return static_cast<quint8>(((value & mask) >> shift) * 255u / max);
    }
};

// Where a DIB's pixels are and how to read them; the parts BMP files and icons share.
struct Dib {
    qint64 width = 0;
    qint64 height = 0; // rows of the colour image
    bool topDown = false;
    int bits = 0;
    std::vector<Rgb> palette;
    Channel red, green, blue, alpha;
};

bool readPalette(const Bytes& in, qint64 offset, qint64 entries, int entryBytes, Dib& dib) {
    if (!in.has(offset, entries * entryBytes))
        return false;
    dib.palette.resize(static_cast<size_t>(entries));
    for (qint64 k = 0; k < entries; ++k) {
        const qint64 at = offset + k * entryBytes;
        dib.palette[static_cast<size_t>(k)] = Rgb{in.u8(at + 2), in.u8(at + 1), in.u8(at)};
    }
    return true;
}

bool sizeAllowed(qint64 width, qint64 height) {
    return width > 0 && height > 0 && width <= kMaxPixels && height <= kMaxPixels / width;
}

// Decodes the rows of a DIB at `pixels` into `image` (top row first); the alpha bytes of a 32-bit
// image go into `alphaOut` when asked for.
bool decodeRows(const Bytes& in, qint64 pixels, const Dib& dib, Image& image, std::vector<quint8>* alphaOut) {
    const qint64 stride = strideOf(dib.width, dib.bits);
    if (!in.has(pixels, 0) || stride <= 0 || dib.height > (in.size() - pixels) / stride)
        return false;
    image.width = dib.width;
    image.height = dib.height;
    image.pixels.assign(static_cast<size_t>(dib.width * dib.height), Rgb{});
    if (alphaOut)
        alphaOut->assign(image.pixels.size(), 0);
    const qint64 paletteSize = static_cast<qint64>(dib.palette.size());
    for (qint64 y = 0; y < dib.height; ++y) {
        const qint64 fileRow = dib.topDown ? y : dib.height - 1 - y;
        const uchar* row = in.at(pixels + fileRow * stride);
        Rgb* out = image.pixels.data() + y * dib.width;
        for (qint64 x = 0; x < dib.width; ++x) {
            switch (dib.bits) {
            case 1:
            case 4:
            case 8: {
                const qint64 bit = x * dib.bits;
                const int shift = 8 - dib.bits - static_cast<int>(bit % 8);
                const int index = (row[bit / 8] >> shift) & ((1 << dib.bits) - 1);
                // An index past the colour table is drawn black, as the system draws it.
                out[x] = index < paletteSize ? dib.palette[static_cast<size_t>(index)] : Rgb{};
                break;
            }
            case 16: {
                const quint32 v = qFromLittleEndian<quint16>(row + x * 2);
                out[x] = Rgb{dib.red.of(v), dib.green.of(v), dib.blue.of(v)};
                break;
            }
            case 24:
                out[x] = Rgb{row[x * 3 + 2], row[x * 3 + 1], row[x * 3]};
                break;
            case 32: {
                const quint32 v = qFromLittleEndian<quint32>(row + x * 4);
                out[x] = Rgb{dib.red.of(v), dib.green.of(v), dib.blue.of(v)};
                if (alphaOut)
                    (*alphaOut)[static_cast<size_t>(y * dib.width + x)] = dib.alpha.of(v);
                break;
            }
            default:
                return false;
            }
        }
    }
    return true;
}

QByteArray encodeBmp24(const Image& image) {
    const qint64 stride = strideOf(image.width, 24);
    const qint64 pixelBytes = stride * image.height;
    QByteArray out(kHeaderBytes + pixelBytes, '\0');
    auto* p = reinterpret_cast<uchar*>(out.data());
    p[0] = 'B';
    p[1] = 'M';
    qToLittleEndian<quint32>(static_cast<quint32>(out.size()), p + 2);
    qToLittleEndian<quint32>(kHeaderBytes, p + 10);
    qToLittleEndian<quint32>(40, p + 14);
    qToLittleEndian<qint32>(static_cast<qint32>(image.width), p + 18);
    qToLittleEndian<qint32>(static_cast<qint32>(image.height), p + 22);
    qToLittleEndian<quint16>(1, p + 26);
    qToLittleEndian<quint16>(24, p + 28);
    qToLittleEndian<quint32>(static_cast<quint32>(pixelBytes), p + 34);
    for (qint64 y = 0; y < image.height; ++y) {
        uchar* row = p + kHeaderBytes + (image.height - 1 - y) * stride;
        const Rgb* in = image.pixels.data() + y * image.width;
        for (qint64 x = 0; x < image.width; ++x) {
            row[x * 3] = in[x].b;
            row[x * 3 + 1] = in[x].g;
            row[x * 3 + 2] = in[x].r;
        }
    }
    return out;
}

bool validBits(int bits) {
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

QByteArray fromBmp(const QByteArray& data) {
    const Bytes in(data);
    if (!in.has(0, 18))
        return {};
    const quint32 pixelOffset = in.u32(10);
    const quint32 headerSize = in.u32(14);
    if (!in.has(14, headerSize))
        return {};
    Dib dib;
    quint32 compression = 0;
    qint64 paletteEntries = 0;
    int entryBytes = 4;
    qint64 afterHeader = 14 + static_cast<qint64>(headerSize);
    if (headerSize == 12) { // the old OS/2 header
        dib.width = in.u16(18);
        dib.height = in.u16(20);
        if (in.u16(22) != 1)
            return {};
        dib.bits = in.u16(24);
        entryBytes = 3;
        if (dib.bits <= 8)
            paletteEntries = qint64(1) << dib.bits;
    } else if (headerSize == 40 || headerSize == 52 || headerSize == 56 || headerSize == 108 || headerSize == 124) {
        dib.width = in.i32(18);
        const qint32 height = in.i32(22);
        if (height == std::numeric_limits<qint32>::min())
            return {};
        dib.topDown = height < 0;
        dib.height = height < 0 ? -qint64(height) : height;
        if (in.u16(26) != 1)
            return {};
        dib.bits = in.u16(28);
        compression = in.u32(30);
        const quint32 used = in.u32(46);
        if (dib.bits <= 8)
            paletteEntries = used == 0 || used > (1u << dib.bits) ? (qint64(1) << dib.bits) : used;
    } else {
        return {};
    }
    if (!validBits(dib.bits) || !sizeAllowed(dib.width, dib.height))
        return {};

    // A bottom-up 24-bit picture with the plain header is already what a cell keeps.
    if (headerSize == 40 && dib.bits == 24 && compression == 0 && !dib.topDown) {
        const qint64 stride = strideOf(dib.width, 24);
        if (pixelOffset >= 54 && pixelOffset <= data.size() && dib.height <= (data.size() - pixelOffset) / stride)
            return data;
        return {};
    }

    if (dib.bits == 16) {
        dib.red = Channel(0x7C00);
        dib.green = Channel(0x03E0);
        dib.blue = Channel(0x001F);
    } else if (dib.bits == 32) {
        dib.red = Channel(0x00FF0000);
        dib.green = Channel(0x0000FF00);
        dib.blue = Channel(0x000000FF);
    }
    if (compression == 3 && (dib.bits == 16 || dib.bits == 32)) {
        // BI_BITFIELDS: the three masks follow a 40-byte header, or stand inside a longer one.
        const qint64 masks = 14 + 40;
        if (!in.has(masks, 12))
            return {};
        dib.red = Channel(in.u32(masks));
        dib.green = Channel(in.u32(masks + 4));
        dib.blue = Channel(in.u32(masks + 8));
        if (headerSize == 40)
            afterHeader += 12;
    } else if (compression != 0) {
        return {}; // run-length or embedded JPEG/PNG data
    }
    if (paletteEntries > 0 && !readPalette(in, afterHeader, paletteEntries, entryBytes, dib))
        return {};
    if (pixelOffset < afterHeader)
        return {};
    Image image;
    if (!decodeRows(in, pixelOffset, dib, image, nullptr))
        return {};
    return encodeBmp24(image);
}

// Icons and cursors: the first image of the directory, drawn on white.
QByteArray fromIcon(const QByteArray& data) {
    const Bytes file(data);
    if (!file.has(0, 6 + 16) || file.u16(4) == 0)
        return {};
    const quint32 imageOffset = file.u32(6 + 12);
    if (!file.has(imageOffset, 40))
        return {};
    const Bytes in(data, imageOffset);
    if (in.u32(0) < 40 || in.u32(0) > 124 || in.u32(0) > in.size())
        return {}; // a PNG-compressed image starts with 89 50 4E 47, never with a header size
    Dib dib;
    dib.width = in.i32(4);
    const qint32 doubledHeight = in.i32(8); // the colour image and its mask, one above the other
    dib.height = doubledHeight / 2;
    dib.bits = in.u16(14);
    if (in.u16(12) != 1 || in.u32(16) != 0 || doubledHeight <= 0 || dib.bits == 16 || !validBits(dib.bits))
        return {};
    if (!sizeAllowed(dib.width, dib.height))
        return {};
    qint64 offset = in.u32(0);
    if (dib.bits <= 8) {
        const quint32 used = in.u32(32);
        const qint64 entries = used == 0 || used > (1u << dib.bits) ? (qint64(1) << dib.bits) : used;
        if (!readPalette(in, offset, entries, 4, dib))
            return {};
        offset += entries * 4;
    } else if (dib.bits == 32) {
        dib.red = Channel(0x00FF0000);
        dib.green = Channel(0x0000FF00);
        dib.blue = Channel(0x000000FF);
        dib.alpha = Channel(0xFF000000);
    }
    Image image;
    std::vector<quint8> alpha;
    if (!decodeRows(in, offset, dib, image, dib.bits == 32 ? &alpha : nullptr))
        return {};
    offset += strideOf(dib.width, dib.bits) * dib.height;

    const qint64 maskStride = strideOf(dib.width, 1);
    const bool hasMask = in.has(offset, maskStride * dib.height);
    bool byAlpha = false;
    if (dib.bits == 32) {
        for (quint8 a : alpha) {
            if (a != 0) {
                byAlpha = true;
                break;
            }
        }
    }
    // Without alpha the mask tells what is transparent; an older icon cannot do without it, a
    // 32-bit one whose alpha is all zero is drawn by its mask as the system draws it.
    if (!byAlpha && !hasMask && dib.bits != 32)
        return {};
    for (qint64 y = 0; y < dib.height; ++y) {
        const uchar* maskRow = hasMask ? in.at(offset + (dib.height - 1 - y) * maskStride) : nullptr;
        for (qint64 x = 0; x < dib.width; ++x) {
            Rgb& px = image.pixels[static_cast<size_t>(y * dib.width + x)];
            if (byAlpha) {
                const int a = alpha[static_cast<size_t>(y * dib.width + x)];
                const auto over = [a](int c) { return static_cast<quint8>((c * a + 255 * (255 - a) + 127) / 255); };
                px = Rgb{over(px.r), over(px.g), over(px.b)};
            } else if (maskRow && (maskRow[x / 8] >> (7 - x % 8)) & 1) {
                px = Rgb{255, 255, 255};
            }
        }
    }
    return encodeBmp24(image);
}

enum class Kind { None, Bmp, Icon };

Kind kindOf(const QByteArray& data) {
    if (data.size() <= 5)
        return Kind::None;
    const auto* p = reinterpret_cast<const uchar*>(data.constData());
    if (p[0] == 'B' && p[1] == 'M')
        return Kind::Bmp;
    if (p[0] == 0 && p[1] == 0 && (p[2] == 1 || p[2] == 2) && p[3] == 0)
        return Kind::Icon;
    // JPEG (FF D8), GIF, PCX (0A) and everything else: no picture.
    return Kind::None;
}

// The size of the 24-bit BMP file image of a picture; past what any picture may be, a size that
// no bound lets through (and that cannot overflow).
qint64 bmp24Size(qint64 width, qint64 height) {
    if (width <= 0 || height <= 0)
        return 0;
    if (!sizeAllowed(width, height))
        return std::numeric_limits<qint64>::max() / 2;
    return kHeaderBytes + strideOf(width, 24) * height;
}

} // namespace

QByteArray toBmp24(const QByteArray& data) {
    switch (kindOf(data)) {
    case Kind::Bmp:
        return fromBmp(data);
    case Kind::Icon:
        return fromIcon(data);
    default:
        return {};
    }
}

qint64 heldSize(const QByteArray& data) {
    const Bytes in(data);
    switch (kindOf(data)) {
    case Kind::Bmp: {
        if (!in.has(0, 26))
            return 0;
        const quint32 headerSize = in.u32(14);
        qint64 width = 0, height = 0;
        if (headerSize == 12) {
            width = in.u16(18);
            height = in.u16(20);
        } else {
            width = in.i32(18);
            height = std::abs(qint64(in.i32(22)));
        }
        // A plain bottom-up 24-bit file is kept as it came, with whatever follows its pixels.
        return std::max<qint64>(bmp24Size(width, height), data.size());
    }
    case Kind::Icon: {
        if (!in.has(0, 6 + 16))
            return 0;
        const quint32 imageOffset = in.u32(6 + 12);
        if (!in.has(imageOffset, 12))
            return 0;
        return bmp24Size(in.i32(imageOffset + 4), in.i32(imageOffset + 8) / 2);
    }
    default:
        return 0;
    }
}

} // namespace cuemora::picture
