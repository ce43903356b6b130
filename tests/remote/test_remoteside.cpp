// "Communication" opens the administration window modally; the shut-down
// closes it and it saves on the way out.
#include "core/globals.h"
#include "remote/frmorvanecomm.h"
#include "shell/frmmain.h"
#include "shell/remoteside.h"
#include "tests/testsupport.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>
#include <QTimer>

TEST(RemoteSide, CommunicationOpensTheWindowAndShutDownClosesIt)
{
    QTemporaryDir dir;
    initGlobalPaths(dir.path(), dir.filePath("player"));
    testsupport::writeAll(gstrProgramFolder + "/IPAddress.txt", "10.0.0.1, a\r\n");
    frmMain window;
    RemoteSide::install(window);
    bool open = false;
    QTimer::singleShot(0, [&] {
        open = qobject_cast<frmOrvaneComm*>(QApplication::activeModalWidget()) != nullptr;
        window.neighbours.closeAdministration();
    });
    window.mnuCommunication_Click();
    EXPECT_TRUE(open);
    EXPECT_TRUE(QFile::exists(gstrLastLoadFile));
    EXPECT_EQ(testsupport::readAll(gstrProgramFolder + "/DestIPAddress.txt"), QByteArray());
    window.neighbours.closeAdministration(); // no window open: nothing happens
}
