#pragma once
// The administration window's message list: a running list of lines, each
// stamped with the date and time, that holds at most kMaxLines + 1 lines
// (the line that comes to a fuller list first empties it).
//
// Every line can be read whole: the list scrolls sideways to the end of its
// longest line, and a line's tool tip is the whole line. Lines go in by
// batches, each with one insertion, one measurement of the new lines only
// and one scroll, so a run over thousands of boards keeps the window
// answering.
#include <QTreeView>

namespace remote {

class MessageList final : public QTreeView {
    Q_OBJECT
public:
    static constexpr int kMaxLines = 1000;

    explicit MessageList(QWidget* parent = nullptr);
    ~MessageList() override;

    // Adds each of `texts` after `stamp`, as if they came one at a time: a
    // list that holds more than kMaxLines lines is emptied before the next
    // line goes in. The last line becomes the current one and is scrolled
    // into view; a list scrolled sideways stays scrolled so.
    void addLines(const QStringList& texts, const QString& stamp);
    int count() const;
    // The whole line; "" outside the list.
    QString line(int row) const;
    // -1 when no line is current.
    int currentRow() const;

protected:
    bool viewportEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    class Model;

    // Measures the lines from row `from` on; true when one of them is the
    // new widest.
    bool measure(int from);
    // Makes the one column as wide as the widest line needs, and at least
    // as wide as the list.
    void fitColumn();

    Model* model_;
    int widestRow_ = -1; // -1 while the list is empty
    int widestAdvance_ = 0;
};

} // namespace remote
