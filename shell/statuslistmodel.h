#pragma once
// The status log as a one-column list model, following the log as lines
// are added or the log is emptied.
#include <QAbstractListModel>

class StatusLog;

class StatusListModel : public QAbstractListModel {
    Q_OBJECT
public:
    explicit StatusListModel(StatusLog& log, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

Q_SIGNALS:
    // A line was appended; `row` is the newest row.
    void lineAppended(int row);

private:
    StatusLog& log_;
    int shown_ = 0;
};
