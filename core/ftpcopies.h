#pragma once
// Where the files fetched from the FTP server are kept in the Data folder:
// each under the file name its FTP name ends in ("Exports\data.txt":
// data.txt), where boards have always found them. The data file and the
// booking file never share a copy: a booking file whose name ends in the
// data file's file name (letter case aside) but leads to another file on
// the server is kept under a name of its own, or each fetch would undo the
// other and the booking export would be converted as the records.
#include <QString>

namespace ftpcopies {

// The file an FTP name leads to from the login folder, with "/" between
// the folders and the file ("\Exports\\data.txt ": "Exports/data.txt");
// "" when it names no file (see paths::namedFile).
QString remotePath(const QString& ftpName);

// The name the booking file `bookingName` is kept under when the data file
// is `dataName`: "" when it keeps the file name its FTP name ends in (in
// the server's spelling), as it does unless the two end in one file name
// and lead to different files; then "<base>.booking.<extension>" of the
// booking file's name ("data.booking.txt", "DATA.booking" for "DATA").
QString bookingCopyName(const QString& dataName, const QString& bookingName);

} // namespace ftpcopies
