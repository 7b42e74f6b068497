#include "pipeline/ReportListModel.h"

#include <QAbstractItemModelTester>
#include <QtTest>

namespace
{
ReportRow tag(const char *name, const char *value)
{
    return {QString::fromUtf8(name), QString::fromUtf8(value), false, false};
}
ReportRow header(const char *carried, const char *line)
{
    return {QString::fromUtf8(carried), QString::fromUtf8(line), false, true};
}

ReportRows sample()
{
    return {header("", "---- IFD0 ----"),
            tag("Make                            ", " Canon"),
            tag("Camera Model Name               ", " Canon EOS R5"),
            header("Camera Model Name               ", "---- ExifIFD ----"),
            tag("Exposure Time                   ", " 1/250"),
            tag("ISO                             ", " 200"),
            header("ISO                             ", "---- XMP-dc ----"),
            tag("Creator                         ", " Jürgen Müller")};
}

QStringList values(const ReportRows &rows)
{
    QStringList out;
    for (const ReportRow &r : rows)
        out << r.value.trimmed();
    return out;
}
} // namespace

// The filter box narrows the list without reading the report again; headers of groups with a
// match stay to tell where a row belongs, and the panel still sees every row.
class tst_ListFilter : public QObject
{
    Q_OBJECT
private slots:
    void matches_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("empty shows all") << "" << values(sample());
        QTest::newRow("blanks only show all") << "   " << values(sample());
        QTest::newRow("name, any case") << "iso" << QStringList{"---- ExifIFD ----", "200"};
        QTest::newRow("value") << "canon" << QStringList{"---- IFD0 ----", "Canon", "Canon EOS R5"};
        QTest::newRow("umlaut value") << "MÜLLER" << QStringList{"---- XMP-dc ----", "Jürgen Müller"};
        // The padding after a name is no part of it: "Make " does not match every padded name.
        QTest::newRow("padding ignored") << "Make  x" << QStringList{};
        QTest::newRow("across name and value is no match") << "Make Canon" << QStringList{};
        QTest::newRow("header text alone is no match") << "ExifIFD" << QStringList{};
    }
    void matches()
    {
        QFETCH(QString, filter);
        QFETCH(QStringList, shown);
        ReportListModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setRows(sample());
        model.setFilter(filter);
        QCOMPARE(values(model.rowsInListOrder()), shown);
        QCOMPARE(model.rowCount(), shown.size());
        QCOMPARE(model.rowsInSortedOrder().size(), sample().size());
    }

    void filterWithSortAndNewReport()
    {
        ReportListModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setRows(sample());
        model.setFilter("e");
        model.setSorting(true);
        model.setSortOrder(Qt::DescendingOrder);
        const ReportRows shown = model.rowsInListOrder();
        for (int i = 1; i < shown.size(); ++i)
            QVERIFY(shown[i - 1].name.compare(shown[i].name, Qt::CaseInsensitive) >= 0);
        for (int i = 0; i < model.rowCount(); ++i) {
            const int reportRow = model.reportRowOfListRow(i);
            QCOMPARE(model.listRowOfReportRow(reportRow), i);
        }
        // A row the filter hides has no list row.
        model.setFilter("1/250");
        QCOMPARE(model.listRowOfReportRow(1), -1);
        QCOMPARE(model.rowCount(), 2);
        // The next report keeps the filter.
        model.setRows(sample());
        QCOMPARE(model.rowCount(), 2);
        model.setFilter(QString());
        QCOMPARE(model.rowCount(), sample().size());
    }
};

QTEST_GUILESS_MAIN(tst_ListFilter)
#include "tst_listfilter.moc"
