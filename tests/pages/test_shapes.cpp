#include "run/pages/shapes.h"

#include <gtest/gtest.h>

using pages::clsDraw_Object;
using pages::DrawObjectEditor;

namespace {

QImage blank()
{
    QImage img(500, 400, QImage::Format_RGB32);
    img.fill(qRgb(10, 20, 30));
    return img;
}

} // namespace

TEST(Shapes, DraggingAndHitTests)
{
    QImage img = blank();
    DrawObjectEditor editor(&img);
    editor.NewDrawObject();
    auto& shape = *editor.current();

    // A circle keeps to the dragged box: centre in its middle, radius half its smaller side.
    shape.ObjType = clsDraw_Object::Circle;
    editor.StartDrawObject(100, 100);
    editor.TrackDrawObject(300, 150);
    editor.TrackDrawObject(400, 200);
    editor.FinishDrawObject(0, 0);
    EXPECT_EQ(shape.X0, 250);
    EXPECT_EQ(shape.Y0, 150);
    EXPECT_EQ(shape.Radius, 50);
    EXPECT_TRUE(shape.Selected);
    EXPECT_TRUE(shape.IsAt(250, 110));
    EXPECT_FALSE(shape.IsAt(250, 100)); // on the outline
    ASSERT_EQ(editor.shapes().size(), 1u);

    // A rectangle dragged up and left keeps its corners as dragged.
    clsDraw_Object r;
    r.ObjType = clsDraw_Object::Rectangle;
    r.InitDrawing(400, 300);
    r.WhileDrawing(100, 100);
    r.EndDrawing(0, 0);
    EXPECT_EQ(std::vector<float>({r.X1, r.Y1, r.X2, r.Y2}), std::vector<float>({400, 300, 100, 100}));
    EXPECT_TRUE(r.IsAt(200, 200));
    EXPECT_TRUE(r.IsAt(100, 300));
    EXPECT_FALSE(r.IsAt(99, 200));

    clsDraw_Object line;
    line.ObjType = clsDraw_Object::Line;
    line.X1 = 0, line.Y1 = 0, line.X2 = 100, line.Y2 = 0;
    EXPECT_TRUE(line.IsAt(50, 29.9f));
    EXPECT_FALSE(line.IsAt(50, 30));
    EXPECT_FLOAT_EQ(clsDraw_Object::DistToSegment(103, 4, 0, 0, 100, 0), 5);
    EXPECT_FLOAT_EQ(clsDraw_Object::DistToSegment(3, 4, 0, 0, 0, 0), 5);
}

TEST(Shapes, RubberBandLeavesThePictureAsItWas)
{
    QImage img = blank();
    pages::ShapeCanvas canvas(&img);
    clsDraw_Object fresh; // a new shape draws nothing
    fresh.picCanvas = &canvas;
    fresh.Draw();
    EXPECT_EQ(img, blank());
    for (int type : {1, 2, 3}) {
        clsDraw_Object s;
        s.picCanvas = &canvas;
        s.ObjType = type;
        s.InitDrawing(50, 60);
        s.WhileDrawing(200, 220);
        EXPECT_NE(img, blank()) << type;
        s.WhileDrawing(50, 60); // back to the anchor: the band collapses
        s.WhileDrawing(50, 60);
        s.EndDrawing(0, 0);
        s.InitDrawing(0, 0);
        EXPECT_EQ(img.pixel(125, 60), blank().pixel(125, 60)) << type;
    }
}

TEST(Shapes, EditorDrawsHitsAndRemoves)
{
    QImage img = blank();
    DrawObjectEditor editor(&img);
    editor.NewDrawObject();
    auto first = editor.current();
    editor.StartDrawObject(10, 10);
    editor.TrackDrawObject(200, 200);
    editor.FinishDrawObject(200, 200);
    first->Selected = false;
    editor.SetDrawObjectColours(0x0000FF, 0x00FF00); // red fill, green pen
    EXPECT_EQ(img.pixel(100, 100), qRgb(255, 0, 0));

    auto second = std::make_shared<clsDraw_Object>(*first);
    editor.SetCurrentDrawObject(second);
    EXPECT_FALSE(first->Selected);
    editor.StartDrawObject(100, 100);
    editor.TrackDrawObject(300, 300);
    editor.FinishDrawObject(300, 300);
    ASSERT_EQ(editor.shapes().size(), 2u);
    EXPECT_EQ(editor.HitTestDrawObjects(150, 150), second);
    EXPECT_EQ(editor.HitTestDrawObjects(50, 50), first);
    EXPECT_EQ(editor.HitTestDrawObjects(450, 350), nullptr);

    editor.RemoveCurrentDrawObject();
    editor.RemoveCurrentDrawObject(); // no longer in the list: nothing happens
    ASSERT_EQ(editor.shapes().size(), 1u);
    EXPECT_EQ(editor.shapes()[0], first);
}
