// The administration window's board lists: the saved and the destination
// boards, read from and written to their files, with their add, edit, copy,
// remove and sort commands and the destination rows' status icons.
#include "remote/frmorvanecomm.h"

#include "platform/services.h"
#include "platform/statuslog.h"

#include <QHash>
#include <QLineEdit>
#include <QTreeWidget>

using namespace remote;

// ---------------------------------------------------------------- files

void frmOrvaneComm::LoadIPLists()
{
    // A list file that cannot be read (a device, a pipe, an oversized file)
    // starts its list empty and is kept as it is: saving the empty list
    // over it would lose every board it holds.
    QStringList problems;
    const QString files[2] = {mstrIPListFile, mstrDestIPListFile};
    for (int index = 0; index < 2; ++index) {
        QString error;
        BoardList rows = readBoardList(files[index], &error);
        unreadableList_[size_t(index)] = !error.isEmpty();
        if (!error.isEmpty())
            problems << error + QStringLiteral(" The list starts empty and the file is left as it is.");
        if (index == 1)
            sortByAddress(rows);
        fillList(list(index), rows);
    }
    if (!problems.isEmpty())
        services::message(problems.join(QLatin1Char('\n')), MsgIcon::Exclamation);
}

void frmOrvaneComm::SaveIPLists()
{
    const QString files[2] = {mstrIPListFile, mstrDestIPListFile};
    for (int index = 0; index < 2; ++index) {
        if (unreadableList_[size_t(index)])
            continue;
        QString error;
        if (!writeBoardList(files[index], boards(index), &error))
            StatusLog::instance().statusMessage(error);
    }
}

// ---------------------------------------------------------------- board lists

void frmOrvaneComm::fillList(QTreeWidget* view, const BoardList& rows)
{
    view->clear();
    QList<QTreeWidgetItem*> items;
    items.reserve(rows.size());
    for (const Board& b : rows)
        items << new QTreeWidgetItem(QStringList{b.address, b.note});
    view->addTopLevelItems(items);
}

QTreeWidgetItem* frmOrvaneComm::addRow(QTreeWidget* view, const QString& address, const QString& note)
{
    return new QTreeWidgetItem(view, {address, note});
}

BoardList frmOrvaneComm::boards(int index) const
{
    BoardList rows;
    const QTreeWidget* view = list(index);
    for (int i = 0; i < view->topLevelItemCount(); ++i)
        rows << Board{view->topLevelItem(i)->text(0), view->topLevelItem(i)->text(1)};
    return rows;
}

int frmOrvaneComm::boardIcon(int row) const
{
    const QTreeWidgetItem* item = lvDestIPList->topLevelItem(row);
    return item ? item->data(0, Qt::UserRole).toInt() : 0;
}

void frmOrvaneComm::setBoardIcon(int row, int icon)
{
    setItemIcon(lvDestIPList->topLevelItem(row), icon);
}

void frmOrvaneComm::setItemIcon(QTreeWidgetItem* item, int icon)
{
    if (!item || icon < 0 || icon > 2)
        return;
    item->setData(0, Qt::UserRole, icon);
    item->setIcon(0, icon ? icons_[icon] : QIcon());
}

void frmOrvaneComm::btnAdd_Click()
{
    picComm->setEnabled(false);
    mintEditIndex = 0;
    mlngEditList = -1;
    picAdd->show();
    picAdd->raise();
    txtIPAddress->clear();
    txtIPAddress->selectAll();
    txtIPAddress->setFocus();
}

void frmOrvaneComm::btnEdit_Click(int index)
{
    if (index < 0 || index > 1)
        return;
    QTreeWidget* view = list(index);
    QTreeWidgetItem* item = view->currentItem();
    if (view->topLevelItemCount() == 0 || !item || !item->isSelected())
        return;
    picComm->setEnabled(false);
    mintEditIndex = view->indexOfTopLevelItem(item) + 1;
    txtIPAddress->setText(item->text(0));
    txtNote->setText(item->text(1));
    mlngEditList = index;
    picAdd->show();
    picAdd->raise();
    txtIPAddress->selectAll();
    txtIPAddress->setFocus();
}

void frmOrvaneComm::btnIPAdd_Click()
{
    const QString ip = txtIPAddress->text().trimmed();
    if (!isBoardAddress(ip)) {
        services::message(QStringLiteral("Please enter an IP address."));
        return;
    }
    const QString note = boardNote(txtNote->text());
    if (mintEditIndex > 0) {
        if (QTreeWidgetItem* item = list(mlngEditList == 1 ? 1 : 0)->topLevelItem(mintEditIndex - 1)) {
            // An icon tells the last update of the address it stands beside:
            // another address has none yet.
            if (item->text(0) != ip)
                setItemIcon(item, 0);
            item->setText(0, ip);
            item->setText(1, note);
            runRowChanged(item);
        }
    } else {
        for (QTreeWidget* view : {showIPListView, lvDestIPList}) {
            const QList<QTreeWidgetItem*> found = view->findItems(ip, Qt::MatchExactly | Qt::MatchCaseSensitive, 0);
            if (!found.isEmpty()) {
                view->setCurrentItem(found.first());
                found.first()->setSelected(true);
            } else {
                addRow(view, ip, note);
            }
        }
    }
    picComm->setEnabled(true);
    picAdd->hide();
}

void frmOrvaneComm::btnIPCancel_Click()
{
    picComm->setEnabled(true);
    picAdd->hide();
}

void frmOrvaneComm::btnApply_Click()
{
    if (showIPListView->topLevelItemCount() == 0 || !showIPListView->currentItem())
        return;
    // The first destination row of each address, looked up at once however
    // long the lists are.
    QHash<QString, QTreeWidgetItem*> dest;
    for (int i = 0; i < lvDestIPList->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = lvDestIPList->topLevelItem(i);
        if (!dest.contains(item->text(0)))
            dest.insert(item->text(0), item);
    }
    for (int i = 0; i < showIPListView->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* row = showIPListView->topLevelItem(i);
        if (!row->isSelected())
            continue;
        if (QTreeWidgetItem* found = dest.value(row->text(0)))
            found->setSelected(true);
        else
            dest.insert(row->text(0), addRow(lvDestIPList, row->text(0), row->text(1)));
    }
}

void frmOrvaneComm::btnRemove_Click()
{
    RemoveSelectedIP();
}

void frmOrvaneComm::RemoveSelectedIP()
{
    for (QTreeWidget* view : {showIPListView, lvDestIPList}) {
        for (int i = view->topLevelItemCount() - 1; i >= 0; --i) {
            if (!view->topLevelItem(i)->isSelected())
                continue;
            QTreeWidgetItem* gone = view->takeTopLevelItem(i);
            runRowChanged(gone, true);
            delete gone;
        }
    }
}

void frmOrvaneComm::columnClick(int index, int column)
{
    if (index < 0 || index > 1 || column < 1 || column > 2)
        return;
    if (sortColumn_[index] == column)
        sortDescending_[index] = !sortDescending_[index];
    sortColumn_[index] = column;
    list(index)->sortItems(column - 1, sortDescending_[index] ? Qt::DescendingOrder : Qt::AscendingOrder);
}
