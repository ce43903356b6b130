#pragma once
// The board lists of the administration window and its Mode file.
//
// A board list file ("IPAddress.txt" for the saved boards,
// "DestIPAddress.txt" for the destination boards) holds one line per board:
// the address, ", " and the note, both trimmed. Reading splits a line at its
// first ", " only, so a note may itself hold ", "; a line without ", " is a
// board without a note; empty lines are skipped. A line break in a note
// (one pasted into the note box) is a blank, so a note never starts a line
// of its own. Files are written atomically, CRLF, Windows-1252 where the
// text reads back (textfile.h).
#include <QList>
#include <QString>

namespace remote {

struct Board {
    QString address;
    QString note;
    bool operator==(const Board&) const = default;
};
using BoardList = QList<Board>;

Board parseBoardLine(const QString& line);
QString boardLine(const Board& board);
// A note as the lists keep it: every CR and LF a blank.
QString boardNote(const QString& text);

// A missing file gives an empty list. So does one that exists but cannot be
// read (a device, a pipe, a folder, one over textfile::kMaxSmallFileBytes,
// an unreadable one): it is not read whole, and `error` names the file and
// the reason; `error` is left empty otherwise.
BoardList readBoardList(const QString& path, QString* error = nullptr);
// Writes every board; an empty list gives an empty file, so boards removed
// by the user stay removed. False (old file kept) when the write failed.
bool writeBoardList(const QString& path, const BoardList& boards, QString* error = nullptr);

// Sorts by address text, character by character (".12" before ".2").
void sortByAddress(BoardList& boards);

// 1 when the first line of the Mode file starts with the number 1, else 0
// (also for a missing or unreadable file, or an empty first line).
int readMode(const QString& path);

// True when the trimmed text is a host name, an IPv4 address or an IPv6
// address: nothing that could carry a blank, "/", "@", a port or a control
// character into an FTP session.
bool isBoardAddress(const QString& text);
// Why a text that isBoardAddress refuses gets no transfer, for the
// message list.
const QString& unusableAddressCause();

} // namespace remote
