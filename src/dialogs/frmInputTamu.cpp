#include "dialogs/frmInputTamu.h"

#include "controls/CaptionedTextBox.h"
#include "controls/GradientButton.h"
#include "controls/Twips.h"
#include "dialogs/BoxLifetime.h"
#include "dialogs/MsgTamuRules.h"
#include "dialogs/SignalSound.h"
#include "dialogs/modFormUtils.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QPointer>

namespace
{
QFont segoe(qreal points)
{
    QFont f(QStringLiteral("Segoe UI"));
    f.setPointSizeF(points);
    return f;
}
} // namespace

frmInputTamu::frmInputTamu(QWidget *parent) : QDialog(parent)
{
    using namespace MsgTamuRules;
    setObjectName(QStringLiteral("frmInputTamu"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, vbColour(DefaultBackColour));
    setPalette(pal);
    setFont(segoe(9));
    setFixedSize(Twips::toPx(5460), Twips::toPx(1800));

    m_input = new CaptionedTextBox(CaptionedTextBox::Mode::SingleLine, this);
    m_input->setObjectName(QStringLiteral("txtInputText"));
    m_input->setGeometry(Twips::rect(150, 1275, 5115, 390));
    m_input->setFont(segoe(9.75));
    m_input->setTextColour(DefaultForeColour);

    m_ok = new GradientButton(QStringLiteral("&OK"), this);
    m_ok->setObjectName(QStringLiteral("cmdOK"));
    m_ok->setGeometry(Twips::rect(4200, 150, 1065, 390));
    connect(m_ok, &QPushButton::clicked, this, &frmInputTamu::cmdOK_Click);

    m_exit = new GradientButton(QStringLiteral("E&xit "), this);
    m_exit->setObjectName(QStringLiteral("cmdExit"));
    m_exit->setGeometry(Twips::rect(4200, 675, 1065, 390));
    connect(m_exit, &QPushButton::clicked, this, &frmInputTamu::cmdExit_Click);

    m_prompt = new QLabel(this);
    m_prompt->setObjectName(QStringLiteral("lblText"));
    m_prompt->setGeometry(Twips::rect(150, 150, 3840, 915));
    m_prompt->setWordWrap(true);
    m_prompt->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QPalette promptPal = m_prompt->palette();
    promptPal.setColor(QPalette::WindowText, vbColour(DefaultForeColour));
    m_prompt->setPalette(promptPal);

    connect(qGuiApp, &QGuiApplication::applicationStateChanged, this, &frmInputTamu::applicationStateChanged);

    setTabOrder(m_input, m_ok);
    setTabOrder(m_ok, m_exit);
    m_input->setFocus();
}

bool frmInputTamu::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::Show:
        m_activatedSinceShown = false;
        break;
    case QEvent::WindowActivate:
        // The question sounds at each activation: when the box opens, and whenever it becomes
        // the active window again from another window of the program (a message box over it
        // closing, the user clicking it). An activation that only brings the program back from
        // another program asks nothing new, as no activation across programs ever did.
        if (!m_activatedSinceShown || !m_backFromOtherProgram)
            SignalSound::playSignal(QStringLiteral("Fragezeichen.wav"));
        m_activatedSinceShown = true;
        m_backFromOtherProgram = false;
        break;
    default:
        break;
    }
    return QDialog::event(event);
}

void frmInputTamu::applicationStateChanged(Qt::ApplicationState state)
{
    // The program turns active just before its newly focused window is activated.
    m_backFromOtherProgram =
        state == Qt::ApplicationActive && windowHandle() && QGuiApplication::focusWindow() == windowHandle();
}

void frmInputTamu::cmdOK_Click()
{
    accept();
}

void frmInputTamu::cmdExit_Click()
{
    m_input->setText(QString());
    reject();
}

QString InputTamu(QWidget *owner, const QString &title, const QString &prompt, const QString &preset)
{
    BoxLifetime::watch();
    QPointer<frmInputTamu> box = new frmInputTamu(owner ? owner->window() : nullptr);
    box->setWindowTitle(title);
    box->lblText()->setText(prompt);
    box->txtInputText()->setText(preset);
    PlaceForm(box, owner, QStringLiteral("center"), 10);
    const int answer = box->exec();
    // Closed without "&OK" (window system, Escape) answers like "E&xit ".
    const QString text = box && answer == QDialog::Accepted ? box->txtInputText()->text() : QString();
    delete box.data();
    return text;
}
