#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QVariant>

namespace cuemora {

// Every value on screen and in the grids is text; numbers are read from text at the moment they
// are used and written back as text. These are the conversions the whole program agrees on.

// Whole numbers as plain decimal digits.
QString integerToText(qint64 value);

// Real numbers in general notation with at most 13 significant digits ("%.13g"): 1.5 gives "1.5",
// 30.0 gives "30", 1000/3600.0 gives "0.2777777777778". A zero of either sign gives "0".
QString realToText(double value);

// "真" or "假".
QString truthToText(bool value);

// The number a text stands for: full-width characters are first read as their ASCII forms, then
// the longest leading decimal number is taken (leading blanks, sign, digits, fraction, exponent).
// Empty or non-numeric text gives 0, and so does a number too large or too small to hold.
double textToNumber(const QString& text);

// The same rule on CP936 bytes, the form in which grid cells keep their texts; read where they lie,
// without a copy unless a full-width character must be read as its ASCII form.
double textToNumber(QByteArrayView cp936);
double textToNumber(const QByteArray& cp936);

// True when the text begins with a decimal number by the rule of textToNumber (so "15元" does,
// and "abc", "" and "." do not): the text is read as that number rather than as 0 for want of one.
bool readsAsNumber(const QString& text);

// A truth value counts as 1 or 0.
inline double truthToNumber(bool value) {
    return value ? 1.0 : 0.0;
}

// The whole part of a number, by truncation toward zero (3.9 gives 3, -3.9 gives -3). Values beyond
// the range of a 64-bit integer are held at its ends, and a value that is not a number gives 0.
qint64 truncateToWhole(double value);

// "%d年%d月%d日", then "%d时%d分%d秒" when the seconds are not 0, else "%d时%d分" when the minutes
// are not 0, else "%d时" when the hour is not 0, else nothing.
QString dateTimeToText(const QDateTime& moment);

// The moment a text of dateTimeToText stands for, as local time; an invalid QDateTime for any other
// text (a date that does not exist, a part out of range, anything before or after). Leading zeros
// and a zero part written out ("14时0分5秒") are read as well.
QDateTime dateTimeFromText(const QString& text);

// The day text "%d年%d月%d日" without leading zeros: 2013年5月20日. It names the takings files.
QString dayText(const QDate& day);

// A value as text by the rules above: texts as they are, truth values as 真/假, whole numbers as
// digits, reals by "%.13g". Anything else gives the empty text.
QString valueToText(const QVariant& value);

// A value as a number: texts by textToNumber, truth values as 1 or 0, numbers as they are.
double valueToNumber(const QVariant& value);

} // namespace cuemora
