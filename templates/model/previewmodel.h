#pragma once
// The template designer's preview: the page in miniature (`picBackground`)
// and everything placed on it, without any widget. One canvas widget paints
// this model and hands it the pointer; the designer's handlers change the
// model, and the canvas repaints whenever it reports a change.
//
// Units: every position and size is in preview pixels, as a double (a
// control may stand at 470.4, or at a negative Left while it is dragged).
// picBackground's own Left and Top are pixels in its frame (`picScreen`,
// the canvas widget); the items' Left and Top are pixels on picBackground.
// Widths and heights are never negative: such an assignment is refused and
// the item keeps its size, as a label does. Non-finite values and values
// beyond single precision are refused the same way.
//
// Pointer events reach the handlers with the button that changed (press and
// release) or the buttons held (move) as 1 left, 2 right, 4 middle; Shift
// as 1 Shift, 2 Ctrl, 4 Alt; and X, Y in pixels from the top-left corner of
// the control that receives the event. After a press, that control receives
// every move and release until all buttons are up.
#include <QImage>
#include <QLineF>
#include <QObject>
#include <QRectF>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace preview {

constexpr int kRecordDisplays = 10; // lblEvent, lblEvent1 .. lblEvent9
constexpr int kDisplayLines = 12;   // label index = line 0..11
constexpr int kElements = 4;        // lblTDT: 0 title, 1 date, 2 time, 3 PiP

// Colours are 24-bit values in blue-green-red order (red is the low byte).
constexpr uint32_t kLineColor = 12648447;       // record-line labels (pale yellow)
constexpr uint32_t kLineHighlightColor = 65535; // the pressed record line (yellow)
constexpr uint32_t kGuideRulerColor = 49152;    // vertical and horizontal guide
constexpr uint32_t kGuideAlignColor = 33023;    // left and right alignment guide

enum class ItemKind {
    RecordLine,  // group = record display 0..9, index = line 0..11
    Element,     // lblTDT(index)
    GuideHandle, // index: Guide
    GuideLine,   // index: Guide
    EdgeStrip,   // PicEdge(index): 0 left, 1 top, 2 right, 3 bottom
    AdjustKnob,  // btnAdjust
    VideoMarker, // lblBGVideo
};

enum Guide {
    kGuideLR = 0,         // vertical guide: lblAdjustLRLine / lblLRLine
    kGuideUD = 1,         // horizontal guide: lblAdjustUDLine / lblUDLine
    kGuideAlignLeft = 2,  // lblAlignLeft / lblAlignLeftLine
    kGuideAlignRight = 3, // lblAlignRight / lblAlignRightLine
};

struct ItemRef {
    ItemKind kind = ItemKind::RecordLine;
    int group = 0;
    int index = 0;
    friend bool operator==(const ItemRef&, const ItemRef&) = default;
};

enum class PointerShape { Arrow, SizeWE, SizeNS };

// Left, Top, Width, Height with the refusal rules of the file comment.
class Geometry {
public:
    double left() const { return left_; }
    double top() const { return top_; }
    double width() const { return width_; }
    double height() const { return height_; }
    QRectF rect() const { return QRectF(left_, top_, width_, height_); }

    bool setLeft(double v);
    bool setTop(double v);
    bool setWidth(double v);
    bool setHeight(double v);
    // Sets all four; each refused value keeps its old one.
    void setGeometry(double left, double top, double width, double height);

private:
    double left_ = 0, top_ = 0, width_ = 0, height_ = 0;
};

// A control on the preview: a label, a guide, a frame strip or the knob.
class PreviewItem : public Geometry {
public:
    QString caption;
    QString toolTip;
    int alignment = 0; // 0 left, 1 right, 2 centre
    QString fontName = QStringLiteral("MS Sans Serif");
    double fontSize = 8.25; // points
    bool fontBold = false;
    uint32_t backColor = 0xFFFFFF;
    uint32_t foreColor = 0;
    bool opaque = true;
    bool visible = true;
    bool enabled = true;
    PointerShape pointer = PointerShape::Arrow;
    bool raised = false; // drawn as a push button
};

// One line drawn onto the background (the design grid).
struct DrawnLine {
    QLineF line;
    uint32_t color = 0;
};

// picBackground: its place in picScreen, colour, picture and what has been
// drawn onto it. Its inner drawing size equals its outer size.
class Background : public Geometry {
public:
    uint32_t backColor = 0;
    QImage picture;                // shown scaled to the background's size
    uint32_t foreColor = 0xFFFFFF; // pen of drawLine
    std::vector<DrawnLine> drawing;

    double scaleWidth() const { return width(); }
    double scaleHeight() const { return height(); }
    void drawLine(double x1, double y1, double x2, double y2)
    {
        drawing.push_back({QLineF(x1, y1, x2, y2), foreColor});
    }
    // Removes what was drawn; colour and picture stay.
    void Cls() { drawing.clear(); }
};

// The designer's selection and drag state, shared by the record-line and
// layout handlers and read by the template operations.
struct DesignerState {
    int mintSelectedGroup = 0;             // 0..9 record display; 100 + i element lblTDT(i)
    int mintSelectedLine = 0;              // 0..11
    double mdblPressX = 0, mdblPressY = 0; // press point on the dragged control
    double mdblEdgeX = 0, mdblEdgeY = 0;   // press point on a frame strip
    bool mblnGridShown = false;
    int gridDivisions = 0; // division count of the grid last drawn
};

// The handlers the preview's controls raise. Every one does nothing until a
// designer part overrides it.
class PreviewHandlers {
public:
    virtual ~PreviewHandlers() = default;

    // Record lines: `group` is the record display (0 = lblEvent, 1..9 =
    // lblEvent1..lblEvent9), `index` the line.
    virtual void lblEvent_MouseDown(int group, int index, int button, int shift, double x, double y);
    virtual void lblEvent_MouseMove(int group, int index, int button, int shift, double x, double y);
    virtual void lblEvent_MouseUp(int group, int index, int button, int shift, double x, double y);
    virtual void lblEvent_DblClick(int group, int index);

    virtual void lblTDT_MouseDown(int index, int button, int shift, double x, double y);
    virtual void lblTDT_MouseMove(int index, int button, int shift, double x, double y);
    virtual void lblTDT_MouseUp(int index, int button, int shift, double x, double y);

    virtual void PicEdge_MouseDown(int index, int button, int shift, double x, double y);
    virtual void PicEdge_MouseMove(int index, int button, int shift, double x, double y);
    virtual void PicEdge_MouseUp(int index, int button, int shift, double x, double y);

    virtual void btnAdjust_MouseDown(int button, int shift, double x, double y);
    virtual void btnAdjust_MouseMove(int button, int shift, double x, double y);
    virtual void btnAdjust_MouseUp(int button, int shift, double x, double y);

    virtual void lblAdjustLRLine_MouseDown(int button, int shift, double x, double y);
    virtual void lblAdjustLRLine_MouseMove(int button, int shift, double x, double y);
    virtual void lblAdjustLRLine_MouseUp(int button, int shift, double x, double y);
    virtual void lblAdjustUDLine_MouseDown(int button, int shift, double x, double y);
    virtual void lblAdjustUDLine_MouseMove(int button, int shift, double x, double y);
    virtual void lblAdjustUDLine_MouseUp(int button, int shift, double x, double y);
    virtual void lblAlignLeft_MouseDown(int button, int shift, double x, double y);
    virtual void lblAlignLeft_MouseMove(int button, int shift, double x, double y);
    virtual void lblAlignLeft_MouseUp(int button, int shift, double x, double y);
    virtual void lblAlignRight_MouseDown(int button, int shift, double x, double y);
    virtual void lblAlignRight_MouseMove(int button, int shift, double x, double y);
    virtual void lblAlignRight_MouseUp(int button, int shift, double x, double y);

    // The empty background; Click follows a left press and release on it.
    virtual void picBackground_MouseDown(int button, int shift, double x, double y);
    virtual void picBackground_MouseMove(int button, int shift, double x, double y);
    virtual void picBackground_MouseUp(int button, int shift, double x, double y);
    virtual void picBackground_Click();
};

struct PointerEvents;

class PreviewModel : public QObject {
    Q_OBJECT
public:
    explicit PreviewModel(QObject* parent = nullptr);

    // picScreen, the frame around the background (the canvas's size).
    double screenWidth() const { return screenWidth_; }
    double screenHeight() const { return screenHeight_; }
    void setScreenSize(double width, double height);

    // Every accessor that can change something reports a change, so the
    // canvas repaints after the handler that used it.
    Background& picBackground();
    const Background& picBackground() const { return background_; }

    PreviewItem& lblEvent(int display, int line) { return item({ItemKind::RecordLine, display, line}); }
    const PreviewItem& lblEvent(int display, int line) const { return item({ItemKind::RecordLine, display, line}); }
    PreviewItem& lblTDT(int index) { return item({ItemKind::Element, 0, index}); }
    const PreviewItem& lblTDT(int index) const { return item({ItemKind::Element, 0, index}); }
    PreviewItem& PicEdge(int index) { return item({ItemKind::EdgeStrip, 0, index}); }
    const PreviewItem& PicEdge(int index) const { return item({ItemKind::EdgeStrip, 0, index}); }
    PreviewItem& btnAdjust() { return item({ItemKind::AdjustKnob, 0, 0}); }
    const PreviewItem& btnAdjust() const { return item({ItemKind::AdjustKnob, 0, 0}); }
    PreviewItem& lblBGVideo() { return item({ItemKind::VideoMarker, 0, 0}); }
    PreviewItem& guideHandle(Guide g) { return item({ItemKind::GuideHandle, 0, g}); }
    const PreviewItem& guideHandle(Guide g) const { return item({ItemKind::GuideHandle, 0, g}); }
    PreviewItem& guideLine(Guide g) { return item({ItemKind::GuideLine, 0, g}); }
    const PreviewItem& guideLine(Guide g) const { return item({ItemKind::GuideLine, 0, g}); }
    PreviewItem& lblAdjustLRLine() { return guideHandle(kGuideLR); }
    PreviewItem& lblLRLine() { return guideLine(kGuideLR); }
    PreviewItem& lblAdjustUDLine() { return guideHandle(kGuideUD); }
    PreviewItem& lblUDLine() { return guideLine(kGuideUD); }
    PreviewItem& lblAlignLeft() { return guideHandle(kGuideAlignLeft); }
    PreviewItem& lblAlignLeftLine() { return guideLine(kGuideAlignLeft); }
    PreviewItem& lblAlignRight() { return guideHandle(kGuideAlignRight); }
    PreviewItem& lblAlignRightLine() { return guideLine(kGuideAlignRight); }

    // Any item by reference; an invalid reference is a programming error
    // (checked with isValid first where the index comes from data).
    static bool isValid(const ItemRef& ref);
    PreviewItem& item(const ItemRef& ref);
    const PreviewItem& item(const ItemRef& ref) const;

    // Stacking: labels and guide lines lie beneath the guide handles, the
    // frame strips and the knob, whatever their order. ZOrder brings an item
    // to the front of its layer.
    void ZOrder(const ItemRef& ref);
    // Every item, back to front.
    std::vector<ItemRef> paintOrder() const;
    // The front-most visible, enabled item under a background point.
    std::optional<ItemRef> itemAt(double x, double y) const;
    PointerShape pointerAt(double x, double y) const;

    DesignerState& state() { return state_; }
    const DesignerState& state() const { return state_; }

    // nullptr restores the do-nothing handlers. The caller keeps ownership.
    void setHandlers(PreviewHandlers* handlers);
    // Handlers for the events of one kind of control only (the record
    // lines, the frame strips, ...); that kind's events go to them instead
    // of the handlers above. nullptr removes them. The caller keeps
    // ownership.
    void setHandlers(ItemKind kind, PreviewHandlers* handlers);
    // Raises a control's event as the pointer would, X and Y in pixels
    // from its top-left corner: for a control that hands its events on.
    void raiseMouseDown(const ItemRef& ref, int button, int shift, double x, double y);
    void raiseMouseMove(const ItemRef& ref, int buttons, int shift, double x, double y);
    void raiseMouseUp(const ItemRef& ref, int button, int shift, double x, double y);

    // Pointer input, X and Y in background pixels.
    // The buttons the window reports as held before a press or during a
    // move: a button counted as held but no longer down had its release
    // taken by a message box or another window. It is let go without an
    // event, and with no button left the pressed control loses the pointer,
    // so the next press goes where it lands.
    void buttonsHeld(int buttons);
    void mouseDown(double x, double y, int button, int shift);
    void mouseMove(double x, double y, int buttons, int shift);
    void mouseUp(double x, double y, int button, int shift);
    // The second press of a double click: a record line raises its DblClick,
    // any other control takes it as a press.
    void doubleClick(double x, double y, int button, int shift);

    // Reports a change made through a reference held across calls.
    void touch() { Q_EMIT changed(); }

Q_SIGNALS:
    void changed();

private:
    struct Target {
        bool background = false;
        ItemRef ref;
    };
    static int slotOf(const ItemRef& ref);
    static bool windowed(ItemKind kind);
    std::optional<Target> targetAt(double x, double y) const;
    QPointF local(const Target& t, double x, double y) const;
    void dispatch(const PointerEvents& e, const Target& t, int button, int shift, double x, double y);
    void initItems();
    PreviewHandlers& handlersFor(const Target& t) const;

    double screenWidth_ = 0, screenHeight_ = 0;
    Background background_;
    std::vector<PreviewItem> items_;
    std::vector<int> lowOrder_, highOrder_; // slots, back to front
    DesignerState state_;
    PreviewHandlers* handlers_ = nullptr;
    std::array<PreviewHandlers*, 7> kindHandlers_{}; // by ItemKind
    std::optional<Target> capture_;
    int held_ = 0;
    bool pressedOnBackground_ = false;
};

} // namespace preview
