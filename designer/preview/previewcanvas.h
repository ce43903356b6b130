#pragma once
// The designer's preview on screen: one widget standing for the frame
// `picScreen`, painting the preview model (picBackground at its Left and
// Top, and everything on it) and handing the pointer to the model, which
// raises the handlers of the control under it. The widget's size is
// picScreen's size in the model.
#include "templates/model/previewmodel.h"

#include <QPointer>
#include <QWidget>

namespace preview {

class PreviewCanvas : public QWidget {
    Q_OBJECT
public:
    explicit PreviewCanvas(PreviewModel* model, QWidget* parent = nullptr);

    PreviewModel* model() const { return model_; }
    QSize sizeHint() const override;

    // Between background pixels and this widget's pixels (for placing a
    // child panel over the background, or a pop-up menu at a control).
    QPointF toCanvas(const QPointF& backgroundPoint) const;
    QPointF toBackground(const QPointF& canvasPoint) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;

private:
    void updatePointer(const QPointF& backgroundPoint);
    QPointer<PreviewModel> model_;
};

} // namespace preview
