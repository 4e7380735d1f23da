#include "common/cp936.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace cuemora {

namespace {

// ICU's name for the Windows code page 936 (GBK with the euro sign at 0x80).
constexpr const char* kCodecName = "GBK";

} // namespace

QByteArray toCp936(const QString& text, bool* lossless) {
    QStringEncoder encoder(kCodecName, QStringConverter::Flag::Stateless);
    QByteArray bytes = encoder.encode(text);
    if (lossless)
        *lossless = !encoder.hasError();
    return bytes;
}

QString fromCp936(const QByteArray& bytes) {
    QStringDecoder decoder(kCodecName, QStringConverter::Flag::Stateless);
    return decoder.decode(bytes);
}

bool fitsCp936(const QString& text) {
    bool lossless = false;
    const QByteArray bytes = toCp936(text, &lossless);
    return lossless && fromCp936(bytes) == text;
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
