#include "controls/CaptionedTextBox.h"

#include "controls/Twips.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTextDocument>
#include <QTextEdit>

#include <memory>

CaptionedTextBox::CaptionedTextBox(Mode mode, QWidget *parent) : QWidget(parent), m_mode(mode)
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    m_caption = new QLabel(this);
    m_caption->hide();
    layout->addWidget(m_caption);
    if (mode == Mode::SingleLine) {
        m_line = new QLineEdit(this);
        layout->addWidget(m_line, 1);
        setFocusProxy(m_line);
        connect(m_line, &QLineEdit::textEdited, this, &CaptionedTextBox::textEdited);
        connect(m_line, &QLineEdit::returnPressed, this, &CaptionedTextBox::returnPressed);
    } else {
        m_multi = new QTextEdit(this);
        m_multi->setAcceptRichText(false);
        m_multi->setLineWrapMode(QTextEdit::WidgetWidth);
        m_multi->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        m_multi->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        m_multi->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        layout->addWidget(m_multi, 1);
        setFocusProxy(m_multi);
    }
}

QWidget *CaptionedTextBox::editor() const
{
    if (m_line)
        return m_line;
    return m_multi;
}

QString CaptionedTextBox::text() const
{
    return m_line ? m_line->text() : m_multi->toPlainText();
}

void CaptionedTextBox::setText(const QString &text)
{
    if (m_line) {
        m_line->setText(text);
        m_line->setCursorPosition(0);
    } else {
        m_multi->setPlainText(text);
    }
}

QString CaptionedTextBox::caption() const { return m_caption->text(); }

void CaptionedTextBox::setCaption(const QString &caption)
{
    m_caption->setText(caption);
    m_caption->setVisible(!caption.isEmpty());
}

void CaptionedTextBox::setReadOnly(bool readOnly)
{
    if (m_line)
        m_line->setReadOnly(readOnly);
    else
        m_multi->setReadOnly(readOnly);
}

void CaptionedTextBox::setFrameVisible(bool visible)
{
    if (m_line)
        m_line->setFrame(visible);
    else
        m_multi->setFrameShape(visible ? QFrame::StyledPanel : QFrame::NoFrame);
}

void CaptionedTextBox::setTextColour(quint32 colour)
{
    m_text = colour;
    applyColours();
}

void CaptionedTextBox::setBackColour(quint32 colour)
{
    m_back = colour;
    applyColours();
}

void CaptionedTextBox::setFocusedBackColour(quint32 colour)
{
    m_focusBack = colour;
    applyColours();
}

void CaptionedTextBox::applyColours()
{
    QWidget *ed = editor();
    QPalette pal = ed->palette();
    pal.setColor(QPalette::Text, vbColour(m_text));
    if (m_back >= 0) {
        const QColor back = vbColour(quint32(m_back));
        for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
            pal.setColor(group, QPalette::Base, back);
        if (m_focusBack >= 0 && ed->hasFocus())
            pal.setColor(QPalette::Base, vbColour(quint32(m_focusBack)));
    }
    ed->setPalette(pal);
    QPalette captionPal = m_caption->palette();
    captionPal.setColor(QPalette::WindowText, vbColour(m_text));
    m_caption->setPalette(captionPal);
}

void CaptionedTextBox::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange) {
        editor()->setFont(font());
        m_caption->setFont(font());
    }
    QWidget::changeEvent(event);
}

qreal CaptionedTextBox::heightForTextAt(int width) const
{
    if (m_line)
        return height();
    // The area's contents margins hold its frame; it sets no viewport margins of its own.
    const QMargins around = m_multi->contentsMargins();
    const int caption = m_caption->isVisibleTo(this) ? m_caption->sizeHint().width() + layout()->spacing() : 0;
    // Laid out at the width the text will have, on a copy: the area lays its own document out
    // again at the width it has now at once, and while hidden it has none worth the name.
    const std::unique_ptr<QTextDocument> copy(m_multi->document()->clone());
    copy->setTextWidth(qMax(0, width - caption - around.left() - around.right()));
    return copy->size().height() + around.top() + around.bottom();
}
