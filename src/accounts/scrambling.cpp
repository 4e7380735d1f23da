#include "accounts/scrambling.h"

#include "common/cp936.h"

#include <array>
#include <utility>

namespace cuemora {

namespace {

constexpr char kDigits[] = "0123456789ABCDEF";

// The cipher state with the positions 1 to 256 of the stored format; entry 0 is never used.
class Keystream {
public:
    explicit Keystream(QByteArrayView key) {
        for (int n = 1; n <= 256; ++n)
            m_s[n] = n - 1;
        int j = 0;
        qsizetype k = 1;
        for (int n = 1; n <= 256; ++n) {
            if (k > key.size())
                k = 1;
            const int keyByte = key.isEmpty() ? 0 : static_cast<quint8>(key[k - 1]);
            ++k;
            // The previous j enters as a position, without taking 1 off: this is what the
            // stored lines were made with.
            j = (j + m_s[n] + keyByte) % 256 + 1;
            std::swap(m_s[n], m_s[j]);
        }
    }

    quint8 next() {
        // i visits 2, 4, ..., 256 and then 2 again.
        m_i = (m_i + 1) % 256 + 1;
        m_j = (m_j + m_s[m_i]) % 256 + 1;
        std::swap(m_s[m_i], m_s[m_j]);
        const int t = (m_s[m_i] + m_s[m_j]) % 256 + 1;
        return static_cast<quint8>(m_s[t]);
    }

private:
    std::array<int, 257> m_s{};
    int m_i = 0;
    int m_j = 0;
};

QByteArray process(QByteArrayView bytes, QByteArrayView key) {
    Keystream stream(key);
    QByteArray out(bytes.size(), Qt::Uninitialized);
    for (qsizetype n = 0; n < bytes.size(); ++n)
        out[n] = static_cast<char>(static_cast<quint8>(bytes[n]) ^ stream.next());
    return out;
}

int digitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -2;
}

} // namespace

QByteArray byteToHex(quint8 value) {
    const char digits[2] = {kDigits[value >> 4], kDigits[value & 0x0F]};
    return QByteArray(digits, 2);
}

qint64 hexToNumber(QByteArrayView text) {
    // Unsigned arithmetic wraps where signed would overflow; the low bits, which are all the
    // program uses, come out the same.
    quint64 value = 0;
    for (const char c : text)
        value = value * 16 + static_cast<quint64>(static_cast<qint64>(digitValue(c)));
    return static_cast<qint64>(value);
}

QByteArray scrambleBytes(QByteArrayView text, QByteArrayView key) {
    const QByteArray scrambled = process(text, key);
    QByteArray line;
    line.reserve(scrambled.size() * 3);
    for (const char c : scrambled) {
        line += byteToHex(static_cast<quint8>(c));
        line += ',';
    }
    return line;
}

QByteArray unscrambleBytes(QByteArrayView line, QByteArrayView key) {
    QByteArray digits;
    digits.reserve(line.size());
    for (const char c : line) {
        if (c != ',')
            digits += c;
    }
    QByteArray bytes;
    bytes.reserve((digits.size() + 1) / 2);
    for (qsizetype n = 0; n < digits.size(); n += 2)
        bytes += static_cast<char>(
            hexToNumber(QByteArrayView(digits).sliced(n, qMin<qsizetype>(2, digits.size() - n))) & 0xFF);
    return process(bytes, key);
}

QString scrambleText(const QString& text, const QString& key) {
    return QString::fromLatin1(scrambleBytes(toCp936(text), toCp936(key)));
}

QString unscrambleText(const QString& line, const QString& key) {
    return fromCp936(unscrambleBytes(toCp936(line), toCp936(key)));
}

} // namespace cuemora
