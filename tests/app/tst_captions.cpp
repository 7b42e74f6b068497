// Every caption of the main window is whole in its designed box: what a control needs for its
// caption in its font, as its style measures it, is no wider than the control. CTest runs this
// program once per scale users run at (QT_SCALE_FACTOR 1, 1.5 and 2), since font metrics round
// differently at each.
#include "app/frmExifTool.h"
#include "controls/Fonts.h"
#include "controls/GradientButton.h"
#include "fixture_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOption>
#include <QtTest>

namespace
{
// What the control needs across for its caption (and its indicator or picture).
int neededWidth(QWidget *w)
{
    if (auto *b = qobject_cast<GradientButton *>(w))
        return b->sizeHint().width(); // it draws its own face: no style is asked
    auto *box = qobject_cast<QAbstractButton *>(w);
    QStyleOptionButton opt;
    opt.initFrom(box);
    opt.text = box->text();
    const QSize text = box->fontMetrics().size(Qt::TextShowMnemonic, box->text());
    const QStyle::ContentsType type = qobject_cast<QRadioButton *>(w) ? QStyle::CT_RadioButton : QStyle::CT_CheckBox;
    return box->style()->sizeFromContents(type, &opt, text, box).width();
}
} // namespace

class tst_Captions : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase() { m_window.reset(); }
    void captionFitsItsControl_data();
    void captionFitsItsControl();

private:
    QTemporaryDir m_dir;
    std::unique_ptr<ShownWindow> m_window;
};

void tst_Captions::initTestCase()
{
    // As the program starts: its stand-in faces and its style.
    installDesignLook();
    m_window = std::make_unique<ShownWindow>(m_dir);
    m_window->service.setKeepRunning(false);
    m_window->load();
}

void tst_Captions::captionFitsItsControl_data()
{
    QTest::addColumn<QString>("name");
    for (const char *name : {"cmdExif", "cmdAnzeigen", "cmdCopy", "cmdExit", "chkExiftool", "chkTXT", "chkSort",
                             "optExif0", "optExif1", "optExif2", "optExif3", "optExif4", "optExif5"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

void tst_Captions::captionFitsItsControl()
{
    QFETCH(QString, name);
    auto *control = m_window->window.findChild<QAbstractButton *>(name);
    QVERIFY(control);
    const int needed = neededWidth(control);
    QVERIFY2(needed <= control->width(), qPrintable(QStringLiteral("\"%1\" needs %2 px at scale %3, has %4 (%5)")
                                                        .arg(control->text())
                                                        .arg(needed)
                                                        .arg(control->devicePixelRatioF())
                                                        .arg(control->width())
                                                        .arg(control->fontInfo().family())));
}

QTEST_MAIN(tst_Captions)
#include "tst_captions.moc"
