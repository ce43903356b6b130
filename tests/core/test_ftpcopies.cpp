// Where the files fetched from the FTP server are kept.
#include "core/ftpcopies.h"

#include <gtest/gtest.h>

TEST(FtpCopies, TheBookingFileSharesNoCopyWithTheDataFile)
{
    const struct {
        const char* data;
        const char* booking;
        const char* own; // the booking file's own copy name; "" keeps its name
    } cases[] = {
        {"data.txt", "book.txt", ""},
        {"Exports\\data.txt", "book.txt", ""},
        {"data.txt", "data.txt", ""},                      // one file
        {"\\Exports//data.txt ", "Exports\\data.txt", ""}, // one file, spelt otherwise
        {"data.txt/", "Bookings\\data.txt", ""},           // the data name names no file
        {"data.txt", "data.txt/", ""},                     // nor the booking name
        {"data.txt", "", ""},
        {"Exports\\data.txt", "Bookings\\data.txt", "data.booking.txt"},
        {"Exports/data.txt", "data.txt", "data.booking.txt"},
        {"data.txt", "DATA.TXT", "DATA.booking.TXT"}, // two files on a server that tells case apart
        {"_Orvane.orv", "In/_orvane.ORV", "_orvane.booking.ORV"},
        {"A/data", "B/DATA", "DATA.booking"},
        {"A/.txt", "B/.txt", ".txt.booking"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ftpcopies::bookingCopyName(QString::fromLatin1(c.data), QString::fromLatin1(c.booking)),
                  QString::fromLatin1(c.own))
            << c.data << " | " << c.booking;
    EXPECT_EQ(ftpcopies::remotePath(QStringLiteral(" \\Exports\\\\Daily/data.txt ")),
              QStringLiteral("Exports/Daily/data.txt"));
    EXPECT_EQ(ftpcopies::remotePath(QStringLiteral("book.txt/")), QString());
}
