// Writes the fuzzers' seeds of the room's size into a directory: files as the store writes them,
// of a hundred kilobytes and more, and the hostile files of the tests. The committed fixtures are
// all small; from small seeds libFuzzer would never try a file of the size a real register has.
#include "core/hostile_grid_files.h"
#include "store/grid_store.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cstdio>

using namespace testgrid;

namespace {

bool put(const QString& directory, const char* name, const QByteArray& bytes) {
    QFile file(QDir(directory).filePath(QString::fromLatin1(name)));
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// A file as the store writes it for what a built file holds (an icon becomes its 24-bit BMP).
QByteArray asStored(const GridFile& file) {
    cuemora::GridStore grid;
    return grid.loadFromBytes(file.bytes()) ? grid.toBytes() : file.bytes();
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fputs("usage: make_seeds DIRECTORY\n", stderr);
        return 2;
    }
    const QString directory = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(directory);
    using namespace hostile;
    GridFile withPictures = registerFile(40); // 40 status pictures of 3,126 bytes: 130 KB
    const QByteArray icon = testpicture::iconFile(
        32, 32, 8, {}, [](int x, int y) { return (x + y) % 7 == 0; }, [](int x, int y) { return (x * y) % 16; },
        {testpicture::Rgba{255, 0, 0}, testpicture::Rgba{0, 128, 0}});
    for (int n = 1; n <= 40; ++n)
        withPictures.cells.append({n, 0, {}, 0, icon});
    GridFile busyDay = takingsFile(2000); // 2,000 checkouts: 170 KB
    busyDay.lists[Background] = {{5, 1, 0x00FFFF}, {7, 2, 0xFF00FF}};
    GridFile picture = takingsFile(40);
    picture.cells.append({3, 0, {}, 0, testpicture::plainIndexedBmp(1024, 1024, 1)}); // 128 KB, 3 MB decoded
    const bool written = put(directory, "register-with-pictures", asStored(withPictures)) &&
                         put(directory, "busy-day", asStored(busyDay)) &&
                         put(directory, "vast-coloured", vastColoured(takingsFile(40), 20000).bytes()) &&
                         put(directory, "many-heights", manyHeights(takingsFile(40), 30000).bytes()) &&
                         put(directory, "tall-header-row", tallHeaderRow(registerFile(40)).bytes()) &&
                         put(directory, "one-bit-picture", picture.bytes());
    if (!written) {
        std::fputs("make_seeds: the seeds could not be written\n", stderr);
        return 1;
    }
    return 0;
}
