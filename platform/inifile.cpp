#include "platform/inifile.h"

#include "platform/atomicfile.h"
#include "platform/textfile.h"

#include <QFile>

namespace {

// A header line: optional blanks, "[", the name, "]". Returns the trimmed name.
std::optional<QString> sectionName(const QString& line)
{
    const QString t = line.trimmed();
    if (!t.startsWith(QLatin1Char('[')))
        return std::nullopt;
    const qsizetype close = t.indexOf(QLatin1Char(']'));
    const QString name = close < 0 ? t.mid(1) : t.mid(1, close - 1);
    return name.trimmed();
}

bool isComment(const QString& line)
{
    const QString t = line.trimmed();
    return t.startsWith(QLatin1Char(';'));
}

// Key of a "key=value" line, trimmed; nothing when the line has no "=".
std::optional<QString> keyOf(const QString& line)
{
    if (isComment(line))
        return std::nullopt;
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    if (eq < 0)
        return std::nullopt;
    return line.left(eq).trimmed();
}

QString rawValueOf(const QString& line)
{
    return line.mid(line.indexOf(QLatin1Char('=')) + 1);
}

QString processValue(const QString& raw)
{
    QString v = raw.trimmed();
    if (v.size() >= 2) {
        const QChar q = v.front();
        if ((q == QLatin1Char('"') || q == QLatin1Char('\'')) && v.back() == q)
            v = v.mid(1, v.size() - 2);
    }
    return v;
}

QString flatten(QString v)
{
    v.replace(QLatin1Char('\r'), QLatin1Char(' '));
    v.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return v;
}

bool sameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

IniDocument IniDocument::fromText(const QString& text)
{
    IniDocument doc;
    doc.lines_ = textfile::splitLines(text);
    return doc;
}

QString IniDocument::toText() const
{
    return textfile::joinLines(lines_);
}

std::optional<std::pair<int, int>> IniDocument::findSection(const QString& section) const
{
    const QString want = section.trimmed();
    for (int i = 0; i < lines_.size(); ++i) {
        const auto name = sectionName(lines_[i]);
        if (!name || !sameName(*name, want))
            continue;
        int end = i + 1;
        while (end < lines_.size() && !sectionName(lines_[end]))
            ++end;
        return std::make_pair(i + 1, end);
    }
    return std::nullopt;
}

int IniDocument::findKey(int begin, int end, const QString& key) const
{
    const QString want = key.trimmed();
    for (int i = begin; i < end; ++i) {
        const auto k = keyOf(lines_[i]);
        if (k && sameName(*k, want))
            return i;
    }
    return -1;
}

std::optional<QString> IniDocument::value(const QString& section, const QString& key) const
{
    const auto range = findSection(section);
    if (!range)
        return std::nullopt;
    const int i = findKey(range->first, range->second, key);
    if (i < 0)
        return std::nullopt;
    return processValue(rawValueOf(lines_[i]));
}

bool IniDocument::hasSection(const QString& section) const
{
    return findSection(section).has_value();
}

int IniDocument::read(const QString& section, const QString& key, const QString& def, QString& out,
                      int bufSize) const
{
    if (bufSize <= 0) {
        out.clear();
        return 0;
    }
    const auto v = value(section, key);
    out = v ? *v : def;
    if (out.size() > bufSize - 1)
        out.truncate(bufSize - 1);
    return int(out.size());
}

void IniDocument::set(const QString& section, const QString& key, const QString& value)
{
    // Line breaks in any part would split the line and break the file's
    // structure, so they become blanks everywhere.
    const QString sec = flatten(section).trimmed();
    const QString k = flatten(key).trimmed();
    const QString v = flatten(value);
    const QString line = k + QLatin1Char('=') + v;
    const auto range = findSection(sec);
    if (!range) {
        lines_ << QLatin1Char('[') + sec + QLatin1Char(']') << line;
        return;
    }
    const int i = findKey(range->first, range->second, k);
    if (i >= 0) {
        // Keep the key as spelt in the file.
        const QString existing = lines_[i].left(lines_[i].indexOf(QLatin1Char('='))).trimmed();
        lines_[i] = existing + QLatin1Char('=') + v;
        return;
    }
    // After the last non-blank line of the section.
    int at = range->second;
    while (at > range->first && lines_[at - 1].trimmed().isEmpty())
        --at;
    lines_.insert(at, line);
}

void IniDocument::removeKey(const QString& section, const QString& key)
{
    const auto range = findSection(section);
    if (!range)
        return;
    const int i = findKey(range->first, range->second, key);
    if (i >= 0)
        lines_.removeAt(i);
}

void IniDocument::removeSection(const QString& section)
{
    const auto range = findSection(section);
    if (!range)
        return;
    const int header = range->first - 1;
    lines_.erase(lines_.begin() + header, lines_.begin() + range->second);
}

QStringList IniDocument::sections() const
{
    QStringList out;
    for (const QString& l : lines_)
        if (const auto name = sectionName(l))
            out << *name;
    return out;
}

QStringList IniDocument::keys(const QString& section) const
{
    QStringList out;
    const auto range = findSection(section);
    if (!range)
        return out;
    for (int i = range->first; i < range->second; ++i)
        if (const auto k = keyOf(lines_[i]); k && !k->isEmpty())
            out << *k;
    return out;
}

IniFile::IniFile(QString path)
    : path_(std::move(path))
{
}

IniDocument IniFile::load() const
{
    QString text;
    if (!QFile::exists(path_) || !textfile::readText(path_, text))
        return {};
    return IniDocument::fromText(text);
}

bool IniFile::save(const IniDocument& doc, QString* error) const
{
    return textfile::writeText(path_, doc.toText(), error);
}

int IniFile::read(const QString& section, const QString& key, const QString& def, QString& out,
                  int bufSize) const
{
    return load().read(section, key, def, out, bufSize);
}

QString IniFile::value(const QString& section, const QString& key, const QString& def, int bufSize) const
{
    QString out;
    read(section, key, def, out, bufSize);
    return out;
}

std::optional<QString> IniFile::find(const QString& section, const QString& key) const
{
    return load().value(section, key);
}

bool IniFile::loadForUpdate(IniDocument& doc, QString* error) const
{
    // A file that exists but cannot be read is never replaced by a fresh one.
    doc = IniDocument();
    if (!QFile::exists(path_))
        return true;
    QString text;
    if (!textfile::readText(path_, text, error))
        return false;
    doc = IniDocument::fromText(text);
    return true;
}

bool IniFile::write(const QString& section, const QString& key, const QString& value, QString* error)
{
    IniDocument doc;
    if (!loadForUpdate(doc, error))
        return false;
    doc.set(section, key, value);
    return save(doc, error);
}

bool IniFile::writeAll(const QString& section, const std::vector<std::pair<QString, QString>>& values,
                       QString* error)
{
    IniDocument doc;
    if (!loadForUpdate(doc, error))
        return false;
    for (const auto& [k, v] : values)
        doc.set(section, k, v);
    return save(doc, error);
}
