#include "shelltestsupport.h"

#include <QFile>

namespace shelltest {

void writeText(const QString& path, const QString& text)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(text.toUtf8());
}

} // namespace shelltest
