#include "platform/inifile.h"

#include "platform/atomicfile.h"
#include "platform/textfile.h"

#include <QFile>

namespace {

// A header line: optional blanks, "[", the name, "]". Returns the trimmed name.
std::optional<QString> sectionName(const QString& line)
{
    const QStringView t = QStringView(line).trimmed();
    if (!t.startsWith(u'['))
        return std::nullopt;
    const qsizetype close = t.indexOf(u']');
    const QStringView name = close < 0 ? t.mid(1) : t.mid(1, close - 1);
    return name.trimmed().toString();
}

bool isHeader(const QString& line)
{
    return QStringView(line).trimmed().startsWith(u'[');
}

// Key of a "key=value" line, trimmed; nothing for a comment or a line
// without "=".
std::optional<QStringView> keyView(const QString& line)
{
    if (QStringView(line).trimmed().startsWith(u';'))
        return std::nullopt;
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    if (eq < 0)
        return std::nullopt;
    return QStringView(line).left(eq).trimmed();
}

std::optional<QString> keyOf(const QString& line)
{
    const auto k = keyView(line);
    return k ? std::optional<QString>(k->toString()) : std::nullopt;
}

// The value of a "key=value" line: trimmed, one pair of matching quotes
// stripped.
QString valueOf(const QString& line)
{
    QStringView v = QStringView(line).mid(line.indexOf(QLatin1Char('=')) + 1).trimmed();
    if (v.size() >= 2) {
        const QChar q = v.front();
        if ((q == u'"' || q == u'\'') && v.back() == q)
            v = v.mid(1, v.size() - 2);
    }
    return v.toString();
}

// Keeps the first value given for a name.
void insertFirst(QHash<QString, int>& index, const QString& name, int at)
{
    if (!index.contains(name))
        index.insert(name, at);
}

// The lookup form of a section or key name.
QString folded(QStringView name)
{
    return name.trimmed().toString().toCaseFolded();
}

} // namespace

QString protectedIniValue(const QString& text)
{
    // The end of a pasted line is no part of the value: kept, it would come
    // back as a blank.
    QStringView value(text);
    while (!value.isEmpty() && (value.front() == u'\r' || value.front() == u'\n'))
        value = value.mid(1);
    while (!value.isEmpty() && (value.back() == u'\r' || value.back() == u'\n'))
        value.chop(1);
    const bool quoted =
        value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') && value.back() == value.front();
    if (quoted || value.trimmed().size() != value.size())
        return QLatin1Char('"') + value.toString() + QLatin1Char('"');
    return value.toString();
}

IniDocument IniDocument::fromText(const QString& text)
{
    IniDocument doc;
    doc.rebuild(textfile::splitLines(text));
    return doc;
}

void IniDocument::rebuild(const QStringList& lines)
{
    parts_.clear();
    parts_.emplace_back();
    for (const QString& line : lines) {
        if (isHeader(line)) {
            Part part;
            part.hasHeader = true;
            part.header = line;
            part.name = *sectionName(line);
            parts_.push_back(std::move(part));
        } else {
            parts_.back().lines << line;
        }
    }
    for (Part& part : parts_)
        indexKeys(part);
    indexSections();
}

void IniDocument::indexKeys(Part& part) const
{
    part.keys.clear();
    if (!part.hasHeader)
        return;
    part.keys.reserve(part.lines.size());
    for (int i = 0; i < part.lines.size(); ++i)
        if (const auto k = keyView(part.lines[i]))
            insertFirst(part.keys, folded(*k), i); // the first of a name wins
}

void IniDocument::indexSections()
{
    sectionIndex_.clear();
    for (int i = 0; i < int(parts_.size()); ++i)
        if (parts_[size_t(i)].hasHeader)
            insertFirst(sectionIndex_, folded(parts_[size_t(i)].name), i);
}

QString IniDocument::toText() const
{
    return textfile::joinLines(lines());
}

QStringList IniDocument::lines() const
{
    QStringList out;
    for (const Part& part : parts_) {
        if (part.hasHeader)
            out << part.header;
        out << part.lines;
    }
    return out;
}

const IniDocument::Part* IniDocument::findSection(const QString& section) const
{
    const auto it = sectionIndex_.constFind(folded(section));
    return it == sectionIndex_.cend() ? nullptr : &parts_[size_t(*it)];
}

IniDocument::Part* IniDocument::findSection(const QString& section)
{
    return const_cast<Part*>(std::as_const(*this).findSection(section));
}

int IniDocument::findKey(const Part& part, const QString& key)
{
    return part.keys.value(folded(key), -1);
}

std::optional<QString> IniDocument::value(const QString& section, const QString& key) const
{
    const Part* part = findSection(section);
    if (!part)
        return std::nullopt;
    const int i = findKey(*part, key);
    if (i < 0)
        return std::nullopt;
    return valueOf(part->lines[i]);
}

bool IniDocument::hasSection(const QString& section) const
{
    return findSection(section) != nullptr;
}

int IniDocument::read(const QString& section, const QString& key, const QString& def, QString& out, int bufSize) const
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
    const QString sec = textfile::blankLineBreaks(section).trimmed();
    const QString k = textfile::blankLineBreaks(key).trimmed();
    const QString v = textfile::blankLineBreaks(value);
    const QString line = k + QLatin1Char('=') + v;
    // A key that starts with "[" makes a line that reads as a header: the
    // document then takes the new lines as a fresh text would.
    const bool lineIsHeader = sectionName(line).has_value();
    Part* part = findSection(sec);
    if (!part) {
        if (lineIsHeader) {
            rebuild(lines() << QLatin1Char('[') + sec + QLatin1Char(']') << line);
            return;
        }
        Part fresh;
        fresh.hasHeader = true;
        fresh.header = QLatin1Char('[') + sec + QLatin1Char(']');
        fresh.name = *sectionName(fresh.header);
        fresh.lines << line;
        indexKeys(fresh);
        parts_.push_back(std::move(fresh));
        insertFirst(sectionIndex_, folded(parts_.back().name), int(parts_.size()) - 1);
        return;
    }
    const int i = findKey(*part, k);
    if (i >= 0) {
        // Keep the key as spelt in the file.
        QString& existingLine = part->lines[i];
        const QString existing = existingLine.left(existingLine.indexOf(QLatin1Char('='))).trimmed();
        existingLine = existing + QLatin1Char('=') + v;
        return;
    }
    // After the last non-blank line of the section. The lines after it are
    // blank, so no key moves.
    int at = int(part->lines.size());
    while (at > 0 && part->lines[at - 1].trimmed().isEmpty())
        --at;
    part->lines.insert(at, line);
    if (lineIsHeader) {
        rebuild(lines());
        return;
    }
    if (const auto newKey = keyOf(line))
        insertFirst(part->keys, folded(*newKey), at);
}

void IniDocument::removeKey(const QString& section, const QString& key)
{
    Part* part = findSection(section);
    if (!part)
        return;
    const int i = findKey(*part, key);
    if (i < 0)
        return;
    part->lines.removeAt(i);
    indexKeys(*part);
}

void IniDocument::removeSection(const QString& section)
{
    const Part* part = findSection(section);
    if (!part)
        return;
    parts_.erase(parts_.begin() + (part - parts_.data()));
    indexSections();
}

QStringList IniDocument::sections() const
{
    QStringList out;
    for (const Part& part : parts_)
        if (part.hasHeader)
            out << part.name;
    return out;
}

QStringList IniDocument::keys(const QString& section) const
{
    QStringList out;
    const Part* part = findSection(section);
    if (!part)
        return out;
    for (const QString& line : part->lines)
        if (const auto k = keyOf(line); k && !k->isEmpty())
            out << *k;
    return out;
}

IniFile::IniFile(QString path)
    : path_(std::move(path))
{
}

IniDocument IniFile::load() const
{
    IniDocument doc;
    loadChecked(doc); // an unreadable file reads as empty
    return doc;
}

bool IniFile::save(const IniDocument& doc, QString* error) const
{
    return textfile::writeText(path_, doc.toText(), error);
}

int IniFile::read(const QString& section, const QString& key, const QString& def, QString& out, int bufSize) const
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

bool IniFile::loadChecked(IniDocument& doc, QString* error) const
{
    // A file that exists but cannot be read is never replaced by a fresh one.
    doc = IniDocument();
    if (!QFile::exists(path_))
        return true;
    QString text;
    if (!textfile::readText(path_, text, error, textfile::kMaxSmallFileBytes))
        return false;
    doc = IniDocument::fromText(text);
    return true;
}

bool IniFile::write(const QString& section, const QString& key, const QString& value, QString* error)
{
    IniDocument doc;
    if (!loadChecked(doc, error))
        return false;
    doc.set(section, key, value);
    return save(doc, error);
}

bool IniFile::writeAll(const QString& section, const std::vector<std::pair<QString, QString>>& values, QString* error)
{
    IniDocument doc;
    if (!loadChecked(doc, error))
        return false;
    for (const auto& [k, v] : values)
        doc.set(section, k, v);
    return save(doc, error);
}
