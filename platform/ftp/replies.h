#pragma once
// Reading what an FTP server says on the control connection: which lines end
// a reply, their codes, and the answers to SIZE and MDTM. These take any text
// a server may send and give back a value the client can use as it stands.
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace ftp {

// One line the server sent (with or without its line break), read as
// Latin-1: the line without its line break and blanks at its end when it is
// the last line of a reply ("ddd text", or the code alone); "" for any other
// line: the first and middle lines of a multi-line reply ("213-Status",
// " 213 text": a middle line that starts with digits is padded) and text
// that is no reply at all.
QString replyLine(QByteArrayView line);
// The code of a reply line, its first three digits; 0 when it does not
// start with three digits.
int replyCode(QStringView reply);

// A SIZE reply ("213 <bytes>", the count in plain digits): the byte count;
// -1 for any other reply, a count with a sign or other characters, and one
// too large for qint64.
qint64 sizeOfReply(const QString& reply);
// An MDTM reply ("213 yyyymmddhhmmss", maybe with a fraction of a second
// ".sss"): the time to the second, as those 14 digits; "" for any other
// reply and for digits that are no date and time of day (month 13, 30
// February, hour 24, a fifteenth digit).
QString timeOfReply(const QString& reply);

} // namespace ftp
