// Fuzz body for the INI reader and editor: any bytes are decoded and parsed,
// every key found is read back, and a write is checked to change exactly the
// one value it names.
#include "platform/inifile.h"
#include "platform/textfile.h"
#include "platform/vbvalue.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

void check(bool ok)
{
    if (!ok)
        std::abort();
}

bool hasLineBreak(const QString& s)
{
    return s.contains(QLatin1Char('\r')) || s.contains(QLatin1Char('\n'));
}

// What a read gives back for a written value.
QString expectedRead(const QString& written)
{
    QString v = written;
    v.replace(QLatin1Char('\r'), QLatin1Char(' '));
    v.replace(QLatin1Char('\n'), QLatin1Char(' '));
    v = v.trimmed();
    if (v.size() >= 2 && (v.front() == QLatin1Char('"') || v.front() == QLatin1Char('\''))
        && v.back() == v.front())
        v = v.mid(1, v.size() - 2);
    return v;
}

struct Entry {
    QString section, key, value;
};

} // namespace

int fuzzIniReader(const uint8_t* data, size_t size)
{
    if (size > 64 * 1024)
        return 0;
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString text = textfile::decode(bytes);
    IniDocument doc = IniDocument::fromText(text);

    // The text form keeps every line.
    check(IniDocument::fromText(doc.toText()).lines() == doc.lines());

    // Every listed key reads back, within any buffer size.
    std::vector<Entry> entries;
    for (const QString& section : doc.sections()) {
        for (const QString& key : doc.keys(section)) {
            const auto v = doc.value(section, key);
            check(v.has_value());
            for (int buf : {1, 2, 8, 1024}) {
                QString out;
                const int n = doc.read(section, key, QStringLiteral("default"), out, buf);
                check(n == out.size() && n <= buf - 1 && v->startsWith(out));
            }
            vb::Val(*v);
            entries.push_back({section, key, *v});
        }
    }

    // Write one value into the first section (or a new one) and check that
    // it reads back while every other first-match value stays the same.
    const QString section = doc.sections().isEmpty() ? QStringLiteral("Fuzz") : doc.sections().front();
    const QString key = doc.keys(section).isEmpty() ? QStringLiteral("FuzzKey") : doc.keys(section).back();
    const QString value = text.left(40);
    const qsizetype before = doc.lines().size();
    doc.set(section, key, value);
    if (!hasLineBreak(section) && !hasLineBreak(key)) {
        check(doc.value(section, key) == expectedRead(value));
        check(doc.lines().size() - before <= 2);
        for (const Entry& e : entries) {
            if (e.section.compare(section, Qt::CaseInsensitive) == 0
                && e.key.compare(key, Qt::CaseInsensitive) == 0)
                continue;
            check(doc.value(e.section, e.key) == e.value);
        }
    }
    return 0;
}
