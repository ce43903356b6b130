#include "platform/vbvalue.h"

#include <gtest/gtest.h>

#include <QLocale>
#include <QProcess>
#include <QTemporaryDir>

#include <clocale>
#include <string>

TEST(VbVal, LeadingNumber)
{
    EXPECT_EQ(vb::Val("0930"), 930);
    EXPECT_EQ(vb::Val("  12ab"), 12);
    EXPECT_EQ(vb::Val("\t-3.5 kg"), -3.5);
    EXPECT_EQ(vb::Val(".25"), 0.25);
    EXPECT_EQ(vb::Val("1.5.3"), 1.5);
    EXPECT_EQ(vb::Val("2e3x"), 2000);
    EXPECT_EQ(vb::Val("2e"), 2);
    EXPECT_EQ(vb::Val("&HFF"), 255);
    EXPECT_EQ(vb::Val("&h1g"), 1);
    EXPECT_EQ(vb::Val("&O17"), 15);
    EXPECT_EQ(vb::Val("1e999"), 0);
    for (const char* zero : {"", "abc", "-", ".", "+x", "&H", "x12"})
        EXPECT_EQ(vb::Val(QString::fromUtf8(zero)), 0) << zero;
    // Only ASCII digits count.
    EXPECT_EQ(vb::Val(QString::fromUtf8("٣")), 0);
    EXPECT_EQ(vb::Val(QString::fromUtf8("&H٣")), 0);
}

TEST(VbRound, HalfToEven)
{
    EXPECT_EQ(vb::CInt(2.5), 2);
    EXPECT_EQ(vb::CInt(3.5), 4);
    EXPECT_EQ(vb::CInt(-2.5), -2);
    EXPECT_EQ(vb::CInt(-3.5), -4);
    EXPECT_EQ(vb::CInt(1e12), std::numeric_limits<int>::max());
    EXPECT_EQ(vb::CInt(-1e12), std::numeric_limits<int>::min());
    EXPECT_EQ(vb::RoundWhole(std::nan("")), 0);
    EXPECT_EQ(vb::RoundWhole(1e300), std::numeric_limits<int64_t>::max());

    EXPECT_EQ(vb::Round(0.125, 2), 0.12);
    EXPECT_EQ(vb::Round(0.375, 2), 0.38);
    EXPECT_EQ(vb::Round(-0.125, 2), -0.12);
    EXPECT_EQ(vb::Round(2.5, 0), 2);
    EXPECT_FALSE(std::signbit(vb::Round(-0.001, 2)));
}

TEST(VbText, NumberTextIsShortWithAPointAndNeverMinusZero)
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German));
    EXPECT_EQ(vb::NumText(0.12), "0.12");
    EXPECT_EQ(vb::NumText(-1.5), "-1.5");
    EXPECT_EQ(vb::NumText(0.1 + 0.2), "0.3");
    EXPECT_EQ(vb::NumText(-0.0), "0");
    EXPECT_EQ(vb::NumText(vb::Round(-0.001, 2)), "0");
    EXPECT_EQ(vb::NumText(std::nan("")), "0");
    EXPECT_EQ(vb::NumText(1234567), "1234567");
    QLocale::setDefault(saved);

    EXPECT_EQ(vb::FormatZeros(7, 4), "0007");
    EXPECT_EQ(vb::FormatZeros(12345, 4), "12345");
    EXPECT_EQ(vb::FormatZeros(-7, 4), "-0007");
}

TEST(VbColor, TextsAndQColor)
{
    EXPECT_EQ(vb::ColorText(0), "&H000000");
    EXPECT_EQ(vb::ColorText(255), "&HFF");
    EXPECT_EQ(vb::ColorText(16711680), "&HFF0000");
    EXPECT_EQ(vb::ColorText(0x1ABCDEF), "&HABCDEF");
    EXPECT_EQ(vb::ParseColorText("&HFF"), 255u);
    EXPECT_EQ(vb::ParseColorText(" &hff0000& "), 16711680u);
    EXPECT_EQ(vb::ParseColorText("65535"), 65535u);
    EXPECT_EQ(vb::ParseColorText("red", 7), 7u);
    EXPECT_EQ(vb::ParseColorText("", 7), 7u);
    // Blue-green-red order: 16711680 is blue, 255 is red.
    EXPECT_EQ(vb::ToQColor(16711680), QColor(0, 0, 255));
    EXPECT_EQ(vb::FromQColor(QColor(1, 2, 3)), 0x030201u);
    EXPECT_EQ(vb::FromQColor(vb::ToQColor(0x123456)), 0x123456u);
}

TEST(VbDate, PatternsOfTheDateAndTimeLists)
{
    const QDateTime morning(QDate(2024, 3, 7), QTime(9, 5, 4));
    const QDateTime evening(QDate(2009, 12, 31), QTime(23, 45));
    const QDateTime midnight(QDate(2024, 1, 2), QTime(0, 30));
    const QDateTime noon(QDate(2024, 1, 2), QTime(12, 0));
    EXPECT_EQ(vb::FormatDateTime(morning, "YYYYMMDD"), "20240307");
    EXPECT_EQ(vb::FormatDateTime(morning, "MM/DD/YY"), "03/07/24");
    EXPECT_EQ(vb::FormatDateTime(evening, "YY/MM/DD"), "09/12/31");
    EXPECT_EQ(vb::FormatDateTime(evening, "DD-MM-YYYY"), "31-12-2009");
    EXPECT_EQ(vb::FormatDateTime(morning, "HHMM"), "0905");
    EXPECT_EQ(vb::FormatDateTime(evening, "HH:MM AM/PM"), "11:45 PM");
    EXPECT_EQ(vb::FormatDateTime(morning, "H:MM AM/PM"), "9:05 AM");
    EXPECT_EQ(vb::FormatDateTime(midnight, "H:MM AM/PM"), "12:30 AM");
    EXPECT_EQ(vb::FormatDateTime(noon, "H:MM AM/PM"), "12:00 PM");
    EXPECT_EQ(vb::FormatDateTime(midnight, "HH:MM"), "00:30");
    EXPECT_EQ(vb::FormatDateTime(morning, "hh:nn:ss"), "09:05:04");
}

namespace {

// Switches the C library's numbers to a locale whose decimal separator is
// a comma (made on the spot when the system has none) while it lives.
class DecimalCommaLocale {
public:
    DecimalCommaLocale()
    {
        saved_ = std::setlocale(LC_NUMERIC, nullptr);
        for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "de_DE"})
            if (use(name))
                return;
        if (!dir_.isValid())
            return;
        const QString target = dir_.filePath(QStringLiteral("de_DE.UTF-8"));
        if (QProcess::execute(QStringLiteral("localedef"), {QStringLiteral("-i"), QStringLiteral("de_DE"),
                                                            QStringLiteral("-f"), QStringLiteral("UTF-8"), target}) < 0)
            return;
        qputenv("LOCPATH", dir_.path().toLocal8Bit());
        use("de_DE.UTF-8");
    }
    ~DecimalCommaLocale()
    {
        std::setlocale(LC_NUMERIC, saved_.c_str());
        qunsetenv("LOCPATH");
    }
    bool active() const { return active_; }

private:
    bool use(const char* name)
    {
        active_ = std::setlocale(LC_NUMERIC, name) && std::localeconv()->decimal_point[0] == ',';
        return active_;
    }
    std::string saved_;
    QTemporaryDir dir_;
    bool active_ = false;
};

} // namespace

TEST(VbVal, ReadsAPointWhateverTheLocale)
{
    DecimalCommaLocale comma;
    ASSERT_TRUE(comma.active()) << "no decimal-comma locale could be made";
    EXPECT_EQ(vb::Val("0.25"), 0.25);
    EXPECT_EQ(vb::Val("+12.5x"), 12.5);
    EXPECT_EQ(vb::Val("1.5e2"), 150);
    EXPECT_EQ(vb::Val("0,25"), 0);
    EXPECT_EQ(vb::NumText(0.125), "0.125");
}
