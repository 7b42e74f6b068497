#pragma once

#include <QProxyStyle>

// Fusion with the check box and option button metrics the windows were laid out for: a small
// indicator close to its caption, as on the desktop the layout was drawn on. Fusion's own
// 14-pixel indicator 6 pixels before the caption cuts "IFD0", "Xmp" and "Composite" in their
// designed boxes. Everything else is Fusion's; the few standard icons the main window asks for
// while it is built are read only once they are drawn (see standardIcon).
class DesignStyle : public QProxyStyle
{
    Q_OBJECT
public:
    static constexpr int IndicatorSize = 12;
    static constexpr int LabelSpacing = 3;

    DesignStyle();
    int pixelMetric(PixelMetric metric, const QStyleOption *option = nullptr,
                    const QWidget *widget = nullptr) const override;
    QIcon standardIcon(StandardPixmap standardIcon, const QStyleOption *option = nullptr,
                       const QWidget *widget = nullptr) const override;
};
