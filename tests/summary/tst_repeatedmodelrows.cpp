// A report made of tens of thousands of camera-model rows (a broken or hostile file of 1 MB)
// made the camera pass copy and search an ever longer label and source list for every row:
// the window froze for many seconds. The pass stays linear, and the camera label of real
// reports (a model repeated a few times) is as before.
#include "fixture_reportrows.h"
#include "summary/CameraSummary.h"

#include <QtTest>

namespace
{

constexpr int LabelCamera = 5;
constexpr int Rows = 70000;

ReportRows makerThenModels(const QString &model)
{
    QStringList lines{tagLine(QStringLiteral("Make"), QStringLiteral("Canon"))};
    for (int i = 0; i < Rows; ++i)
        lines << tagLine(QStringLiteral("Camera Model Name"), model);
    return rowsFromLines(lines);
}

} // namespace

class TestRepeatedModelRows : public QObject
{
    Q_OBJECT

private slots:
    void testManyModelRowsKeepTheLabelBounded();
    void testManyEmptyModelRowsKeepTheTooltipBounded();
    void testAFewRepeatedModelsStillShowEachTime();
};

void TestRepeatedModelRows::testManyModelRowsKeepTheLabelBounded()
{
    const CameraSummary result = summarizeCamera(makerThenModels(QStringLiteral("R5")), {}, QStringLiteral("/opt"));
    const QString camera = result.labels[LabelCamera];
    QVERIFY(camera.startsWith(QLatin1String("Canon R5 R5 R5")));
    // Every model row used to lengthen it by three characters: 210,000 in all.
    QVERIFY2(camera.size() < 2000, qPrintable(QString::number(camera.size())));
    QVERIFY(result.cameraPicture.size() < 2100);
}

void TestRepeatedModelRows::testManyEmptyModelRowsKeepTheTooltipBounded()
{
    // An empty model leaves the label as it is, but each row still added a source line.
    const CameraSummary result = summarizeCamera(makerThenModels(QString()), {}, QStringLiteral("/opt"));
    QCOMPARE(result.labels[LabelCamera], QStringLiteral("Canon"));
    QVERIFY(result.tooltips[LabelCamera].count(QLatin1Char('\n')) < 200);
}

void TestRepeatedModelRows::testAFewRepeatedModelsStillShowEachTime()
{
    QStringList lines{tagLine(QStringLiteral("Make"), QStringLiteral("Canon"))};
    for (int i = 0; i < 20; ++i)
        lines << tagLine(QStringLiteral("Camera Model Name"), QStringLiteral("EOS R"));
    const CameraSummary result = summarizeCamera(rowsFromLines(lines), {}, QStringLiteral("/opt"));
    QCOMPARE(result.labels[LabelCamera], QStringLiteral("Canon") + QStringLiteral(" EOS R").repeated(20));
}

QTEST_GUILESS_MAIN(TestRepeatedModelRows)
#include "tst_repeatedmodelrows.moc"
