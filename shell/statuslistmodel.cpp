#include "shell/statuslistmodel.h"

#include "platform/statuslog.h"

StatusListModel::StatusListModel(StatusLog& log, QObject* parent)
    : QAbstractListModel(parent)
    , log_(log)
    , shown_(log.count())
{
    connect(&log_, &StatusLog::lineAdded, this, [this] {
        const int count = log_.count();
        if (count < shown_) { // emptied without notice: start again
            beginResetModel();
            shown_ = count;
            endResetModel();
        } else if (count > shown_) {
            beginInsertRows(QModelIndex(), shown_, count - 1);
            shown_ = count;
            endInsertRows();
        }
        Q_EMIT lineAppended(shown_ - 1);
    });
    connect(&log_, &StatusLog::cleared, this, [this] {
        beginResetModel();
        shown_ = log_.count();
        endResetModel();
    });
}

int StatusListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : shown_;
}

QVariant StatusListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= shown_ || index.row() >= log_.count())
        return {};
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
        return log_.lines().at(index.row());
    return {};
}
