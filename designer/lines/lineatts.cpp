#include "designer/lines/lineatts.h"

#include "platform/services.h"
#include "platform/vbvalue.h"

#include <QStringList>

namespace lines {

LineAttsPopup::LineAttsPopup(preview::PreviewModel& model, templates::Template& t, RecordLineHandlers& recordLines,
                             FrameTools& frame, QObject* parent)
    : QObject(parent)
    , m_(model)
    , t_(t)
    , lines_(recordLines)
    , frame_(frame)
{
}

preview::PreviewItem* LineAttsPopup::label(int line)
{
    const preview::ItemRef ref{preview::ItemKind::RecordLine, group_, line};
    return preview::PreviewModel::isValid(ref) ? &m_.item(ref) : nullptr;
}

void LineAttsPopup::lblEvent_DblClick(int group, int index)
{
    group_ = group;
    line_ = index;
    const preview::PreviewItem* opened = label(index);
    if (opened)
        caption_ = opened->caption.toUpper();

    // A line without a usable attribute opens as a free line, whatever the
    // previous opening left in the check box.
    const templates::LineUp lineUp = t_.lineUp(group, index);
    const int check = lineUp.linedUp ? 1 : 0;
    if (check != check_) {
        check_ = check;
        chkLineUp_Click();
    }
    if (lineUp.linedUp) {
        partnerIndex_ = lineUp.partner;
        recordedPartner_ = lineUp.partner;
        controlsEnabled_ = !lineUp.isRight();
        if (lineUp.isLeft())
            midWord_ = lineUp.middleWord;
    } else {
        controlsEnabled_ = true;
        recordedPartner_ = -1;
    }

    if (opened) {
        const preview::Background& bg = std::as_const(m_).picBackground();
        top_ = opened->top();
        left_ = opened->left();
        if (float(top_ + kHeight) > float(bg.height()))
            top_ = bg.height() - kHeight;
        if (float(left_ + kWidth) > float(bg.width()))
            left_ = bg.width() - kWidth;
    }
    visible_ = true;
    Q_EMIT changed();
}

void LineAttsPopup::chkLineUp_Click()
{
    if (check_ == 1)
        partnerIndex_ = (line_ >= 0 && line_ < 11) ? line_ + 1 : 0;
    else
        partnerIndex_ = -1;
}

void LineAttsPopup::setLineUpCheck(int state)
{
    if (!controlsEnabled_ || state == check_ || state < 0 || state > 2)
        return;
    check_ = state;
    chkLineUp_Click();
    Q_EMIT changed();
}

void LineAttsPopup::setPartnerIndex(int index)
{
    if (!controlsEnabled_)
        return;
    partnerIndex_ = validLine(index) ? index : -1;
    Q_EMIT changed();
}

void LineAttsPopup::setMidWord(const QString& text)
{
    if (!controlsEnabled_)
        return;
    midWord_ = text;
    Q_EMIT changed();
}

void LineAttsPopup::CmdCancelAtts_Click()
{
    visible_ = false;
    Q_EMIT changed();
}

void LineAttsPopup::CmdSaveAtts_Click()
{
    if (!visible_ || !controlsEnabled_)
        return;
    const int g = group_, s = line_;
    const QString number = QString::number(s);

    if (check_ == 1) {
        const int p = partnerIndex_;
        if (p < 0 || p == s) {
            services::message(QString::fromLatin1(kNoPartner), MsgIcon::Information);
            return;
        }
        if (templateRecord(g) && t_.lineUp(g, p).linedUp) {
            services::message(QString::fromLatin1(kPartnerTaken), MsgIcon::Information);
            return;
        }
        // The attribute is ","-joined and the template file "`"-joined, and
        // both are single lines: the middle word may hold none of these.
        QString word = midWord_.trimmed();
        if (word.contains(QLatin1Char('\r')) || word.contains(QLatin1Char('\n'))) {
            services::message(QString::fromLatin1(kMidWordBreak), MsgIcon::Information);
            return;
        }
        word.remove(QLatin1Char(','));
        word.remove(QLatin1Char('`'));
        word = word.trimmed();
        // A line that already leads a pair lets its former partner go.
        if (templateRecord(g)) {
            const templates::LineUp own = t_.lineUp(g, s);
            if (own.isLeft())
                releaseLine(own.partner, s);
        }
        applyLineUp(QStringLiteral("1,%1,L,%2").arg(p).arg(word), QStringLiteral("1,%1,R,").arg(number));
    } else if (recordedPartner_ >= 0 || t_.lineUp(g, s).linedUp) {
        applyLineUp(QStringLiteral("0,%1,L,").arg(recordedPartner_), QStringLiteral("0,%1,R,").arg(number));
    }
    visible_ = false;
    Q_EMIT changed();
}

void LineAttsPopup::releaseLine(int line, int with)
{
    QString* cell = t_.line(group_, templates::kFieldLineUp, line);
    if (!cell)
        return;
    const templates::LineUp lineUp = t_.lineUp(group_, line);
    if (lineUp.linedUp && lineUp.partner != with)
        return;
    *cell = templates::kResetLineUp;
}

void LineAttsPopup::applyLineUp(const QString& selected, const QString& partner)
{
    const int g = group_, s = line_;
    const QStringList f = selected.split(QLatin1Char(','));
    const int p = vb::CInt(vb::Val(f.value(1)));

    if (f.value(0) == QLatin1String("0")) {
        if (QString* own = t_.line(g, templates::kFieldLineUp, s))
            *own = templates::kResetLineUp;
        releaseLine(p, s);
        return;
    }
    if (QString* own = t_.line(g, templates::kFieldLineUp, s))
        *own = selected;
    if (QString* other = t_.line(g, templates::kFieldLineUp, p))
        *other = partner;

    preview::PreviewItem* L = label(s);
    preview::PreviewItem* P = label(p);
    if (!L || !P)
        return;
    L->setWidth(L->width() / 2);
    P->setWidth(L->width());
    P->setTop(L->top());
    P->setLeft(L->left() + L->width());
    L->visible = true;
    P->visible = true;
    lines_.FitLabelToBackground(*P, p, g);
    lines_.FitLabelToBackground(*L, s, g);
    // The frame marks the selection, which a press may have moved while
    // the pop-up was open.
    const preview::DesignerState& sel = m_.state();
    if (sel.mintSelectedGroup != g || sel.mintSelectedLine != s)
        frame_.ShowSelectionFrame(sel.mintSelectedLine);
}

} // namespace lines
