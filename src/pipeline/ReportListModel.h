#pragma once

#include "pipeline/ReportRow.h"

#include <QAbstractTableModel>
#include <QIcon>
#include <QImage>
#include <QList>

// The rows of lvwExifTool: name ("Lable") and value ("Value"), bold marks, and the list's sort
// state (on/off, order, the icon both headers show). The rows are kept in report order; sorting
// only changes the order the view sees, so switching it off restores the report's order.
class ReportListModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum HeaderIcon { NoIcon = 0, TriangleUp = 1, TriangleDown = 2 };

    explicit ReportListModel(QObject *parent = nullptr);

    void setRows(ReportRows rows); // one reset; sorted at once while sorting is on
    void clear();
    const ReportRows &reportRows() const;      // in report order
    const ReportRow &rowAt(int listRow) const; // in list order (sorted or not)
    ReportRows rowsInListOrder() const;        // the rows shown, in list order
    ReportRows rowsInSortedOrder() const;      // every row, filter or not, in the sort order
    // Their report rows; sorted by the given names instead (one per row) when there are such.
    QList<int> reportRowsInSortedOrder(const QStringList &names = {}) const;

    // Shows only the rows whose name or value contains the text (case-insensitive, compared
    // without the blanks that line up the colons), and the header rows of groups with a match.
    // The empty text shows every row.
    void setFilter(const QString &text);
    static QList<bool> filterMatches(const ReportRows &rows, const QString &filter);
    int listRowOfReportRow(int reportRow) const; // -1 when out of range
    int reportRowOfListRow(int listRow) const;   // -1 when out of range

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // Sorting is always by the name column, compared case-insensitively; rows with equal names
    // keep their report order in both directions. Changing it keeps the view's selection.
    void setSorting(bool on);
    bool isSorting() const;
    void setSortOrder(Qt::SortOrder order);
    Qt::SortOrder sortOrder() const;

    // lvwExifTool_ColumnClick's effect on the list: sorting on, the order reversed, and the
    // icon that goes with the new order (TriangleUp for descending, TriangleDown for ascending).
    Qt::SortOrder toggleSortFromHeader();

    void setHeaderIcon(HeaderIcon icon);
    HeaderIcon headerIcon() const;
    // The pictures for TriangleUp and TriangleDown; without them the model draws its own.
    void setHeaderIcons(const QIcon &up, const QIcon &down);

    // imlKopf's pictures: a 14 x 14 outlined triangle in grey and white on light grey.
    static QImage triangleImage(HeaderIcon icon);

private:
    void sortOrder_(QList<int> *order, const QStringList *names = nullptr) const;
    void relayout(bool sorting, Qt::SortOrder order);
    bool isMapped() const;
    void buildOrder();

    ReportRows m_rows;
    QList<int> m_order;   // list row -> report row, while sorting or filtering
    QList<int> m_inverse; // report row -> list row (-1: filtered out), while sorting or filtering
    QString m_filter;
    bool m_sorting = false;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    HeaderIcon m_icon = NoIcon;
    QIcon m_up;
    QIcon m_down;
};
