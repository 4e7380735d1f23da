#include "accounts/profile_text.h"

#include "common/cp936.h"

#include <QByteArrayView>

namespace cuemora {

namespace {

constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";
constexpr qsizetype kUtf8BomSize = 3;

bool startsWithBom(QByteArrayView bytes) {
    return bytes.startsWith(QByteArrayView(kUtf8Bom, kUtf8BomSize));
}

// Notepad's "Unicode" files. Neither pair can begin CP936 text (0xFF is no character there).
bool startsWithUtf16Bom(QByteArrayView bytes) {
    return bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF");
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

char foldAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// In CP936 a byte from 0x81 to 0xFE starts a two-byte character when a valid second byte follows.
// Second bytes run from 0x40 up and so include "[", "]", "\" and the ASCII letters: a byte scan
// that ignored this would cut a Chinese character in two.
bool startsDoubleByte(QByteArrayView bytes, qsizetype at) {
    const auto lead = static_cast<quint8>(bytes[at]);
    if (lead < 0x81 || lead > 0xFE || at + 1 >= bytes.size())
        return false;
    const auto trail = static_cast<quint8>(bytes[at + 1]);
    return trail >= 0x40 && trail <= 0xFE && trail != 0x7F;
}

qsizetype characterSize(QByteArrayView bytes, qsizetype at, bool cp936) {
    return cp936 && startsDoubleByte(bytes, at) ? 2 : 1;
}

// Names compare as the profile routines compare them: ASCII letters without regard to case,
// every other character exactly.
bool sameName(QByteArrayView a, QByteArrayView b, bool cp936) {
    if (a.size() != b.size())
        return false;
    qsizetype at = 0;
    while (at < a.size()) {
        const qsizetype size = characterSize(a, at, cp936);
        if (size == 2) {
            if (a[at] != b[at] || a[at + 1] != b[at + 1])
                return false;
        } else if (foldAscii(a[at]) != foldAscii(b[at])) {
            return false;
        }
        at += size;
    }
    return true;
}

enum class LineKind { Blank, Comment, Section, Key, Other };

// One line as offsets into the text, so that scanning a large file allocates nothing per line.
struct Line {
    qsizetype start = 0;
    qsizetype contentEnd = 0; // before the line break
    qsizetype end = 0;        // after the line break
    LineKind kind = LineKind::Other;
    qsizetype nameStart = 0; // the section's or the key's name, trimmed
    qsizetype nameEnd = 0;
    qsizetype valueStart = 0; // the key's value, trimmed, quotes still on
    qsizetype valueEnd = 0;
};

void trim(QByteArrayView bytes, qsizetype& start, qsizetype& end) {
    while (start < end && isBlank(bytes[start]))
        ++start;
    while (end > start && isBlank(bytes[end - 1]))
        --end;
}

Line classify(QByteArrayView bytes, qsizetype start, qsizetype contentEnd, qsizetype end, bool cp936) {
    Line line;
    line.start = start;
    line.contentEnd = contentEnd;
    line.end = end;
    qsizetype first = start;
    qsizetype last = contentEnd;
    trim(bytes, first, last);
    if (first == last) {
        line.kind = LineKind::Blank;
        return line;
    }
    if (bytes[first] == ';') {
        line.kind = LineKind::Comment;
        return line;
    }
    if (bytes[first] == '[') {
        qsizetype close = -1;
        for (qsizetype at = first + 1; at < last; at += characterSize(bytes, at, cp936)) {
            if (bytes[at] == ']')
                close = at;
        }
        if (close < 0)
            return line; // a "[" without "]" opens no section
        line.kind = LineKind::Section;
        line.nameStart = first + 1;
        line.nameEnd = close;
        trim(bytes, line.nameStart, line.nameEnd);
        return line;
    }
    // "=" lies below the second bytes of CP936, so a plain search cannot hit half a character.
    const qsizetype equals = bytes.sliced(first, last - first).indexOf('=');
    if (equals < 0)
        return line;
    line.kind = LineKind::Key;
    line.nameStart = first;
    line.nameEnd = first + equals;
    trim(bytes, line.nameStart, line.nameEnd);
    line.valueStart = first + equals + 1;
    line.valueEnd = last;
    trim(bytes, line.valueStart, line.valueEnd);
    return line;
}

// Calls visit(line) for each line in order until it returns false.
template <typename Visit>
void forEachLine(QByteArrayView bytes, Visit&& visit) {
    if (startsWithUtf16Bom(bytes))
        return; // read as holding nothing, and never written into (see setValues)
    const bool cp936 = !startsWithBom(bytes);
    qsizetype start = cp936 ? 0 : kUtf8BomSize;
    while (start < bytes.size()) {
        const qsizetype newline = bytes.indexOf('\n', start);
        const qsizetype end = newline < 0 ? bytes.size() : newline + 1;
        qsizetype contentEnd = newline < 0 ? bytes.size() : newline;
        if (newline >= 0 && contentEnd > start && bytes[contentEnd - 1] == '\r')
            --contentEnd;
        if (!visit(classify(bytes, start, contentEnd, end, cp936)))
            return;
        start = end;
    }
}

QByteArrayView nameOf(QByteArrayView bytes, const Line& line) {
    return bytes.sliced(line.nameStart, line.nameEnd - line.nameStart);
}

QByteArray valueOf(QByteArrayView bytes, const Line& line) {
    QByteArrayView value = bytes.sliced(line.valueStart, line.valueEnd - line.valueStart);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.sliced(1, value.size() - 2);
    return value.toByteArray();
}

QByteArrayView lineBreakOf(QByteArrayView bytes, const Line& line) {
    return bytes.sliced(line.contentEnd, line.end - line.contentEnd);
}

bool encode(const QString& text, ProfileText::Encoding encoding, QByteArray* bytes) {
    if (encoding == ProfileText::Encoding::Utf8) {
        *bytes = text.toUtf8();
        return QString::fromUtf8(*bytes) == text;
    }
    *bytes = toCp936(text);
    return fitsCp936(text);
}

QString decode(const QByteArray& bytes, ProfileText::Encoding encoding) {
    return encoding == ProfileText::Encoding::Utf8 ? QString::fromUtf8(bytes) : fromCp936(bytes);
}

// What a write needs to know about the section it goes into.
struct SectionPlace {
    bool found = false;
    bool hasKey = false;
    Line key;       // the key's line, when it is there
    Line lastEntry; // the header or the section's last line that is neither blank nor a comment
    Line lastLine;  // the text's last line, for a new section
    bool hasLines = false;
};

SectionPlace findPlace(QByteArrayView bytes, QByteArrayView section, QByteArrayView key, bool cp936) {
    SectionPlace place;
    bool inside = false;
    forEachLine(bytes, [&](const Line& line) {
        place.hasLines = true;
        place.lastLine = line;
        if (line.kind == LineKind::Section) {
            if (inside)
                return false; // the first section of the name is the one that counts
            if (sameName(nameOf(bytes, line), section, cp936)) {
                inside = true;
                place.found = true;
                place.lastEntry = line;
            }
        } else if (inside && line.kind != LineKind::Blank && line.kind != LineKind::Comment) {
            place.lastEntry = line;
            if (line.kind == LineKind::Key && !place.hasKey && sameName(nameOf(bytes, line), key, cp936)) {
                place.hasKey = true;
                place.key = line;
            }
        }
        return true;
    });
    return place;
}

} // namespace

ProfileText::ProfileText(QByteArray bytes)
    : m_bytes(std::move(bytes)) {}

ProfileText::Encoding ProfileText::encoding() const {
    if (startsWithUtf16Bom(m_bytes))
        return Encoding::Utf16;
    return startsWithBom(m_bytes) ? Encoding::Utf8 : Encoding::Cp936;
}

QStringList ProfileText::sectionNames() const {
    QStringList names;
    const Encoding enc = encoding();
    forEachLine(m_bytes, [&](const Line& line) {
        if (line.kind == LineKind::Section)
            names.append(decode(nameOf(m_bytes, line).toByteArray(), enc));
        return true;
    });
    return names;
}

bool ProfileText::hasSection(const QString& name) const {
    QByteArray wanted;
    if (!encode(name, encoding(), &wanted))
        return false;
    bool found = false;
    forEachLine(m_bytes, [&](const Line& line) {
        found = line.kind == LineKind::Section && nameOf(m_bytes, line) == wanted;
        return !found;
    });
    return found;
}

std::optional<QByteArray> ProfileText::rawValue(const QString& section, const QString& key) const {
    QByteArray sectionBytes;
    QByteArray keyBytes;
    if (!encode(section, encoding(), &sectionBytes) || !encode(key, encoding(), &keyBytes))
        return std::nullopt;
    const SectionPlace place = findPlace(m_bytes, sectionBytes, keyBytes, encoding() == Encoding::Cp936);
    if (!place.hasKey)
        return std::nullopt;
    return valueOf(m_bytes, place.key);
}

QString ProfileText::value(const QString& section, const QString& key) const {
    return decode(rawValue(section, key).value_or(QByteArray()), encoding());
}

QByteArray ProfileText::valueCp936(const QString& section, const QString& key) const {
    const QByteArray raw = rawValue(section, key).value_or(QByteArray());
    return encoding() == Encoding::Cp936 ? raw : toCp936(QString::fromUtf8(raw));
}

bool ProfileText::setValues(const QString& section, const QList<ProfileKey>& keys, QString* error) {
    const Encoding enc = encoding();
    if (enc == Encoding::Utf16) {
        // Lines of single-byte text added to it would spoil the whole file.
        if (error)
            *error = QStringLiteral("文件是 UTF-16 编码，无法改写");
        return false;
    }
    const bool cp936 = enc == Encoding::Cp936;
    QByteArray sectionBytes;
    if (!encode(section, enc, &sectionBytes)) {
        if (error)
            *error = QStringLiteral("节名“%1”有文件存不下的字符").arg(section);
        return false;
    }
    QByteArray bytes = m_bytes;
    QList<QByteArray> written;
    for (const ProfileKey& key : keys) {
        QByteArray name;
        QByteArray value;
        if (!encode(key.name, enc, &name) || !encode(key.value, enc, &value)) {
            if (error)
                *error = QStringLiteral("键“%1”有文件存不下的字符").arg(key.name);
            return false;
        }
        written.append(value);
        const SectionPlace place = findPlace(bytes, sectionBytes, name, cp936);
        if (place.hasKey) {
            bytes.replace(place.key.valueStart, place.key.valueEnd - place.key.valueStart, value);
        } else if (place.found) {
            const Line& after = place.lastEntry;
            const QByteArray lineBreak = lineBreakOf(bytes, after).toByteArray();
            if (lineBreak.isEmpty()) // the section ends the text without a line break
                bytes.insert(after.end, QByteArray("\r\n") + name + '=' + value);
            else
                bytes.insert(after.end, name + '=' + value + lineBreak);
        } else {
            QByteArray lineBreak("\r\n");
            if (place.hasLines) {
                const QByteArrayView lastBreak = lineBreakOf(bytes, place.lastLine);
                if (lastBreak.isEmpty())
                    bytes += lineBreak;
                else
                    lineBreak = lastBreak.toByteArray();
            }
            bytes += '[' + sectionBytes + ']' + lineBreak + name + '=' + value + lineBreak;
        }
    }
    // Only a write that reads back as given is made; anything else would change a value the
    // caller did not name, or store one that could never be read as it was meant.
    const ProfileText result(bytes);
    for (qsizetype n = 0; n < keys.size(); ++n) {
        if (result.rawValue(section, keys[n].name) != written[n]) {
            if (error)
                *error = QStringLiteral("键“%1”的值写进文件后读不回原样").arg(keys[n].name);
            return false;
        }
    }
    m_bytes = bytes;
    return true;
}

} // namespace cuemora
