// Fuzz body for the font descriptor reader: any text must read without
// harm, and what it writes back must read back to the same descriptor.
#include "text/fontdescriptor.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

int fuzzFontDescriptor(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    FontDescriptor d;
    const bool ok = d.read(text);
    (void)pageFontOf(text);
    const QString stored = d.toString();
    FontDescriptor back;
    if (!back.read(stored) || back.toString() != stored)
        std::abort();
    if (ok && stored.count(QLatin1Char(',')) != 8)
        std::abort();
    return 0;
}
