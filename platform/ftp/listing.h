#pragma once
// Reading the reply of an FTP LIST command. Servers answer in one of two
// common styles:
//   Unix: "drwxr-xr-x 2 owner group 4096 Jan 31 12:00 name"
//   DOS:  "01-31-24  12:00PM       <DIR>          name"
// Lines of neither style ("total 12", blanks, notes) are skipped. Lines end
// in CRLF, LF or a lone CR.
#include "platform/ftp/ftpclient.h"

#include <QByteArray>
#include <QList>

namespace ftp {

// A whole reply: UTF-8 when valid, else Windows-1252. "." and ".." are left out.
QList<Entry> parseListing(const QByteArray& reply);

} // namespace ftp
