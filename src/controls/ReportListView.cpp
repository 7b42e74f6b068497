#include "controls/ReportListView.h"

#include "pipeline/ReportListModel.h"
#include "summary/GroupNavigation.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QShortcut>

ReportListView::ReportListView(QWidget *parent) : QTreeView(parent)
{
    setObjectName(QStringLiteral("lvwExifTool"));
    setRootIsDecorated(false);
    // Every row is one line high: a million rows scroll without measuring each.
    setUniformRowHeights(true);
    setItemsExpandable(false);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setAllColumnsShowFocus(true);
    setTextElideMode(Qt::ElideRight);
    header()->setSectionsClickable(true);
    header()->setStretchLastSection(false);
    setAccessibleName(QStringLiteral("Exif data"));
    connect(new QShortcut(QKeySequence::Copy, this, nullptr, nullptr, Qt::WidgetShortcut), &QShortcut::activated, this,
            &ReportListView::copyRequested);
}

QList<int> ReportListView::selectedRowNumbers() const
{
    QList<int> rows;
    const QModelIndexList selected = selectionModel() ? selectionModel()->selectedRows() : QModelIndexList();
    for (const QModelIndex &index : selected)
        rows << index.row();
    return rows;
}

bool ReportListView::jumpToGroup(int index)
{
    auto *list = qobject_cast<ReportListModel *>(model());
    if (!list)
        return false;
    const int count = list->rowCount();
    if (index == 0) {
        if (count > 0) {
            const QModelIndex first = list->index(0, 0);
            selectionModel()->setCurrentIndex(first, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
            scrollTo(first, QAbstractItemView::PositionAtTop);
        }
        return true;
    }
    if (count > 0)
        scrollToBottom();
    const int target = GroupNavigation::targetRow(list->rowsInListOrder(), index);
    if (target >= 0)
        scrollTo(list->index(target, 0), QAbstractItemView::PositionAtTop);
    return GroupNavigation::storesIndex(index, target);
}

FilterBox::FilterBox(QWidget *parent) : QLineEdit(parent)
{
    setObjectName(QStringLiteral("txtFilter"));
    setPlaceholderText(QStringLiteral("Filter"));
    setToolTip(QStringLiteral(" Filter (Ctrl+F) "));
    setAccessibleName(QStringLiteral("Filter"));
    setClearButtonEnabled(true);
}

void FilterBox::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        clear();
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}
