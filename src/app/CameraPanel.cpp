#include "app/CameraPanel.h"

#include "controls/SvgPictures.h"
#include "controls/Twips.h"
#include "exiftool/ProgramFolder.h"
#include "pipeline/ReportListModel.h"
#include "summary/CameraSummary.h"

#include <QEvent>
#include <QIcon>
#include <QLabel>

namespace
{

// Each label: Left, Top, Width in twips (0: sizes itself to its text), and the field it shows.
struct LabelPlace {
    int left, top, width;
    const char *field;
};
constexpr LabelPlace LabelPlaces[CameraPanel::LabelCount] = {
    {3015, 2700, 1170, "Aperture"},
    {3015, 1680, 2880, "Exposure time"},
    {3015, 1155, 2955, "Focal length"},
    {3000, 2205, 1170, "ISO"},
    {2550, 615, 0, "Lens"},
    {2550, 225, 0, "Camera"},
    {6570, 1680, 0, "Metering mode"},
    {4740, 2190, 1260, "Exposure compensation"},
    {6570, 1155, 3660, "Exposure program"}, // wraps its words
    {6570, 2700, 0, "Exposure mode"},
    {6570, 2190, 0, "White balance"},
    {4740, 2700, 1260, "Hyperfocal distance"},
};
constexpr int WrappingLabel = 8;
constexpr int LabelHeight = 300;

struct IconPlace {
    int left, top, width, height;
    const char *tooltip;
};
constexpr IconPlace IconPlaces[10] = {
    {6000, 1140, 390, 300, " Exposure program "}, {2550, 1155, 360, 360, " Focal length x crop factor = 35 mm format "},
    {2550, 1680, 360, 360, " Shutter speed "},    {2550, 2180, 360, 360, " ISO "},
    {2550, 2700, 360, 360, " Aperture "},         {4275, 2190, 345, 345, " Exposure compensation "},
    {6075, 1680, 375, 315, " Measuring mode "},   {6075, 2250, 345, 195, " White balance "},
    {6075, 2700, 360, 360, " Exposure mode "},    {4275, 2700, 375, 360, " Hyperfocal distance "},
};

void whiteBackground(QWidget *w)
{
    w->setAutoFillBackground(true);
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, Qt::white);
    w->setPalette(pal);
}

void showPicture(QLabel *box, const QString &path)
{
    box->clear();
    const QString found = findPicture(path);
    if (!found.isEmpty())
        box->setPixmap(QPixmap(found));
}

} // namespace

CameraPanel::CameraPanel(QWidget *parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("fraKamera"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    QPalette framePal = palette();
    framePal.setColor(QPalette::Window, framePal.color(QPalette::Base));
    setPalette(framePal);
    setAccessibleName(QStringLiteral("Camera summary"));

    auto makePicture = [this](const QRect &twips, const QString &tip, const char *name) {
        auto *p = new QLabel(this);
        p->setObjectName(QLatin1String(name));
        p->setGeometry(Twips::rect(twips.x(), twips.y(), twips.width(), twips.height()));
        p->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        whiteBackground(p);
        p->setToolTip(tip);
        p->setAccessibleName(tip.trimmed());
        return p;
    };
    picKamera = makePicture(QRect(375, 225, 1665, 1155), QStringLiteral(" B 111 x H 77 Pixel "), "picKamera");
    picObjektiv = makePicture(QRect(645, 1425, 1155, 1665), QStringLiteral(" B 77 x H 111 Pixel "), "picObjektiv");

    QFont labelFont(QStringLiteral("Segoe UI"));
    labelFont.setPointSizeF(11.25);
    for (int i = 0; i < LabelCount; ++i) {
        const LabelPlace &place = LabelPlaces[i];
        auto *l = new QLabel(this);
        l->setObjectName(QStringLiteral("lblExif%1").arg(i));
        l->setFont(labelFont);
        whiteBackground(l);
        l->setAccessibleDescription(QLatin1String(place.field));
        l->move(Twips::toPx(place.left), Twips::toPx(place.top));
        if (i == WrappingLabel) {
            l->setWordWrap(true);
            l->setFixedWidth(Twips::toPx(place.width));
        } else {
            l->resize(Twips::toPx(place.width), Twips::toPx(LabelHeight));
        }
        l->installEventFilter(this);
        lblExif[size_t(i)] = l;
    }
    QLabel *camera = lblExif[CameraLabel];
    QPalette camPal = camera->palette();
    camPal.setColor(QPalette::WindowText, camPal.color(QPalette::Highlight));
    camera->setPalette(camPal);
    camera->setCursor(Qt::PointingHandCursor);

    for (int i = 0; i < 10; ++i) {
        const IconPlace &place = IconPlaces[i];
        auto *img = new QLabel(this);
        img->setObjectName(QStringLiteral("imgIcon%1").arg(i));
        img->setGeometry(Twips::rect(place.left, place.top, place.width, place.height));
        img->setToolTip(QLatin1String(place.tooltip));
        img->setAccessibleName(QString::fromLatin1(place.tooltip).trimmed());
        img->setAlignment(Qt::AlignCenter);
        img->setPixmap(
            SvgPictures::pixmap(QStringLiteral(":/app/imgIcon%1.svg").arg(i), img->size(), devicePixelRatioF()));
        imgIcon[size_t(i)] = img;
    }
    showTexts();
}

void CameraPanel::Kamera(const ReportListModel &list, const QStringList &englishNames)
{
    const QList<int> order = list.reportRowsInSortedOrder(englishNames);
    ReportRows rows;
    QStringList ruleNames;
    rows.reserve(order.size());
    for (int reportRow : order) {
        rows << list.reportRows().at(reportRow);
        if (!englishNames.isEmpty())
            ruleNames << englishNames.at(reportRow);
    }
    const CameraSummary result = summarizeCamera(rows, m_texts, ProgramFolder::path(), ruleNames);
    m_texts = result.labels;
    m_tooltips = result.tooltips;
    showTexts();
    showPicture(picKamera, result.cameraPicture);
    showPicture(picObjektiv, result.lensPicture);
}

void CameraPanel::clear()
{
    m_texts = {};
    m_tooltips = {};
    showTexts();
    picKamera->clear();
    picObjektiv->clear();
}

QString CameraPanel::labelText(int index) const
{
    return index >= 0 && index < LabelCount ? m_texts[size_t(index)] : QString();
}

void CameraPanel::showTexts()
{
    for (int i = 0; i < LabelCount; ++i) {
        QLabel *l = lblExif[size_t(i)];
        const QString &text = m_texts[size_t(i)];
        // Plain text: a value from the photo is never taken for markup.
        l->setTextFormat(Qt::PlainText);
        l->setText(text);
        l->setToolTip(m_tooltips[size_t(i)]);
        // What a screen reader says is the value; the field is the label's description.
        l->setAccessibleName(text);
        if (LabelPlaces[i].width == 0)
            l->resize(l->sizeHint().width(), Twips::toPx(LabelHeight));
        else if (i == WrappingLabel)
            l->adjustSize();
    }
}

bool CameraPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == lblExif[CameraLabel] && event->type() == QEvent::MouseButtonRelease)
        emit cameraClicked(m_texts[CameraLabel]);
    return QFrame::eventFilter(watched, event);
}
