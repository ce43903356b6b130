#pragma once
// Shapes drawn on a page picture: a line, a circle or a rectangle, drawn
// with a rubber band that follows the mouse (inverted pixels, so drawing the
// same figure twice restores the picture), drawn again from its geometry and
// hit-tested at a point; and a small editor keeping a list of them.
//
// Coordinates are pixels of the canvas picture. Colours are blue-green-red
// values (red in the low byte).
#include <QImage>

#include <cstdint>
#include <memory>
#include <vector>

namespace pages {

// The drawing state of a canvas picture, as the shapes set it.
struct ShapeCanvas {
    enum DrawMode { Invert = 6, CopyPen = 13 };
    enum FillStyle { Solid = 0, Transparent = 1 };

    explicit ShapeCanvas(QImage* picture)
        : image(picture)
    {
    }

    QImage* image = nullptr;
    int drawMode = CopyPen;
    uint32_t foreColor = 0;
    int fillStyle = Transparent;
    uint32_t fillColor = 0;
    int drawWidth = 1;

    void line(float x1, float y1, float x2, float y2);
    void box(float x1, float y1, float x2, float y2);
    void circle(float x0, float y0, float radius);
};

class clsDraw_Object {
public:
    enum Type { None = 0, Line = 1, Circle = 2, Rectangle = 3 };

    ShapeCanvas* picCanvas = nullptr;
    float X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
    float X0 = 0, Y0 = 0, Radius = 0;
    int DrawWidth = 1;
    uint32_t ForeColor = 0;
    uint32_t FillColor = 0;
    int FillStyle = 0;
    int ObjType = None;
    bool Selected = false;

    // Distance from (px, py) to the segment (x1, y1)-(x2, y2).
    static float DistToSegment(float px, float py, float x1, float y1, float x2, float y2);

    // Draws the shape from its geometry in copy-pen mode; other types draw nothing.
    void Draw();
    // Starts the rubber band at (X, Y): invert mode, no fill, width 1.
    void InitDrawing(float X, float Y);
    // Moves the rubber band's free end to (X, Y).
    void WhileDrawing(float X, float Y);
    // Ends the rubber band at its last point (X, Y are not used) and stores
    // the geometry: corners as dragged, or the circle within the dragged box.
    void EndDrawing(float X, float Y);
    // True when (X, Y) is on the shape: within 30 of a line, strictly inside
    // a circle, inside a rectangle (edges included).
    bool IsAt(float X, float Y) const;

private:
    void rubberBand();

    float anchorX_ = 0, anchorY_ = 0, movingX_ = 0, movingY_ = 0;
};

// The shape editor of the page picture.
class DrawObjectEditor {
public:
    explicit DrawObjectEditor(QImage* picture)
        : canvas_(picture)
    {
    }

    using Shape = std::shared_ptr<clsDraw_Object>;

    // A new, empty list with one new rectangle as the current shape.
    void NewDrawObject();
    // The current shape: when selected black on no fill, otherwise in the
    // given colours with a solid fill; then everything is drawn again.
    void SetDrawObjectColours(uint32_t fillColor, uint32_t penColor);
    void StartDrawObject(float X, float Y);
    void TrackDrawObject(float X, float Y);
    void FinishDrawObject(float X, float Y);
    // Draws every shape in list order (the picture is not cleared first).
    void RedrawDrawObjects();
    // The last shape of the list at (X, Y), or none.
    Shape HitTestDrawObjects(float X, float Y) const;
    // Takes the current shape out of the list (nothing when it is not in it).
    void RemoveCurrentDrawObject();
    void SetCurrentDrawObject(const Shape& shape);

    const std::vector<Shape>& shapes() const { return list_; }
    const Shape& current() const { return current_; }
    ShapeCanvas& canvas() { return canvas_; }

private:
    ShapeCanvas canvas_;
    std::vector<Shape> list_;
    Shape current_;
    bool drawing_ = false;
    int penWidth_ = 0; // never set: the current shape then keeps its width
};

} // namespace pages
