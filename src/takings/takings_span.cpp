#include "takings/takings_span.h"

#include "common/text_rules.h"

#include <QRegularExpression>

namespace cuemora {

namespace {

// A figure as the table shows it, read back: the span adds what the operator sees.
double shown(double value) {
    return textToNumber(realToText(value));
}

} // namespace

QList<SpanDay> TakingsSpan::unreadableDays() const {
    QList<SpanDay> unreadable;
    for (const SpanDay& day : days) {
        if (day.state == DayFileState::Unreadable)
            unreadable.append(day);
    }
    return unreadable;
}

TakingsSpan SumTakingsSpan(const DataDirectory& data, const QDate& from, const QDate& to) {
    TakingsSpan span;
    span.from = from;
    span.to = to;
    if (!from.isValid() || !to.isValid()) {
        span.refusal = QStringLiteral("请选择有效的开始日期和结束日期。");
        return span;
    }
    if (from > to) {
        span.refusal = QStringLiteral("开始日期%1在结束日期%2之后，请重新选择。").arg(dayText(from), dayText(to));
        return span;
    }
    const qint64 length = from.daysTo(to) + 1;
    if (length > kLongestTakingsSpan) {
        span.refusal = QStringLiteral("一次最多统计%1天（约五年），从%2到%3是%4天，请缩短时间段。")
                           .arg(kLongestTakingsSpan)
                           .arg(dayText(from), dayText(to))
                           .arg(length);
        return span;
    }
    span.days.reserve(length);
    GridStore grid(GridStore::Definition::list(3, 100)); // one grid serves every day: each load replaces it
    for (qint64 k = 0; k < length; ++k) {
        const QDate day = from.addDays(k);
        SpanDay entry;
        entry.day = day;
        const DayFileRead read = readTakingsDay(data, dayText(day), grid);
        entry.state = read.state;
        entry.fileName = read.fileName;
        entry.reason = read.reason;
        if (read.state == DayFileState::Read) {
            const DaySums sums = sumTakingsDay(grid);
            entry.time = sums.time;
            entry.goods = sums.goods;
            entry.total = sums.total;
        }
        span.time += shown(entry.time);
        span.goods += shown(entry.goods);
        span.total += shown(entry.total);
        span.days.append(entry);
    }
    return span;
}

QList<QStringList> spanTable(const TakingsSpan& span) {
    QList<QStringList> table;
    table.reserve(span.days.size() + 2);
    table.append({QStringLiteral("日期"), QStringLiteral("台费收入"), QStringLiteral("商品收入"),
                  QStringLiteral("总收入"), QStringLiteral("说明")});
    for (const SpanDay& day : span.days) {
        const QString note =
            day.state == DayFileState::Unreadable ? QStringLiteral("无法读取：%1").arg(day.reason) : QString();
        table.append({dayText(day.day), realToText(day.time), realToText(day.goods), realToText(day.total), note});
    }
    table.append(
        {QStringLiteral("合计"), realToText(span.time), realToText(span.goods), realToText(span.total), QString()});
    return table;
}

QString unreadableDaysNotice(const TakingsSpan& span) {
    const QList<SpanDay> unreadable = span.unreadableDays();
    if (unreadable.isEmpty())
        return {};
    QString notice = QStringLiteral("这些收入文件无法读取，按0计入：");
    for (const SpanDay& day : unreadable)
        notice += QStringLiteral("\n“%1”（%2）").arg(day.fileName, day.reason);
    return notice;
}

std::optional<QDate> dayFromText(const QString& text) {
    static const QRegularExpression iso(QStringLiteral("^([0-9]{1,4})-([0-9]{1,2})-([0-9]{1,2})$"));
    static const QRegularExpression day(QStringLiteral("^([0-9]{1,4})年([0-9]{1,2})月([0-9]{1,2})日$"));
    const QString trimmed = text.trimmed();
    for (const QRegularExpression* form : {&iso, &day}) {
        const QRegularExpressionMatch match = form->match(trimmed);
        if (!match.hasMatch())
            continue;
        const QDate date(match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt());
        if (date.isValid())
            return date;
        return std::nullopt;
    }
    return std::nullopt;
}

} // namespace cuemora
