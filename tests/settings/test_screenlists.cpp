// The resolution and rotation lists and the background colour text.
#include "shell/settings/screenlists.h"

#include <gtest/gtest.h>

using namespace screenlists;

TEST(ScreenLists, ResolutionListPerOrientation)
{
    EXPECT_EQ(resolutionList(false), QStringList({"480 x 852", "600 x 800", "720 x 1280", "768 x 1024", "768 x 1360",
                                                  "768 x 1366", "1080 x 1920"}));
    EXPECT_EQ(resolutionList(true), QStringList({"852 x 480", "800 x 600", "1280 x 720", "1024 x 768", "1360 x 768",
                                                 "1366 x 768", "1920 x 1080"}));
    EXPECT_EQ(resolutionList(false).at(kDefaultResolutionIndex), "768 x 1024");
    EXPECT_EQ(resolutionList(true).at(kDefaultResolutionIndex), "1024 x 768");
    EXPECT_EQ(rotationList(), QStringList({"0", "90", "180", "270"}));
}

TEST(ScreenLists, EveryEntryParsesToItsWidthAndHeight)
{
    for (const bool landscape : {false, true}) {
        for (const QString& e : resolutionList(landscape)) {
            const Resolution r = parseResolution(e);
            EXPECT_EQ(QString::number(r.width) + " x " + QString::number(r.height), e);
        }
    }
    EXPECT_EQ(parseResolution("garbage").width, 0);
}

TEST(ScreenLists, BackgroundColourText)
{
    EXPECT_EQ(backgroundColorText(0), "&H000000");
    EXPECT_EQ(backgroundColorText(255), "&HFF");
    EXPECT_EQ(backgroundColorText(0xFF0000), "&HFF0000");
    EXPECT_EQ(backgroundColorText(0x00ab0c), "&HAB0C");
}
