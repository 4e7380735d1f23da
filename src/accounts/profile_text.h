#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace cuemora {

struct ProfileKey {
    QString name;
    QString value;
};

// The text of a profile (INI) file as the Windows profile routines read and write it, kept as the
// file's own bytes so that a write changes one value and leaves every other byte where it was.
//
// Reading follows those routines: lines end in CRLF or LF; blanks around names, around "=" and
// around values do not count; a matching pair of quotes around a value is dropped; lines starting
// with ";" are comments; "[name]" opens a section (a "[" without "]" opens none); a line with "="
// holds a key; other lines are kept but mean nothing. Section and key names compare without
// regard to the case of ASCII letters, and the first section and the first key of a name win.
// The text is CP936, or UTF-8 when it starts with the UTF-8 byte-order mark that Windows editors
// write. A UTF-16 text reads as holding nothing and is never written into.
//
// Any bytes at all can be given: nothing here fails, loops or reads out of bounds on them.
class ProfileText {
public:
    enum class Encoding { Cp936, Utf8, Utf16 };

    ProfileText() = default;
    explicit ProfileText(QByteArray bytes);

    const QByteArray& bytes() const { return m_bytes; }
    Encoding encoding() const;

    // The names of every section, in file order, repeated names included.
    QStringList sectionNames() const;
    // True when some section is named exactly this, to the byte.
    bool hasSection(const QString& name) const;

    // The value as its bytes stand in the file, quotes dropped; nothing when the key is absent.
    std::optional<QByteArray> rawValue(const QString& section, const QString& key) const;
    // The value as text; an absent key reads as the empty text.
    QString value(const QString& section, const QString& key) const;
    // The value's CP936 bytes, whatever the file's own encoding.
    QByteArray valueCp936(const QString& section, const QString& key) const;

    // Sets the keys in the section, in order: a key already there gets its new value in its own
    // line, a new key goes after the section's last entry, a new section goes at the end of the
    // text. Refuses, changing nothing, when a value would not read back exactly as given (a name
    // or value with a line break, blanks at its ends, a character the encoding cannot hold...).
    // Each key is named once.
    bool setValues(const QString& section, const QList<ProfileKey>& keys, QString* error = nullptr);

private:
    QByteArray m_bytes;
};

} // namespace cuemora
