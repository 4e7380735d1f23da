// cuemora-grid: a command-line companion for people who keep the room's grid files. It reads a
// grid file with the program's own grid store and shows it as CSV or JSON, or writes it again as
// a version-6 file.

#include "common/cp936.h"
#include "common/data_directory.h"
#include "store/grid_store.h"
#include "takings/takings_csv.h"
#include "takings/takings_span.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

#include <cstdio>
#include <optional>

using namespace cuemora;

namespace {

constexpr int kDone = 0;
constexpr int kFileFailed = 1;
constexpr int kUsage = 2;

const char kUsageText[] = "用法:\n"
                          "  cuemora-grid csv FILE        每一行的文字, 以 UTF-8 CSV 输出\n"
                          "  cuemora-grid dump FILE       整个表格, 以 JSON 输出\n"
                          "  cuemora-grid copy IN OUT     读入 IN, 存为第 6 版文件 OUT\n"
                          "  cuemora-grid days FROM TO DIR\n"
                          "                               目录 DIR 里从 FROM 到 TO 每天的收入, 以 UTF-8 CSV 输出;\n"
                          "                               日期写作 2013-05-20 或 2013年5月20日\n";

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

QByteArray toCsv(const GridStore& grid) {
    return csvRecords(gridRows(grid));
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

// days FROM TO DIR: the takings of every day of the span as the statistics window's table. The
// table is printed even when a day's file cannot be read (that day counts 0 and says why in its
// last column); each such file is then named on stderr and the exit code is 1.
int days(const QStringList& args) {
    std::optional<QDate> ends[2];
    for (int k = 0; k < 2; ++k) {
        ends[k] = dayFromText(args[1 + k]);
        if (!ends[k]) {
            std::fprintf(stderr, "cuemora-grid: 无法识别的日期“%s”, 请写作 2013-05-20 或 2013年5月20日\n",
                         args[1 + k].toUtf8().constData());
            return usage();
        }
    }
    const QString& dir = args[3];
    if (!QFileInfo(dir).isDir())
        return failed(dir, QStringLiteral("找不到目录"));
    const TakingsSpan span = SumTakingsSpan(DataDirectory(dir), *ends[0], *ends[1]);
    if (!span.summed()) {
        std::fprintf(stderr, "cuemora-grid: %s\n", span.refusal.toUtf8().constData());
        return usage();
    }
    if (!writeOut(csvRecords(spanTable(span))))
        return failed(QStringLiteral("stdout"), QStringLiteral("无法写出"));
    int code = kDone;
    for (const SpanDay& day : span.unreadableDays())
        code = failed(DataDirectory(dir).filePath(day.fileName), day.reason);
    return code;
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
    if (command == QLatin1String("days"))
        return args.size() == 4 ? days(args) : usage();
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
