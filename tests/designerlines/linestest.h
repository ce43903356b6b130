#pragma once
// The record lines, the selection frame and the line switches over one
// preview model and one template, as the main window wires them.
#include "designer/lines/lineswitches.h"
#include "designer/lines/recordlines.h"
#include "designer/tools/frame.h"
#include "tests/testsupport.h"

#include <gtest/gtest.h>

#include <array>

// The window around the preview: remembers what it was asked to show.
class SeenWindow final : public lines::LineWindow {
public:
    void LoadFontPanel(int group, int line) override { fonts.push_back({group, line}); }
    void SelectLineRow(int line) override { rows.push_back(line); }
    void showLineMenu(double x, double y) override { menus.push_back({x, y}); }
    std::vector<std::pair<int, int>> fonts;
    std::vector<int> rows;
    std::vector<std::pair<double, double>> menus;
};

// Check boxes as plain values.
class ValuePanel final : public lines::LinePanel {
public:
    int lineCheck(int line) const override { return checks[size_t(line)]; }
    void setLineCheck(int line, int value) override { checks[size_t(line)] = value; }
    void showLineCheck(int line) override { shownChecks[size_t(line)] = true; }
    int recordLinesCheck(int line) const override { return all[size_t(line)]; }
    void setRecordLinesCheck(int line, int value) override { all[size_t(line)] = value; }
    QString recordsPerPageText() const override { return recordsPerPage; }
    void ShowRecordInLines(int row) override { shownRows.push_back(row); }
    void DisableLineRows() override { ++disabled; }

    std::array<int, 12> checks{}, all{};
    std::array<bool, 12> shownChecks{};
    QString recordsPerPage = QStringLiteral("6");
    std::vector<int> shownRows;
    int disabled = 0;
};

class LinesTest : public ::testing::Test {
protected:
    LinesTest()
    {
        m.picBackground().setGeometry(0, 0, 236, 420);
        for (int r = 0; r < templates::kRecords; ++r)
            for (int l = 0; l < templates::kLines; ++l)
                t.gstrTemplateLines[size_t(r)][templates::kFieldLineUp][size_t(l)] = templates::kResetLineUp;
        m.setHandlers(preview::ItemKind::RecordLine, &lines);
        frame.install(lines);
        // The page's own events (a click on the empty page hides the frame).
        m.setHandlers(&frame);
    }

    preview::PreviewItem& line(int group, int l) { return m.lblEvent(group, l); }
    void place(int group, int l, double left, double top, double width, double height)
    {
        line(group, l).setGeometry(left, top, width, height);
        line(group, l).visible = true;
    }
    QString& cell(int record, int field, int l) { return t.gstrTemplateLines[size_t(record)][field][size_t(l)]; }
    QString rect(int record, int l) { return cell(record, templates::kFieldRect, l); }
    void pairUp(int record, int left, int right)
    {
        cell(record, templates::kFieldLineUp, left) = QStringLiteral("1,%1,L,at").arg(right);
        cell(record, templates::kFieldLineUp, right) = QStringLiteral("1,%1,R,").arg(left);
    }
    // A drag with the pointer, in background pixels.
    void drag(double x0, double y0, double x1, double y1, int button)
    {
        m.mouseDown(x0, y0, button, 0);
        m.mouseMove((x0 + x1) / 2, (y0 + y1) / 2, button, 0);
        m.mouseMove(x1, y1, button, 0);
        m.mouseUp(x1, y1, button, 0);
    }

    testsupport::RecordedMessages messages;
    preview::PreviewModel m;
    templates::Template t;
    SeenWindow window;
    ValuePanel panel;
    tools::SelectionFrame frame{m, t};
    lines::RecordLineHandlers lines{m, t, frame, window};
    lines::LineSwitches switches{m, t, frame, panel};
};
