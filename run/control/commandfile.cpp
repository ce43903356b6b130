#include "run/control/commandfile.h"

#include "platform/textfile.h"

#include <QFile>

namespace commandfile {

QString readValue(const QByteArray& bytes)
{
    const QString text = textfile::decode(bytes);
    qsizetype end = text.size();
    for (qsizetype i = 0; i < text.size(); ++i)
        if (text[i] == QLatin1Char('\r') || text[i] == QLatin1Char('\n')) {
            end = i;
            break;
        }
    const QStringView line = QStringView(text).left(end);
    qsizetype i = 0;
    while (i < line.size() && (line[i] == QLatin1Char(' ') || line[i] == QLatin1Char('\t')))
        ++i;
    if (i < line.size() && line[i] == QLatin1Char('"')) {
        const qsizetype close = line.indexOf(QLatin1Char('"'), i + 1);
        return (close < 0 ? line.mid(i + 1) : line.mid(i + 1, close - i - 1)).toString();
    }
    const qsizetype comma = line.indexOf(QLatin1Char(','), i);
    QStringView field = comma < 0 ? line.mid(i) : line.mid(i, comma - i);
    while (!field.isEmpty() && (field.back() == QLatin1Char(' ') || field.back() == QLatin1Char('\t')))
        field.chop(1);
    return field.toString();
}

bool readFile(const QString& path, QString& value)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    value = readValue(f.read(kMaxReadBytes));
    return true;
}

QByteArray resetBytes()
{
    return QByteArrayLiteral("0\r\n");
}

} // namespace commandfile
