// The main window's full-screen display: its Stop and its closing.
#include "frmmainfixture.h"

#include "run/display/frmimagerender.h"
#include "shell/displayside.h"
#include "tests/testsupport.h"

TEST_F(MainWindowTest, TheDisplayStopsTheRunAndClosesAtShutDown)
{
    frmMain& w = *window;
    DisplaySide* side = DisplaySide::install(w);
    EXPECT_EQ(DisplaySide::install(w), side);
    int stops = 0;
    w.neighbours.mnuStop_Click = [&stops] { ++stops; };
    testsupport::HeldKeys keys;

    side->port().pageReady();
    EXPECT_TRUE(side->display().isOpen());
    keys.right = true;
    side->display().Timer1_Timer();
    EXPECT_EQ(stops, 1);
    EXPECT_FALSE(side->display().isOpen());

    keys.right = false;
    gblnStop = false;
    side->port().open();
    w.neighbours.closeDisplayWindow();
    EXPECT_FALSE(side->display().isOpen());
    EXPECT_EQ(stops, 1);
}
