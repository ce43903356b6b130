#pragma once
// Shared set-up of the page tests: a program folder in a temporary folder,
// record grids, template files and a canvas that records what is drawn.
#include "core/datagrids.h"
#include "core/globals.h"
#include "platform/statuslog.h"
#include "run/pages/pagecycle.h"
#include "templates/templatefile.h"
#include "tests/testsupport.h"

#include <gtest/gtest.h>

#include <QDir>

namespace pagestest {

struct Call {
    QString text, alignment, region, font;
};

class RecordingCanvas final : public pages::PageCanvas {
public:
    bool CreateORVThemeLayout(const QString& backgroundFile, const templates::Template&) override
    {
        backgrounds << backgroundFile;
        calls.clear();
        return true;
    }
    bool RenderTexture(const QString& text, const QString& alignment, const QString& region,
                       const QString& font) override
    {
        calls.push_back({text, alignment, region, font});
        return true;
    }
    pages::PageSave SaveThemeLayoutImage(const QString& path) override
    {
        ++saves;
        return {!failSaves, path, {}};
    }
    QStringList texts() const
    {
        QStringList out;
        for (const Call& c : calls)
            out << c.text;
        return out;
    }
    std::vector<Call> calls;
    QStringList backgrounds;
    int saves = 0;
    bool failSaves = false;
};

// A template with `records` records of one shown line each (line 1 at the
// top of the record's band) and every other line hidden.
inline templates::Template simpleTemplate(int records)
{
    templates::Template t;
    t.gstrRecordsPerPage = QString::number(records);
    t.gstrGroupLine = QStringLiteral("0");
    t.gstrBackgroundType = QStringLiteral("0");
    t.gstrBackgroundColor = QStringLiteral("&H000000");
    for (int r = 0; r < templates::kRecords; ++r)
        for (int n = 0; n < templates::kLines; ++n) {
            *t.line(r, 0, n) = n == 0 ? QStringLiteral("1") : QStringLiteral("0");
            *t.line(r, 1, n) = QStringLiteral("2");
            *t.line(r, 2, n) = QStringLiteral("%1|0|0.02|0.5").arg(r * 0.15 + n * 0.01);
            *t.line(r, 3, n) = templates::kDefaultFontDescriptor;
            *t.line(r, 4, n) = templates::kResetLineUp;
            *t.line(r, 5, n) = QStringLiteral("0");
        }
    return t;
}

class PagesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        initGlobalPaths(dir.path(), dir.filePath(QStringLiteral("player")));
        QDir(dir.path()).mkpath(QStringLiteral("Data"));
        QDir(dir.path()).mkpath(QStringLiteral("Media"));
        gblnStop = false;
        gstrDataType = QStringLiteral("3");
        gstrDataFile = QString();
        gstrDayTimeValidity = QStringLiteral("0");
        gstrAssignedField.clear();
        gstrAssignedLocation.clear();
        gstrImageFile = QStringLiteral("page.png");
        gstrScreenWidth = QStringLiteral("768");
        gstrScreenHeight = QStringLiteral("1024");
        gstrStandAlone = QStringLiteral("1");
        for (int i = 1; i <= 20; ++i)
            grids.igRDM.AddCol(QStringLiteral("Line %1").arg(i));
        grids.igRDM.AddCol(QStringLiteral("DateTime"));
        grids.igTemplates.AddCol(QStringLiteral("Template"));
        StatusLog::instance().clear();
    }
    void TearDown() override { gblnStop = false; }

    void addRecord(const QString& line1, const QString& dateTime = QStringLiteral("00:00|00:00|0|0"),
                   const QString& line2 = QString())
    {
        const int r = grids.igRDM.AddRow();
        grids.igRDM.SetCellValue(r, QStringLiteral("Line 1"), line1);
        grids.igRDM.SetCellValue(r, QStringLiteral("Line 2"), line2);
        grids.igRDM.SetCellValue(r, QStringLiteral("DateTime"), dateTime);
    }
    void addPlayList(const QStringList& entries)
    {
        for (const QString& e : entries)
            grids.igTemplates.SetCellValue(grids.igTemplates.AddRow(), 1, e);
    }
    // Writes the template file of a play-list entry and adds the entry.
    void playTemplate(const QString& entry, const templates::Template& t)
    {
        ASSERT_TRUE(templates::writeTemplateFile(QDir(gstrDataFolder).filePath(entry + ".ORVT"), t));
        addPlayList({entry});
    }
    static QStringList messages() { return testsupport::logTexts(); }

    QTemporaryDir dir;
    DataGrids grids;
    RecordingCanvas canvas;
    pages::PageCycle cycle{grids, canvas};
};

} // namespace pagestest
