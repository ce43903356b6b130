// Window placement, the caption and the program folders.
#include "core/globals.h"
#include "platform/statuslog.h"
#include "shell/startup.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

using startup::placeMainWindow;
using startup::WindowRect;

TEST(WindowPlacement, CentresAWindowThatFits)
{
    EXPECT_EQ(placeMainWindow(1600, 1000, 1016, 760), (WindowRect{292, 120, 1016, 760}));
    // Exactly as large as the screen: at the corner, size unchanged.
    EXPECT_EQ(placeMainWindow(1016, 760, 1016, 760), (WindowRect{0, 0, 1016, 760}));
}

TEST(WindowPlacement, ShrinksToTheScreen)
{
    const int margin = startup::kShrinkMargin;
    // Too wide only: the screen's width at the left edge, centred down.
    EXPECT_EQ(placeMainWindow(800, 1000, 1016, 760), (WindowRect{0, 120, 800, 760}));
    // Too high only: the screen's height less the margin, at the top, centred across.
    EXPECT_EQ(placeMainWindow(1600, 600, 1016, 760), (WindowRect{292, 0, 1016, 600 - margin}));
    // Too small both ways.
    EXPECT_EQ(placeMainWindow(800, 600, 1016, 760), (WindowRect{0, 0, 800, 600 - margin}));
}

class ProgramFolders : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        StatusLog::instance().clear();
        initGlobalPaths(dir.path(), dir.filePath(QStringLiteral("player")));
    }
    QTemporaryDir dir;
};

TEST_F(ProgramFolders, CreatesTheMissingFoldersInOrder)
{
    const QStringList created = startup::createProgramFolders();
    EXPECT_EQ(created, (QStringList{dir.filePath(QStringLiteral("Data")), dir.filePath(QStringLiteral("Media")),
                                    dir.filePath(QStringLiteral("Remote")), dir.filePath(QStringLiteral("Templates")),
                                    dir.filePath(QStringLiteral("MasterTemplateLists"))}));
    for (const QString& f : created)
        EXPECT_TRUE(QFileInfo(f).isDir()) << f.toStdString();
    EXPECT_EQ(StatusLog::instance().count(), 0);
    // A second start finds them all and creates nothing.
    EXPECT_TRUE(startup::createProgramFolders().isEmpty());
}

TEST_F(ProgramFolders, AFileInThePlaceOfAFolderIsReportedAndStartUpGoesOn)
{
    QFile f(dir.filePath(QStringLiteral("Data")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    const QStringList created = startup::createProgramFolders();
    EXPECT_EQ(created.size(), 4);
    EXPECT_FALSE(created.contains(dir.filePath(QStringLiteral("Data"))));
    ASSERT_EQ(StatusLog::instance().count(), 1);
    EXPECT_TRUE(StatusLog::instance().lines().first().contains(QStringLiteral(" - !!!")));
}

TEST_F(ProgramFolders, AFolderThatCannotBeMadeIsReported)
{
    // The program folder itself is a file: nothing can be made below it.
    QFile f(dir.filePath(QStringLiteral("prog")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    initGlobalPaths(dir.filePath(QStringLiteral("prog")), QString());
    EXPECT_TRUE(startup::createProgramFolders().isEmpty());
    ASSERT_EQ(StatusLog::instance().count(), 5);
    for (const QString& line : StatusLog::instance().lines())
        EXPECT_TRUE(line.contains(QStringLiteral(" - !!!Could not create the folder"))) << line.toStdString();
}
