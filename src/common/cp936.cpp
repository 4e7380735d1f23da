#include "common/cp936.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace cuemora {

namespace {

// ICU's name for the Windows code page 936 (GBK with the euro sign at 0x80).
constexpr const char* kCodecName = "GBK";

// Opening an ICU converter costs far more than converting a cell's text, and the register turns
// thousands of texts a second; each thread keeps one converter each way.
// (Their error flags stick once set, and resetting them closes the ICU converter, so a lossy
// encoding is found by decoding the bytes back instead.)
QStringEncoder& encoder() {
    thread_local QStringEncoder codec(kCodecName, QStringConverter::Flag::Stateless);
    return codec;
}

QStringDecoder& decoder() {
    thread_local QStringDecoder codec(kCodecName, QStringConverter::Flag::Stateless);
    return codec;
}

// Digits, seconds and prices are plain ASCII, which CP936 keeps byte for byte.
bool isAscii(QStringView text) {
    for (QChar c : text) {
        if (c.unicode() >= 0x80)
            return false;
    }
    return true;
}

bool isAscii(QByteArrayView bytes) {
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

} // namespace

QByteArray toCp936(const QString& text, bool* lossless) {
    if (isAscii(text)) {
        if (lossless)
            *lossless = true;
        return text.toLatin1();
    }
    QByteArray bytes = encoder().encode(text);
    if (lossless)
        *lossless = fromCp936(bytes) == text;
    return bytes;
}

QString fromCp936(const QByteArray& bytes) {
    if (isAscii(bytes))
        return QString::fromLatin1(bytes);
    return decoder().decode(bytes);
}

bool fitsCp936(const QString& text) {
    if (isAscii(text))
        return true;
    bool lossless = false;
    toCp936(text, &lossless);
    return lossless;
}

QString unfitTextMessage(const QString& text) {
    QString bad;
    for (qsizetype k = 0; k < text.size(); ++k) {
        const qsizetype length = text.at(k).isHighSurrogate() && k + 1 < text.size() ? 2 : 1;
        const QString character = text.mid(k, length);
        if (!fitsCp936(character)) {
            bad = character;
            break;
        }
        k += length - 1;
    }
    return QStringLiteral("“%1”里的字符“%2”不能保存，请只用中文、字母、数字和常用符号").arg(text.left(40), bad);
}

} // namespace cuemora
