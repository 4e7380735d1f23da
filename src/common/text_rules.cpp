#include "common/text_rules.h"

#include "common/cp936.h"

#include <QRegularExpression>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace cuemora {

namespace {

// Full-width characters are read as their ASCII forms before a number is taken from a text, so
// that digits typed with a Chinese input method count. The rule works on the CP936 bytes: the
// full-width block A3A1..A3FE is ASCII 0x21..0x7E, the ideographic space A1A1 is a blank, A1AB is
// "~" and A1EE, A1EF are "*". Double-byte characters are stepped over whole, so that a trail byte
// is never read as the start of another character.
QByteArray halfWidth(QByteArrayView cp936) {
    QByteArray out;
    out.reserve(cp936.size());
    const auto n = cp936.size();
    for (qsizetype k = 0; k < n; ++k) {
        const auto lead = static_cast<unsigned char>(cp936[k]);
        if (lead < 0x81 || lead == 0xFF || k + 1 >= n) {
            out.append(static_cast<char>(lead));
            continue;
        }
        const auto trail = static_cast<unsigned char>(cp936[k + 1]);
        ++k;
        if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFE) {
            out.append(static_cast<char>(trail - 0x80));
        } else if (lead == 0xA1 && trail == 0xA1) {
            out.append(' ');
        } else if (lead == 0xA1 && trail == 0xAB) {
            out.append('~');
        } else if (lead == 0xA1 && (trail == 0xEE || trail == 0xEF)) {
            out.append('*');
        } else {
            out.append(static_cast<char>(lead));
            out.append(static_cast<char>(trail));
        }
    }
    return out;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// The longest leading decimal number of ASCII text, or 0.
double leadingNumber(QByteArrayView ascii) {
    const char* p = ascii.data();
    const char* const end = p + ascii.size();
    while (p < end && isBlank(*p))
        ++p;
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }
    const char* const start = p;
    qsizetype digits = 0;
    while (p < end && isDigit(*p)) {
        ++p;
        ++digits;
    }
    if (p < end && *p == '.') {
        ++p;
        while (p < end && isDigit(*p)) {
            ++p;
            ++digits;
        }
    }
    if (digits == 0)
        return 0.0;
    if (p < end && (*p == 'e' || *p == 'E')) {
        const char* q = p + 1;
        if (q < end && (*q == '+' || *q == '-'))
            ++q;
        if (q < end && isDigit(*q)) {
            while (q < end && isDigit(*q))
                ++q;
            p = q;
        }
    }
    double value = 0.0;
    const auto result = std::from_chars(start, p, value, std::chars_format::general);
    if (result.ec != std::errc() || !std::isfinite(value))
        return 0.0;
    return negative ? -value : value;
}

// True when ASCII text begins with a decimal number: blanks, a sign, then a digit or a point
// followed by a digit.
bool hasLeadingNumber(const QByteArray& ascii) {
    qsizetype i = 0;
    while (i < ascii.size() && isBlank(ascii[i]))
        ++i;
    if (i < ascii.size() && (ascii[i] == '+' || ascii[i] == '-'))
        ++i;
    if (i < ascii.size() && ascii[i] == '.')
        ++i;
    return i < ascii.size() && isDigit(ascii[i]);
}

} // namespace

QString integerToText(qint64 value) {
    return QString::number(value);
}

QString realToText(double value) {
    if (value == 0.0)
        return QStringLiteral("0");
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 13);
    return QString::fromLatin1(buffer, result.ptr - buffer);
}

QString truthToText(bool value) {
    return value ? QStringLiteral("真") : QStringLiteral("假");
}

double textToNumber(QByteArrayView cp936) {
    // Digits, seconds and prices hold no double-byte character: nothing to make half-width, and
    // nothing to copy.
    const auto singleByte = [](char c) { return static_cast<unsigned char>(c) < 0x81; };
    if (std::all_of(cp936.begin(), cp936.end(), singleByte))
        return leadingNumber(cp936);
    return leadingNumber(halfWidth(cp936));
}

double textToNumber(const QByteArray& cp936) {
    return textToNumber(QByteArrayView(cp936));
}

double textToNumber(const QString& text) {
    return textToNumber(toCp936(text));
}

bool readsAsNumber(const QString& text) {
    return hasLeadingNumber(halfWidth(toCp936(text)));
}

qint64 truncateToWhole(double value) {
    if (std::isnan(value))
        return 0;
    // 2^63 is exactly representable; every double below it truncates into range.
    constexpr double limit = 9223372036854775808.0;
    if (value >= limit)
        return std::numeric_limits<qint64>::max();
    if (value < -limit)
        return std::numeric_limits<qint64>::min();
    return static_cast<qint64>(value);
}

QString dayText(const QDate& day) {
    return QStringLiteral("%1年%2月%3日").arg(day.year()).arg(day.month()).arg(day.day());
}

QString dateTimeToText(const QDateTime& moment) {
    const QTime time = moment.time();
    QString text = dayText(moment.date());
    if (time.second() != 0)
        text += QStringLiteral("%1时%2分%3秒").arg(time.hour()).arg(time.minute()).arg(time.second());
    else if (time.minute() != 0)
        text += QStringLiteral("%1时%2分").arg(time.hour()).arg(time.minute());
    else if (time.hour() != 0)
        text += QStringLiteral("%1时").arg(time.hour());
    return text;
}

QDateTime dateTimeFromText(const QString& text) {
    static const QRegularExpression pattern(QStringLiteral(
        "^([0-9]{1,4})年([0-9]{1,2})月([0-9]{1,2})日(?:([0-9]{1,2})时(?:([0-9]{1,2})分(?:([0-9]{1,2})秒)?)?)?$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return {};
    const auto part = [&match](int n) { return match.captured(n).isEmpty() ? 0 : match.captured(n).toInt(); };
    const QDate day(part(1), part(2), part(3));
    const QTime time(part(4), part(5), part(6));
    if (!day.isValid() || !time.isValid())
        return {};
    return QDateTime(day, time);
}

namespace {

bool isSignedWhole(int type) {
    for (int whole : {QMetaType::Char, QMetaType::SChar, QMetaType::UChar, QMetaType::Short, QMetaType::UShort,
                      QMetaType::Int, QMetaType::UInt, QMetaType::Long, QMetaType::LongLong}) {
        if (type == whole)
            return true;
    }
    return false;
}

bool isUnsignedWide(int type) {
    return type == QMetaType::ULong || type == QMetaType::ULongLong;
}

bool isReal(int type) {
    return type == QMetaType::Float || type == QMetaType::Double;
}

} // namespace

QString valueToText(const QVariant& value) {
    const int type = value.typeId();
    if (type == QMetaType::QString)
        return value.toString();
    if (type == QMetaType::Bool)
        return truthToText(value.toBool());
    if (isSignedWhole(type))
        return integerToText(value.toLongLong());
    if (isUnsignedWide(type))
        return QString::number(value.toULongLong());
    if (isReal(type))
        return realToText(value.toDouble());
    return {};
}

double valueToNumber(const QVariant& value) {
    const int type = value.typeId();
    if (type == QMetaType::QString)
        return textToNumber(value.toString());
    if (type == QMetaType::Bool)
        return truthToNumber(value.toBool());
    if (isSignedWhole(type) || isUnsignedWide(type) || isReal(type))
        return value.toDouble();
    return 0.0;
}

} // namespace cuemora
