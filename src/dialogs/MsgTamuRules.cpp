#include "dialogs/MsgTamuRules.h"

#include "controls/Twips.h"

#include <climits>
#include <cmath>

namespace MsgTamuRules
{

namespace
{

const ButtonSpec Buttons[ButtonCount] = {
    {"&OK", "Ok", 3150, 1290, 1},
    {"&Ja", "Ja", 1725, 1290, 2},
    {"&Nein", "Nein", 3150, 1290, 3},
    {"E&xit ", "Exit", 4575, 1290, 4},
    {"&Ignorieren", "Ignorieren", 1275, 1515, 5},
    {"&Wiederholen", "Wiederholen", 2925, 1515, 6},
    {"B&eenden ", "Beenden", 4575, 1290, 9},
};

constexpr int MinTextHeight = 900;
constexpr int MaxTextHeight = 7700;
constexpr int WideFromTextHeight = 2700; // wide layout above this
constexpr int WindowAboveText = 1400;    // outside height = text height + this

} // namespace

const ButtonSpec &button(int index)
{
    return Buttons[qBound(0, index, ButtonCount - 1)];
}

QString soundForRest(int rest)
{
    switch (rest) {
    case 0:
    case 1:
        return QStringLiteral("Infozeichen.wav");
    case 2:
        return QStringLiteral("Fragezeichen.wav");
    case 3:
        return QStringLiteral("Ausrufezeichen.wav");
    case 4:
        return QStringLiteral("Stoppzeichen.wav");
    default:
        return QString();
    }
}

Style style(int styleNumber)
{
    static const QVector<int> rows[] = {{0}, {0, 3}, {1, 2}, {1, 2, 3}, {3, 5}, {3, 4, 5}, {0, 6}};
    // The first of the bounds 10 .. 60 that the style lies below picks the row.
    int row = 6;
    for (int r = 0; r < 6; ++r) {
        if (styleNumber < (r + 1) * 10) {
            row = r;
            break;
        }
    }
    Style s;
    s.buttons = rows[row];
    // 64-bit, so that the smallest style cannot overflow when its base is taken off.
    const qint64 rest = qint64(styleNumber) - qint64(row) * 10;
    s.rest = int(qBound(qint64(INT_MIN), rest, qint64(INT_MAX)));
    if (s.rest >= 1 && s.rest <= 4)
        s.icon = Icon(s.rest);
    s.sound = soundForRest(s.rest);
    return s;
}

int neededTextHeight(qreal pixels)
{
    // The box never grows past its tallest, so any larger measure, even one no int could
    // hold, counts as that.
    constexpr qreal Tallest = MaxTextHeight / Twips::PerPixel + 1;
    if (!(pixels > 0)) // also a measure that is no number
        return 0;
    // Line heights are sums of fractions; a rounding error's hair above a whole pixel is no
    // pixel more.
    const qreal whole = std::ceil(qMin(pixels, Tallest) - 1.0 / 1024);
    return Twips::fromPx(int(whole));
}

Size sizeFor(int neededTextHeight)
{
    Size s;
    s.textHeight = qBound(MinTextHeight, neededTextHeight, MaxTextHeight);
    s.windowHeight = s.textHeight > MinTextHeight ? s.textHeight + WindowAboveText : DesignedWindowHeight;
    s.wide = s.textHeight > WideFromTextHeight;
    if (s.wide) {
        s.windowWidth = 7725;
        s.textWidth = 6465;
        s.stripWidth = 7620;
    } else {
        s.windowWidth = DesignedWindowWidth;
        s.textWidth = NarrowTextWidth;
        s.stripWidth = DesignedClientWidth;
    }
    return s;
}

quint32 colour(const QVariant &argument, quint32 defaultColour)
{
    if (!argument.isValid() || argument.isNull())
        return defaultColour;
    qint64 number = -1;
    bool ok = false;
    if (argument.typeId() == QMetaType::QString) {
        const QString text = argument.toString().trimmed();
        if (text.isEmpty())
            return defaultColour;
        number = text.toLongLong(&ok);
    } else {
        number = argument.toLongLong(&ok);
    }
    if (!ok || number < 0 || number > 0xFFFFFF)
        return defaultColour;
    return quint32(number);
}

int defaultButton(int requested, const QVector<int> &shownButtons)
{
    if (requested == NoDefaultButton || !shownButtons.contains(requested))
        return -1;
    return requested;
}

QString countdownCaption(const QString &title, int secondsLeft)
{
    return title + QStringLiteral(" (") + QString::number(secondsLeft) + QLatin1Char(')');
}

QString displayText(const QString &text)
{
    QString t = text;
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return t;
}

QString errorReportText(int number, const QString &description)
{
    return QString::number(number) + QLatin1Char(' ') + description;
}

Countdown::Countdown(const QString &title, int seconds)
    : m_title(title), m_left(seconds), m_counting(countsDown(seconds))
{
}

QString Countdown::caption() const
{
    return m_counting ? countdownCaption(m_title, m_left) : m_title;
}

bool Countdown::tick()
{
    if (!active())
        return false;
    --m_left;
    return m_left == 0;
}

} // namespace MsgTamuRules
