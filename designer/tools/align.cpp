#include "designer/tools/align.h"

#include "platform/services.h"
#include "platform/vbvalue.h"

#include <QStringList>

#include <cmath>
#include <vector>

namespace tools {

namespace {

using lines::templateRecord;

enum class Kind { Single, Left, Right };

struct Pairing {
    Kind kind = Kind::Single;
    int partner = -1;
};

// A line's pairing from its line-up attribute. `trimmed`: Flag and Side are
// compared with the blanks around them removed; otherwise exactly.
Pairing pairingOf(const QString* cell, int line, bool trimmed)
{
    Pairing out;
    if (!cell)
        return out;
    const QStringList f = cell->split(QLatin1Char(','));
    if (f.size() < 3)
        return out;
    const QString flag = trimmed ? f[0].trimmed() : f[0];
    const QString side = trimmed ? f[2].trimmed() : f[2];
    if (flag != QLatin1String("1"))
        return out;
    const auto partner = vb::NumberOf(f[1]);
    if (!partner || *partner != std::floor(*partner) || *partner < 0 || *partner >= templates::kLines ||
        int(*partner) == line)
        return out;
    out.partner = int(*partner);
    if (side == QLatin1String("L"))
        out.kind = Kind::Left;
    else if (side == QLatin1String("R"))
        out.kind = Kind::Right;
    else if (!trimmed)
        out.kind = Kind::Left; // paired; its side matters only as "R"
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
    auto pairing = [&](int i) { return pairingOf(t_.line(record, templates::kFieldLineUp, i), i, false); };
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
        const Pairing p = pairingOf(t_.line(K, templates::kFieldLineUp, i), i, true);
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
