#pragma once

#include "common/data_directory.h"
#include "takings/takings_day.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace cuemora {

// The longest span summed at once: five years and a day or two. A span beyond it is almost always a
// year typed wrong (20130 for 2013), and would read thousands of files for nothing.
constexpr int kLongestTakingsSpan = 1830;

// One day of a span.
struct SpanDay {
    QDate day;
    DayFileState state = DayFileState::Missing;
    QString fileName;
    QString reason; // why the file could not be read; empty otherwise
    double time = 0.0;
    double goods = 0.0;
    double total = 0.0;
};

// The takings of every day from `from` to `to`, both included.
struct TakingsSpan {
    QString refusal; // why the span was not summed (then `days` is empty); empty when it was
    QDate from, to;
    QList<SpanDay> days; // one per day, in date order; a day without a file holds zeros
    // The span's totals: the days' figures as the table shows them (13 digits), added in date
    // order, so the total row is what adding up the column by hand gives.
    double time = 0.0;
    double goods = 0.0;
    double total = 0.0;

    bool summed() const { return refusal.isEmpty(); }
    // The days whose file is there but could not be read.
    QList<SpanDay> unreadableDays() const;
};

// Sums the takings of every day from `from` to `to`. A span the wrong way round, longer than
// kLongestTakingsSpan or with a date that is not valid is refused, with the reason in `refusal`.
TakingsSpan SumTakingsSpan(const DataDirectory& data, const QDate& from, const QDate& to);

// The span as the statistics window shows it and as it is exported: the header "日期", "台费收入",
// "商品收入", "总收入", "说明"; one row per day (the day text, the three figures, and for a file that
// could not be read "无法读取：" and why); then the row "合计". Figures by the program's number rule.
QList<QStringList> spanTable(const TakingsSpan& span);

// What the window tells the operator about the files that could not be read, naming each with its
// reason; empty when every file was read.
QString unreadableDaysNotice(const TakingsSpan& span);

// A date as the room's people type it: 2013-05-20 (or 2013-5-20) and the day text 2013年5月20日
// (leading zeros allowed), blanks around it ignored. Nothing for any other text or a date that
// does not exist (2013年2月30日).
std::optional<QDate> dayFromText(const QString& text);

} // namespace cuemora
