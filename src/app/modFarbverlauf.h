#pragma once

#include <QColor>
#include <QWidget>

class QPainter;
class QRect;

// The two-colour background gradient of the main window.
namespace modFarbverlauf {

// A colour whose top byte is &H80 names a system colour (its low bits are the index);
// others are 24-bit numbers with red in the lowest byte.
QColor resolveColour(quint32 colour);

// Direction 0 runs from the first colour at the left edge to the second at the right,
// 1 from the top edge to the bottom edge.
void FarbverlaufZeichnen(QPainter &painter, const QRect &clientRect, quint32 first, quint32 second, int direction);

} // namespace modFarbverlauf

// A window's client area painted with the gradient from first (top) to second (bottom), which
// tells when it was resized, so the window can lay its controls out again.
class GradientArea : public QWidget
{
    Q_OBJECT
public:
    GradientArea(quint32 first, quint32 second, QWidget *parent = nullptr);

signals:
    void resized();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    quint32 m_first;
    quint32 m_second;
};
