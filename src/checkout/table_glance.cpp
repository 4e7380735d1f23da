#include "checkout/table_glance.h"

#include "checkout/checkout.h"
#include "common/text_rules.h"

#include <cmath>

namespace cuemora {

namespace {

QString twoDigits(qint64 value) {
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

QString hoursMinutesSeconds(const QTime& time) {
    return time.toString(QStringLiteral("HH:mm:ss"));
}

} // namespace

QString clockText(const QString& seconds) {
    // Up to 18 digits always fit a 64-bit count; longer texts are not a time the clock counted.
    if (seconds.isEmpty() || seconds.size() > 18)
        return seconds;
    for (const QChar c : seconds) {
        if (c < u'0' || c > u'9')
            return seconds;
    }
    const qint64 total = seconds.toLongLong();
    return QString::number(total / 3600) + u':' + twoDigits(total / 60 % 60) + u':' + twoDigits(total % 60);
}

QString timeOfDayText(const QString& start, const QDate& today) {
    const QDateTime moment = dateTimeFromText(start);
    if (!moment.isValid())
        return start;
    if (moment.date() == today)
        return hoursMinutesSeconds(moment.time());
    return QStringLiteral("%1月%2日 ").arg(moment.date().month()).arg(moment.date().day()) +
           hoursMinutesSeconds(moment.time());
}

QString owedNowText(const TableRegister& tables, int n) {
    if (!tables.isTable(n) || !tables.isInUse(n))
        return {};
    const double total = textToNumber(FillCheckout(tables, n).total);
    // Rounded for the eye only: the checkout computes and records its own 13-digit texts.
    if (std::isfinite(total) && std::abs(total) < 1e13)
        return QString::number(total, 'f', 2);
    return realToText(total);
}

} // namespace cuemora
