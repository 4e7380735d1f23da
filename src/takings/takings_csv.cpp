#include "takings/takings_csv.h"

#include "common/safe_save.h"

#include <QRegularExpression>

namespace cuemora {

namespace {

QByteArray csvField(const QString& text) {
    QByteArray field = text.toUtf8();
    if (field.contains(',') || field.contains('"') || field.contains('\n') || field.contains('\r')) {
        field.replace("\"", "\"\"");
        field = '"' + field + '"';
    }
    return field;
}

bool looksLikeFormula(const QString& text) {
    static const QRegularExpression number(QStringLiteral("^[+-]?([0-9]+\\.?[0-9]*|\\.[0-9]+)([eE][+-]?[0-9]+)?$"));
    if (text.isEmpty())
        return false;
    const QChar first = text.front();
    if (first == QLatin1Char('=') || first == QLatin1Char('@') || first == QLatin1Char('\t') ||
        first == QLatin1Char('\r'))
        return true;
    return (first == QLatin1Char('+') || first == QLatin1Char('-')) && !number.match(text).hasMatch();
}

QByteArray records(const QList<QStringList>& rows, bool guardFormulas) {
    QByteArray out;
    for (const QStringList& row : rows) {
        for (qsizetype c = 0; c < row.size(); ++c) {
            if (c > 0)
                out += ',';
            const QString& text = row[c];
            out += csvField(guardFormulas && looksLikeFormula(text) ? QLatin1Char('\'') + text : text);
        }
        out += "\r\n";
    }
    return out;
}

} // namespace

QByteArray csvRecords(const QList<QStringList>& rows) {
    return records(rows, false);
}

QByteArray spreadsheetCsv(const QList<QStringList>& rows) {
    return QByteArrayLiteral("\xEF\xBB\xBF") + records(rows, true);
}

QList<QStringList> gridRows(const GridStore& grid) {
    QList<QStringList> rows;
    rows.reserve(grid.rowCount());
    for (int r = 0; r < grid.rowCount(); ++r) {
        QStringList row;
        row.reserve(grid.columnCount());
        for (int c = 0; c < grid.columnCount(); ++c)
            row.append(grid.cellText(r, c));
        rows.append(row);
    }
    return rows;
}

QString ExportCsv(const QString& path, const QList<QStringList>& rows) {
    QString error;
    if (saveWholeFile(path, spreadsheetCsv(rows), &error))
        return {};
    return QStringLiteral("无法导出到文件“%1”%2").arg(path, error.isEmpty() ? QString() : QStringLiteral("：") + error);
}

} // namespace cuemora
