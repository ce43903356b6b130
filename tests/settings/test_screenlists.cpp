// The resolution and rotation lists and the background colour text.
#include "shell/settings/screenlists.h"

#include <gtest/gtest.h>

using namespace screenlists;

TEST(ScreenLists, EveryEntryParsesToItsWidthAndHeightTurnedByOrientation)
{
    EXPECT_EQ(resolutionList(false).at(kDefaultResolutionIndex), "768 x 1024");
    EXPECT_EQ(resolutionList(true).at(kDefaultResolutionIndex), "1024 x 768");
    EXPECT_EQ(rotationList(), QStringList({"0", "90", "180", "270"}));
    const QStringList portrait = resolutionList(false), landscape = resolutionList(true);
    ASSERT_EQ(portrait.size(), landscape.size());
    for (int i = 0; i < portrait.size(); ++i) {
        const Resolution p = parseResolution(portrait[i]), l = parseResolution(landscape[i]);
        EXPECT_EQ(QString::number(p.width) + " x " + QString::number(p.height), portrait[i]);
        EXPECT_TRUE(p.width == l.height && p.height == l.width) << i;
    }
    EXPECT_EQ(parseResolution("garbage").width, 0);
}

TEST(ScreenLists, BackgroundColourText)
{
    EXPECT_EQ(backgroundColorText(0), "&H000000");
    EXPECT_EQ(backgroundColorText(0xFF0000), "&HFF0000");
    EXPECT_EQ(backgroundColorText(0x00ab0c), "&HAB0C");
}
