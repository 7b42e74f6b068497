#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QTextEdit;

// The program's text box: an optional caption at its left ("Photo:"), then either a one-line
// entry field or a read-only multi-line area with word wrap and a vertical scroll bar that
// can tell how tall it must be to show its text whole (the message box sizes itself by it).
class CaptionedTextBox : public QWidget
{
    Q_OBJECT
public:
    enum class Mode { SingleLine, MultiLine };

    explicit CaptionedTextBox(Mode mode = Mode::SingleLine, QWidget *parent = nullptr);

    QString text() const;
    void setText(const QString &text);
    QString caption() const;
    void setCaption(const QString &caption);
    void setReadOnly(bool readOnly);
    void setFrameVisible(bool visible);

    // Colours as 24-bit numbers with red in the lowest byte; the background is used in the
    // normal, focused and disabled states alike.
    void setTextColour(quint32 colour);
    void setBackColour(quint32 colour);
    void setFocusedBackColour(quint32 colour);

    // The height (device-independent pixels) a multi-line box of the given width needs to show
    // its whole text without a scroll bar: the text as laid out in its font, with the area's
    // frame, margins and document margin. A one-line box answers its own height.
    qreal heightForTextAt(int width) const;

    QLineEdit *lineEdit() const { return m_line; }
    QTextEdit *textEdit() const { return m_multi; }
    QWidget *editor() const;

signals:
    void textEdited(const QString &text);
    void returnPressed();

protected:
    void changeEvent(QEvent *event) override;

private:
    void applyColours();

    Mode m_mode;
    QLabel *m_caption = nullptr;
    QLineEdit *m_line = nullptr;
    QTextEdit *m_multi = nullptr;
    quint32 m_text = 0;
    qint64 m_back = -1;
    qint64 m_focusBack = -1;
};
