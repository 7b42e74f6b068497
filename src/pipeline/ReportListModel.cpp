#include "pipeline/ReportListModel.h"

#include <QFont>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <algorithm>

ReportListModel::ReportListModel(QObject *parent) : QAbstractTableModel(parent)
{
}

void ReportListModel::sortOrder_(QList<int> *order, const QStringList *names) const
{
    order->resize(m_rows.size());
    for (int i = 0; i < order->size(); ++i)
        (*order)[i] = i;
    const ReportRows &rows = m_rows;
    auto name = [&rows, names](int row) -> const QString & { return names ? names->at(row) : rows.at(row).name; };
    if (m_sortOrder == Qt::AscendingOrder) {
        std::stable_sort(order->begin(), order->end(), [&name](int a, int b) {
            return QString::compare(name(a), name(b), Qt::CaseInsensitive) < 0;
        });
    } else {
        std::stable_sort(order->begin(), order->end(), [&name](int a, int b) {
            return QString::compare(name(a), name(b), Qt::CaseInsensitive) > 0;
        });
    }
}

void ReportListModel::setRows(ReportRows rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    buildOrder();
    endResetModel();
}

void ReportListModel::clear()
{
    setRows(ReportRows());
}

const ReportRows &ReportListModel::reportRows() const
{
    return m_rows;
}

bool ReportListModel::isMapped() const
{
    return m_sorting || !m_filter.isEmpty();
}

void ReportListModel::buildOrder()
{
    m_order.clear();
    m_inverse.clear();
    if (!isMapped())
        return;
    if (m_sorting) {
        sortOrder_(&m_order);
    } else {
        m_order.resize(m_rows.size());
        for (int i = 0; i < m_order.size(); ++i)
            m_order[i] = i;
    }
    if (!m_filter.isEmpty()) {
        const QList<bool> shown = filterMatches(m_rows, m_filter);
        m_order.removeIf([&shown](int reportRow) { return !shown.at(reportRow); });
    }
    m_inverse.fill(-1, m_rows.size());
    for (int i = 0; i < m_order.size(); ++i)
        m_inverse[m_order.at(i)] = i;
}

QList<bool> ReportListModel::filterMatches(const ReportRows &rows, const QString &filter)
{
    // Blanks that line up the colons are no part of a name or value: compare trimmed texts.
    QList<bool> shown(rows.size(), false);
    int header = -1;
    for (int i = 0; i < rows.size(); ++i) {
        const ReportRow &row = rows.at(i);
        if (row.header) {
            header = i;
            continue;
        }
        if (row.name.trimmed().contains(filter, Qt::CaseInsensitive) ||
            row.value.trimmed().contains(filter, Qt::CaseInsensitive)) {
            shown[i] = true;
            if (header >= 0)
                shown[header] = true; // its group has a match: the header stays, to tell where it is
        }
    }
    return shown;
}

void ReportListModel::setFilter(const QString &text)
{
    const QString filter = text.trimmed();
    if (filter == m_filter)
        return;
    beginResetModel();
    m_filter = filter;
    buildOrder();
    endResetModel();
}

QList<int> ReportListModel::reportRowsInSortedOrder(const QStringList &names) const
{
    QList<int> order;
    if (m_sorting) {
        sortOrder_(&order, names.size() == m_rows.size() ? &names : nullptr);
    } else {
        order.resize(m_rows.size());
        for (int i = 0; i < order.size(); ++i)
            order[i] = i;
    }
    return order;
}

ReportRows ReportListModel::rowsInSortedOrder() const
{
    if (!m_sorting)
        return m_rows;
    const QList<int> order = reportRowsInSortedOrder();
    ReportRows list;
    list.reserve(m_rows.size());
    for (int reportRow : order)
        list.append(m_rows.at(reportRow));
    return list;
}

int ReportListModel::reportRowOfListRow(int listRow) const
{
    if (listRow < 0 || listRow >= rowCount())
        return -1;
    return isMapped() ? m_order.at(listRow) : listRow;
}

int ReportListModel::listRowOfReportRow(int reportRow) const
{
    if (reportRow < 0 || reportRow >= m_rows.size())
        return -1;
    return isMapped() ? m_inverse.at(reportRow) : reportRow;
}

const ReportRow &ReportListModel::rowAt(int listRow) const
{
    return m_rows.at(reportRowOfListRow(listRow));
}

ReportRows ReportListModel::rowsInListOrder() const
{
    if (!isMapped())
        return m_rows;
    ReportRows list;
    list.reserve(m_rows.size());
    for (int reportRow : m_order)
        list.append(m_rows.at(reportRow));
    return list;
}

int ReportListModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid())
        return 0;
    return int(isMapped() ? m_order.size() : m_rows.size());
}

int ReportListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 2;
}

QVariant ReportListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() > 1)
        return QVariant();
    const ReportRow &row = rowAt(index.row());
    if (role == Qt::DisplayRole)
        return index.column() == 0 ? row.name : row.value;
    if (role == Qt::FontRole && index.column() == 0 && row.bold) {
        QFont font;
        font.setBold(true);
        return font;
    }
    return QVariant();
}

QVariant ReportListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section > 1)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return section == 0 ? QStringLiteral("Lable") : QStringLiteral("Value");
    if (role == Qt::DecorationRole && m_icon != NoIcon) {
        const QIcon &chosen = m_icon == TriangleUp ? m_up : m_down;
        if (!chosen.isNull())
            return chosen;
        // A pixmap needs the GUI application; without one the header simply has no picture.
        if (qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
            return QIcon(QPixmap::fromImage(triangleImage(m_icon)));
    }
    return QVariant();
}

void ReportListModel::relayout(bool sorting, Qt::SortOrder order)
{
    if (sorting == m_sorting && order == m_sortOrder)
        return;
    if (!sorting && !m_sorting) {
        m_sortOrder = order;
        return;
    }
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList persistent = persistentIndexList();
    QList<int> persistentReportRows;
    persistentReportRows.reserve(persistent.size());
    for (const QModelIndex &index : persistent)
        persistentReportRows.append(reportRowOfListRow(index.row()));

    m_sorting = sorting;
    m_sortOrder = order;
    buildOrder();

    QModelIndexList moved;
    moved.reserve(persistent.size());
    for (int i = 0; i < persistent.size(); ++i)
        moved.append(index(listRowOfReportRow(persistentReportRows.at(i)), persistent.at(i).column()));
    changePersistentIndexList(persistent, moved);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void ReportListModel::setSorting(bool on)
{
    relayout(on, m_sortOrder);
}

bool ReportListModel::isSorting() const
{
    return m_sorting;
}

void ReportListModel::setSortOrder(Qt::SortOrder order)
{
    relayout(m_sorting, order);
}

Qt::SortOrder ReportListModel::sortOrder() const
{
    return m_sortOrder;
}

Qt::SortOrder ReportListModel::toggleSortFromHeader()
{
    const Qt::SortOrder next = m_sortOrder == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    relayout(true, next);
    setHeaderIcon(next == Qt::DescendingOrder ? TriangleUp : TriangleDown);
    return next;
}

void ReportListModel::setHeaderIcon(HeaderIcon icon)
{
    if (icon == m_icon)
        return;
    m_icon = icon;
    emit headerDataChanged(Qt::Horizontal, 0, 1);
}

ReportListModel::HeaderIcon ReportListModel::headerIcon() const
{
    return m_icon;
}

void ReportListModel::setHeaderIcons(const QIcon &up, const QIcon &down)
{
    m_up = up;
    m_down = down;
    if (m_icon != NoIcon)
        emit headerDataChanged(Qt::Horizontal, 0, 1);
}

QImage ReportListModel::triangleImage(HeaderIcon icon)
{
    QImage image(14, 14, QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor(224, 224, 224));
    if (icon == NoIcon)
        return image;
    QPainterPath triangle;
    if (icon == TriangleUp) {
        triangle.moveTo(7, 2.5);
        triangle.lineTo(12, 11.5);
        triangle.lineTo(2, 11.5);
    } else {
        triangle.moveTo(2, 2.5);
        triangle.lineTo(12, 2.5);
        triangle.lineTo(7, 11.5);
    }
    triangle.closeSubpath();
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(128, 128, 128), 1.0));
    painter.setBrush(Qt::white);
    painter.drawPath(triangle);
    painter.end();
    return image;
}
