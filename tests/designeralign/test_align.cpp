// The record-line menu's alignment commands.
#include "tests/designerlines/linestest.h"

#include "designer/tools/align.h"

#include <map>

namespace {

// The selection frame, counting the stores of each line.
class CountingFrame final : public lines::FrameTools {
public:
    explicit CountingFrame(tools::SelectionFrame& frame)
        : frame_(frame)
    {
    }
    void ShowSelectionFrame(int index) override { frame_.ShowSelectionFrame(index); }
    void HideSelectionFrame() override { frame_.HideSelectionFrame(); }
    bool SaveLineGeometry(const preview::Geometry& label, int line, int record) override
    {
        ++stores[line];
        return frame_.SaveLineGeometry(label, line, record);
    }
    std::map<int, int> stores;

private:
    tools::SelectionFrame& frame_;
};

class AlignTest : public LinesTest {
protected:
    AlignTest() { m.picBackground().setGeometry(0, 0, 500, 600); }

    CountingFrame counted{frame};
    tools::LineAlignment align{m, t, counted};
};

TEST_F(AlignTest, RecordLinesStackOnTheClickedLine)
{
    place(0, 5, 40, 200, 150, 20); // the clicked line, left of a pair with 6
    place(0, 6, 190, 200, 80, 35);
    pairUp(0, 5, 6);
    place(0, 1, 40, 100, 150, 15);
    place(0, 3, 40, 150, 150, 15);
    place(0, 8, 40, 300, 150, 25);
    place(0, 9, 60, 205, 150, 25); // same row as nothing; below the pair
    place(0, 10, 40, 10, 150, 15);
    line(0, 10).visible = false;
    m.state().mintSelectedGroup = 0;
    m.state().mintSelectedLine = 5;

    align.mnuAlignRecordlines_Click();
    const std::map<int, double> tops = {{1, 160}, {3, 180}, {5, 200}, {6, 200}, {9, 220}, {8, 240}, {10, 10}};
    for (const auto& [l, top] : tops)
        EXPECT_EQ(line(0, l).top(), top) << l;
    for (int l : {1, 3, 6, 8, 9})
        EXPECT_EQ(line(0, l).height(), 20) << l;
    EXPECT_EQ(line(0, 10).height(), 15);
    EXPECT_EQ(line(0, 6).left(), 190);
    EXPECT_EQ(counted.stores, (std::map<int, int>{{1, 2}, {3, 2}, {6, 2}, {8, 2}, {9, 2}}));
    EXPECT_EQ(rect(0, 8), "0.4|0.08|0.03|0.3");
    EXPECT_EQ(m.PicEdge(1).top(), 200); // the frame on the clicked line

    counted.stores.clear();
    align.AlignRecordLines(5, 0); // a second run changes nothing
    for (const auto& [l, top] : tops)
        EXPECT_EQ(line(0, l).top(), top) << l;
}

TEST_F(AlignTest, RecordLinesRefuseTheRightLineAndRecordsWithoutATemplate)
{
    place(0, 5, 40, 200, 150, 20);
    place(0, 6, 190, 200, 80, 35);
    place(0, 2, 40, 20, 150, 15);
    pairUp(0, 5, 6);
    m.state().mintSelectedGroup = 0;
    align.AlignRecordLines(6, 0);
    EXPECT_EQ(messages.texts, QStringList{QString::fromLatin1(tools::LineAlignment::kRightLineRefusal)});
    EXPECT_TRUE(m.PicEdge(0).visible);

    messages.clear();
    place(7, 2, 40, 20, 150, 15);
    m.state().mintSelectedGroup = 7;
    align.AlignRecordLines(2, 7);
    align.mnuAlignment_Click(tools::LineAlignment::kAlignLeft);
    EXPECT_FALSE(m.PicEdge(0).visible);
    EXPECT_EQ(line(7, 2).left(), 40);
    EXPECT_EQ(line(0, 2).top(), 20);
    EXPECT_TRUE(counted.stores.empty());
    EXPECT_TRUE(messages.texts.isEmpty());

    // A preview without size stores nothing; the lines still move.
    m.picBackground().setGeometry(0, 0, 0, 0);
    m.state().mintSelectedGroup = 0;
    const QString stored = rect(0, 2);
    align.mnuAlignment_Click(tools::LineAlignment::kAlignCenter);
    EXPECT_EQ(line(0, 2).left(), -75);
    EXPECT_EQ(rect(0, 2), stored);
}

TEST_F(AlignTest, AlignAllMovesPairsAsOneBlock)
{
    m.lblAlignLeftLine().setLeft(20);
    m.lblAlignRightLine().setLeft(400);
    place(0, 0, 5, 20, 100, 15); // single
    place(0, 7, 5, 40, 100, 15); // left line of a pair with 2
    place(0, 2, 5, 40, 60, 15);  // its right line
    place(0, 4, 5, 60, 50, 15);  // names a partner off the record: single
    pairUp(0, 7, 2);
    cell(0, templates::kFieldLineUp, 4) = QStringLiteral("1,15,L,");
    line(0, 9).setGeometry(5, 80, 120, 15); // hidden lines move too

    struct Case {
        int index;
        double single, left, right, broken, hidden;
    } cases[] = {
        {tools::LineAlignment::kAlignLeft, 20, 20, 120, 20, 20},
        {tools::LineAlignment::kAlignRight, 300, 240, 340, 350, 280},
        {tools::LineAlignment::kAlignCenter, 200, 170, 270, 225, 190},
    };
    for (const Case& c : cases) {
        counted.stores.clear();
        m.state().mintSelectedGroup = 0;
        frame.ShowSelectionFrame(0);
        align.mnuAlignment_Click(c.index);
        EXPECT_EQ(line(0, 0).left(), c.single) << c.index;
        EXPECT_EQ(line(0, 7).left(), c.left) << c.index;
        EXPECT_EQ(line(0, 2).left(), c.right) << c.index;
        EXPECT_EQ(line(0, 4).left(), c.broken) << c.index;
        EXPECT_EQ(line(0, 9).left(), c.hidden) << c.index;
        EXPECT_EQ(counted.stores.size(), 12u);
        EXPECT_FALSE(m.PicEdge(0).visible);
    }
    EXPECT_EQ(rect(0, 2), "0.07|0.54|0.03|0.12");
}

} // namespace
