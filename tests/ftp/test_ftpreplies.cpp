// What the FTP client reads from a server's replies, and the replay of the
// ftpreplies fuzz seeds.
#include "platform/ftp/replies.h"
#include "tests/testsupport.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

using namespace ftp;

int fuzzFtpReplies(const uint8_t* data, size_t size);

TEST(FtpReplies, SizeAndTimeAreReadOnlyFromWellFormedReplies)
{
    const struct {
        const char* sent; // one line as the server sent it
        const char* reply;
        int code;
        qint64 size;      // as a SIZE reply
        const char* time; // as an MDTM reply
    } cases[] = {
        {"213 1234\r\n", "213 1234", 213, 1234, ""},
        {"213  0042 \r\n", "213  0042", 213, 42, ""},
        {"213 9223372036854775807\r\n", "213 9223372036854775807", 213, std::numeric_limits<qint64>::max(), ""},
        {"213 9223372036854775808\r\n", "213 9223372036854775808", 213, -1, ""},
        {"213 -5\r\n", "213 -5", 213, -1, ""},
        {"213 +5\r\n", "213 +5", 213, -1, ""},
        {"213 20240307090000\r\n", "213 20240307090000", 213, 20240307090000, "20240307090000"},
        {"213 20240307090000.123\r\n", "213 20240307090000.123", 213, -1, "20240307090000"},
        {"213 20240229235959\r\n", "213 20240229235959", 213, 20240229235959, "20240229235959"},
        {"213 20230229120000\r\n", "213 20230229120000", 213, 20230229120000, ""},
        {"213 20241301240000\r\n", "213 20241301240000", 213, 20241301240000, ""},
        {"213 20240307256100\r\n", "213 20240307256100", 213, 20240307256100, ""},
        // Old servers' years since 1900 after "19": 2024 as "19124".
        {"213 191240307090000\r\n", "213 191240307090000", 213, 191240307090000, ""},
        {"213 2024030709000\r\n", "213 2024030709000", 213, 2024030709000, ""},
        {"213\r\n", "213", 213, -1, ""},
        {"550 Could not get file size.\r\n", "550 Could not get file size.", 550, -1, ""},
        // The first and middle lines of a multi-line reply; a middle line
        // that starts with digits is padded with a blank.
        {"213-Status of Data.TXT:\r\n", "", 0, -1, ""},
        {" 213 5\r\n", "", 0, -1, ""},
        {"1234\r\n", "", 0, -1, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sent);
        const QString reply = replyLine(c.sent);
        EXPECT_EQ(reply, QString::fromLatin1(c.reply));
        EXPECT_EQ(replyCode(reply), c.code);
        EXPECT_EQ(sizeOfReply(reply), c.size);
        EXPECT_EQ(timeOfReply(reply), QString::fromLatin1(c.time));
    }
}

TEST(FtpReplies, SeedCorpusReplays)
{
    const QStringList files = testsupport::fuzzCorpus(QStringLiteral("ftpreplies"));
    ASSERT_GE(files.size(), 5);
    for (const QString& f : files) {
        const QByteArray bytes = testsupport::readAll(f);
        SCOPED_TRACE(f.toStdString());
        EXPECT_EQ(fuzzFtpReplies(reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size())), 0);
    }
}
