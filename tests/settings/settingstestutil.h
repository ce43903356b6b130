#pragma once
// Helpers shared by the settings tests.
#include "platform/inifile.h"
#include "platform/services.h"
#include "platform/statuslog.h"
#include "platform/textfile.h"
#include "shell/settings/fenwold.h"
#include "tests/testsupport.h"

#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

namespace settingstest {

// A settings document from lines (joined with CRLF).
inline IniDocument doc(const QStringList& lines)
{
    return IniDocument::fromText(lines.join(QStringLiteral("\r\n")));
}

// Every (section, key, value) of a document, in file order.
inline std::vector<std::pair<QString, QString>> keyLines(const IniDocument& d)
{
    std::vector<std::pair<QString, QString>> out;
    for (const QString& s : d.sections())
        for (const QString& k : d.keys(s))
            out.emplace_back(s + QLatin1Char('/') + k, d.value(s, k).value_or(QStringLiteral("<none>")));
    return out;
}

// Keeps the programs it was asked to start instead of starting them.
class Launcher final : public fenwold::Launcher {
public:
    bool startDetached(const QString& program) override
    {
        started << program;
        return true;
    }
    QStringList started;
};

// Status log lines starting with "!!!".
inline QStringList problemLines()
{
    QStringList out;
    for (const QString& l : StatusLog::instance().lines())
        if (l.contains(QLatin1String(" - !!!")))
            out << l;
    return out;
}

} // namespace settingstest
