#pragma once
// A main window over a fresh temporary program folder.
#include "core/globals.h"
#include "platform/statuslog.h"
#include "shell/frmmain.h"
#include "shelltestsupport.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <QTimer>

#include <memory>

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        gblnStop = false;
        gstrStatus.clear();
        gstrDataType.clear();
        StatusLog::instance().clear();
        window = std::make_unique<frmMain>();
    }
    void TearDown() override { window.reset(); }

    QString folder(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }

    // Loads the window and waits for the start-up timer's tick.
    void start()
    {
        window->Form_Load(dir.path(), folder("player"));
        ASSERT_TRUE(shelltest::waitFor([this] { return !window->StartupTimer->isActive(); }));
    }

    void writeSettings(const QString& text) { shelltest::writeText(folder("OrvaneSettings.ini"), text); }

    QTemporaryDir dir;
    std::unique_ptr<frmMain> window;
};
