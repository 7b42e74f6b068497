#include "about/frmInfo.h"

#include "about/Border3D.h"
#include "about/Credits.h"
#include "controls/DesignPalette.h"
#include "controls/SvgPictures.h"
#include "controls/Twips.h"
#include "dialogs/BoxLifetime.h"
#include "dialogs/SignalSound.h"
#include "dialogs/modFormUtils.h"
#include "dialogs/modMsgTamu.h"
#include "exiftool/ProgramFolder.h"

#include <QCursor>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QTimer>

#include <exception>
#include <new>

namespace
{

// The window's layout, in twips.
constexpr int ClientWidth = 6795;
constexpr int ClientHeight = 2565;
constexpr int RahmenLeft = 75, RahmenTop = 75, RahmenWidth = 6615, RahmenHeight = 2415;
constexpr int BildTamuLeft = 300, BildTamuTop = 525, BildTamuWidth = 2370, BildTamuHeight = 1485;
constexpr int Picture1Left = 2850, Picture1Top = 300, Picture1Width = 3735, Picture1Height = 1995;
constexpr int Picture2Left = 0, Picture2Top = 150, Picture2Width = 3690, Picture2Height = 1710;

constexpr quint32 BackColour = DesignPalette::SteelBlue;
constexpr quint32 WindowForeColour = 0;
constexpr quint32 PictureForeColour = DesignPalette::Navy;

constexpr int RahmenDicke = 8;
constexpr int BildTamuDicke = 3;

// The hand's fingertip in the cursor picture.
constexpr int CursorHotX = 11;
constexpr int CursorHotY = 1;

QFont infoFont()
{
    QFont font;
    // Segoe UI where it is installed; a plain sans face of the same size elsewhere.
    font.setFamilies({QStringLiteral("Segoe UI"), QStringLiteral("DejaVu Sans"), QStringLiteral("sans-serif")});
    font.setPointSize(9);
    return font;
}

void setColours(QWidget *widget, quint32 back, quint32 fore)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, vbColour(back));
    palette.setColor(QPalette::WindowText, vbColour(fore));
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

} // namespace

frmInfo::frmInfo(const QString &programName, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), m_programName(programName)
{
    setObjectName(QStringLiteral("frmInfo"));
    setFixedSize(Twips::toPx(ClientWidth), Twips::toPx(ClientHeight));
    setColours(this, BackColour, WindowForeColour);
    setFont(infoFont());
    setWindowIcon(SvgPictures::icon(QStringLiteral(":/about/BildTamu.svg")));

    // Created first, so that it comes first in the tab order and holds the focus.
    m_picture1 = new QWidget(this);
    m_picture1->setObjectName(QStringLiteral("Picture1"));
    m_picture1->setGeometry(Twips::rect(Picture1Left, Picture1Top, Picture1Width, Picture1Height));
    setColours(m_picture1, BackColour, PictureForeColour);
    m_picture1->setFocusPolicy(Qt::StrongFocus);
    m_picture1->installEventFilter(this);

    m_picture2 = new QLabel(m_picture1);
    m_picture2->setObjectName(QStringLiteral("Picture2"));
    m_picture2->setGeometry(Twips::rect(Picture2Left, Picture2Top, Picture2Width, Picture2Height));
    setColours(m_picture2, BackColour, PictureForeColour);
    m_picture2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_picture2->setFocusPolicy(Qt::StrongFocus);
    m_picture2->setToolTip(QStringLiteral(" Start/Stop "));
    m_picture2->installEventFilter(this);

    const QRect bild = Twips::rect(BildTamuLeft, BildTamuTop, BildTamuWidth, BildTamuHeight);
    m_bildTamu = new QLabel(this);
    m_bildTamu->setObjectName(QStringLiteral("BildTamu"));
    m_bildTamu->setGeometry(bild);
    m_bildTamu->setPixmap(
        SvgPictures::pixmap(QStringLiteral(":/about/BildTamu.svg"), bild.size(), devicePixelRatioF()));
    m_bildTamu->setCursor(QCursor(SvgPictures::pixmap(QStringLiteral(":/about/HandCursor.svg"), QSize(32, 32), 1.0),
                                  CursorHotX, CursorHotY));
    m_bildTamu->setToolTip(QStringLiteral(" Exit "));
    m_bildTamu->installEventFilter(this);

    m_timer1 = new QTimer(this);
    m_timer1->setInterval(Credits::TickMs);
    connect(m_timer1, &QTimer::timeout, this, &frmInfo::Timer1_Timer);

    m_lines = Credits::CreditLines(m_programName);
    m_picture1->setFocus();
    guarded("frmInfo_Form_Load", [this] { Form_Load(); });
}

frmInfo::~frmInfo()
{
    // Also when the window goes without having been closed, the music must not outlive it.
    if (!m_unloaded)
        Form_Unload();
}

bool frmInfo::isScrolling() const
{
    return m_timer1->isActive();
}
int frmInfo::stripTop() const
{
    return m_picture2->y();
}
int frmInfo::stripHeight() const
{
    return m_picture2->height();
}

template <typename Procedure> void frmInfo::guarded(const char *label, Procedure &&procedure)
{
    try {
        procedure();
    } catch (const std::bad_alloc &) {
        reportFailure(label, 7, QStringLiteral("Out of memory"));
    } catch (const std::exception &e) {
        reportFailure(label, 5, QString::fromLocal8Bit(e.what()));
    }
}

template <typename Procedure> void frmInfo::guardedLater(const char *label, Procedure &&procedure)
{
    // A modal report must not open from inside resizing or painting: it follows once they end.
    const auto later = [this, label](int number, const QString &description) {
        QTimer::singleShot(0, this, [this, label, number, description] { reportFailure(label, number, description); });
    };
    try {
        procedure();
    } catch (const std::bad_alloc &) {
        later(7, QStringLiteral("Out of memory"));
    } catch (const std::exception &e) {
        later(5, QString::fromLocal8Bit(e.what()));
    }
}

void frmInfo::reportFailure(const char *label, int number, const QString &description)
{
    // The report is modal but the 50 ms timer is not: a failing tick left running would open
    // a new report every 50 ms beneath the first. A click on the strip resumes afterwards.
    m_timer1->stop();
    UniformErrorReport(this, QString::fromLatin1(label), number, description);
}

void frmInfo::Form_Load()
{
    Bildtext();
}

void frmInfo::Bildtext()
{
    guarded("Infobox_Bildtext", [this] {
        // Once per cycle, from its beginning: the next cycle starts it again.
        SignalSound::play(ProgramFolder::assetUrl(QStringLiteral("about"), QStringLiteral("Blues.wav")));
        m_timer1->stop();
        m_picture2->hide();

        // The strip is drawn once per cycle and afterwards only moved.
        const QFont font = m_picture1->font();
        QImage strip;
        guarded("frmInfo_PrintCenter", [&] {
            strip = Credits::DrawCreditStrip(m_lines, font, m_picture2->width(), vbColour(BackColour),
                                             vbColour(PictureForeColour), devicePixelRatioF());
        });
        m_picture2->setPixmap(QPixmap::fromImage(strip));
        m_picture2->setGeometry(m_picture2->x(), m_picture1->height(), m_picture2->width(),
                                Credits::LineHeight(font) * Credits::LineCount);

        m_picture2->show();
        m_timer1->start();
    });
}

void frmInfo::Timer1_Timer()
{
    guarded("frmInfo_Timer1_Timer", [this] {
        const Credits::Step step = Credits::NextStripTop(stripTop(), stripHeight(), m_picture1->height());
        if (!step.restart) {
            m_picture2->move(m_picture2->x(), step.top);
            return;
        }
        m_timer1->stop();
        Bildtext();
    });
}

void frmInfo::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    Form_Resize();
}

void frmInfo::Form_Resize()
{
    guardedLater("frmInfo_Form_Resize", [this] {
        m_rahmenLines = DrawnBorder(Twips::rect(RahmenLeft, RahmenTop, RahmenWidth, RahmenHeight), RahmenDicke, false);
        m_bildTamuLines = DrawnBorder(m_bildTamu->geometry(), BildTamuDicke, false);
        update();
    });
}

QVector<BorderLine> frmInfo::DrawnBorder(const QRect &aimControl, int dicke, bool setIn)
{
    QVector<BorderLine> lines;
    guardedLater("Modul1_Border3D", [&] { lines = Border3D(aimControl, dicke, setIn); });
    return lines;
}

void frmInfo::paintEvent(QPaintEvent *event)
{
    QDialog::paintEvent(event);
    // The borders are drawn once, when the window is sized or the picture pressed, and kept,
    // as persistent drawing is; painting only shows them again.
    guardedLater("Modul1_Border3D", [this] {
        QPainter painter(this);
        DrawBorderLines(painter, m_rahmenLines);
        DrawBorderLines(painter, m_bildTamuLines);
    });
}

void frmInfo::BildTamu_MouseDown()
{
    guarded("frmInfo_BildTamu_MouseDown", [this] {
        m_bildTamuPressed = true;
        m_bildTamuLines = DrawnBorder(m_bildTamu->geometry(), BildTamuDicke, true);
        repaint();
    });
}

void frmInfo::BildTamu_MouseUp()
{
    guarded("frmInfo_BildTamu_MouseUp", [this] {
        m_bildTamuPressed = false;
        m_bildTamuLines = DrawnBorder(m_bildTamu->geometry(), BildTamuDicke, false);
        repaint();
        SignalSound::stop();
        accept();
    });
}

void frmInfo::Picture2_MouseUp()
{
    // The toggle has nothing worth reporting: at worst the click is lost.
    try {
        if (m_timer1->isActive())
            m_timer1->stop();
        else
            m_timer1->start();
    } catch (...) {
    }
}

void frmInfo::PictureKeyUp(const char *label, int key)
{
    guarded(label, [this, key] {
        if (key == Qt::Key_Escape)
            reject();
    });
}

bool frmInfo::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (watched == m_bildTamu) {
        if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick) {
            BildTamu_MouseDown();
            return true;
        }
        if (type == QEvent::MouseButtonRelease) {
            BildTamu_MouseUp();
            return true;
        }
    } else if (watched == m_picture2 && type == QEvent::MouseButtonRelease) {
        Picture2_MouseUp();
        return true;
    }
    if ((watched == m_picture1 || watched == m_picture2) && type == QEvent::KeyRelease) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (!key->isAutoRepeat())
            PictureKeyUp(watched == m_picture1 ? "frmInfo_Picture1_KeyUp" : "frmInfo_Picture2_KeyUp", key->key());
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void frmInfo::keyPressEvent(QKeyEvent *event)
{
    // Escape closes the window when it is released, over one of the picture boxes; the
    // dialog's own closing on the press would beat that. No other key has a meaning here.
    event->accept();
}

void frmInfo::done(int result)
{
    if (!m_unloaded)
        guarded("frmInfo_Form_Unload", [this] { Form_Unload(); });
    QDialog::done(result);
}

void frmInfo::Form_Unload()
{
    m_unloaded = true;
    m_timer1->stop();
    SignalSound::stop();
}

void ShowInfo(QWidget *mainWindow, const QString &programName)
{
    BoxLifetime::watch();
    frmInfo info(programName, mainWindow);
    PlaceForm(&info, mainWindow, QStringLiteral("center"), 10);
    info.exec();
}
