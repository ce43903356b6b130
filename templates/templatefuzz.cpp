// Fuzz body for the template reader: any bytes read as a template file,
// over a fresh template and over one that already holds values; the result
// must stay inside the line table, and what it saves must read back the same.
#include "platform/statuslog.h"
#include "platform/textfile.h"
#include "templates/layouts.h"
#include "templates/templatefile.h"

#include <cstdint>
#include <cstdlib>

int fuzzTemplateReader(const uint8_t* data, size_t size)
{
    using namespace templates;
    // The reader logs what it finds wrong; lines kept from earlier inputs
    // would only pile up in the global log.
    StatusLog::instance().clear();
    const QString text = textfile::decode(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));

    Template t;
    loadTemplateText(text, t, QStringLiteral("fuzz input"));
    const int n = t.recordsInUse();
    if (n < 0 || n > kRecords)
        std::abort();
    for (int r = 0; r < n; ++r)
        for (int l = 0; l < kLines; ++l)
            LayoutRect::parse(t.gstrTemplateLines[r][kFieldRect][l]);

    // Plain values the template writes read back unchanged (a lone CR in a
    // value is written as a blank, so such values are left out).
    Template again;
    loadTemplateText(templateDocument(t).toText(), again, QStringLiteral("fuzz output"));
    if (!t.gstrTitleText.contains(QLatin1Char('\r')) && again.gstrTitleText != t.gstrTitleText)
        std::abort();
    if (again.gstrRecordsPerPage != t.gstrRecordsPerPage && !t.gstrRecordsPerPage.contains(QLatin1Char('\r')))
        std::abort();

    // Laid over a template that already holds values.
    Template over = again;
    loadTemplateText(text, over, QStringLiteral("fuzz input"));
    return 0;
}
