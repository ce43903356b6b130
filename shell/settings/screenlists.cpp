#include "shell/settings/screenlists.h"

#include "platform/vbvalue.h"

namespace screenlists {

QStringList resolutionList(bool landscape)
{
    if (landscape)
        return {QStringLiteral("852 x 480"),   QStringLiteral("800 x 600"),   QStringLiteral("1280 x 720"),
                QStringLiteral("1024 x 768"),  QStringLiteral("1360 x 768"),  QStringLiteral("1366 x 768"),
                QStringLiteral("1920 x 1080")};
    return {QStringLiteral("480 x 852"),   QStringLiteral("600 x 800"),   QStringLiteral("720 x 1280"),
            QStringLiteral("768 x 1024"),  QStringLiteral("768 x 1360"),  QStringLiteral("768 x 1366"),
            QStringLiteral("1080 x 1920")};
}

QStringList rotationList()
{
    return {QStringLiteral("0"), QStringLiteral("90"), QStringLiteral("180"), QStringLiteral("270")};
}

Resolution parseResolution(const QString& entry)
{
    const qsizetype x = entry.indexOf(QLatin1Char('x'));
    if (x < 0)
        return {vb::CInt(vb::Val(entry)), 0};
    return {vb::CInt(vb::Val(entry.left(x))), vb::CInt(vb::Val(entry.mid(x + 1)))};
}

QString backgroundColorText(uint32_t bgr)
{
    return vb::ColorText(bgr & 0xFFFFFFu);
}

} // namespace screenlists
