#include "remote/messagelist.h"

#include <QAbstractListModel>
#include <QEvent>
#include <QHeaderView>
#include <QResizeEvent>
#include <QScrollBar>

#include <algorithm>

namespace remote {

// The lines, one row each; a row's text is also its tool tip.
class MessageList::Model final : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : int(lines_.size());
    }
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override
    {
        if (!index.isValid() || index.row() >= lines_.size())
            return {};
        if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
            return lines_.at(index.row());
        return {};
    }
    void append(const QStringList& lines)
    {
        if (lines.isEmpty())
            return;
        const int first = int(lines_.size());
        beginInsertRows(QModelIndex(), first, first + int(lines.size()) - 1);
        lines_ += lines;
        endInsertRows();
    }
    void clear()
    {
        beginResetModel();
        lines_.clear();
        endResetModel();
    }
    const QStringList& lines() const { return lines_; }

private:
    QStringList lines_;
};

MessageList::MessageList(QWidget* parent)
    : QTreeView(parent)
    , model_(new Model(this))
{
    setModel(model_);
    // One column and no tree: every row is as high as the first, and the
    // column is as wide as the widest line, so a long line is never cut
    // and no line is measured twice.
    setHeaderHidden(true);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(QHeaderView::Fixed);
    fitColumn();
}

MessageList::~MessageList() = default;

void MessageList::addLines(const QStringList& texts, const QString& stamp)
{
    if (texts.isEmpty())
        return;
    // Worked out first, so that only the lines after the last emptying
    // reach the list.
    int count = this->count();
    bool clear = false;
    qsizetype from = 0;
    for (qsizetype i = 0; i < texts.size(); ++i) {
        if (count > kMaxLines) {
            clear = true;
            from = i;
            count = 0;
        }
        ++count;
    }
    QStringList lines;
    lines.reserve(texts.size() - from);
    for (qsizetype i = from; i < texts.size(); ++i)
        lines << stamp + texts[i];
    bool wider = false;
    if (clear) {
        model_->clear();
        widestRow_ = -1;
        widestAdvance_ = 0;
        wider = true;
    }
    const int first = this->count();
    model_->append(lines);
    if (measure(first) || wider)
        fitColumn();
    // Selecting the line scrolls it into view, and also back to the start
    // of a line wider than the list: the sideways position is kept.
    const int sideways = horizontalScrollBar()->value();
    setCurrentIndex(model_->index(this->count() - 1));
    horizontalScrollBar()->setValue(sideways);
}

int MessageList::count() const
{
    return int(model_->lines().size());
}

QString MessageList::line(int row) const
{
    return row >= 0 && row < count() ? model_->lines().at(row) : QString();
}

int MessageList::currentRow() const
{
    const QModelIndex index = currentIndex();
    return index.isValid() ? index.row() : -1;
}

bool MessageList::measure(int from)
{
    const QFontMetrics metrics(font());
    const QStringList& lines = model_->lines();
    bool wider = false;
    for (int row = from; row < lines.size(); ++row) {
        const int advance = metrics.horizontalAdvance(lines[row]);
        if (widestRow_ < 0 || advance > widestAdvance_) {
            widestRow_ = row;
            widestAdvance_ = advance;
            wider = true;
        }
    }
    return wider;
}

void MessageList::fitColumn()
{
    int width = 0;
    if (widestRow_ >= 0) {
        // The delegate's own measure of the widest line, with its margins.
        QStyleOptionViewItem option;
        initViewItemOption(&option);
        width = itemDelegate()->sizeHint(option, model_->index(widestRow_)).width();
    }
    width = std::max(width, viewport()->width());
    if (header()->sectionSize(0) != width)
        header()->resizeSection(0, width);
}

bool MessageList::viewportEvent(QEvent* event)
{
    if (event->type() != QEvent::Resize)
        return QTreeView::viewportEvent(event);
    fitColumn();
    const bool done = QTreeView::viewportEvent(event);
    // A scroll bar that comes after the last line was scrolled into view
    // (the sideways one, with the first line wider than the list) takes its
    // room from the bottom: a list whose current line is its last (as every
    // batch leaves it) scrolls it into view again.
    const auto* resize = static_cast<QResizeEvent*>(event);
    if (resize->size().height() < resize->oldSize().height() && count() > 0 && currentRow() == count() - 1) {
        const int sideways = horizontalScrollBar()->value();
        scrollTo(currentIndex());
        horizontalScrollBar()->setValue(sideways);
    }
    return done;
}

void MessageList::changeEvent(QEvent* event)
{
    QTreeView::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        widestRow_ = -1;
        widestAdvance_ = 0;
        measure(0);
        fitColumn();
    }
}

} // namespace remote
