#include "tests/boardfolder.h"

#include "tests/testsupport.h"

#include <QByteArrayList>
#include <QStringList>

namespace boardfolder {

QByteArray record(const char* first, const char* second)
{
    QByteArrayList fields{first, second};
    while (fields.size() < 20)
        fields << QByteArray();
    fields << "0|0|0|0";
    return fields.join('\t') + "\r\n";
}

QByteArray settings(const QString& home, int dwell, const QStringList& templates, bool standAlone)
{
    QString text =
        QStringLiteral("[SETTINGS]\r\nStatus=1\r\nData Type=3\r\nRetrieve Type=0\r\nData File=%1/source.orv\r\n"
                       "Stand Alone=%3\r\nDwell Time=%2\r\nImage File=Page.png\r\n"
                       "[TEMPLATES]\r\nMode=0\r\nWidth=240\r\nHeight=320\r\nRotation=0\r\nList Number=%4\r\n")
            .arg(home)
            .arg(dwell)
            .arg(standAlone ? 1 : 0)
            .arg(templates.size());
    for (qsizetype i = 0; i < templates.size(); ++i)
        text += QString::number(i + 1) + QLatin1Char('=') + templates[i] + QStringLiteral("\r\n");
    return text.toUtf8();
}

QByteArray recordsOnlyTemplate(const QByteArray& background)
{
    QByteArray t =
        testsupport::readAll(testsupport::dataDir() + QStringLiteral("/templates/Template with 3 records.ORVT"));
    for (const char* element : {"Title Font Style=1", "Date Font Style=1", "Time Font Style=1"}) {
        QByteArray off = element;
        off.chop(1);
        t.replace(element, off + "0");
    }
    if (!background.isEmpty())
        t.replace("Color=&H402000", "Color=" + background);
    return t;
}

} // namespace boardfolder
