#pragma once

#include "controls/DesignPalette.h"

#include <QPushButton>

// The program's button: a face drawn as a vertical gradient between two colours, a border
// colour, and another border colour while the mouse is over it. The caption may carry an
// access key marked by "&"; Enter presses the default button of a dialog as usual.
class GradientButton : public QPushButton
{
    Q_OBJECT
public:
    // The dialog scheme.
    static constexpr quint32 DefaultTop = DesignPalette::ButtonTop;
    static constexpr quint32 DefaultBottom = DesignPalette::SteelBlue;
    static constexpr quint32 DefaultBorder = DesignPalette::ButtonBorder;
    static constexpr quint32 DefaultHoverBorder = DesignPalette::ButtonHoverBorder;
    static constexpr quint32 DefaultText = DesignPalette::Navy;

    explicit GradientButton(QWidget *parent = nullptr);
    explicit GradientButton(const QString &caption, QWidget *parent = nullptr);

    void setGradient(quint32 top, quint32 bottom);
    void setBorderColours(quint32 normal, quint32 hover);
    void setTextColour(quint32 colour);
    bool isHovered() const { return m_hovered; }

    // Space between the border's outside and the picture or caption, and between the two.
    static constexpr int Padding = 4;
    static constexpr int IconGap = 4;

    // The width the picture and the whole caption take when painted.
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    int captionWidth() const;

    quint32 m_top = DefaultTop;
    quint32 m_bottom = DefaultBottom;
    quint32 m_border = DefaultBorder;
    quint32 m_hoverBorder = DefaultHoverBorder;
    quint32 m_text = DefaultText;
    bool m_hovered = false;
};
