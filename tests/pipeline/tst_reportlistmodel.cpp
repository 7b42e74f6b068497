#include "pipeline/ReportListModel.h"

#include <QAbstractItemModelTester>
#include <QFont>
#include <QIcon>
#include <QPixmap>
#include <QSignalSpy>
#include <QtTest>

namespace
{

ReportRows makeRows(const QList<QPair<QString, QString>> &pairs)
{
    ReportRows rows;
    for (const auto &pair : pairs) {
        ReportRow row;
        row.name = pair.first;
        row.value = pair.second;
        rows.append(row);
    }
    return rows;
}

QStringList values(const ReportListModel &model)
{
    QStringList list;
    for (int i = 0; i < model.rowCount(); ++i)
        list << model.data(model.index(i, 1)).toString();
    return list;
}

// Names deliberately mixed in case, with equal names whose report order must survive sorting.
ReportRows sample()
{
    return makeRows(
        {{"make ", "1"}, {"ISO ", "2"}, {"Make ", "3"}, {"aperture", "4"}, {"MAKE ", "5"}, {"", "6"}, {"Zoom ", "7"}});
}

} // namespace

class TestReportListModel : public QObject
{
    Q_OBJECT

private slots:
    void rowsAndRoles();
    void sorting_data();
    void sorting();
    void sortedOnArrival();
    void mapping();
    void selectionFollowsSort();
    void headerClicks();
    void headerIcons();
    void resetIsOneStep();
};

void TestReportListModel::rowsAndRoles()
{
    ReportListModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    ReportRows rows = makeRows({{"Make                ", " Canon"}, {"Make                ", "---- IFD0 ----"}});
    rows[0].bold = true;
    rows[1].header = true;
    model.setRows(rows);
    QCOMPARE(model.rowCount(), 2);
    QCOMPARE(model.columnCount(), 2);
    QCOMPARE(model.data(model.index(0, 0)).toString(), QStringLiteral("Make                "));
    QCOMPARE(model.data(model.index(0, 1)).toString(), QStringLiteral(" Canon"));
    QVERIFY(model.data(model.index(0, 0), Qt::FontRole).value<QFont>().bold());
    QVERIFY(!model.data(model.index(0, 1), Qt::FontRole).isValid());
    QVERIFY(!model.data(model.index(1, 0), Qt::FontRole).isValid());
    QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("Lable"));
    QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("Value"));
    model.clear();
    QCOMPARE(model.rowCount(), 0);
}

void TestReportListModel::sorting_data()
{
    QTest::addColumn<int>("order");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("ascending") << int(Qt::AscendingOrder) << QStringList{"6", "4", "2", "1", "3", "5", "7"};
    QTest::newRow("descending") << int(Qt::DescendingOrder) << QStringList{"7", "1", "3", "5", "2", "4", "6"};
}

void TestReportListModel::sorting()
{
    QFETCH(int, order);
    QFETCH(QStringList, expected);
    ReportListModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.setRows(sample());
    model.setSortOrder(Qt::SortOrder(order));
    QCOMPARE(values(model), (QStringList{"1", "2", "3", "4", "5", "6", "7"})); // order alone does not sort
    model.setSorting(true);
    QCOMPARE(values(model), expected);
    QStringList listOrder;
    for (const ReportRow &row : model.rowsInListOrder())
        listOrder << row.value;
    QCOMPARE(listOrder, expected);
    QCOMPARE(model.reportRows().first().value, QStringLiteral("1")); // report order kept underneath

    model.setSorting(false);
    QCOMPARE(values(model), (QStringList{"1", "2", "3", "4", "5", "6", "7"}));
}

void TestReportListModel::sortedOnArrival()
{
    ReportListModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.setSortOrder(Qt::DescendingOrder);
    model.setSorting(true);
    model.setRows(makeRows({{"a", "1"}, {"c", "2"}, {"B", "3"}}));
    QCOMPARE(values(model), (QStringList{"2", "3", "1"}));
    model.clear();
    QVERIFY(model.isSorting());
}

void TestReportListModel::mapping()
{
    ReportListModel model;
    model.setRows(sample());
    QCOMPARE(model.listRowOfReportRow(3), 3);
    model.setSorting(true);
    for (int reportRow = 0; reportRow < model.rowCount(); ++reportRow) {
        const int listRow = model.listRowOfReportRow(reportRow);
        QCOMPARE(model.reportRowOfListRow(listRow), reportRow);
        QCOMPARE(model.rowAt(listRow).value, model.reportRows().at(reportRow).value);
    }
    QCOMPARE(model.listRowOfReportRow(3), 1); // "aperture" after the empty name
    QCOMPARE(model.listRowOfReportRow(-1), -1);
    QCOMPARE(model.listRowOfReportRow(7), -1);
}

void TestReportListModel::selectionFollowsSort()
{
    ReportListModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.setRows(sample());
    const QPersistentModelIndex zoom(model.index(6, 1));
    model.setSorting(true);
    QCOMPARE(zoom.row(), 6);
    model.setSortOrder(Qt::DescendingOrder);
    QCOMPARE(zoom.row(), 0);
    QCOMPARE(zoom.data().toString(), QStringLiteral("7"));
    QCOMPARE(zoom.column(), 1);
}

void TestReportListModel::headerClicks()
{
    ReportListModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.setRows(sample());
    // First click after start: descending, triangle up; the next one ascending, triangle down.
    QCOMPARE(model.toggleSortFromHeader(), Qt::DescendingOrder);
    QVERIFY(model.isSorting());
    QCOMPARE(model.headerIcon(), ReportListModel::TriangleUp);
    QCOMPARE(values(model).first(), QStringLiteral("7"));
    QCOMPARE(model.toggleSortFromHeader(), Qt::AscendingOrder);
    QCOMPARE(model.headerIcon(), ReportListModel::TriangleDown);
    QCOMPARE(values(model).first(), QStringLiteral("6"));
}

void TestReportListModel::headerIcons()
{
    ReportListModel model;
    QSignalSpy changed(&model, &QAbstractItemModel::headerDataChanged);
    QVERIFY(!model.headerData(0, Qt::Horizontal, Qt::DecorationRole).isValid());
    model.setHeaderIcon(ReportListModel::TriangleUp);
    QCOMPARE(changed.size(), 1);
    model.setHeaderIcon(ReportListModel::TriangleUp);
    QCOMPARE(changed.size(), 1);
    const QIcon drawn = model.headerData(1, Qt::Horizontal, Qt::DecorationRole).value<QIcon>();
    QVERIFY(!drawn.isNull());

    QPixmap up(14, 14);
    up.fill(Qt::red);
    QPixmap down(14, 14);
    down.fill(Qt::blue);
    model.setHeaderIcons(QIcon(up), QIcon(down));
    auto colour = [&model](int section) {
        return model.headerData(section, Qt::Horizontal, Qt::DecorationRole)
            .value<QIcon>()
            .pixmap(14, 14)
            .toImage()
            .pixelColor(7, 7);
    };
    QCOMPARE(colour(0), QColor(Qt::red));
    QCOMPARE(colour(1), QColor(Qt::red));
    model.setHeaderIcon(ReportListModel::TriangleDown);
    QCOMPARE(colour(0), QColor(Qt::blue));
    QCOMPARE(colour(1), QColor(Qt::blue));
    model.setHeaderIcon(ReportListModel::NoIcon);
    QVERIFY(!model.headerData(0, Qt::Horizontal, Qt::DecorationRole).isValid());

    // The built-in pictures point the right way: the up triangle is wide at the bottom.
    const QImage upImage = ReportListModel::triangleImage(ReportListModel::TriangleUp);
    const QImage downImage = ReportListModel::triangleImage(ReportListModel::TriangleDown);
    QCOMPARE(upImage.size(), QSize(14, 14));
    QCOMPARE(upImage.pixelColor(7, 10), QColor(Qt::white));
    QVERIFY(upImage.pixelColor(3, 4) != QColor(Qt::white));
    QCOMPARE(downImage.pixelColor(7, 4), QColor(Qt::white));
    QVERIFY(downImage.pixelColor(3, 10) != QColor(Qt::white));
}

void TestReportListModel::resetIsOneStep()
{
    ReportListModel model;
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    ReportRows many(10000);
    for (int i = 0; i < many.size(); ++i)
        many[i].name = QString::number(i % 97);
    model.setSorting(true);
    model.setRows(many);
    QCOMPARE(reset.size(), 1);
    QCOMPARE(inserted.size(), 0);
    QCOMPARE(model.rowCount(), 10000);
}

QTEST_MAIN(TestReportListModel)
#include "tst_reportlistmodel.moc"
