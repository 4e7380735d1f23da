#include "picture_builder.h"
#include "store/grid_store.h"
#include "store/picture.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace cuemora;
using namespace testpicture;

Q_DECLARE_METATYPE(testpicture::Rgba)

namespace {

const Rgba kWhite{255, 255, 255};
const Rgba kRed{255, 0, 0};
const Rgba kGreen{0, 255, 0};
const Rgba kBlue{0, 0, 255};

// The room's status icons are 32 x 32: a green top band, then bands of red, blue and transparent.
Rgba pattern(int x, int y) {
    if (y < 8)
        return kGreen;
    return x < 8 ? kRed : kBlue;
}

int patternIndex(int x, int y) {
    if (y < 8)
        return 1;
    return x < 8 ? 2 : 3;
}

bool transparentBand(int x, int y) {
    return y >= 24 && x >= 24;
}

const QList<Rgba> kPalette{Rgba{0, 0, 0}, kGreen, kRed, kBlue};

// The picture at three points of the pattern and one of the transparent band.
void comparePattern(const QByteArray& bmp, int width, int height, bool transparent) {
    const Bmp24 image{bmp};
    QCOMPARE(image.width(), width);
    QCOMPARE(image.height(), height);
    QCOMPARE(image.at(0, 0), kGreen);
    QCOMPARE(image.at(1, height - 1), kRed);
    QCOMPARE(image.at(width / 2 + 1, height / 2), kBlue);
    QCOMPARE(image.at(width - 1, height - 1), transparent ? kWhite : kBlue);
}

} // namespace

class TestPicture : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // What the register shows in its image column: a 32-bit icon with alpha, drawn on white, kept
    // as a 24-bit BMP of exactly the layout the grid file holds.
    void iconWithAlphaBecomesBmpOnWhite() {
        const Rgba halfBlue{0, 0, 255, 128};
        const auto pixel = [&](int x, int y) {
            if (transparentBand(x, y))
                return Rgba{10, 20, 30, 0}; // colour under a zero alpha must not show
            if (y >= 24)
                return halfBlue;
            return pattern(x, y);
        };
        const QByteArray icon = iconFile(32, 32, 32, pixel, transparentBand);
        const QByteArray bmp = picture::toBmp24(icon);
        QCOMPARE(bmp.size(), 3126);
        const auto u32 = [&](int at) { return qFromLittleEndian<quint32>(bmp.constData() + at); };
        const auto u16 = [&](int at) { return qFromLittleEndian<quint16>(bmp.constData() + at); };
        QCOMPARE(bmp.left(2), QByteArray("BM"));
        QCOMPARE(u32(2), 3126u); // total size
        QCOMPARE(u32(6), 0u);    // reserved
        QCOMPARE(u32(10), 54u);  // pixel offset
        QCOMPARE(u32(14), 40u);
        QCOMPARE(u32(18), 32u);
        QCOMPARE(u32(22), 32u); // positive: bottom-up
        QCOMPARE(u16(26), quint16(1));
        QCOMPARE(u16(28), quint16(24));
        QCOMPARE(u32(30), 0u);    // no compression
        QCOMPARE(u32(34), 3072u); // pixel bytes
        QCOMPARE(u32(38), 0u);
        QCOMPARE(u32(42), 0u);
        QCOMPARE(u32(46), 0u); // no colour table
        QCOMPARE(u32(50), 0u);
        const Bmp24 image{bmp};
        QCOMPARE(image.at(0, 0), kGreen);
        QCOMPARE(image.at(3, 12), kRed);
        QCOMPARE(image.at(31, 31), kWhite);
        QCOMPARE(image.at(0, 31), (Rgba{127, 127, 255})); // half blue over white
        // A picture given twice is the same picture: the BMP is kept as it is.
        QCOMPARE(picture::toBmp24(bmp), bmp);
    }

    void icons_data() {
        QTest::addColumn<QByteArray>("icon");
        QTest::addColumn<bool>("transparent");
        const auto px = [](int x, int y) { return pattern(x, y); };
        for (int bits : {4, 8}) // one bit holds only two colours: see oneBitIcon
            QTest::addRow("%d-bit icon", bits)
                << iconFile(32, 32, bits, px, transparentBand, patternIndex, kPalette) << true;
        QTest::newRow("24-bit icon") << iconFile(32, 32, 24, px, transparentBand) << true;
        QTest::newRow("24-bit cursor") << iconFile(32, 32, 24, px, transparentBand, {}, {}, 2) << true;
        QTest::newRow("48 x 40 icon") << iconFile(48, 40, 24, px, transparentBand) << true;
        // Without alpha a 32-bit icon is drawn by its mask, as the system draws it.
        const auto noAlpha = [](int x, int y) {
            Rgba p = pattern(x, y);
            p.a = 0;
            return p;
        };
        QTest::newRow("32-bit icon without alpha") << iconFile(32, 32, 32, noAlpha, transparentBand) << true;
        QTest::newRow("32-bit icon without mask")
            << iconFile(32, 32, 32, px, transparentBand, {}, {}, 1, false) << false;
    }

    void icons() {
        QFETCH(QByteArray, icon);
        QFETCH(bool, transparent);
        const QByteArray bmp = picture::toBmp24(icon);
        QVERIFY(!bmp.isEmpty());
        const int width = qFromLittleEndian<qint32>(icon.constData() + 22 + 4);
        const int height = qFromLittleEndian<qint32>(icon.constData() + 22 + 8) / 2;
        comparePattern(bmp, width, height, transparent);
    }

    void oneBitIcon() {
        const auto index = [](int x, int y) { return y < 8 || x >= 16 ? 1 : 0; };
        const QByteArray icon = iconFile(32, 32, 1, {}, transparentBand, index, {Rgba{0, 0, 0}, kGreen});
        const Bmp24 image{picture::toBmp24(icon)};
        QCOMPARE(image.width(), 32);
        QCOMPARE(image.at(0, 0), kGreen);
        QCOMPARE(image.at(0, 20), (Rgba{0, 0, 0}));
        QCOMPARE(image.at(20, 20), kGreen);
        QCOMPARE(image.at(31, 31), kWhite);
    }

    void bitmaps_data() {
        QTest::addColumn<QByteArray>("bmp");
        const auto px = [](int x, int y) { return pattern(x, y); };
        // Odd widths, so that every row carries padding.
        QTest::newRow("4-bit") << bmpFile(21, 13, 4, px, patternIndex, kPalette);
        QTest::newRow("8-bit") << bmpFile(21, 13, 8, px, patternIndex, kPalette);
        QTest::newRow("8-bit top-down") << bmpFile(21, 13, 8, px, patternIndex, kPalette, true);
        QTest::newRow("16-bit") << bmpFile(21, 13, 16, px);
        QTest::newRow("24-bit top-down") << bmpFile(21, 13, 24, px, {}, {}, true);
        QTest::newRow("32-bit") << bmpFile(21, 13, 32, px);
        QByteArray fields = bmpFile(21, 13, 16, [](int x, int y) {
            const Rgba p = pattern(x, y);
            return Rgba{p.r, p.g, p.b};
        });
        QTest::newRow("16-bit 5-5-5 as bit fields") << [&] {
            // The same pixels, described by explicit masks after the header.
            QByteArray b = fields;
            qToLittleEndian<quint32>(3, b.data() + 30);
            QByteArray masks;
            put32(masks, 0x7C00);
            put32(masks, 0x03E0);
            put32(masks, 0x001F);
            b.insert(54, masks);
            qToLittleEndian<quint32>(54 + 12, b.data() + 10);
            return b;
        }();
    }

    void bitmaps() {
        QFETCH(QByteArray, bmp);
        const QByteArray kept = picture::toBmp24(bmp);
        QVERIFY(!kept.isEmpty());
        QCOMPARE(kept.size(), 54 + 13 * strideOf(21, 24));
        const Bmp24 image{kept};
        QCOMPARE(image.at(0, 0), kGreen);
        QCOMPARE(image.at(1, 12), kRed);
        QCOMPARE(image.at(20, 12), kBlue);
    }

    void oneBitBitmap() {
        const auto index = [](int x, int) { return x % 2; };
        const Bmp24 image{picture::toBmp24(bmpFile(9, 2, 1, {}, index, {kRed, kBlue}))};
        QCOMPARE(image.at(0, 1), kRed);
        QCOMPARE(image.at(8, 0), kRed);
        QCOMPARE(image.at(7, 0), kBlue);
    }

    // A bottom-up 24-bit BMP is what a cell keeps: its bytes stay exactly as they came, whatever
    // else its header says.
    void plainBitmapKeptAsItIs() {
        QByteArray bmp = bmpFile(5, 3, 24, [](int x, int y) { return Rgba{x * 40, y * 80, 7}; });
        qToLittleEndian<quint32>(2835, bmp.data() + 38); // 72 dpi
        bmp.append("trailing");
        QCOMPARE(picture::toBmp24(bmp), bmp);
    }

    void refused_data() {
        QTest::addColumn<QByteArray>("data");
        const QByteArray bmp = bmpFile(
            4, 4, 8, {}, [](int, int) { return 1; }, kPalette);
        const QByteArray icon = iconFile(32, 32, 8, {}, transparentBand, patternIndex, kPalette);
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("five bytes") << QByteArray("BM\0\0\0", 5);
        QTest::newRow("JPEG") << QByteArray("\xFF\xD8\xFF\xE0\0\x10JFIF\0", 12);
        QTest::newRow("GIF87a") << QByteArray("GIF87a\x20\0\x20\0\0\0\0", 13);
        QTest::newRow("GIF89a") << QByteArray("GIF89a\x20\0\x20\0\0\0\0", 13);
        QTest::newRow("PCX") << QByteArray("\x0A\x05\x01\x08\0\0\0\0\x1F\0\x1F\0", 12);
        QTest::newRow("PNG") << QByteArray("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16);
        QTest::newRow("text") << QByteArray("not a picture");
        QTest::newRow("bitmap cut short") << bmp.left(bmp.size() - 1);
        QTest::newRow("bitmap without palette") << bmp.left(54);
        QTest::newRow("icon without mask") << icon.left(icon.size() - 4 * 32);
        QTest::newRow("icon directory only") << icon.left(22);
        QByteArray rle = bmp;
        qToLittleEndian<quint32>(1, rle.data() + 30);
        QTest::newRow("run-length bitmap") << rle;
        QByteArray twoBits = bmp;
        qToLittleEndian<quint16>(2, twoBits.data() + 28);
        QTest::newRow("2 bits per pixel") << twoBits;
        QByteArray noWidth = bmp;
        qToLittleEndian<qint32>(0, noWidth.data() + 18);
        QTest::newRow("zero width") << noWidth;
        QByteArray vast = bmp;
        qToLittleEndian<qint32>(0x7FFFFFFF, vast.data() + 18);
        qToLittleEndian<qint32>(0x7FFFFFFF, vast.data() + 22);
        QTest::newRow("vast bitmap") << vast;
        QByteArray lowest = bmp;
        qToLittleEndian<qint32>(std::numeric_limits<qint32>::min(), lowest.data() + 22);
        QTest::newRow("lowest height") << lowest;
        QByteArray offsetPast = bmp;
        qToLittleEndian<quint32>(0xFFFFFFF0u, offsetPast.data() + 10);
        QTest::newRow("pixels past the end") << offsetPast;
        QByteArray vastIcon = icon;
        qToLittleEndian<qint32>(0x40000000, vastIcon.data() + 22 + 4);
        QTest::newRow("vast icon") << vastIcon;
        QByteArray imagePast = icon;
        qToLittleEndian<quint32>(0xFFFFFFFFu, imagePast.data() + 18);
        QTest::newRow("icon image past the end") << imagePast;
        QByteArray pngIcon = icon.left(22) + QByteArray("\x89PNG\r\n\x1A\n", 8) + QByteArray(100, '\0');
        QTest::newRow("PNG inside an icon") << pngIcon;
    }

    void refused() {
        QFETCH(QByteArray, data);
        QVERIFY(picture::toBmp24(data).isEmpty());
    }

    // The image column of a grid takes picture data, or the path of a picture file; anything else
    // leaves the cell's picture as it was.
    void imageColumn() {
        GridStore grid({.rows = 2, .columns = 2});
        QVERIFY(grid.setColumnKind(0, 6));
        const QByteArray icon = iconFile(32, 32, 32, pattern, transparentBand);
        QVERIFY(grid.setPicture(1, 0, icon));
        const QByteArray bmp = grid.getCell(1, 0).toByteArray();
        QCOMPARE(bmp.size(), 3126);
        QVERIFY(!grid.setPicture(1, 0, QByteArray("GIF89a\x20\0\x20\0\0\0\0", 13)));
        QVERIFY(!grid.setCell(1, 0, CellKind::Picture, 42));
        QCOMPARE(grid.getCell(1, 0).toByteArray(), bmp);
        QVERIFY(!grid.setPicture(1, 1, icon)); // not an image column
        QVERIFY(!grid.setPicture(2, 0, icon)); // outside the grid

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("空闲.bmp"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bmpFile(3, 3, 24, [](int, int) { return kRed; }));
        file.close();
        QVERIFY(grid.setCell(1, 0, CellKind::Picture, path));
        QCOMPARE(Bmp24{grid.getCell(1, 0).toByteArray()}.at(2, 2), kRed);
        QVERIFY(!grid.setCell(1, 0, CellKind::Picture, dir.filePath(QStringLiteral("没有"))));
        QVERIFY(!grid.setCell(1, 0, CellKind::Picture, dir.path())); // a directory
        // The header cell of an image column is an image cell too, but reads as its caption.
        QVERIFY(grid.setCell(0, 0, QStringLiteral("图片")));
        QCOMPARE(grid.getCell(0, 0).toString(), QStringLiteral("图片"));
    }
};

QTEST_APPLESS_MAIN(TestPicture)
#include "test_picture.moc"
