#include "controls/ReportListView.h"

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
