#pragma once
// The main window with its data side, over a temporary program folder given
// as ORVANE_HOME, with fake message boxes and file dialogs.
#include "core/datagrids.h"
#include "core/globals.h"
#include "platform/paths.h"
#include "platform/services.h"
#include "platform/statuslog.h"
#include "recordlist/idlookup.h"
#include "shell/dataside.h"
#include "shell/frmmain.h"
#include "tests/testsupport.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <memory>

using testsupport::RecordedMessages;

// The open dialog answers with `answer`; an empty answer is a cancel.
using testsupport::ScriptedFiles;

class IntegrationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        qputenv("ORVANE_HOME", dir.path().toUtf8());
        qputenv("ORVANE_PLAYER_FOLDER", dir.filePath(QStringLiteral("player")).toUtf8());
        gblnStop = false;
        gstrStatus.clear();
        gstrDataType.clear();
        gstrSortType.clear();
        gstrSortGroup.clear();
        gstrSortLine.clear();
        gstrAssignedLocation.clear();
        gstrBookingDataFile.clear();
        clearDataGrids(dataGrids());
        dataGrids().igRADE.Clear(true);
        dataGrids().igBook.Clear(true);
        StatusLog::instance().clear();
        startWindow();
    }

    // A new main window with its data side, loaded as the program starts it.
    void startWindow()
    {
        window = std::make_unique<frmMain>();
        side = DataSide::install(*window);
        window->Form_Load(paths::programFolder(), paths::playerFolder());
        ASSERT_TRUE(testsupport::waitFor([this] { return !window->StartupTimer->isActive(); }, 5000));
    }

    void TearDown() override
    {
        window.reset();
        clearDataGrids(dataGrids());
        services::setMessages(nullptr);
        services::setFiles(nullptr);
        qunsetenv("ORVANE_HOME");
        qunsetenv("ORVANE_PLAYER_FOLDER");
    }

    QString writeFile(const QString& name, const QByteArray& bytes)
    {
        const QString path = dir.filePath(name);
        testsupport::writeAll(path, bytes);
        return path;
    }

    QTemporaryDir dir;
    RecordedMessages messages;
    ScriptedFiles files;
    std::unique_ptr<frmMain> window;
    DataSide* side = nullptr;
};
