// The input box: typed text in, the empty text for "E&xit " or a close, access keys, the
// question sound on opening.
#include "BoxAnswers.h"

#include "controls/CaptionedTextBox.h"
#include "controls/GradientButton.h"
#include "dialogs/SignalSound.h"
#include "dialogs/frmInputTamu.h"

#include <QApplication>
#include <QLabel>
#include <QTest>

class TestInputTamu : public BoxTestCase
{
    Q_OBJECT
private slots:
    void answers_data();
    void answers();
    void opensReadyForTyping();
};

void TestInputTamu::answers_data()
{
    QTest::addColumn<QString>("preset");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("answer");
    QTest::newRow("&OK keeps the typed text") << ""
                                              << "Nikon D850"
                                              << "ok"
                                              << "Nikon D850";
    QTest::newRow("&OK with an empty field") << ""
                                             << ""
                                             << "ok"
                                             << "";
    QTest::newRow("Alt+O") << ""
                           << "Leica"
                           << "alt+o"
                           << "Leica";
    QTest::newRow("E&xit empties the field") << ""
                                             << "Leica"
                                             << "exit"
                                             << "";
    QTest::newRow("Alt+X") << "EOS R5"
                           << "x"
                           << "alt+x"
                           << "";
    QTest::newRow("closed by the window system") << ""
                                                 << "Pentax"
                                                 << "close"
                                                 << "";
}

void TestInputTamu::answers()
{
    QFETCH(QString, preset);
    QFETCH(QString, typed);
    QFETCH(QString, how);
    QFETCH(QString, answer);
    QString left;
    onModal([&](QWidget *w) {
        auto *box = qobject_cast<frmInputTamu *>(w);
        // Access keys click after a short animation: read the field when the box is done.
        connect(box, &QDialog::finished, box, [&, box] { left = box->txtInputText()->text(); });
        QTest::keyClicks(QApplication::focusWidget(), typed);
        if (how == "ok")
            box->cmdOK()->click();
        else if (how == "exit")
            box->cmdExit()->click();
        else if (how == "alt+o")
            QTest::keyClick(box, Qt::Key_O, Qt::AltModifier);
        else if (how == "alt+x")
            QTest::keyClick(box, Qt::Key_X, Qt::AltModifier);
        else
            box->close();
    });
    QCOMPARE(InputTamu(nullptr, "Kamera", "Name der Kamera:", preset), answer);
    if (how.endsWith("x") || how == "exit")
        QCOMPARE(left, QString());
}

void TestInputTamu::opensReadyForTyping()
{
    QString title, prompt, focused;
    onModal([&](QWidget *w) {
        auto *box = qobject_cast<frmInputTamu *>(w);
        title = box->windowTitle();
        prompt = box->lblText()->text();
        focused = QApplication::focusWidget()->parent()->objectName();
        box->cmdOK()->click();
    });
    InputTamu(nullptr, "Objektiv", "Name des Objektivs:");
    QCOMPARE(title, QString("Objektiv"));
    QCOMPARE(prompt, QString("Name des Objektivs:"));
    QCOMPARE(focused, QString("txtInputText"));
    QCOMPARE(SignalSound::recorded(), QStringList{"Fragezeichen.wav"});
}

QTEST_MAIN(TestInputTamu)
#include "tst_inputtamu.moc"
