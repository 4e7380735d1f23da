// Writes each image of a program icon (.ico) as a PNG named after its size, for the desktop's icon
// theme: icon_pngs cuemora.ico DIR writes DIR/16.png, DIR/32.png and so on. The .ico stays the one
// drawing of the icon; the PNGs are made from it at every build and never kept apart from it.

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QImageReader>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: icon_pngs ICON.ico DIRECTORY\n");
        return 2;
    }
    QImageReader reader(args[1], "ico");
    const int count = reader.imageCount();
    if (count <= 0) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(args[1]), qPrintable(reader.errorString()));
        return 1;
    }
    QDir().mkpath(args[2]);
    for (int i = 0; i < count; ++i) {
        QImage image;
        if (!reader.jumpToImage(i) || !reader.read(&image) || image.width() != image.height()) {
            std::fprintf(stderr, "%s: image %d: %s\n", qPrintable(args[1]), i, qPrintable(reader.errorString()));
            return 1;
        }
        const QString path = QDir(args[2]).filePath(QString::number(image.width()) + QStringLiteral(".png"));
        if (!image.save(path, "PNG")) {
            std::fprintf(stderr, "%s: cannot be written\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
