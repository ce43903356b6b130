#include "designer/tools/align.h"

#include "platform/services.h"

#include <utility>
#include <vector>

namespace tools {

namespace {

using lines::templateRecord;

enum class Kind { Single, Left, Right };

struct Pairing {
    Kind kind = Kind::Single;
    int partner = -1;
};

// A line's pairing from its line-up attribute.
Pairing pairingOf(const templates::LineUp& lineUp)
{
    Pairing out;
    if (!lineUp.linedUp)
        return out;
    out.partner = lineUp.partner;
    out.kind = lineUp.isRight() ? Kind::Right : Kind::Left;
    return out;
}

} // namespace

LineAlignment::LineAlignment(preview::PreviewModel& model, templates::Template& t, lines::FrameTools& frame)
    : m_(model)
    , t_(t)
    , frame_(frame)
{
}

void LineAlignment::mnuAlignRecordlines_Click()
{
    const preview::DesignerState& s = m_.state();
    AlignRecordLines(s.mintSelectedLine, s.mintSelectedGroup);
}

void LineAlignment::AlignRecordLines(int line, int record)
{
    const BusyGuard busy;
    if (!templateRecord(record) || line < 0 || line >= templates::kLines) {
        frame_.HideSelectionFrame();
        return;
    }
    auto pairing = [&](int i) { return pairingOf(t_.lineUp(record, i)); };
    // Line x is the partner of line y.
    auto partnerOf = [&](int x, int y) {
        const Pairing p = pairing(x);
        return p.kind != Kind::Single && p.partner == y;
    };

    if (pairing(line).kind == Kind::Right) {
        services::message(QString::fromLatin1(kRightLineRefusal), MsgIcon::Information);
        frame_.ShowSelectionFrame(line);
        return;
    }

    const preview::PreviewItem& clicked = std::as_const(m_).lblEvent(record, line);
    const double H = clicked.height(), T = clicked.top();
    std::vector<int> above, below;
    for (int i = 0; i < templates::kLines; ++i) {
        if (i == line || !std::as_const(m_).lblEvent(record, i).visible)
            continue;
        preview::PreviewItem& l = m_.lblEvent(record, i);
        l.setHeight(H);
        (l.top() < T ? above : below).push_back(i);
        frame_.SaveLineGeometry(l, i, record);
    }

    // Nearest first: above, the smallest distance up (the later of equals);
    // below, the smallest distance down (the later of equals).
    auto stack = [&](std::vector<int>& list, bool up) {
        int ref = line;
        while (!list.empty()) {
            const double refTop = m_.lblEvent(record, ref).top();
            size_t choice = 0;
            double best = refTop - m_.lblEvent(record, list[0]).top();
            for (size_t k = 1; k < list.size(); ++k) {
                const double d = refTop - m_.lblEvent(record, list[k]).top();
                if (up ? d <= best : d >= best) {
                    choice = k;
                    best = d;
                }
            }
            const int chosen = list[choice];
            preview::PreviewItem& l = m_.lblEvent(record, chosen);
            if (partnerOf(chosen, ref))
                l.setTop(refTop);
            else
                l.setTop(up ? refTop - l.height() : refTop + l.height());
            frame_.SaveLineGeometry(l, chosen, record);
            list.erase(list.begin() + std::ptrdiff_t(choice));
            ref = chosen;
        }
    };
    stack(above, true);
    stack(below, false);
    frame_.ShowSelectionFrame(line);
}

void LineAlignment::mnuAlignment_Click(int index)
{
    frame_.HideSelectionFrame();
    const int K = m_.state().mintSelectedGroup;
    if (!templateRecord(K) || index < kAlignLeft || index > kAlignCenter)
        return;
    const double GL = std::as_const(m_).guideLine(preview::kGuideAlignLeft).left();
    const double GR = std::as_const(m_).guideLine(preview::kGuideAlignRight).left();
    const double C = std::as_const(m_).picBackground().width() / 2;

    for (int i = 0; i < templates::kLines; ++i) {
        const Pairing p = pairingOf(t_.lineUp(K, i));
        preview::PreviewItem& l = m_.lblEvent(K, i);
        const double W = l.width();
        const double PW = p.kind == Kind::Single ? 0 : std::as_const(m_).lblEvent(K, p.partner).width();
        double left = 0;
        switch (index) {
        case kAlignLeft:
            left = p.kind == Kind::Right ? GL + PW : GL;
            break;
        case kAlignRight:
            left = p.kind == Kind::Left ? GR - W - PW : GR - W;
            break;
        default:
            left = p.kind == Kind::Left ? C - (W + PW) / 2 : p.kind == Kind::Right ? C - (W + PW) / 2 + PW : C - W / 2;
            break;
        }
        l.setLeft(left);
        frame_.SaveLineGeometry(l, i, K);
    }
}

} // namespace tools
