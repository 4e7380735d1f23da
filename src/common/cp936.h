#pragma once

#include <QByteArray>
#include <QString>

namespace cuemora {

// Texts reach the files of the room (grid files, the account file) as CP936 bytes, the code page
// of the program these files came from. 0x80 is the euro sign there.

// The CP936 bytes of a text. A character CP936 cannot hold becomes "?"; *lossless tells whether
// that happened.
QByteArray toCp936(const QString& text, bool* lossless = nullptr);

// The text of CP936 bytes. Bytes that name no character decode to replacement characters; callers
// that must give the bytes back keep the bytes, not this text.
QString fromCp936(const QByteArray& bytes);

// True when every character of the text survives a trip through CP936.
bool fitsCp936(const QString& text);

// The message that refuses a typed text holding a character CP936 cannot hold; it names the
// first such character.
QString unfitTextMessage(const QString& text);

} // namespace cuemora
