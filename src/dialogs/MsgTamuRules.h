#pragma once

#include "controls/DesignPalette.h"

#include <QString>
#include <QVariant>
#include <QVector>

// Everything the message box decides without a screen: which buttons, icon and sound a style
// asks for, how big the box gets for its text, its colours, which button is the default, and
// the countdown. frmMsgTamu only shows these decisions. Sizes are in twips (15 to a pixel).
namespace MsgTamuRules
{

constexpr quint32 DefaultBackColour = DesignPalette::PaleBlueGrey;
constexpr quint32 DefaultForeColour = DesignPalette::Navy;
constexpr quint32 ButtonStripColour = DesignPalette::SteelBlue;
constexpr quint32 ErrorBackColour = DesignPalette::PaleRed;
constexpr int NoDefaultButton = 7;
constexpr int ButtonCount = 7;

struct ButtonSpec {
    const char *caption; // with the access key marked by "&"
    const char *result;  // the word MsgTamu returns for it
    int left;            // twips, within the button strip
    int width;
    int tabIndex;
};

// The seven buttons of the strip, by index.
const ButtonSpec &button(int index);

enum class Icon { None = 0, Information = 1, Question = 2, Exclamation = 3, Stop = 4 };

struct Style {
    QVector<int> buttons; // indices shown, in ascending order
    int rest = 0;         // the style less its row's base
    Icon icon = Icon::None;
    QString sound; // wave file name, empty for none
};

// Tens digit picks the buttons (negative styles take the first row, 60 and above the last);
// the rest picks icon and sound.
Style style(int style);

// The file name of the signal sound for an icon rest; empty when the rest plays nothing.
QString soundForRest(int rest);

struct Size {
    int textHeight; // txtMsgText
    int textWidth;
    int windowHeight; // outside measure, frame and title bar included
    int windowWidth;
    int stripWidth; // fraMsgButton
    bool wide;
};

// The window's designed measures; a text that fits the designed text box keeps them.
constexpr int DesignedClientWidth = 6090;
constexpr int DesignedClientHeight = 1905;
constexpr int DesignedWindowWidth = 6180;
// Title bar and borders of the designed window; the outside figures of sizeFor() less these
// give the client area.
constexpr int FrameWidth = DesignedWindowWidth - DesignedClientWidth;
constexpr int FrameHeight = 395;
constexpr int DesignedWindowHeight = DesignedClientHeight + FrameHeight;

// The text box's width in the narrow layout: the text is measured at this width.
constexpr int NarrowTextWidth = 4965;

// The height the text box needs to show its text whole, in twips, from what the window
// measures in device-independent pixels: the text as laid out in the font in use, with the
// box's own frame and margins. Whole pixels, rounded up, so the last line keeps its lowest row.
int neededTextHeight(qreal pixels);

// Sizing by the height the text needs in the narrow text box (neededTextHeight): the text box
// gets that height within the designed bounds, and the window and the layout follow it.
Size sizeFor(int neededTextHeight);

// A colour argument: a colour number (red in the lowest byte), a text holding one, or the
// empty text for the default. Anything that is no 24-bit colour keeps the default too.
quint32 colour(const QVariant &argument, quint32 defaultColour);

// The button that becomes the default and takes the focus, or -1 for none (7, an index out
// of range, or a button the style hides).
int defaultButton(int requested, const QVector<int> &shownButtons);

// Below two seconds the box waits modally and never counts down.
inline bool countsDown(int seconds)
{
    return seconds >= 2;
}

// The caption while counting down: "Title (5)".
QString countdownCaption(const QString &title, int secondsLeft);

// Line breaks as the caller writes them (CR LF, or a lone CR) become plain line feeds, so that
// no stray carriage return shows in the text box or adds a line.
QString displayText(const QString &text);

// "53 File not found": the text of the uniform error report.
QString errorReportText(int number, const QString &description);

// One call's countdown: the seconds left and the caption that goes with them.
class Countdown
{
public:
    Countdown(const QString &title, int seconds);
    bool active() const { return m_left > 0 && m_counting; }
    int secondsLeft() const { return m_left; }
    QString caption() const;
    // One second has passed; true when the count has just reached zero.
    bool tick();

private:
    QString m_title;
    int m_left;
    bool m_counting;
};

} // namespace MsgTamuRules
