#include "platform/textfile.h"

#include "platform/atomicfile.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QStringEncoder>

namespace textfile {
namespace {

bool isValidUtf8(const char* p, qsizetype n)
{
    const auto* s = reinterpret_cast<const unsigned char*>(p);
    qsizetype i = 0;
    while (i < n) {
        const unsigned char c = s[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        int len;
        unsigned cp;
        if ((c & 0xE0) == 0xC0) {
            len = 2;
            cp = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            len = 3;
            cp = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            len = 4;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (i + len > n)
            return false;
        for (int k = 1; k < len; ++k) {
            if ((s[i + k] & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (s[i + k] & 0x3F);
        }
        // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
        if ((len == 2 && cp < 0x80) || (len == 3 && cp < 0x800) || (len == 4 && cp < 0x10000)
            || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += len;
    }
    return true;
}

} // namespace

QString decode(const QByteArray& bytes)
{
    qsizetype start = 0;
    if (bytes.startsWith("\xEF\xBB\xBF"))
        start = 3;
    const char* p = bytes.constData() + start;
    const qsizetype n = bytes.size() - start;
    if (isValidUtf8(p, n))
        return QString::fromUtf8(p, n);
    QStringDecoder dec("windows-1252");
    if (!dec.isValid())
        return QString::fromLatin1(p, n);
    return dec.decode(QByteArrayView(p, n));
}

bool fitsWindows1252(const QString& text)
{
    for (const QChar ch : text) {
        const ushort u = ch.unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
            continue;
        switch (u) {
        case 0x20AC: case 0x201A: case 0x0192: case 0x201E: case 0x2026: case 0x2020:
        case 0x2021: case 0x02C6: case 0x2030: case 0x0160: case 0x2039: case 0x0152:
        case 0x017D: case 0x2018: case 0x2019: case 0x201C: case 0x201D: case 0x2022:
        case 0x2013: case 0x2014: case 0x02DC: case 0x2122: case 0x0161: case 0x203A:
        case 0x0153: case 0x017E: case 0x0178:
            continue;
        default:
            return false;
        }
    }
    return true;
}

QByteArray encode(const QString& text)
{
    if (fitsWindows1252(text)) {
        QStringEncoder enc("windows-1252");
        if (enc.isValid())
            return enc.encode(text);
    }
    return text.toUtf8();
}

QStringList splitLines(const QString& text)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    while (start < n) {
        qsizetype nl = text.indexOf(QLatin1Char('\n'), start);
        if (nl < 0) {
            lines << text.mid(start);
            break;
        }
        qsizetype end = nl;
        if (end > start && text.at(end - 1) == QLatin1Char('\r'))
            --end;
        lines << text.mid(start, end - start);
        start = nl + 1;
    }
    return lines;
}

QString joinLines(const QStringList& lines)
{
    QString out;
    qsizetype total = 0;
    for (const QString& l : lines)
        total += l.size() + 2;
    out.reserve(total);
    for (const QString& l : lines) {
        out += l;
        out += QLatin1String("\r\n");
    }
    return out;
}

bool readText(const QString& path, QString& text, QString* error, qint64 maxBytes)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("Cannot open \"%1\": %2").arg(path, f.errorString());
        return false;
    }
    if (f.size() > maxBytes) {
        if (error)
            *error = QStringLiteral("\"%1\" is too large (%2 MB; the limit is %3 MB).")
                         .arg(path)
                         .arg(f.size() / (1024 * 1024))
                         .arg(maxBytes / (1024 * 1024));
        return false;
    }
    const QByteArray bytes = f.readAll();
    if (f.error() != QFile::NoError) {
        if (error)
            *error = QStringLiteral("Cannot read \"%1\": %2").arg(path, f.errorString());
        return false;
    }
    text = decode(bytes);
    return true;
}

bool readLines(const QString& path, QStringList& lines, QString* error, qint64 maxBytes)
{
    QString text;
    if (!readText(path, text, error, maxBytes))
        return false;
    lines = splitLines(text);
    return true;
}

bool writeText(const QString& path, const QString& text, QString* error)
{
    return atomicfile::write(path, encode(text), error);
}

bool writeLines(const QString& path, const QStringList& lines, QString* error)
{
    return writeText(path, joinLines(lines), error);
}

} // namespace textfile
