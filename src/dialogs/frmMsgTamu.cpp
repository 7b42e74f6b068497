#include "dialogs/frmMsgTamu.h"

#include "controls/CaptionedTextBox.h"
#include "controls/GradientButton.h"
#include "controls/SvgPictures.h"
#include "controls/Twips.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QPointer>

using namespace MsgTamuRules;

namespace
{

// Boxes shown and not yet answered, oldest first.
QList<QPointer<frmMsgTamu>> &openBoxes()
{
    static QList<QPointer<frmMsgTamu>> boxes;
    return boxes;
}

const char *const IconFiles[5] = {nullptr, ":/dialogs/MsgInformation.svg", ":/dialogs/MsgQuestion.svg",
                                  ":/dialogs/MsgExclamation.svg", ":/dialogs/MsgStop.svg"};
constexpr int IconPixels = 34;

QFont segoe(qreal points)
{
    QFont f(QStringLiteral("Segoe UI"));
    f.setPointSizeF(points);
    return f;
}

constexpr int StripTop = 1200;
constexpr int StripHeight = 690;
constexpr int ButtonTop = 150;
constexpr int ButtonHeight = 390;

} // namespace

frmMsgTamu::frmMsgTamu(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmMsgTamu"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setAutoFillBackground(true);
    setFont(segoe(9));
    setFixedSize(Twips::toPx(DesignedClientWidth), Twips::toPx(DesignedClientHeight));

    // Behind the message text and tab index 0: holds the focus when no button takes it.
    m_dummy = new CaptionedTextBox(CaptionedTextBox::Mode::SingleLine, this);
    m_dummy->setObjectName(QStringLiteral("txtdummy"));
    m_dummy->setGeometry(Twips::rect(1050, 225, 240, 285));
    m_dummy->setFrameVisible(false);
    m_dummy->setReadOnly(true);

    m_text = new CaptionedTextBox(CaptionedTextBox::Mode::MultiLine, this);
    m_text->setObjectName(QStringLiteral("txtMsgText"));
    m_text->setGeometry(Twips::rect(975, 150, 4965, 900));
    m_text->setReadOnly(true);
    m_text->setFrameVisible(false);
    m_text->setFont(segoe(9.75));

    for (int i = 1; i <= 4; ++i) {
        auto *img = new QLabel(this);
        img->setObjectName(QStringLiteral("imgMsgIcon%1").arg(i));
        img->setGeometry(Twips::rect(225, 300, 525, 525));
        img->setAlignment(Qt::AlignCenter);
        img->setPixmap(
            SvgPictures::pixmap(QLatin1String(IconFiles[i]), QSize(IconPixels, IconPixels), devicePixelRatioF()));
        img->hide();
        m_icons[i] = img;
    }

    m_strip = new QFrame(this);
    m_strip->setObjectName(QStringLiteral("fraMsgButton"));
    m_strip->setFrameShape(QFrame::NoFrame);
    m_strip->setAutoFillBackground(true);
    QPalette stripPal = m_strip->palette();
    stripPal.setColor(QPalette::Window, vbColour(ButtonStripColour));
    m_strip->setPalette(stripPal);
    m_strip->setGeometry(Twips::rect(0, StripTop, DesignedClientWidth, StripHeight));

    for (int i = 0; i < ButtonCount; ++i) {
        const ButtonSpec &spec = button(i);
        auto *b = new GradientButton(QString::fromUtf8(spec.caption), m_strip);
        b->setObjectName(QStringLiteral("cmdButton%1").arg(i));
        b->setFont(segoe(9));
        b->setGeometry(Twips::rect(spec.left, ButtonTop, spec.width, ButtonHeight));
        b->setVisible(i == 0);
        connect(b, &QPushButton::clicked, this, [this, i] { cmdButton_Click(i); });
        m_buttons[i] = b;
    }

    // Tab order by the designed tab indices: txtdummy, the buttons 0 to 5, the text, button 6.
    QWidget *chain[] = {m_dummy,      m_buttons[0], m_buttons[1], m_buttons[2], m_buttons[3],
                        m_buttons[4], m_buttons[5], m_text,       m_buttons[6]};
    for (size_t i = 1; i < sizeof chain / sizeof chain[0]; ++i)
        setTabOrder(chain[i - 1], chain[i]);

    m_timer.setInterval(1000);
    connect(&m_timer, &QTimer::timeout, this, &frmMsgTamu::Timer_Timer);

    setColours(DefaultBackColour, DefaultForeColour);
}

frmMsgTamu::~frmMsgTamu()
{
    openBoxes().removeAll(QPointer<frmMsgTamu>(this));
}

frmMsgTamu *frmMsgTamu::current()
{
    auto &boxes = openBoxes();
    boxes.removeAll(QPointer<frmMsgTamu>());
    return boxes.isEmpty() ? nullptr : boxes.last().data();
}

GradientButton *frmMsgTamu::cmdButton(int index) const
{
    return index >= 0 && index < ButtonCount ? m_buttons[index] : nullptr;
}

QLabel *frmMsgTamu::imgMsgIcon(int index) const
{
    return index >= 1 && index <= 4 ? m_icons[index] : nullptr;
}

int frmMsgTamu::shownIcon() const
{
    for (int i = 1; i <= 4; ++i)
        if (!m_icons[i]->isHidden())
            return i;
    return 0;
}

int frmMsgTamu::defaultButtonIndex() const
{
    for (int i = 0; i < ButtonCount; ++i)
        if (m_buttons[i]->isDefault())
            return i;
    return -1;
}

void frmMsgTamu::setColours(quint32 back, quint32 fore)
{
    QPalette pal = palette();
    pal.setColor(QPalette::Window, vbColour(back));
    pal.setColor(QPalette::WindowText, vbColour(fore));
    setPalette(pal);
    for (CaptionedTextBox *box : {m_text, m_dummy}) {
        box->setTextColour(fore);
        box->setBackColour(back);
        box->setFocusedBackColour(back);
    }
}

void frmMsgTamu::applyStyle(const Style &style, int defaultButton)
{
    for (int i = 1; i <= 4; ++i)
        m_icons[i]->setVisible(int(style.icon) == i);
    for (int i = 0; i < ButtonCount; ++i)
        m_buttons[i]->setVisible(style.buttons.contains(i));
    m_shownButtons = style.buttons;
    m_defaultButton = defaultButton;
}

int frmMsgTamu::setMessage(const QString &text)
{
    m_text->setText(text);
    // Measured in the font the box shows, which is taller than the one the design was drawn
    // for, at the narrow width that the layout rules start from.
    return neededTextHeight(m_text->heightForTextAt(Twips::toPx(NarrowTextWidth)));
}

void frmMsgTamu::applySize(const Size &size)
{
    const int clientWidth = Twips::toPx(size.windowWidth - FrameWidth);
    const int clientHeight = Twips::toPx(size.windowHeight - FrameHeight);
    setFixedSize(clientWidth, clientHeight);
    m_text->setGeometry(Twips::rect(975, 150, size.textWidth, size.textHeight));
    m_strip->setGeometry(0, clientHeight - Twips::toPx(StripHeight), Twips::toPx(size.stripWidth),
                         Twips::toPx(StripHeight));
}

void frmMsgTamu::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    // The button strip stays on the bottom edge whatever height the text asks for.
    m_strip->move(0, height() - m_strip->height());
}

void frmMsgTamu::start(int seconds)
{
    m_countdown = Countdown(windowTitle(), seconds);
    m_answered = false;
    pubMsgTamu.clear();
    setWindowModality(countsDown(seconds) ? Qt::NonModal : Qt::ApplicationModal);
    if (m_countdown.active())
        setWindowTitle(m_countdown.caption());
    m_dummy->setFocus();
    openBoxes().append(this);
    show();
    activateWindow();
    if (m_countdown.active())
        m_timer.start();
}

void frmMsgTamu::suspend()
{
    if (m_answered || m_suspended)
        return;
    m_suspended = true;
    m_timer.stop();
    hide();
}

void frmMsgTamu::resume()
{
    if (m_answered || !m_suspended)
        return;
    m_suspended = false;
    // Back on top of the stack: it is the box the user sees again.
    openBoxes().removeAll(QPointer<frmMsgTamu>(this));
    openBoxes().append(this);
    show();
    activateWindow();
    if (m_countdown.active())
        m_timer.start();
}

bool frmMsgTamu::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate)
        Form_Activate();
    return QDialog::event(event);
}

void frmMsgTamu::Form_Activate()
{
    for (GradientButton *b : m_buttons)
        b->setDefault(false);
    const int chosen = MsgTamuRules::defaultButton(m_defaultButton, m_shownButtons);
    if (chosen >= 0) {
        m_buttons[chosen]->setDefault(true);
        m_buttons[chosen]->setFocus();
    }
}

void frmMsgTamu::cmdButton_Click(int index)
{
    finish(QString::fromUtf8(button(index).result));
}

void frmMsgTamu::Timer_Timer()
{
    const bool done = m_countdown.tick();
    setWindowTitle(m_countdown.caption());
    if (done)
        finish(QString());
}

void frmMsgTamu::finish(const QString &word)
{
    if (m_answered)
        return;
    m_answered = true;
    m_timer.stop();
    pubMsgTamu = word;
    openBoxes().removeAll(QPointer<frmMsgTamu>(this));
    hide();
    emit answered();
}

void frmMsgTamu::closeEvent(QCloseEvent *event)
{
    // Closed by the window system, not by a button: the call answers with the empty text.
    finish(QString());
    event->accept();
}

void frmMsgTamu::reject()
{
    finish(QString());
}
