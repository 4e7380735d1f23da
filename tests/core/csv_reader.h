#pragma once

// A strict reader of RFC 4180 CSV for the tests: it takes only what a spreadsheet takes without
// guessing, so a writer that leaves a quote bare or a record unended fails the test, not the
// accountant's import.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringDecoder>
#include <QStringList>

#include <optional>

namespace testcsv {

// The records of CSV in UTF-8; nothing when the text is not UTF-8, a quote stands inside an
// unquoted field, something follows a closing quote, or a record is not ended by CR LF.
inline std::optional<QList<QStringList>> read(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    if (utf8.hasError())
        return std::nullopt;
    QList<QStringList> records;
    QStringList record;
    QString field;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        if (text[i] == QLatin1Char('"')) {
            ++i;
            while (true) {
                if (i >= n)
                    return std::nullopt; // unclosed quote
                if (text[i] == QLatin1Char('"')) {
                    if (i + 1 < n && text[i + 1] == QLatin1Char('"')) {
                        field += QLatin1Char('"');
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                field += text[i++];
            }
        } else {
            while (i < n && text[i] != QLatin1Char(',') && text[i] != QLatin1Char('\r') &&
                   text[i] != QLatin1Char('\n')) {
                if (text[i] == QLatin1Char('"'))
                    return std::nullopt; // a bare quote
                field += text[i++];
            }
        }
        if (i < n && text[i] == QLatin1Char(',')) {
            record.append(field);
            field.clear();
            ++i;
            continue;
        }
        if (i + 1 < n && text[i] == QLatin1Char('\r') && text[i + 1] == QLatin1Char('\n')) {
            record.append(field);
            records.append(record);
            record.clear();
            field.clear();
            i += 2;
            continue;
        }
        return std::nullopt; // a record not ended by CR LF, or text after a closing quote
    }
    if (!record.isEmpty() || !field.isEmpty())
        return std::nullopt;
    return records;
}

} // namespace testcsv
