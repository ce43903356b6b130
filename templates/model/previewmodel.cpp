#include "templates/model/previewmodel.h"

#include <cfloat>
#include <cmath>

namespace preview {

namespace {

// Values a single-precision control property can hold.
bool storable(double v)
{
    return std::isfinite(v) && std::fabs(v) <= double(FLT_MAX);
}

constexpr int kLineSlots = kRecordDisplays * kDisplayLines;
constexpr int kElementBase = kLineSlots;
constexpr int kHandleBase = kElementBase + kElements;
constexpr int kGuideLineBase = kHandleBase + 4;
constexpr int kEdgeBase = kGuideLineBase + 4;
constexpr int kKnobSlot = kEdgeBase + 4;
constexpr int kVideoSlot = kKnobSlot + 1;
constexpr int kSlotCount = kVideoSlot + 1;

ItemRef refOfSlot(int slot)
{
    if (slot < kElementBase)
        return {ItemKind::RecordLine, slot / kDisplayLines, slot % kDisplayLines};
    if (slot < kHandleBase)
        return {ItemKind::Element, 0, slot - kElementBase};
    if (slot < kGuideLineBase)
        return {ItemKind::GuideHandle, 0, slot - kHandleBase};
    if (slot < kEdgeBase)
        return {ItemKind::GuideLine, 0, slot - kGuideLineBase};
    if (slot < kKnobSlot)
        return {ItemKind::EdgeStrip, 0, slot - kEdgeBase};
    if (slot == kKnobSlot)
        return {ItemKind::AdjustKnob, 0, 0};
    return {ItemKind::VideoMarker, 0, 0};
}

PreviewHandlers& noHandlers()
{
    static PreviewHandlers none;
    return none;
}

} // namespace

bool Geometry::setLeft(double v)
{
    if (!storable(v))
        return false;
    left_ = v;
    return true;
}

bool Geometry::setTop(double v)
{
    if (!storable(v))
        return false;
    top_ = v;
    return true;
}

bool Geometry::setWidth(double v)
{
    if (!storable(v) || v < 0)
        return false;
    width_ = v;
    return true;
}

bool Geometry::setHeight(double v)
{
    if (!storable(v) || v < 0)
        return false;
    height_ = v;
    return true;
}

void Geometry::setGeometry(double left, double top, double width, double height)
{
    setLeft(left);
    setTop(top);
    setWidth(width);
    setHeight(height);
}

// Do-nothing handlers.
void PreviewHandlers::lblEvent_MouseDown(int, int, int, int, double, double) {}
void PreviewHandlers::lblEvent_MouseMove(int, int, int, int, double, double) {}
void PreviewHandlers::lblEvent_MouseUp(int, int, int, int, double, double) {}
void PreviewHandlers::lblEvent_DblClick(int, int) {}
void PreviewHandlers::lblTDT_MouseDown(int, int, int, double, double) {}
void PreviewHandlers::lblTDT_MouseMove(int, int, int, double, double) {}
void PreviewHandlers::lblTDT_MouseUp(int, int, int, double, double) {}
void PreviewHandlers::PicEdge_MouseDown(int, int, int, double, double) {}
void PreviewHandlers::PicEdge_MouseMove(int, int, int, double, double) {}
void PreviewHandlers::PicEdge_MouseUp(int, int, int, double, double) {}
void PreviewHandlers::btnAdjust_MouseDown(int, int, double, double) {}
void PreviewHandlers::btnAdjust_MouseMove(int, int, double, double) {}
void PreviewHandlers::btnAdjust_MouseUp(int, int, double, double) {}
void PreviewHandlers::lblAdjustLRLine_MouseDown(int, int, double, double) {}
void PreviewHandlers::lblAdjustLRLine_MouseMove(int, int, double, double) {}
void PreviewHandlers::lblAdjustLRLine_MouseUp(int, int, double, double) {}
void PreviewHandlers::lblAdjustUDLine_MouseDown(int, int, double, double) {}
void PreviewHandlers::lblAdjustUDLine_MouseMove(int, int, double, double) {}
void PreviewHandlers::lblAdjustUDLine_MouseUp(int, int, double, double) {}
void PreviewHandlers::lblAlignLeft_MouseDown(int, int, double, double) {}
void PreviewHandlers::lblAlignLeft_MouseMove(int, int, double, double) {}
void PreviewHandlers::lblAlignLeft_MouseUp(int, int, double, double) {}
void PreviewHandlers::lblAlignRight_MouseDown(int, int, double, double) {}
void PreviewHandlers::lblAlignRight_MouseMove(int, int, double, double) {}
void PreviewHandlers::lblAlignRight_MouseUp(int, int, double, double) {}
void PreviewHandlers::picBackground_MouseDown(int, int, double, double) {}
void PreviewHandlers::picBackground_MouseMove(int, int, double, double) {}
void PreviewHandlers::picBackground_MouseUp(int, int, double, double) {}
void PreviewHandlers::picBackground_Click() {}

PreviewModel::PreviewModel(QObject* parent)
    : QObject(parent)
{
    initItems();
}

void PreviewModel::initItems()
{
    items_.assign(kSlotCount, PreviewItem());
    for (int s = 0; s < kSlotCount; ++s)
        (windowed(refOfSlot(s).kind) ? highOrder_ : lowOrder_).push_back(s);

    // A portrait page until a layout says otherwise.
    background_.setGeometry(0, 0, 236.25, 420);
    const double W = background_.width(), H = background_.height();

    for (int d = 0; d < kRecordDisplays; ++d)
        for (int l = 0; l < kDisplayLines; ++l) {
            PreviewItem& it = items_[slotOf({ItemKind::RecordLine, d, l})];
            it.setGeometry(33, 60 + 15 * l, 170, 15);
            it.backColor = kLineColor;
            it.alignment = 2;
            it.visible = false;
        }

    struct ElementLook {
        const char* caption;
        uint32_t back, fore;
        bool shown;
        double l, t, w, h;
    };
    const ElementLook looks[kElements] = {
        {"TITLE", 0x000080, 0x000000, true, 33, 5, 170, 37.5},
        {"DATE", 0x008000, 0x000000, true, 0, 5, 85, 18.75},
        {"TIME", 0x808000, 0x000000, true, 151.25, 5, 85, 18.75},
        {"PiP Windows", 0x808080, 0xFFFFFF, false, 22.925, 165.2, 190.4, 89.6},
    };
    for (int i = 0; i < kElements; ++i) {
        PreviewItem& it = items_[slotOf({ItemKind::Element, 0, i})];
        it.caption = QString::fromLatin1(looks[i].caption);
        it.backColor = looks[i].back;
        it.foreColor = looks[i].fore;
        it.visible = looks[i].shown;
        it.alignment = 2;
        it.fontBold = true;
        it.setGeometry(looks[i].l, looks[i].t, looks[i].w, looks[i].h);
    }

    auto handle = [this](Guide g) -> PreviewItem& { return items_[slotOf({ItemKind::GuideHandle, 0, g})]; };
    auto line = [this](Guide g) -> PreviewItem& { return items_[slotOf({ItemKind::GuideLine, 0, g})]; };
    handle(kGuideLR).setGeometry(5, 0, 8, 17);
    line(kGuideLR).setGeometry(4, 0, 1, H);
    handle(kGuideUD).setGeometry(W - 16, 5, 16, 10);
    line(kGuideUD).setGeometry(0, 5, W, 1);
    handle(kGuideAlignLeft).setGeometry(10, H - 17, 8, 17);
    line(kGuideAlignLeft).setGeometry(10, 0, 1, H);
    handle(kGuideAlignRight).setGeometry(W - 18, H - 17, 8, 17);
    line(kGuideAlignRight).setGeometry(W - 10, 0, 1, H);
    for (int g = 0; g < 4; ++g) {
        const uint32_t c = (g == kGuideLR || g == kGuideUD) ? kGuideRulerColor : kGuideAlignColor;
        handle(Guide(g)).backColor = c;
        line(Guide(g)).backColor = c;
        const bool shown = g != kGuideLR;
        handle(Guide(g)).visible = shown;
        line(Guide(g)).visible = shown;
    }

    for (int i = 0; i < 4; ++i) {
        PreviewItem& it = items_[slotOf({ItemKind::EdgeStrip, 0, i})];
        it.backColor = 0xFFFFFF;
        it.visible = false;
        it.pointer = (i == 0 || i == 2) ? PointerShape::SizeWE : PointerShape::SizeNS;
        it.setGeometry(0, 0, 1, 1);
    }

    PreviewItem& knob = items_[kKnobSlot];
    knob.caption = QStringLiteral("+");
    knob.toolTip = QStringLiteral("Adjust the positon");
    knob.fontBold = true;
    knob.fontSize = 12;
    knob.alignment = 2;
    knob.backColor = 0xC0C0C0;
    knob.raised = true;
    knob.visible = false;
    knob.setGeometry(0, 0, 17, 17);

    PreviewItem& video = items_[kVideoSlot];
    video.caption = QStringLiteral("Background Video");
    video.alignment = 2;
    video.backColor = 0x000000;
    video.foreColor = 0xFFFFFF;
    video.visible = false;
    video.setGeometry((W - 100) / 2, 0, 100, 15);
}

void PreviewModel::setScreenSize(double width, double height)
{
    screenWidth_ = width;
    screenHeight_ = height;
    Q_EMIT changed();
}

Background& PreviewModel::picBackground()
{
    Q_EMIT changed();
    return background_;
}

bool PreviewModel::isValid(const ItemRef& ref)
{
    switch (ref.kind) {
    case ItemKind::RecordLine:
        return ref.group >= 0 && ref.group < kRecordDisplays && ref.index >= 0 && ref.index < kDisplayLines;
    case ItemKind::Element:
        return ref.index >= 0 && ref.index < kElements;
    case ItemKind::GuideHandle:
    case ItemKind::GuideLine:
    case ItemKind::EdgeStrip:
        return ref.index >= 0 && ref.index < 4;
    case ItemKind::AdjustKnob:
    case ItemKind::VideoMarker:
        return true;
    }
    return false;
}

int PreviewModel::slotOf(const ItemRef& ref)
{
    Q_ASSERT(isValid(ref));
    switch (ref.kind) {
    case ItemKind::RecordLine:
        return ref.group * kDisplayLines + ref.index;
    case ItemKind::Element:
        return kElementBase + ref.index;
    case ItemKind::GuideHandle:
        return kHandleBase + ref.index;
    case ItemKind::GuideLine:
        return kGuideLineBase + ref.index;
    case ItemKind::EdgeStrip:
        return kEdgeBase + ref.index;
    case ItemKind::AdjustKnob:
        return kKnobSlot;
    case ItemKind::VideoMarker:
        return kVideoSlot;
    }
    return 0;
}

bool PreviewModel::windowed(ItemKind kind)
{
    // The guide handles stay above the labels so that an element or a line
    // dropped on the page's edge never hides them from the pointer.
    return kind == ItemKind::EdgeStrip || kind == ItemKind::AdjustKnob || kind == ItemKind::GuideHandle;
}

PreviewItem& PreviewModel::item(const ItemRef& ref)
{
    Q_EMIT changed();
    return items_.at(size_t(slotOf(ref)));
}

const PreviewItem& PreviewModel::item(const ItemRef& ref) const
{
    return items_.at(size_t(slotOf(ref)));
}

void PreviewModel::ZOrder(const ItemRef& ref)
{
    const int slot = slotOf(ref);
    std::vector<int>& order = windowed(ref.kind) ? highOrder_ : lowOrder_;
    std::erase(order, slot);
    order.push_back(slot);
    Q_EMIT changed();
}

std::vector<ItemRef> PreviewModel::paintOrder() const
{
    std::vector<ItemRef> out;
    out.reserve(items_.size());
    for (int s : lowOrder_)
        out.push_back(refOfSlot(s));
    for (int s : highOrder_)
        out.push_back(refOfSlot(s));
    return out;
}

std::optional<ItemRef> PreviewModel::itemAt(double x, double y) const
{
    if (x < 0 || y < 0 || x >= background_.width() || y >= background_.height())
        return std::nullopt;
    for (const auto* order : {&highOrder_, &lowOrder_})
        for (auto it = order->rbegin(); it != order->rend(); ++it) {
            const PreviewItem& item = items_[size_t(*it)];
            if (!item.visible || !item.enabled)
                continue;
            if (x >= item.left() && x < item.left() + item.width() && y >= item.top() && y < item.top() + item.height())
                return refOfSlot(*it);
        }
    return std::nullopt;
}

PointerShape PreviewModel::pointerAt(double x, double y) const
{
    if (capture_ && !capture_->background)
        return item(capture_->ref).pointer;
    const auto hit = itemAt(x, y);
    return hit ? item(*hit).pointer : PointerShape::Arrow;
}

void PreviewModel::setHandlers(PreviewHandlers* handlers)
{
    handlers_ = handlers;
}

void PreviewModel::setHandlers(ItemKind kind, PreviewHandlers* handlers)
{
    kindHandlers_.at(size_t(kind)) = handlers;
}

PreviewHandlers& PreviewModel::handlersFor(const Target& t) const
{
    if (!t.background)
        if (PreviewHandlers* h = kindHandlers_.at(size_t(t.ref.kind)))
            return *h;
    return handlers_ ? *handlers_ : noHandlers();
}

// The handler of each control for one pointer event: press, move or release.
struct PointerEvents {
    using Plain = void (PreviewHandlers::*)(int button, int shift, double x, double y);
    using Indexed = void (PreviewHandlers::*)(int index, int button, int shift, double x, double y);
    Plain background;
    void (PreviewHandlers::*line)(int group, int index, int button, int shift, double x, double y);
    Indexed element, edge;
    Plain knob;
    std::array<Plain, 4> guides; // by Guide
};

namespace {

using H = PreviewHandlers;
constexpr PointerEvents kDown{&H::picBackground_MouseDown,
                              &H::lblEvent_MouseDown,
                              &H::lblTDT_MouseDown,
                              &H::PicEdge_MouseDown,
                              &H::btnAdjust_MouseDown,
                              {&H::lblAdjustLRLine_MouseDown, &H::lblAdjustUDLine_MouseDown, &H::lblAlignLeft_MouseDown,
                               &H::lblAlignRight_MouseDown}};
constexpr PointerEvents kMove{&H::picBackground_MouseMove,
                              &H::lblEvent_MouseMove,
                              &H::lblTDT_MouseMove,
                              &H::PicEdge_MouseMove,
                              &H::btnAdjust_MouseMove,
                              {&H::lblAdjustLRLine_MouseMove, &H::lblAdjustUDLine_MouseMove, &H::lblAlignLeft_MouseMove,
                               &H::lblAlignRight_MouseMove}};
constexpr PointerEvents kUp{
    &H::picBackground_MouseUp,
    &H::lblEvent_MouseUp,
    &H::lblTDT_MouseUp,
    &H::PicEdge_MouseUp,
    &H::btnAdjust_MouseUp,
    {&H::lblAdjustLRLine_MouseUp, &H::lblAdjustUDLine_MouseUp, &H::lblAlignLeft_MouseUp, &H::lblAlignRight_MouseUp}};

} // namespace

void PreviewModel::raiseMouseDown(const ItemRef& ref, int button, int shift, double x, double y)
{
    if (isValid(ref))
        dispatch(kDown, Target{false, ref}, button, shift, x, y);
}

void PreviewModel::raiseMouseMove(const ItemRef& ref, int buttons, int shift, double x, double y)
{
    if (isValid(ref))
        dispatch(kMove, Target{false, ref}, buttons, shift, x, y);
}

void PreviewModel::raiseMouseUp(const ItemRef& ref, int button, int shift, double x, double y)
{
    if (isValid(ref))
        dispatch(kUp, Target{false, ref}, button, shift, x, y);
}

std::optional<PreviewModel::Target> PreviewModel::targetAt(double x, double y) const
{
    if (const auto hit = itemAt(x, y))
        return Target{false, *hit};
    if (x >= 0 && y >= 0 && x < background_.width() && y < background_.height())
        return Target{true, {}};
    return std::nullopt;
}

QPointF PreviewModel::local(const Target& t, double x, double y) const
{
    if (t.background)
        return {x, y};
    const PreviewItem& it = item(t.ref);
    return {x - it.left(), y - it.top()};
}

void PreviewModel::buttonsHeld(int buttons)
{
    held_ &= buttons;
    if (held_ == 0) {
        capture_.reset();
        pressedOnBackground_ = false;
    }
}

void PreviewModel::mouseDown(double x, double y, int button, int shift)
{
    if (held_ == 0) {
        capture_ = targetAt(x, y);
        pressedOnBackground_ = capture_ && capture_->background && button == 1;
    }
    held_ |= button;
    if (capture_) {
        const Target t = *capture_;
        const QPointF p = local(t, x, y);
        dispatch(kDown, t, button, shift, p.x(), p.y());
    }
}

void PreviewModel::mouseMove(double x, double y, int buttons, int shift)
{
    const std::optional<Target> t = (held_ != 0 && capture_) ? capture_ : targetAt(x, y);
    if (!t)
        return;
    const QPointF p = local(*t, x, y);
    dispatch(kMove, *t, buttons, shift, p.x(), p.y());
}

void PreviewModel::mouseUp(double x, double y, int button, int shift)
{
    const std::optional<Target> t = (held_ != 0 && capture_) ? capture_ : targetAt(x, y);
    held_ &= ~button;
    const bool click =
        pressedOnBackground_ && button == 1 && t && t->background && targetAt(x, y) && targetAt(x, y)->background;
    if (held_ == 0) {
        capture_.reset();
        pressedOnBackground_ = false;
    }
    if (!t)
        return;
    const QPointF p = local(*t, x, y);
    dispatch(kUp, *t, button, shift, p.x(), p.y());
    if (click)
        (handlers_ ? *handlers_ : noHandlers()).picBackground_Click();
}

void PreviewModel::doubleClick(double x, double y, int button, int shift)
{
    const std::optional<Target> t = held_ != 0 && capture_ ? capture_ : targetAt(x, y);
    if (!t || t->background || t->ref.kind != ItemKind::RecordLine || button != 1) {
        mouseDown(x, y, button, shift);
        return;
    }
    if (held_ == 0) {
        capture_ = t;
        pressedOnBackground_ = false;
    }
    held_ |= button;
    handlersFor(*t).lblEvent_DblClick(t->ref.group, t->ref.index);
}

void PreviewModel::dispatch(const PointerEvents& e, const Target& t, int button, int shift, double x, double y)
{
    PreviewHandlers& h = handlersFor(t);
    if (t.background) {
        (h.*e.background)(button, shift, x, y);
        return;
    }
    const ItemRef& r = t.ref;
    switch (r.kind) {
    case ItemKind::RecordLine:
        (h.*e.line)(r.group, r.index, button, shift, x, y);
        break;
    case ItemKind::Element:
        (h.*e.element)(r.index, button, shift, x, y);
        break;
    case ItemKind::EdgeStrip:
        (h.*e.edge)(r.index, button, shift, x, y);
        break;
    case ItemKind::AdjustKnob:
        (h.*e.knob)(button, shift, x, y);
        break;
    case ItemKind::GuideHandle:
        if (r.index >= 0 && r.index < int(e.guides.size()))
            (h.*e.guides[size_t(r.index)])(button, shift, x, y);
        break;
    case ItemKind::GuideLine:
    case ItemKind::VideoMarker:
        break;
    }
}

} // namespace preview
