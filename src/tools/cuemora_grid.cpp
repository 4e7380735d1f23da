// cuemora-grid: a command-line companion for people who keep the room's grid files. It reads a
// grid file with the program's own grid store and shows it as CSV or JSON, or writes it again as
// a version-6 file.

#include "common/cp936.h"
#include "store/grid_store.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

#include <cstdio>

using namespace cuemora;

namespace {

constexpr int kDone = 0;
constexpr int kFileFailed = 1;
constexpr int kUsage = 2;

const char kUsageText[] = "用法:\n"
                          "  cuemora-grid csv FILE        每一行的文字, 以 UTF-8 CSV 输出\n"
                          "  cuemora-grid dump FILE       整个表格, 以 JSON 输出\n"
                          "  cuemora-grid copy IN OUT     读入 IN, 存为第 6 版文件 OUT\n";

int usage() {
    std::fputs(kUsageText, stderr);
    return kUsage;
}

int failed(const QString& path, const QString& why) {
    std::fprintf(stderr, "%s: %s\n", path.toLocal8Bit().constData(), why.toUtf8().constData());
    return kFileFailed;
}

bool writeOut(const QByteArray& bytes) {
    return std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout) ==
               static_cast<size_t>(bytes.size()) &&
           std::fflush(stdout) == 0;
}

// RFC 4180: a field with a comma, a quote or a line break is quoted, its quotes doubled.
QByteArray csvField(const QString& text) {
    QByteArray field = text.toUtf8();
    if (field.contains(',') || field.contains('"') || field.contains('\n') || field.contains('\r')) {
        field.replace("\"", "\"\"");
        field = '"' + field + '"';
    }
    return field;
}

QByteArray toCsv(const GridStore& grid) {
    QByteArray out;
    for (int r = 0; r < grid.rowCount(); ++r) {
        for (int c = 0; c < grid.columnCount(); ++c) {
            if (c > 0)
                out += ',';
            // Check marks read 真 or 假, pictures as nothing.
            out += csvField(grid.cellText(r, c));
        }
        out += "\r\n";
    }
    return out;
}

QJsonArray texts(const QList<QByteArray>& items) {
    QJsonArray array;
    for (const QByteArray& item : items)
        array.append(fromCp936(item));
    return array;
}

QByteArray toJson(const GridStore& grid) {
    QJsonObject root;
    root.insert(QStringLiteral("version"), grid.loadedVersion());
    root.insert(QStringLiteral("rows"), grid.rowCount());
    root.insert(QStringLiteral("columns"), grid.columnCount());
    root.insert(QStringLiteral("fixedRows"), grid.fixedRowCount());
    root.insert(QStringLiteral("fixedColumns"), grid.fixedColumnCount());
    root.insert(QStringLiteral("rowHeight"), grid.everyRowHeight());
    root.insert(QStringLiteral("columnWidth"), grid.everyColumnWidth());
    root.insert(QStringLiteral("gridLineColour"), qint64(grid.gridLineColour()));
    root.insert(QStringLiteral("background"), qint64(grid.defaultBackground()));
    root.insert(QStringLiteral("foreground"), qint64(grid.defaultForeground()));
    QJsonArray look;
    for (int n = 1; n <= 8; ++n)
        look.append(grid.lookSetting(n));
    root.insert(QStringLiteral("look"), look);

    QJsonArray heights;
    for (int r = 0; r < grid.rowCount(); ++r)
        heights.append(grid.rowHeight(r));
    root.insert(QStringLiteral("rowHeights"), heights);
    QJsonArray widths;
    for (int c = 0; c < grid.columnCount(); ++c)
        widths.append(grid.columnWidth(c));
    root.insert(QStringLiteral("columnWidths"), widths);

    QJsonArray kinds;
    for (const ColumnKind& kind : grid.columnKinds()) {
        kinds.append(QJsonObject{{QStringLiteral("column"), kind.column},
                                 {QStringLiteral("code"), kind.code},
                                 {QStringLiteral("textA"), fromCp936(kind.textA)},
                                 {QStringLiteral("textB"), fromCp936(kind.textB)},
                                 {QStringLiteral("x"), kind.x},
                                 {QStringLiteral("y"), kind.y},
                                 {QStringLiteral("items"), texts(kind.items)}});
    }
    root.insert(QStringLiteral("columnKinds"), kinds);

    QJsonArray merges;
    for (const MergedRange& m : grid.mergedRanges()) {
        merges.append(QJsonObject{{QStringLiteral("masterRow"), m.masterRow},
                                  {QStringLiteral("masterColumn"), m.masterColumn},
                                  {QStringLiteral("firstRow"), m.firstRow},
                                  {QStringLiteral("firstColumn"), m.firstColumn},
                                  {QStringLiteral("lastRow"), m.lastRow},
                                  {QStringLiteral("lastColumn"), m.lastColumn}});
    }
    root.insert(QStringLiteral("merges"), merges);

    // The cells that are there, not every place of a grid that may claim millions of each.
    QJsonArray cells;
    grid.forEachHeldCell([&cells](int r, int c, const Cell& cell) {
        if (cell.text.isEmpty() && cell.check == 0 && cell.picture.isEmpty())
            return;
        cells.append(QJsonObject{{QStringLiteral("row"), r},
                                 {QStringLiteral("column"), c},
                                 {QStringLiteral("text"), fromCp936(cell.text)},
                                 {QStringLiteral("checked"), cell.check != 0},
                                 {QStringLiteral("pictureBytes"), cell.picture.size()}});
    });
    root.insert(QStringLiteral("cells"), cells);
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.size() == 1 && (args[0] == QLatin1String("-h") || args[0] == QLatin1String("--help"))) {
        std::fputs(kUsageText, stdout);
        return kDone;
    }
    if (args.isEmpty())
        return usage();
    const QString& command = args[0];
    const bool showing = command == QLatin1String("csv") || command == QLatin1String("dump");
    if (!(showing && args.size() == 2) && !(command == QLatin1String("copy") && args.size() == 3))
        return usage();

    const QString& in = args[1];
    GridStore grid;
    if (!grid.loadFromFile(in))
        return failed(in, grid.errorString());
    if (command == QLatin1String("csv"))
        return writeOut(toCsv(grid)) ? kDone : failed(QStringLiteral("stdout"), QStringLiteral("无法写出"));
    if (command == QLatin1String("dump"))
        return writeOut(toJson(grid)) ? kDone : failed(QStringLiteral("stdout"), QStringLiteral("无法写出"));
    const QString& out = args[2];
    if (!grid.saveToFile(out))
        return failed(out, grid.errorString());
    return kDone;
}
