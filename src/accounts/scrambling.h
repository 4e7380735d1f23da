#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace cuemora {

// The account file keeps the account name and the password as lines of hexadecimal byte codes
// ("70,E9,09," for abc), so that neither stands there as readable text. The cipher is of the RC4
// family but steps its positions its own way; account files written by earlier installations
// depend on exactly these steps, so they must never be "corrected" into the textbook RC4.
//
// Every call starts a fresh keystream: the same text with the same key always gives the same
// line. The program always passes the empty key.

// The scrambled line of the bytes: two upper-case hexadecimal digits and a comma per byte.
QByteArray scrambleBytes(QByteArrayView text, QByteArrayView key = {});

// The bytes of a scrambled line. Never fails: commas are dropped anywhere, the rest is cut into
// groups of two characters (a final single one is a group of its own) and each group is read by
// hexToNumber, so a line edited by hand gives other bytes rather than an error.
QByteArray unscrambleBytes(QByteArrayView line, QByteArrayView key = {});

// The same on texts, through their CP936 bytes. A character CP936 cannot hold becomes "?" on the
// way in; callers that must not lose characters check fitsCp936 first.
QString scrambleText(const QString& text, const QString& key = QString());
QString unscrambleText(const QString& line, const QString& key = QString());

// The two upper-case hexadecimal digits of a byte, high four bits first.
QByteArray byteToHex(quint8 value);

// The value of hexadecimal digits, read left to right as value * 16 + digit. Letters count in
// either case; every other character counts as -2 (so "G" is -2 and "GG" is -34). Digits beyond
// what 64 bits hold wrap around; the program reads two characters at a time.
qint64 hexToNumber(QByteArrayView text);

} // namespace cuemora
