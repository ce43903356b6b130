#include "platform/textfile.h"

#include "platform/atomicfile.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstring>

#include <sys/mman.h>

namespace textfile {

namespace {

// The length of the UTF-8 sequence that `lead` starts: 1 for ASCII, 2 to 4,
// or 0 for a byte that starts none.
int sequenceLength(unsigned char lead)
{
    if (lead < 0x80)
        return 1;
    if ((lead & 0xE0) == 0xC0)
        return 2;
    if ((lead & 0xF0) == 0xE0)
        return 3;
    if ((lead & 0xF8) == 0xF0)
        return 4;
    return 0;
}

} // namespace

bool isUtf8(const char* p, qsizetype n)
{
    const auto* s = reinterpret_cast<const unsigned char*>(p);
    qsizetype i = 0;
    while (i < n) {
        // Runs of ASCII, eight bytes at a time.
        quint64 w;
        while (i + 8 <= n && (std::memcpy(&w, s + i, 8), (w & 0x8080808080808080ULL) == 0))
            i += 8;
        if (i == n)
            break;
        const unsigned char c = s[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        const int len = sequenceLength(c);
        if (len == 0)
            return false;
        unsigned cp = c & (0x7F >> len);
        if (i + len > n)
            return false;
        for (int k = 1; k < len; ++k) {
            if ((s[i + k] & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (s[i + k] & 0x3F);
        }
        // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
        if ((len == 2 && cp < 0x80) || (len == 3 && cp < 0x800) || (len == 4 && cp < 0x10000) || cp > 0x10FFFF ||
            (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += len;
    }
    return true;
}

bool Utf8Check::add(const char* p, qsizetype n)
{
    if (!ok_)
        return false;
    if (pending_ > 0) {
        const int len = sequenceLength(static_cast<unsigned char>(cut_[0]));
        while (pending_ < len && n > 0) {
            cut_[pending_++] = *p++;
            --n;
        }
        if (pending_ < len)
            return true;
        pending_ = 0;
        ok_ = isUtf8(cut_, len);
        if (!ok_)
            return false;
    }
    // A character that the end of the piece cuts short waits for the next.
    qsizetype whole = n;
    for (qsizetype k = n - 1; k >= 0 && k >= n - 3; --k) {
        const auto c = static_cast<unsigned char>(p[k]);
        if ((c & 0xC0) == 0x80)
            continue;
        const int len = sequenceLength(c);
        if (len > 1 && k + len > n)
            whole = k;
        break;
    }
    ok_ = isUtf8(p, whole);
    if (ok_) {
        pending_ = int(n - whole);
        std::memcpy(cut_, p + whole, size_t(pending_));
    }
    return ok_;
}

namespace {

// Windows-1252 differs from Latin-1 only in 0x80..0x9F. The five bytes that
// Windows leaves unassigned map to the C1 control of the same value, as the
// system's own conversion does.
// clang-format off
constexpr char16_t kHigh1252[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};
// clang-format on

QString decode1252(const char* p, qsizetype n)
{
    QString out(n, Qt::Uninitialized);
    QChar* d = out.data();
    for (qsizetype i = 0; i < n; ++i) {
        const unsigned char c = static_cast<unsigned char>(p[i]);
        d[i] = (c >= 0x80 && c < 0xA0) ? QChar(kHigh1252[c - 0x80]) : QChar(c);
    }
    return out;
}

// The Windows-1252 byte of a character, or -1 when it has none.
int byte1252(char16_t u)
{
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return u;
    for (int i = 0; i < 32; ++i)
        if (kHigh1252[i] == u)
            return 0x80 + i;
    return -1;
}

// How many bytes from the start are plain ASCII, eight at a time: the usual
// content of exports.
qsizetype asciiRun(const char* p, qsizetype n)
{
    qsizetype i = 0;
    for (; i + 8 <= n; i += 8) {
        quint64 w;
        std::memcpy(&w, p + i, 8);
        if (w & 0x8080808080808080ULL)
            break;
    }
    for (; i < n; ++i)
        if (static_cast<unsigned char>(p[i]) >= 0x80)
            return i;
    return n;
}

bool isAscii(const char* p, qsizetype n)
{
    return asciiRun(p, n) == n;
}

} // namespace

QString decode(const QByteArray& bytes)
{
    qsizetype start = 0;
    if (bytes.startsWith("\xEF\xBB\xBF"))
        start = 3;
    const char* p = bytes.constData() + start;
    const qsizetype n = bytes.size() - start;
    if (isAscii(p, n))
        return QString::fromLatin1(p, n);
    if (isUtf8(p, n))
        return QString::fromUtf8(p, n);
    return decode1252(p, n);
}

bool fitsWindows1252(const QString& text)
{
    for (const QChar ch : text)
        if (byte1252(ch.unicode()) < 0)
            return false;
    return true;
}

bool appendWindows1252(QStringView text, QByteArray& out)
{
    const qsizetype at = out.size();
    out.resize(at + text.size());
    char* d = out.data() + at;
    for (const QChar ch : text) {
        const int b = byte1252(ch.unicode());
        if (b < 0) {
            out.resize(at);
            return false;
        }
        *d++ = char(b);
    }
    return true;
}

QString fromWindows1252(QByteArrayView bytes)
{
    return decode1252(bytes.data(), bytes.size());
}

QByteArray utf8Of(QStringView text)
{
    // decode drops a BOM and QString::fromUtf8 one more: two in front keep
    // the text's own.
    if (text.startsWith(QChar(0xFEFF)))
        return QByteArray("\xEF\xBB\xBF\xEF\xBB\xBF") + text.toUtf8();
    return text.toUtf8();
}

void Windows1252Check::add(const char* p, qsizetype n)
{
    for (qsizetype i = 0; headSize_ < 3 && i < n; ++i)
        head_[headSize_++] = p[i];
    // ASCII before the first byte past it cannot make the bytes any less
    // UTF-8: the check starts there, and stops once the bytes are not UTF-8.
    if (!high_) {
        const qsizetype i = asciiRun(p, n);
        if (i == n)
            return;
        high_ = true;
        p += i;
        n -= i;
    }
    utf8_.add(p, n);
}

bool Windows1252Check::readsBack() const
{
    if (headSize_ == 3 && std::memcmp(head_, "\xEF\xBB\xBF", 3) == 0)
        return false;
    return !high_ || !utf8_.valid();
}

QByteArray encode(const QString& text)
{
    QByteArray out;
    if (appendWindows1252(text, out)) {
        Windows1252Check check;
        check.add(out.constData(), out.size());
        if (check.readsBack())
            return out;
    }
    return utf8Of(text);
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

QStringList splitLinesAnyEnd(QStringView text)
{
    QStringList lines;
    forEachLineAnyEnd(text, [&lines](QStringView line) { lines << line.toString(); });
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

QString blankLineBreaks(QString text)
{
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return text;
}

bool asciiText(const QByteArray& bytes, QLatin1StringView& text)
{
    const qsizetype start = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    const char* p = bytes.constData() + start;
    if (!isAscii(p, bytes.size() - start))
        return false;
    text = QLatin1StringView(p, bytes.size() - start);
    return true;
}

bool readText(const QString& path, QString& text, QString* error, qint64 maxBytes)
{
    QByteArray bytes;
    if (!readBytes(path, bytes, error, maxBytes))
        return false;
    text = decode(bytes);
    return true;
}

void adviseLargePages(void* data, qsizetype size)
{
#if defined(MADV_HUGEPAGE)
    constexpr uintptr_t kLarge = uintptr_t(2) << 20;
    const uintptr_t from = (reinterpret_cast<uintptr_t>(data) + kLarge - 1) & ~(kLarge - 1);
    const uintptr_t to = (reinterpret_cast<uintptr_t>(data) + uintptr_t(std::max<qsizetype>(size, 0))) & ~(kLarge - 1);
    if (to > from)
        ::madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE);
#else
    Q_UNUSED(data);
    Q_UNUSED(size);
#endif
}

bool InputFile::open(const QString& path, QString* error, qint64 maxBytes)
{
    maxBytes_ = maxBytes;
    // Checked before the open: opening a named pipe waits for a writer.
    const QFileInfo info(path);
    if (info.isDir()) {
        if (error)
            *error = QStringLiteral("\"%1\" is a folder, not a file.").arg(path);
        return false;
    }
    if (info.exists() && !info.isFile()) {
        if (error)
            *error = QStringLiteral("\"%1\" is not a regular file (a device or a pipe): it was not read.").arg(path);
        return false;
    }
    file_.setFileName(path);
    if (!file_.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("Cannot open \"%1\": %2").arg(path, file_.errorString());
        return false;
    }
    // Devices and pipes report no size: read() checks the limit as it goes.
    if (file_.size() > maxBytes_)
        return tooLarge(error);
    return true;
}

bool InputFile::tooLarge(QString* error) const
{
    if (error)
        *error = QStringLiteral("\"%1\" is too large (the limit is %2 MB).")
                     .arg(file_.fileName())
                     .arg(maxBytes_ / (1024 * 1024));
    return false;
}

qint64 InputFile::read(char* to, qint64 size, QString* error)
{
    const qint64 got = file_.read(to, size);
    if (got < 0 || file_.error() != QFile::NoError) {
        if (error)
            *error = QStringLiteral("Cannot read \"%1\": %2").arg(file_.fileName(), file_.errorString());
        return -1;
    }
    if (file_.pos() > maxBytes_) {
        tooLarge(error);
        return -1;
    }
    return got;
}

bool InputFile::seek(qint64 pos, QString* error)
{
    if (file_.seek(pos))
        return true;
    if (error)
        *error = QStringLiteral("Cannot read \"%1\": %2").arg(file_.fileName(), file_.errorString());
    return false;
}

bool readBytes(const QString& path, QByteArray& bytes, QString* error, qint64 maxBytes)
{
    InputFile f;
    if (!f.open(path, error, maxBytes))
        return false;
    constexpr qint64 kPiece = qint64(1) << 20;
    bytes.clear();
    bytes.reserve(qsizetype(f.size() + kPiece));
    adviseLargePages(bytes.data(), bytes.capacity());
    for (;;) {
        const qsizetype at = bytes.size();
        bytes.resize(at + kPiece);
        const qint64 got = f.read(bytes.data() + at, kPiece, error);
        if (got < 0) {
            bytes.clear();
            return false;
        }
        bytes.resize(at + got);
        if (got == 0)
            return true;
    }
}

bool readLines(const QString& path, QStringList& lines, QString* error, qint64 maxBytes)
{
    QString text;
    if (!readText(path, text, error, maxBytes))
        return false;
    lines = splitLines(text);
    return true;
}

bool readLinesAnyEnd(const QString& path, QStringList& lines, QString* error, qint64 maxBytes)
{
    QString text;
    if (!readText(path, text, error, maxBytes))
        return false;
    lines = splitLinesAnyEnd(text);
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
