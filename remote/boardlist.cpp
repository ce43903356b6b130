#include "remote/boardlist.h"

#include "platform/textfile.h"
#include "platform/vbvalue.h"

#include <QFileInfo>
#include <QHostAddress>
#include <QRegularExpression>

#include <algorithm>

namespace remote {

namespace {
const QString kSeparator = QStringLiteral(", ");
}

Board parseBoardLine(const QString& line)
{
    const qsizetype at = line.indexOf(kSeparator);
    if (at < 0)
        return {line, QString()};
    return {line.left(at), boardNote(line.mid(at + kSeparator.size()))};
}

QString boardLine(const Board& board)
{
    return board.address.trimmed() + kSeparator + boardNote(board.note).trimmed();
}

QString boardNote(const QString& text)
{
    return textfile::blankLineBreaks(text);
}

BoardList readBoardList(const QString& path, QString* error)
{
    if (error)
        error->clear();
    BoardList boards;
    QStringList lines;
    if (!QFileInfo::exists(path) || !textfile::readLines(path, lines, error, textfile::kMaxSmallFileBytes))
        return boards;
    for (const QString& line : lines) {
        if (!line.isEmpty())
            boards << parseBoardLine(line);
    }
    return boards;
}

bool writeBoardList(const QString& path, const BoardList& boards, QString* error)
{
    QStringList lines;
    for (const Board& b : boards)
        lines << boardLine(b);
    return textfile::writeLines(path, lines, error);
}

void sortByAddress(BoardList& boards)
{
    std::stable_sort(boards.begin(), boards.end(),
                     [](const Board& a, const Board& b) { return a.address < b.address; });
}

int readMode(const QString& path)
{
    QStringList lines;
    if (!textfile::readLines(path, lines, nullptr, textfile::kMaxSmallFileBytes) || lines.isEmpty() ||
        lines.first().isEmpty())
        return 0;
    return vb::Val(lines.first()) == 1.0 ? 1 : 0;
}

const QString& unusableAddressCause()
{
    static const QString cause = QStringLiteral("not a usable board address");
    return cause;
}

bool isBoardAddress(const QString& text)
{
    const QString t = text.trimmed();
    if (t.isEmpty() || t.size() > 253)
        return false;
    if (t.contains(QLatin1Char(':'))) {
        QHostAddress a;
        return !t.contains(QLatin1Char('%')) && a.setAddress(t) && a.protocol() == QAbstractSocket::IPv6Protocol;
    }
    static const QRegularExpression digitsAndDots(QStringLiteral("^[0-9.]+$"));
    if (digitsAndDots.match(t).hasMatch()) {
        const QStringList parts = t.split(QLatin1Char('.'));
        if (parts.size() != 4)
            return false;
        return std::all_of(parts.begin(), parts.end(), [](const QString& p) {
            bool ok = false;
            return !p.isEmpty() && p.size() <= 3 && p.toInt(&ok) <= 255 && ok;
        });
    }
    static const QRegularExpression hostName(
        QStringLiteral("^[A-Za-z0-9](?:[A-Za-z0-9-]{0,61}[A-Za-z0-9])?"
                       "(?:\\.[A-Za-z0-9](?:[A-Za-z0-9-]{0,61}[A-Za-z0-9])?)*\\.?$"));
    return hostName.match(t).hasMatch();
}

} // namespace remote
