// The account file is a profile file that anyone can edit by hand. Reading it, listing its
// sections and writing a key into it must never crash or hang, whatever it holds, and a key that
// was written must read back as written.
#include "accounts/profile_text.h"

#include <QByteArray>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    cuemora::ProfileText text(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    const QStringList sections = text.sectionNames();
    for (const QString& section : sections)
        (void)text.value(section, QStringLiteral("账号"));
    (void)text.valueCp936(QStringLiteral("账号密码"), QStringLiteral("密码"));
    const QString value = QStringLiteral("70,E9,09,");
    if (text.setValues(QStringLiteral("账号密码"), {{QStringLiteral("账号"), value}})) {
        if (text.value(QStringLiteral("账号密码"), QStringLiteral("账号")) != value)
            std::abort();
    }
    return 0;
}
