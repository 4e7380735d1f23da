// A scrambled value edited by hand unscrambles to other bytes, never to a failure; and scrambling
// those bytes again gives a line that unscrambles back to them.
#include "accounts/scrambling.h"

#include <QByteArray>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray line(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QByteArray plain = cuemora::unscrambleBytes(line);
    const QByteArray again = cuemora::scrambleBytes(plain);
    if (again.size() != plain.size() * 3 || cuemora::unscrambleBytes(again) != plain)
        std::abort();
    (void)cuemora::unscrambleText(QString::fromLatin1(line));
    return 0;
}
