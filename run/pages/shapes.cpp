#include "run/pages/shapes.h"

#include "platform/vbvalue.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace pages {

namespace {

// A painter set up as the canvas asks: inverted pixels without smoothing
// (so a second drawing restores them), or the pen colour.
void setUp(QPainter& p, const ShapeCanvas& c, bool filled)
{
    const int width = std::max(c.drawWidth, 1);
    if (c.drawMode == ShapeCanvas::Invert) {
        p.setCompositionMode(QPainter::RasterOp_NotDestination);
        p.setPen(QPen(Qt::white, width));
        p.setBrush(Qt::NoBrush);
        return;
    }
    p.setPen(QPen(vb::ToQColor(c.foreColor), width));
    p.setBrush(filled && c.fillStyle == ShapeCanvas::Solid ? QBrush(vb::ToQColor(c.fillColor)) : QBrush(Qt::NoBrush));
}

} // namespace

void ShapeCanvas::line(float x1, float y1, float x2, float y2)
{
    if (!image || image->isNull())
        return;
    QPainter p(image);
    setUp(p, *this, false);
    p.drawLine(QPointF(x1, y1), QPointF(x2, y2));
}

void ShapeCanvas::box(float x1, float y1, float x2, float y2)
{
    if (!image || image->isNull())
        return;
    QPainter p(image);
    setUp(p, *this, true);
    p.drawRect(QRectF(QPointF(x1, y1), QPointF(x2, y2)).normalized());
}

void ShapeCanvas::circle(float x0, float y0, float radius)
{
    if (!image || image->isNull())
        return;
    QPainter p(image);
    setUp(p, *this, true);
    p.drawEllipse(QPointF(x0, y0), radius, radius);
}

float clsDraw_Object::DistToSegment(float px, float py, float x1, float y1, float x2, float y2)
{
    const float dx = x2 - x1, dy = y2 - y1;
    if (dx == 0 && dy == 0)
        return std::hypot(px - x1, py - y1);
    const float t = ((px - x1) * dx + (py - y1) * dy) / (dx * dx + dy * dy);
    float nx, ny;
    if (t < 0) {
        nx = x1;
        ny = y1;
    } else if (t > 1) {
        nx = x2;
        ny = y2;
    } else {
        nx = x1 + t * dx;
        ny = y1 + t * dy;
    }
    return std::hypot(px - nx, py - ny);
}

void clsDraw_Object::Draw()
{
    if (!picCanvas)
        return;
    ShapeCanvas& c = *picCanvas;
    c.foreColor = ForeColor;
    c.fillStyle = FillStyle;
    c.fillColor = FillColor;
    c.drawWidth = DrawWidth;
    c.drawMode = ShapeCanvas::CopyPen;
    switch (ObjType) {
    case Line:
        c.line(X1, Y1, X2, Y2);
        break;
    case Circle:
        c.circle(X0, Y0, Radius);
        break;
    case Rectangle:
        c.box(X1, Y1, X2, Y2);
        break;
    default:
        break;
    }
}

void clsDraw_Object::InitDrawing(float X, float Y)
{
    if (picCanvas)
        picCanvas->drawMode = ShapeCanvas::Invert;
    FillStyle = ShapeCanvas::Transparent;
    DrawWidth = 1;
    anchorX_ = movingX_ = X;
    anchorY_ = movingY_ = Y;
}

void clsDraw_Object::rubberBand()
{
    if (!picCanvas)
        return;
    ShapeCanvas& c = *picCanvas;
    c.drawMode = ShapeCanvas::Invert;
    c.fillStyle = ShapeCanvas::Transparent;
    switch (ObjType) {
    case Line:
        c.line(anchorX_, anchorY_, movingX_, movingY_);
        break;
    case Rectangle:
        c.box(anchorX_, anchorY_, movingX_, movingY_);
        break;
    case Circle: {
        const float w = std::abs(movingX_ - anchorX_), h = std::abs(movingY_ - anchorY_);
        c.circle((anchorX_ + movingX_) / 2, (anchorY_ + movingY_) / 2, std::min(w, h) / 2);
        break;
    }
    default:
        break;
    }
}

void clsDraw_Object::WhileDrawing(float X, float Y)
{
    const bool drawn = ObjType == Line || ObjType == Circle || ObjType == Rectangle;
    if (drawn)
        rubberBand();
    movingX_ = X;
    movingY_ = Y;
    if (drawn)
        rubberBand();
}

void clsDraw_Object::EndDrawing(float, float)
{
    if (picCanvas)
        picCanvas->drawMode = ShapeCanvas::CopyPen;
    if (ObjType == Line || ObjType == Rectangle) {
        X1 = anchorX_;
        Y1 = anchorY_;
        X2 = movingX_;
        Y2 = movingY_;
    } else if (ObjType == Circle) {
        X0 = (anchorX_ + movingX_) / 2;
        Y0 = (anchorY_ + movingY_) / 2;
        Radius = std::min(std::abs(movingX_ - anchorX_), std::abs(movingY_ - anchorY_)) / 2;
    }
    Selected = true;
}

bool clsDraw_Object::IsAt(float X, float Y) const
{
    switch (ObjType) {
    case Line:
        return DistToSegment(X, Y, X1, Y1, X2, Y2) < 30;
    case Circle: {
        const float d = (X0 - X) * (X0 - X) + (Y0 - Y) * (Y0 - Y);
        return d < Radius * Radius;
    }
    case Rectangle:
        return X >= std::min(X1, X2) && X <= std::max(X1, X2) && Y >= std::min(Y1, Y2) && Y <= std::max(Y1, Y2);
    default:
        return false;
    }
}

void DrawObjectEditor::NewDrawObject()
{
    list_.clear();
    current_ = std::make_shared<clsDraw_Object>();
    list_.push_back(current_);
    current_->picCanvas = &canvas_;
    current_->ObjType = clsDraw_Object::Rectangle;
    current_->DrawWidth = 1;
}

void DrawObjectEditor::SetDrawObjectColours(uint32_t fillColor, uint32_t penColor)
{
    if (!current_)
        return;
    if (current_->Selected) {
        current_->ForeColor = 0;
        current_->FillColor = 0;
        current_->FillStyle = ShapeCanvas::Transparent;
    } else {
        current_->ForeColor = penColor;
        current_->FillColor = fillColor;
        current_->FillStyle = ShapeCanvas::Solid;
    }
    RedrawDrawObjects();
}

void DrawObjectEditor::StartDrawObject(float X, float Y)
{
    RemoveCurrentDrawObject();
    if (current_)
        current_->InitDrawing(X, Y);
    drawing_ = true;
}

void DrawObjectEditor::TrackDrawObject(float X, float Y)
{
    if (current_)
        current_->WhileDrawing(X, Y);
}

void DrawObjectEditor::FinishDrawObject(float X, float Y)
{
    if (!drawing_ || !current_)
        return;
    current_->EndDrawing(X, Y);
    if (std::find(list_.begin(), list_.end(), current_) == list_.end()) {
        list_.push_back(current_);
        current_->picCanvas = &canvas_;
    }
    drawing_ = false;
    SetCurrentDrawObject(current_);
}

void DrawObjectEditor::RedrawDrawObjects()
{
    if (current_ && penWidth_ >= 1)
        current_->DrawWidth = penWidth_;
    for (const Shape& s : list_)
        s->Draw();
}

DrawObjectEditor::Shape DrawObjectEditor::HitTestDrawObjects(float X, float Y) const
{
    for (auto it = list_.rbegin(); it != list_.rend(); ++it)
        if ((*it)->IsAt(X, Y))
            return *it;
    return nullptr;
}

void DrawObjectEditor::RemoveCurrentDrawObject()
{
    const auto it = std::find(list_.begin(), list_.end(), current_);
    if (it != list_.end())
        list_.erase(it);
    RedrawDrawObjects();
}

void DrawObjectEditor::SetCurrentDrawObject(const Shape& shape)
{
    if (current_)
        current_->Selected = false;
    current_ = shape;
    if (current_)
        current_->Selected = true;
    RedrawDrawObjects();
}

} // namespace pages
