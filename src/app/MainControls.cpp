#include "app/MainControls.h"

#include "app/CameraPanel.h"
#include "app/MainLayout.h"
#include "controls/CaptionedTextBox.h"
#include "controls/DesignPalette.h"
#include "controls/GradientButton.h"
#include "controls/LanguageBox.h"
#include "controls/PhotoThumbnail.h"
#include "controls/ReportListView.h"
#include "controls/SvgPictures.h"
#include "controls/Twips.h"
#include "pipeline/ReportListModel.h"

#include <QCheckBox>
#include <QIcon>
#include <QRadioButton>

namespace
{

constexpr const char *OptionCaptions[6] = {"All", "IFD0", "Exif", "Xmp", "Iptc", "Composite"};
constexpr const char *OptionTips[6] = {" goto first line ", " goto IDD0 line ", " goto Exif line ",
                                       " goto Xmp line ",   " goto Iptc line ", " goto Composite line "};

void setBackground(QWidget *w, quint32 colour)
{
    w->setAutoFillBackground(true);
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, vbColour(colour));
    pal.setColor(QPalette::Button, vbColour(colour));
    w->setPalette(pal);
}

QRect place(const QRect &twips)
{
    return Twips::rect(twips.x(), twips.y(), twips.width(), twips.height());
}

} // namespace

void MainControls::build(QWidget *client, ReportListModel *model)
{
    QFont controlFont(QStringLiteral("Segoe UI"));
    controlFont.setPointSizeF(9.75);
    auto setUp = [&controlFont](QWidget *w, const QString &name, const QRect &twips, const QString &tip,
                                const QString &spoken) {
        w->setObjectName(name);
        w->setFont(controlFont);
        w->setGeometry(place(twips));
        if (!tip.isEmpty())
            w->setToolTip(tip);
        if (!spoken.isEmpty())
            w->setAccessibleName(spoken);
    };

    model->setHeaderIcons(SvgPictures::icon(QStringLiteral(":/app/kopf1.svg")),
                          SvgPictures::icon(QStringLiteral(":/app/kopf2.svg")));
    lvwExifTool = new ReportListView(client);
    lvwExifTool->setModel(model);
    setUp(lvwExifTool, QStringLiteral("lvwExifTool"), MainLayout::lvwExifTool, QString(), QString());

    txtBildpfad = new CaptionedTextBox(CaptionedTextBox::Mode::SingleLine, client);
    txtBildpfad->setCaption(QStringLiteral("Photo:"));
    txtBildpfad->lineEdit()->setAccessibleName(QStringLiteral("Photo:"));
    setUp(txtBildpfad, QStringLiteral("txtBildpfad"), MainLayout::txtBildpfad, QStringLiteral("Name des Fotografen"),
          QStringLiteral("Photo:"));

    const struct {
        GradientButton **button;
        const char *name, *caption, *tip, *icon;
        QRect place;
    } buttons[] = {
        {&cmdDatei, "cmdDatei", "", " Lumoskop.exe file path  ", ":/app/datei.svg", MainLayout::cmdDatei},
        {&cmdExif, "cmdExif", "ExifTool", " generate Exif data again ", ":/app/exiftool.svg", MainLayout::cmdExif},
        {&cmdAnzeigen, "cmdAnzeigen", "Show", " show exif data again ", nullptr, MainLayout::cmdAnzeigen},
        {&cmdCopy, "cmdCopy", "Copy", "", nullptr, MainLayout::cmdCopy},
        {&cmdExit, "cmdExit", "End", "", nullptr, MainLayout::cmdExit},
    };
    for (const auto &b : buttons) {
        *b.button = new GradientButton(QLatin1String(b.caption), client);
        const QString tip = QLatin1String(b.tip);
        setUp(*b.button, QLatin1String(b.name), b.place, tip, *b.caption ? QLatin1String(b.caption) : tip.trimmed());
        if (b.icon)
            (*b.button)->setIcon(SvgPictures::icon(QLatin1String(b.icon)));
    }

    const struct {
        QCheckBox **box;
        const char *name, *caption, *tip;
        QRect place;
    } boxes[] = {
        {&chkExiftool, "chkExiftool", "ExifTool show", " the Dos window remains open ", MainLayout::chkExiftool},
        {&chkTXT, "chkTXT", "TXT save", " do not delete the text file created by ExifTool  ", MainLayout::chkTXT},
        {&chkSort, "chkSort", "List sort", "", MainLayout::chkSort},
    };
    for (const auto &c : boxes) {
        *c.box = new QCheckBox(QLatin1String(c.caption), client);
        setUp(*c.box, QLatin1String(c.name), c.place, QLatin1String(c.tip), QLatin1String(c.caption));
        setBackground(*c.box, DesignPalette::CheckBoxBack);
    }

    cboSprache = new LanguageBox(client);
    setUp(cboSprache, QStringLiteral("cboSprache"), MainLayout::cboSprache, QStringLiteral(" Language "),
          QStringLiteral("Language"));

    for (int i = 0; i < 6; ++i) {
        auto *o = new QRadioButton(QLatin1String(OptionCaptions[i]), client);
        setUp(o, QStringLiteral("optExif%1").arg(i), MainLayout::optExif[i], QLatin1String(OptionTips[i]),
              QLatin1String(OptionCaptions[i]));
        setBackground(o, DesignPalette::OptionBack);
        optExif[size_t(i)] = o;
    }
    optExif[0]->setChecked(true);

    fraKamera = new CameraPanel(client);
    fraKamera->setGeometry(place(MainLayout::fraKamera));

    imgFoto = new PhotoThumbnail(client);
    setUp(imgFoto, QStringLiteral("imgFoto"), MainLayout::imgFoto, imgFoto->toolTip(), imgFoto->accessibleName());

    txtFilter = new FilterBox(client);
    setUp(txtFilter, QStringLiteral("txtFilter"), MainLayout::txtFilter, txtFilter->toolTip(),
          txtFilter->accessibleName());
    QObject::connect(txtFilter, &QLineEdit::textChanged, model, &ReportListModel::setFilter);

    const QList<QWidget *> order = {lvwExifTool, txtBildpfad, cmdDatei,   cmdExif,    cmdAnzeigen, cmdCopy,
                                    cmdExit,     chkExiftool, chkTXT,     chkSort,    cboSprache,  optExif[0],
                                    optExif[2],  optExif[3],  optExif[4], optExif[1], optExif[5],  txtFilter};
    for (int i = 0; i + 1 < order.size(); ++i)
        QWidget::setTabOrder(order[i], order[i + 1]);
}

void MainControls::followClientArea(const QWidget *client)
{
    if (!lvwExifTool)
        return;
    // Only these follow the client area; a rule that yields a negative size is refused and
    // that control keeps the size it had.
    const MainLayout::Resized r = MainLayout::resize(Twips::fromPx(client->width()), Twips::fromPx(client->height()),
                                                     Twips::fromPx(cmdDatei->width()));
    if (r.listWidth)
        lvwExifTool->resize(Twips::toPx(*r.listWidth), lvwExifTool->height());
    fraKamera->resize(lvwExifTool->width(), fraKamera->height());
    cmdDatei->move(Twips::toPx(r.cmdDateiLeft), cmdDatei->y());
    if (r.txtBildpfadWidth)
        txtBildpfad->resize(Twips::toPx(*r.txtBildpfadWidth), txtBildpfad->height());
    if (r.listHeight)
        lvwExifTool->resize(lvwExifTool->width(), Twips::toPx(*r.listHeight));
}
