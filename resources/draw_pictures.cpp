// Draws the program icon and the four status pictures of the register and writes them as .ico
// files, so that they can be redrawn whenever their look changes:
//
//     resources/redraw            (or: cmake --build build --target redraw_pictures)
//
// The icon files are written by hand rather than by an image plugin: the status pictures must be
// 32 x 32, 32-bit icons of exactly 4,286 bytes (header, one entry, a BITMAPINFOHEADER of double
// height, 4,096 bytes of BGRA rows bottom-up and a 128-byte AND mask), and the program icon holds
// six 32-bit images of 16 to 128 pixels.

#include <QByteArray>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtEndian>

#include <cstdio>
#include <functional>

namespace {

using Drawing = std::function<void(QPainter&)>;

void appendLe16(QByteArray& out, quint16 value) {
    char bytes[2];
    qToLittleEndian(value, bytes);
    out.append(bytes, 2);
}

void appendLe32(QByteArray& out, quint32 value) {
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

// One icon image as it stands in the file: BITMAPINFOHEADER (height doubled for the mask), BGRA
// rows from the bottom up, then the AND mask, one bit a pixel, set where the pixel is transparent.
QByteArray iconImage(const QImage& picture) {
    const QImage image = picture.convertToFormat(QImage::Format_ARGB32);
    const int size = image.width();
    const int maskStride = ((size + 31) / 32) * 4;
    QByteArray out;
    appendLe32(out, 40);
    appendLe32(out, quint32(size));
    appendLe32(out, quint32(size * 2));
    appendLe16(out, 1);  // planes
    appendLe16(out, 32); // bits per pixel
    appendLe32(out, 0);  // no compression
    appendLe32(out, quint32(size * size * 4 + maskStride * size));
    appendLe32(out, 0);
    appendLe32(out, 0);
    appendLe32(out, 0);
    appendLe32(out, 0);
    for (int y = size - 1; y >= 0; --y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < size; ++x) {
            const QRgb pixel = line[x];
            out.append(char(qBlue(pixel)));
            out.append(char(qGreen(pixel)));
            out.append(char(qRed(pixel)));
            out.append(char(qAlpha(pixel)));
        }
    }
    for (int y = size - 1; y >= 0; --y) {
        QByteArray row(maskStride, '\0');
        const QRgb* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < size; ++x) {
            if (qAlpha(line[x]) == 0)
                row[x / 8] = char(row[x / 8] | (0x80 >> (x % 8)));
        }
        out.append(row);
    }
    return out;
}

QByteArray iconFile(const QList<QImage>& images) {
    QByteArray out;
    appendLe16(out, 0);
    appendLe16(out, 1); // icon
    appendLe16(out, quint16(images.size()));
    QList<QByteArray> bodies;
    for (const QImage& image : images)
        bodies.append(iconImage(image));
    quint32 offset = quint32(6 + 16 * images.size());
    for (int i = 0; i < images.size(); ++i) {
        const int size = images[i].width();
        out.append(char(size >= 256 ? 0 : size));
        out.append(char(size >= 256 ? 0 : size));
        out.append(char(0)); // no palette
        out.append(char(0));
        appendLe16(out, 1);
        appendLe16(out, 32);
        appendLe32(out, quint32(bodies[i].size()));
        appendLe32(out, offset);
        offset += quint32(bodies[i].size());
    }
    for (const QByteArray& body : bodies)
        out.append(body);
    return out;
}

// Renders a drawing made for a 32-unit square at the given size.
QImage render(const Drawing& draw, int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 32.0, size / 32.0);
    draw(painter);
    painter.end();
    return image;
}

void ball(QPainter& p, QPointF centre, qreal radius, QColor colour) {
    QRadialGradient shade(centre - QPointF(radius * 0.35, radius * 0.35), radius * 1.3);
    shade.setColorAt(0, colour.lighter(170));
    shade.setColorAt(0.45, colour);
    shade.setColorAt(1, colour.darker(170));
    p.setPen(Qt::NoPen);
    p.setBrush(shade);
    p.drawEllipse(centre, radius, radius);
}

const QColor kCloth(0x1f, 0x8a, 0x3c);
const QColor kClothDark(0x14, 0x63, 0x2a);
const QColor kWood(0x7a, 0x45, 0x1c);

// A billiard table seen from above: wooden rails, green cloth, six pockets, the balls racked at one
// end and the cue ball at the other.
void billiardFree(QPainter& p) {
    p.setPen(QPen(kWood.darker(150), 0.8));
    p.setBrush(kWood);
    p.drawRoundedRect(QRectF(0.6, 5.6, 30.8, 20.8), 3, 3);
    QLinearGradient cloth(0, 8, 0, 24);
    cloth.setColorAt(0, kCloth.lighter(115));
    cloth.setColorAt(1, kCloth);
    p.setPen(Qt::NoPen);
    p.setBrush(cloth);
    p.drawRect(QRectF(3.2, 8.2, 25.6, 15.6));
    p.setBrush(QColor(0x10, 0x10, 0x10));
    for (const QPointF& pocket : {QPointF(3.4, 8.4), QPointF(16, 7.8), QPointF(28.6, 8.4), QPointF(3.4, 23.6),
                                  QPointF(16, 24.2), QPointF(28.6, 23.6)})
        p.drawEllipse(pocket, 1.7, 1.7);
    // the rack: a triangle of fifteen balls pointing at the cue ball
    const QColor colours[] = {QColor(0xf2, 0xc1, 0x1d), QColor(0x1e, 0x4f, 0xd8), QColor(0xd9, 0x23, 0x23),
                              QColor(0x6a, 0x2c, 0x9e), QColor(0xf0, 0x7c, 0x12), QColor(0x11, 0x11, 0x11),
                              QColor(0x8b, 0x1a, 0x1a), QColor(0x1b, 0x7a, 0x3a)};
    const qreal r = 1.05;
    int k = 0;
    for (int column = 0; column < 5; ++column) {
        for (int i = 0; i <= column; ++i) {
            const QPointF centre(19.0 + column * 1.8, 16.0 + (i - column / 2.0) * 2.1);
            ball(p, centre, r, colours[k++ % 8]);
        }
    }
    ball(p, QPointF(9.0, 16.0), 1.25, QColor(0xf4, 0xf4, 0xf0));
    p.setPen(QPen(QColor(255, 255, 255, 90), 0.4));
    p.drawLine(QPointF(9.8, 8.6), QPointF(9.8, 23.4)); // the head string
}

// Close up: the tip of a cue striking a ball on the green cloth.
void billiardInUse(QPainter& p) {
    QRadialGradient cloth(QPointF(16, 14), 22);
    cloth.setColorAt(0, kCloth.lighter(120));
    cloth.setColorAt(1, kClothDark);
    p.setPen(QPen(kClothDark.darker(130), 0.8));
    p.setBrush(cloth);
    p.drawRoundedRect(QRectF(0.5, 0.5, 31, 31), 4, 4);
    // the ball's shadow, then the ball
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 70));
    p.drawEllipse(QPointF(20.5, 20.5), 8.5, 7);
    ball(p, QPointF(19.5, 18.5), 8.0, QColor(0xf6, 0xf6, 0xee));
    // a red spot on the ball, so that it reads as a ball and not a hole
    ball(p, QPointF(22.5, 16.5), 2.3, QColor(0xd0, 0x22, 0x22));
    // the cue coming in from the lower left: butt, wood, white ferrule, blue tip
    p.save();
    p.translate(12.3, 11.3);
    p.rotate(45.0 + 180.0);
    QLinearGradient wood(0, -2.2, 0, 2.2);
    wood.setColorAt(0, QColor(0xe9, 0xc2, 0x86));
    wood.setColorAt(0.5, QColor(0xc8, 0x8f, 0x4a));
    wood.setColorAt(1, QColor(0x8a, 0x55, 0x22));
    QPainterPath shaft;
    shaft.moveTo(2.4, -1.3);
    shaft.lineTo(24, -2.4);
    shaft.lineTo(24, 2.4);
    shaft.lineTo(2.4, 1.3);
    shaft.closeSubpath();
    p.setPen(QPen(QColor(0x5a, 0x32, 0x10), 0.5));
    p.setBrush(wood);
    p.drawPath(shaft);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x2b, 0x1a, 0x10));
    p.drawRect(QRectF(14, -2.0, 10, 4.0)); // the dark butt
    p.setBrush(QColor(0xf8, 0xf8, 0xf8));
    p.drawRect(QRectF(1.0, -1.3, 1.6, 2.6)); // ferrule
    p.setBrush(QColor(0x2a, 0x6f, 0xd6));
    p.drawRoundedRect(QRectF(-0.2, -1.25, 1.4, 2.5), 0.5, 0.5); // chalked tip
    p.restore();
    // the strike
    p.setPen(QPen(QColor(255, 255, 230, 230), 0.9, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(10.0, 15.0), QPointF(7.0, 16.2));
    p.drawLine(QPointF(12.2, 10.0), QPointF(10.0, 7.4));
    p.drawLine(QPointF(15.0, 9.8), QPointF(16.2, 6.8));
}

// A mahjong table seen from the side, a little from above: a square top and a pedestal.
void mahjongTable(QPainter& p, QColor top, QColor edge, QColor pedestal, bool withTiles) {
    // the pedestal: a column and a round foot
    QLinearGradient column(12, 0, 20, 0);
    column.setColorAt(0, pedestal.darker(125));
    column.setColorAt(0.45, pedestal.lighter(110));
    column.setColorAt(1, pedestal.darker(140));
    p.setPen(QPen(pedestal.darker(170), 0.6));
    p.setBrush(column);
    p.drawRect(QRectF(13.2, 15.5, 5.6, 10.5));
    p.drawEllipse(QRectF(7.0, 24.4, 18.0, 5.6));
    // the top: a square seen from above at a slant, with its front edge
    QPolygonF face;
    face << QPointF(16, 2.0) << QPointF(31.2, 9.0) << QPointF(16, 16.0) << QPointF(0.8, 9.0);
    QPolygonF frontLeft;
    frontLeft << QPointF(0.8, 9.0) << QPointF(16, 16.0) << QPointF(16, 19.0) << QPointF(0.8, 12.0);
    QPolygonF frontRight;
    frontRight << QPointF(16, 16.0) << QPointF(31.2, 9.0) << QPointF(31.2, 12.0) << QPointF(16, 19.0);
    p.setPen(QPen(edge.darker(160), 0.6));
    p.setBrush(edge);
    p.drawPolygon(frontLeft);
    p.setBrush(edge.darker(120));
    p.drawPolygon(frontRight);
    QLinearGradient shine(0, 2, 0, 16);
    shine.setColorAt(0, top.lighter(115));
    shine.setColorAt(1, top);
    p.setBrush(shine);
    p.drawPolygon(face);
    if (!withTiles)
        return;
    // green cloth in the middle and the four walls of tiles around it
    QPolygonF cloth;
    cloth << QPointF(16, 5.2) << QPointF(24.6, 9.0) << QPointF(16, 12.8) << QPointF(7.4, 9.0);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x1c, 0x7d, 0x46));
    p.drawPolygon(cloth);
    auto tile = [&p](QPointF at, qreal angle) {
        p.save();
        p.translate(at);
        p.rotate(angle);
        p.setPen(QPen(QColor(0x55, 0x55, 0x40), 0.3));
        p.setBrush(QColor(0x2f, 0x9e, 0x5e)); // the green back
        p.drawRect(QRectF(-1.0, -0.7, 2.0, 1.9));
        p.setBrush(QColor(0xfb, 0xf8, 0xe8)); // the ivory face
        p.drawRect(QRectF(-1.0, -1.3, 2.0, 1.3));
        p.restore();
    };
    // one wall along each side of the square, drawn from the back to the front
    for (int i = 0; i < 4; ++i) {
        const qreal t = 0.2 + i * 0.2;
        tile(QPointF(16 - 11.0 * t + 0.0, 3.8 + 5.0 * t), 24.7); // back left wall
        tile(QPointF(16 + 11.0 * t, 3.8 + 5.0 * t), -24.7);      // back right wall
    }
    for (int i = 0; i < 4; ++i) {
        const qreal t = 0.2 + i * 0.2;
        tile(QPointF(5.0 + 11.0 * t, 10.0 + 5.0 * t), -24.7); // front left wall
        tile(QPointF(27.0 - 11.0 * t, 10.0 + 5.0 * t), 24.7); // front right wall
    }
}

void mahjongFree(QPainter& p) {
    mahjongTable(p, QColor(0xe2, 0xb8, 0x7c), QColor(0xc4, 0x93, 0x55), QColor(0xfa, 0xfa, 0xfa), false);
}

void mahjongInUse(QPainter& p) {
    mahjongTable(p, QColor(0x5a, 0x34, 0x1e), QColor(0x3e, 0x22, 0x12), QColor(0x90, 0x90, 0x90), true);
}

// The program's icon: a round green cloth with a wooden rim, the cue ball and a red ball, and the
// tip of a cue.
void appIcon(QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(kWood);
    p.drawRoundedRect(QRectF(0.5, 0.5, 31, 31), 6, 6);
    QRadialGradient cloth(QPointF(14, 13), 18);
    cloth.setColorAt(0, kCloth.lighter(125));
    cloth.setColorAt(1, kClothDark);
    p.setBrush(cloth);
    p.drawRoundedRect(QRectF(3, 3, 26, 26), 4, 4);
    ball(p, QPointF(20.5, 12.0), 5.2, QColor(0xd4, 0x1f, 0x1f));
    ball(p, QPointF(11.5, 20.5), 5.2, QColor(0xf6, 0xf6, 0xee));
    p.save();
    p.translate(7.6, 24.4);
    p.rotate(135.0);
    QLinearGradient wood(0, -1.6, 0, 1.6);
    wood.setColorAt(0, QColor(0xf0, 0xcd, 0x93));
    wood.setColorAt(1, QColor(0x9a, 0x62, 0x2a));
    p.setBrush(wood);
    p.setPen(QPen(QColor(0x5a, 0x32, 0x10), 0.5));
    QPainterPath shaft;
    shaft.moveTo(0.0, -1.0);
    shaft.lineTo(12.0, -1.8);
    shaft.lineTo(12.0, 1.8);
    shaft.lineTo(0.0, 1.0);
    shaft.closeSubpath();
    p.drawPath(shaft);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x2a, 0x6f, 0xd6));
    p.drawRect(QRectF(-0.8, -1.0, 1.0, 2.0));
    p.restore();
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s: %lld bytes\n", qPrintable(path), qlonglong(bytes.size()));
    return true;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv); // QPainter needs the font and raster machinery of Qt Gui
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir(out).mkpath(QStringLiteral("pictures"));
    QDir(out).mkpath(QStringLiteral("icons"));

    struct Status {
        const char* file;
        Drawing draw;
    };
    const Status statuses[] = {
        {"pictures/billiard_free.ico", billiardFree},
        {"pictures/billiard_in_use.ico", billiardInUse},
        {"pictures/mahjong_free.ico", mahjongFree},
        {"pictures/mahjong_in_use.ico", mahjongInUse},
    };
    bool ok = true;
    for (const Status& status : statuses) {
        const QByteArray bytes = iconFile({render(status.draw, 32)});
        if (bytes.size() != 4286) {
            std::fprintf(stderr, "%s would be %lld bytes, not 4286\n", status.file, qlonglong(bytes.size()));
            return 1;
        }
        ok = writeFile(out + QLatin1Char('/') + QLatin1String(status.file), bytes) && ok;
    }
    QList<QImage> sizes;
    for (int size : {16, 32, 48, 64, 96, 128})
        sizes.append(render(appIcon, size));
    ok = writeFile(out + QStringLiteral("/icons/cuemora.ico"), iconFile(sizes)) && ok;
    return ok ? 0 : 1;
}
