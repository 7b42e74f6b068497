#include "app/frmExifTool.h"

#include "LumoskopVersion.h"
#include "about/frmInfo.h"
#include "app/MainLayout.h"
#include "app/OuterGeometry.h"
#include "app/PhotoBrowsing.h"
#include "app/PhotoOpener.h"
#include "app/SettingsStore.h"
#include "app/WebLinks.h"
#include "app/modFarbverlauf.h"
#include "controls/CaptionedTextBox.h"
#include "controls/GradientButton.h"
#include "controls/Twips.h"
#include "dialogs/MsgTamuRules.h"
#include "dialogs/modMsgTamu.h"
#include "pipeline/ExifToolCommand.h"
#include "pipeline/ProgramFolder.h"
#include "pipeline/ReportFile.h"
#include "pipeline/ReportPath.h"
#include "pipeline/ReportReader.h"
#include "summary/CameraSummary.h"
#include "summary/ClipboardText.h"
#include "summary/GroupNavigation.h"
#include "summary/MakerAddress.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QShortcut>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QHeaderView>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QRadioButton>
#include <QScrollBar>
#include <QSettings>
#include <QTreeView>

namespace {
// Colours, red in the lowest byte.
constexpr quint32 BackTop = 0x00F4EAE3;
constexpr quint32 BackBottom = 0x00D8BF9E;
constexpr quint32 CheckBack = 0x00EEE0D4;
constexpr quint32 OptionBack = 0x00ECDED0;
// The dialog scheme is the message box's own.
constexpr quint32 DialogBack = MsgTamuRules::DefaultBackColour;
constexpr quint32 DialogFore = MsgTamuRules::DefaultForeColour;
constexpr quint32 ErrorBack = MsgTamuRules::ErrorBackColour;

constexpr const char *FileDialogTitle = "Foto auswählen";
constexpr const char *FileDialogFilter = "JPEG (*.jpg) |*.jpg|PNG (*.png) |*.png|BMP (*.bmp) |*.bmp|alle Dateien (*.*) |*.*";

// Each label of the camera panel: Left, Top, Width (0: sizes itself to its text).
struct LabelPlace {
    int left, top, width;
};
constexpr LabelPlace LabelPlaces[12] = {
    {3015, 2700, 1170}, // 0 aperture
    {3015, 1680, 2880}, // 1 exposure time
    {3015, 1155, 2955}, // 2 focal length
    {3000, 2205, 1170}, // 3 ISO
    {2550, 615, 0},     // 4 lens
    {2550, 225, 0},     // 5 camera
    {6570, 1680, 0},    // 6 metering mode
    {4740, 2190, 1260}, // 7 exposure compensation
    {6570, 1155, 3660}, // 8 exposure program, wraps
    {6570, 2700, 0},    // 9 exposure mode
    {6570, 2190, 0},    // 10 white balance
    {4740, 2700, 1260}, // 11 hyperfocal distance
};

struct IconPlace {
    int left, top, width, height;
    const char *tooltip;
};
constexpr IconPlace IconPlaces[10] = {
    {6000, 1140, 390, 300, " Exposure program "},
    {2550, 1155, 360, 360, " Focal length x crop factor = 35 mm format "},
    {2550, 1680, 360, 360, " Shutter speed "},
    {2550, 2180, 360, 360, " ISO "},
    {2550, 2700, 360, 360, " Aperture "},
    {4275, 2190, 345, 345, " Exposure compensation "},
    {6075, 1680, 375, 315, " Measuring mode "},
    {6075, 2250, 345, 195, " White balance "},
    {6075, 2700, 360, 360, " Exposure mode "},
    {4275, 2700, 375, 360, " Hyperfocal distance "},
};

constexpr const char *OptionCaptions[6] = {"All", "IFD0", "Exif", "Xmp", "Iptc", "Composite"};
constexpr const char *OptionTips[6] = {" goto first line ", " goto IDD0 line ", " goto Exif line ",
                                       " goto Xmp line ", " goto Iptc line ", " goto Composite line "};

void setBackground(QWidget *w, quint32 colour)
{
    w->setAutoFillBackground(true);
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, vbColour(colour));
    pal.setColor(QPalette::Button, vbColour(colour));
    w->setPalette(pal);
}

// "JPEG (*.jpg) |*.jpg|..." as the platform dialog wants it. Photographers' cameras name files
// IMG_0001.JPG, and Linux file systems tell case apart, so each pattern also matches in capitals.
QStringList qtFilters(const QString &filter)
{
    QStringList out;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString pattern = parts[i + 1].trimmed();
        if (pattern == QLatin1String("*.*")) {
            pattern = QStringLiteral("*");
        } else if (pattern.toLower() != pattern.toUpper()) {
            pattern += QLatin1Char(' ') + pattern.toUpper();
            if (pattern.startsWith(QLatin1String("*.jpg")))
                pattern += QStringLiteral(" *.jpeg *.JPEG");
        }
        out << parts[i].trimmed().section(QLatin1Char('('), 0, 0).trimmed() + QStringLiteral(" (") + pattern +
                   QLatin1Char(')');
    }
    return out;
}
} // namespace

const QStringList frmExifTool::Languages = {"de", "en", "es", "fi", "fr", "it", "ja", "ko",
                                            "nl", "pl", "ru", "sk", "sv", "tr", "zh"};

// The client area: paints the background gradient and lays the controls out when resized.
class ClientArea : public QWidget
{
public:
    explicit ClientArea(frmExifTool *owner) : QWidget(owner), m_owner(owner) {}

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        modFarbverlauf::FarbverlaufZeichnen(p, rect(), BackTop, BackBottom, 1);
    }
    void resizeEvent(QResizeEvent *) override { m_owner->applyLayout(); }

private:
    frmExifTool *m_owner;
};

frmExifTool::frmExifTool(QSettings *settings, QWidget *parent) : QMainWindow(parent)
{
    if (!settings) {
        m_ownSettings.reset(SettingsStore::openUserSettings());
        settings = m_ownSettings.get();
    }
    m_settings = settings;
    m_store = std::make_unique<SettingsStore>(*m_settings);
    // Loading Perl and ExifTool's modules is most of what a photo costs: let that happen while
    // the window is being built and painted (starting a process does not hold the window up).
    setKeepExifToolRunning(true);

    setWindowTitle(QString::fromLatin1(Caption));
    setWindowIcon(QIcon(QStringLiteral(":/app/lumoskop.svg")));
    QFont windowFont(QStringLiteral("Segoe UI"));
    windowFont.setPointSizeF(9);
    setFont(windowFont);

    m_client = new ClientArea(this);
    setCentralWidget(m_client);
    buildControls();
    buildCameraPanel();
    buildMenus();
    placeDesignedControls();
    setupTabOrder();
    resize(Twips::toPx(MainLayout::ClientWidth), Twips::toPx(MainLayout::ClientHeight) + menuBar()->sizeHint().height());

    auto busyCursor = [](bool running) {
        if (running)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QApplication::restoreOverrideCursor();
    };
    connect(&m_run, &ExifToolRun::runningChanged, this, busyCursor);
    connect(&m_kept, &ExifToolKept::busyChanged, this, busyCursor);
}

void frmExifTool::setKeepExifToolRunning(bool keep)
{
    m_keepExifTool = keep;
    if (!keep) {
        m_kept.end();
        return;
    }
    const QString exiftool = ExifToolCommand::locate();
    if (!exiftool.isEmpty())
        m_kept.start(exiftool);
}

frmExifTool::~frmExifTool()
{
    // A run that the window outlives would write a report nobody deletes.
    m_closing = true;
    m_run.abort();
    m_kept.abort();
}

void frmExifTool::buildControls()
{
    QFont controlFont(QStringLiteral("Segoe UI"));
    controlFont.setPointSizeF(9.75);

    m_model = new ReportListModel(this);
    m_iconUp = QIcon(QStringLiteral(":/app/kopf1.svg"));
    m_iconDown = QIcon(QStringLiteral(":/app/kopf2.svg"));
    m_model->setHeaderIcons(m_iconUp, m_iconDown);

    lvwExifTool = new QTreeView(m_client);
    lvwExifTool->setObjectName(QStringLiteral("lvwExifTool"));
    lvwExifTool->setModel(m_model);
    lvwExifTool->setRootIsDecorated(false);
    lvwExifTool->setUniformRowHeights(true);
    lvwExifTool->setItemsExpandable(false);
    lvwExifTool->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lvwExifTool->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvwExifTool->setAllColumnsShowFocus(true);
    lvwExifTool->setTextElideMode(Qt::ElideRight);
    lvwExifTool->header()->setSectionsClickable(true);
    lvwExifTool->header()->setStretchLastSection(false);
    lvwExifTool->setFont(controlFont);
    lvwExifTool->setAccessibleName(QStringLiteral("Exif data"));
    connect(lvwExifTool->header(), &QHeaderView::sectionClicked, this, &frmExifTool::lvwExifTool_ColumnClick);

    txtBildpfad = new CaptionedTextBox(CaptionedTextBox::Mode::SingleLine, m_client);
    txtBildpfad->setObjectName(QStringLiteral("txtBildpfad"));
    txtBildpfad->setCaption(QStringLiteral("Photo:"));
    txtBildpfad->setToolTip(QStringLiteral("Name des Fotografen"));
    txtBildpfad->setAccessibleName(QStringLiteral("Photo:"));
    txtBildpfad->lineEdit()->setAccessibleName(QStringLiteral("Photo:"));
    txtBildpfad->setFont(controlFont);

    auto makeButton = [this, &controlFont](const QString &caption, const QString &tip, const char *name) {
        auto *b = new GradientButton(caption, m_client);
        b->setObjectName(QLatin1String(name));
        b->setFont(controlFont);
        if (!tip.isEmpty())
            b->setToolTip(tip);
        b->setAccessibleName(caption.isEmpty() ? tip.trimmed() : QString(caption).remove(QLatin1Char('&')));
        return b;
    };
    cmdDatei = makeButton(QString(), QStringLiteral(" Lumoskop.exe file path  "), "cmdDatei");
    cmdDatei->setIcon(QIcon(QStringLiteral(":/app/datei.svg")));
    cmdExif = makeButton(QStringLiteral("ExifTool"), QStringLiteral(" generate Exif data again "), "cmdExif");
    cmdExif->setIcon(QIcon(QStringLiteral(":/app/exiftool.svg")));
    cmdAnzeigen = makeButton(QStringLiteral("Show"), QStringLiteral(" show exif data again "), "cmdAnzeigen");
    cmdCopy = makeButton(QStringLiteral("Copy"), QString(), "cmdCopy");
    cmdExit = makeButton(QStringLiteral("End"), QString(), "cmdExit");
    connect(cmdDatei, &QPushButton::clicked, this, &frmExifTool::cmdDatei_Click);
    connect(cmdExif, &QPushButton::clicked, this, &frmExifTool::cmdExif_Click);
    connect(cmdAnzeigen, &QPushButton::clicked, this, &frmExifTool::cmdAnzeigen_Click);
    connect(cmdCopy, &QPushButton::clicked, this, &frmExifTool::cmdCopy_Click);
    connect(cmdExit, &QPushButton::clicked, this, &QWidget::close);

    auto makeCheck = [this, &controlFont](const QString &caption, const QString &tip, const char *name) {
        auto *c = new QCheckBox(caption, m_client);
        c->setObjectName(QLatin1String(name));
        c->setFont(controlFont);
        setBackground(c, CheckBack);
        if (!tip.isEmpty())
            c->setToolTip(tip);
        c->setAccessibleName(caption);
        return c;
    };
    chkExiftool = makeCheck(QStringLiteral("ExifTool show"), QStringLiteral(" the Dos window remains open "),
                            "chkExiftool");
    chkTXT = makeCheck(QStringLiteral("TXT save"),
                       QStringLiteral(" do not delete the text file created by ExifTool  "), "chkTXT");
    chkSort = makeCheck(QStringLiteral("List sort"), QString(), "chkSort");
    // A box's handler runs whenever its value changes, by the user or by the program.
    connect(chkExiftool, &QCheckBox::toggled, this, &frmExifTool::chkExiftool_Click);
    connect(chkTXT, &QCheckBox::toggled, this, &frmExifTool::chkTXT_Click);
    connect(chkSort, &QCheckBox::toggled, this, &frmExifTool::chkSort_Click);

    cboSprache = new QComboBox(m_client);
    cboSprache->setObjectName(QStringLiteral("cboSprache"));
    cboSprache->setEditable(true);
    cboSprache->setInsertPolicy(QComboBox::NoInsert);
    cboSprache->setFont(controlFont);
    cboSprache->setToolTip(QStringLiteral(" Language "));
    cboSprache->setAccessibleName(QStringLiteral("Language"));
    // Only picking an entry from the list runs the handler; typing does not.
    connect(cboSprache, &QComboBox::activated, this, [this](int) { cboSprache_Click(); });

    for (int i = 0; i < 6; ++i) {
        auto *o = new QRadioButton(QLatin1String(OptionCaptions[i]), m_client);
        o->setObjectName(QStringLiteral("optExif%1").arg(i));
        o->setFont(controlFont);
        o->setToolTip(QLatin1String(OptionTips[i]));
        o->setAccessibleName(QLatin1String(OptionCaptions[i]));
        setBackground(o, OptionBack);
        optExif[size_t(i)] = o;
        connect(o, &QRadioButton::clicked, this, [this, i] { optExif_Click(i); });
    }
    optExif[0]->setChecked(true);

    imgFoto = new QLabel(m_client);
    imgFoto->setObjectName(QStringLiteral("imgFoto"));
    imgFoto->setToolTip(QStringLiteral(" Show with MS Photo "));
    imgFoto->setAccessibleName(QStringLiteral("Show with MS Photo"));
    imgFoto->setAlignment(Qt::AlignCenter);
    imgFoto->setCursor(Qt::PointingHandCursor);
    imgFoto->installEventFilter(this);

    txtFilter = new QLineEdit(m_client);
    txtFilter->setObjectName(QStringLiteral("txtFilter"));
    txtFilter->setFont(controlFont);
    txtFilter->setPlaceholderText(QStringLiteral("Filter"));
    txtFilter->setToolTip(QStringLiteral(" Filter (Ctrl+F) "));
    txtFilter->setAccessibleName(QStringLiteral("Filter"));
    txtFilter->setClearButtonEnabled(true);
    txtFilter->installEventFilter(this);
    connect(txtFilter, &QLineEdit::textChanged, this, [this](const QString &text) { m_model->setFilter(text); });
    auto *focusFilter = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F), this);
    connect(focusFilter, &QShortcut::activated, this, [this] {
        txtFilter->setFocus(Qt::ShortcutFocusReason);
        txtFilter->selectAll();
    });

    auto *show = new QShortcut(QKeySequence(Qt::Key_F5), this);
    connect(show, &QShortcut::activated, this, &frmExifTool::cmdAnzeigen_Click);
    auto *copy = new QShortcut(QKeySequence::Copy, lvwExifTool, nullptr, nullptr, Qt::WidgetShortcut);
    connect(copy, &QShortcut::activated, this, &frmExifTool::copySelectedRows);
    setAcceptDrops(true);
}

void frmExifTool::buildCameraPanel()
{
    fraKamera = new QFrame(m_client);
    fraKamera->setObjectName(QStringLiteral("fraKamera"));
    fraKamera->setFrameShape(QFrame::StyledPanel);
    fraKamera->setAutoFillBackground(true);
    QPalette framePal = fraKamera->palette();
    framePal.setColor(QPalette::Window, framePal.color(QPalette::Base));
    fraKamera->setPalette(framePal);
    fraKamera->setAccessibleName(QStringLiteral("Camera summary"));

    auto makePicture = [this](const QRect &twips, const QString &tip, const char *name) {
        auto *p = new QLabel(fraKamera);
        p->setObjectName(QLatin1String(name));
        p->setGeometry(Twips::rect(twips.x(), twips.y(), twips.width(), twips.height()));
        p->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        setBackground(p, 0xFFFFFF);
        p->setToolTip(tip);
        p->setAccessibleName(tip.trimmed());
        return p;
    };
    picKamera = makePicture(QRect(375, 225, 1665, 1155), QStringLiteral(" B 111 x H 77 Pixel "), "picKamera");
    picObjektiv = makePicture(QRect(645, 1425, 1155, 1665), QStringLiteral(" B 77 x H 111 Pixel "), "picObjektiv");

    QFont labelFont(QStringLiteral("Segoe UI"));
    labelFont.setPointSizeF(11.25);
    for (int i = 0; i < 12; ++i) {
        auto *l = new QLabel(fraKamera);
        l->setObjectName(QStringLiteral("lblExif%1").arg(i));
        l->setFont(labelFont);
        setBackground(l, 0xFFFFFF);
        l->setAccessibleDescription(labelDescription(i));
        l->setAccessibleName(labelDescription(i));
        const LabelPlace &pl = LabelPlaces[i];
        l->move(Twips::toPx(pl.left), Twips::toPx(pl.top));
        if (i == 8) {
            l->setWordWrap(true);
            l->setFixedWidth(Twips::toPx(pl.width));
        } else if (pl.width > 0) {
            l->resize(Twips::toPx(pl.width), Twips::toPx(300));
        } else {
            l->resize(0, Twips::toPx(300));
        }
        lblExif[size_t(i)] = l;
    }
    QPalette camPal = lblExif[5]->palette();
    camPal.setColor(QPalette::WindowText, camPal.color(QPalette::Highlight));
    lblExif[5]->setPalette(camPal);
    lblExif[5]->setCursor(Qt::PointingHandCursor);
    for (QLabel *l : lblExif)
        l->installEventFilter(this);

    for (int i = 0; i < 10; ++i) {
        const IconPlace &pl = IconPlaces[i];
        auto *img = new QLabel(fraKamera);
        img->setObjectName(QStringLiteral("imgIcon%1").arg(i));
        img->setGeometry(Twips::rect(pl.left, pl.top, pl.width, pl.height));
        img->setToolTip(QLatin1String(pl.tooltip));
        img->setAccessibleName(QString::fromLatin1(pl.tooltip).trimmed());
        img->setAlignment(Qt::AlignCenter);
        const QIcon icon(QStringLiteral(":/app/imgIcon%1.svg").arg(i));
        img->setPixmap(icon.pixmap(img->size()));
        imgIcon[size_t(i)] = img;
    }
}

void frmExifTool::buildMenus()
{
    mnuDatei = menuBar()->addMenu(QStringLiteral("&File"));
    QAction *mnuBeenden = mnuDatei->addAction(QStringLiteral("&End"));
    connect(mnuBeenden, &QAction::triggered, this, &QWidget::close);

    mnuFoto = menuBar()->addMenu(QStringLiteral("&Photo"));
    QAction *next = mnuFoto->addAction(QStringLiteral("Next photo"));
    next->setShortcuts({QKeySequence(Qt::Key_PageDown), QKeySequence(Qt::CTRL | Qt::Key_Right)});
    connect(next, &QAction::triggered, this, [this] { nextPhoto(+1); });
    QAction *previous = mnuFoto->addAction(QStringLiteral("Previous photo"));
    previous->setShortcuts({QKeySequence(Qt::Key_PageUp), QKeySequence(Qt::CTRL | Qt::Key_Left)});
    connect(previous, &QAction::triggered, this, [this] { nextPhoto(-1); });

    mnuHelp = menuBar()->addMenu(QStringLiteral("&Help"));
    auto openLink = [](const char *address) { QDesktopServices::openUrl(QUrl(QLatin1String(address))); };
    connect(mnuHelp->addAction(QStringLiteral("Info")), &QAction::triggered, this, &frmExifTool::mnuInfo_Click);
    connect(mnuHelp->addAction(QStringLiteral("Website")), &QAction::triggered, this,
            [openLink] { openLink(WebLinks::Website); });
    connect(mnuHelp->addAction(QStringLiteral("Donation")), &QAction::triggered, this,
            [openLink] { openLink(WebLinks::Donation); });
    connect(mnuHelp->addAction(QStringLiteral("License of us")), &QAction::triggered, this,
            [openLink] { openLink(WebLinks::License); });
    mnuUpdateExiftool = mnuHelp->addAction(QStringLiteral("Update Exiftool"));
    mnuUpdateExiftool->setVisible(false);
    mnuUpdateExiftool->setEnabled(false);
    connect(mnuUpdateExiftool, &QAction::triggered, this, [openLink] { openLink(WebLinks::ExifToolHome); });
    connect(mnuHelp->addAction(QStringLiteral("Update Lumoskop")), &QAction::triggered, this,
            &frmExifTool::mnuUpdate_Click);
    connect(mnuHelp->addAction(QStringLiteral("Send problem report")), &QAction::triggered, this,
            [openLink] { openLink(WebLinks::ProblemReport); });
}

void frmExifTool::setupTabOrder()
{
    const QList<QWidget *> order = {lvwExifTool, txtBildpfad, cmdDatei,   cmdExif,    cmdAnzeigen, cmdCopy,
                                    cmdExit,     chkExiftool, chkTXT,     chkSort,    cboSprache,  optExif[0],
                                    optExif[2],  optExif[3],  optExif[4], optExif[1], optExif[5],
                                    txtFilter};
    for (int i = 0; i + 1 < order.size(); ++i)
        QWidget::setTabOrder(order[i], order[i + 1]);
}

void frmExifTool::placeDesignedControls()
{
    auto place = [](QWidget *w, const QRect &r) { w->setGeometry(Twips::rect(r.x(), r.y(), r.width(), r.height())); };
    place(lvwExifTool, MainLayout::lvwExifTool);
    place(txtBildpfad, MainLayout::txtBildpfad);
    place(cmdDatei, MainLayout::cmdDatei);
    place(fraKamera, MainLayout::fraKamera);
    place(cmdExif, MainLayout::cmdExif);
    place(cmdAnzeigen, MainLayout::cmdAnzeigen);
    place(cmdCopy, MainLayout::cmdCopy);
    place(cmdExit, MainLayout::cmdExit);
    place(chkExiftool, MainLayout::chkExiftool);
    place(chkTXT, MainLayout::chkTXT);
    place(chkSort, MainLayout::chkSort);
    place(cboSprache, MainLayout::cboSprache);
    for (int i = 0; i < 6; ++i)
        place(optExif[size_t(i)], MainLayout::optExif[i]);
    place(txtFilter, MainLayout::txtFilter);
    place(imgFoto, MainLayout::imgFoto);
    m_photoHome = imgFoto->pos();
}

void frmExifTool::applyLayout()
{
    if (!lvwExifTool)
        return;
    // Only these follow the client area; a rule that yields a negative size is refused and
    // that control keeps the size it had.
    const MainLayout::Resized r = MainLayout::resize(Twips::fromPx(m_client->width()), Twips::fromPx(m_client->height()),
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

// ---------------------------------------------------------------- start-up and settings

void frmExifTool::Form_Load(const QString &commandLine)
{
    // The kept ExifTool may have been asked to stop since it was started.
    if (m_keepExifTool)
        setKeepExifToolRunning(true);
    m_store->WriteSetting(QLatin1String(SettingsStore::ProgrammName), QLatin1String(SettingsStore::ProgrammNameValue));
    m_store->WriteSetting(QLatin1String(SettingsStore::ErscheinungsJahr),
                          QLatin1String(SettingsStore::ErscheinungsJahrValue));
    RegistryLesen();
    lvw_SpaltenbreiteLaden();
    cboSprache->addItems(Languages);
    // The stored text is used unchanged, even when it is none of the fifteen codes.
    cboSprache->setEditText(m_store->ReadSetting(QLatin1String(SettingsStore::LumoskopSprache),
                                                 QLatin1String(SettingsStore::DefaultLanguage)));
    show();
    QCoreApplication::processEvents();
    CommandAbfrage(commandLine);
}

void frmExifTool::RegistryLesen()
{
    using S = SettingsStore;
    // Each step stands alone: a value that does not convert leaves that one property as it was.
    m_geometry.read(*m_store, frameGeometry());
    if (!m_outerGeometry)
        m_outerGeometry = new OuterGeometry(this);
    m_outerGeometry->restore(m_geometry.outer());

    QFont f = txtBildpfad->font();
    const QString face = m_store->ReadSetting(QLatin1String(S::ProgSchriftName), QLatin1String(S::DefaultFontName));
    if (!face.trimmed().isEmpty())
        f.setFamily(face);
    if (auto size = S::toSingle(m_store->ReadSetting(QLatin1String(S::ProgSchriftSize), QLatin1String(S::DefaultFontSize)));
        size && *size > 0 && *size <= 400)
        f.setPointSizeF(*size);
    txtBildpfad->setFont(f);
    lvwExifTool->setFont(txtBildpfad->font());

    const std::pair<const char *, QCheckBox *> boxes[] = {
        {S::ExiftoolCheck, chkExiftool}, {S::TXTcheck, chkTXT}, {S::ExiftoolSort, chkSort}};
    for (const auto &[key, box] : boxes) {
        if (auto state = m_store->readInt16(QLatin1String(key), S::DefaultCheck); state && (*state == 0 || *state == 1))
            box->setChecked(*state == 1);
    }
}

int frmExifTool::keptTwips(const QString &what, int pixels) const
{
    // Twips are finer than pixels: a value that still names the same pixel is written back as it
    // was read, so that an unchanged window does not creep by a few twips at every start.
    const auto it = m_loadedTwips.constFind(what);
    if (it != m_loadedTwips.constEnd() && Twips::toPx(*it) == pixels)
        return *it;
    return Twips::fromPx(pixels);
}

void frmExifTool::lvw_SpaltenbreiteLaden()
{
    // Designed widths where a stored one is unusable.
    const int designed[2] = {4000, 6000};
    for (int n = 1; n <= m_model->columnCount(); ++n) {
        auto w = SettingsStore::toSingle(
            m_store->ReadSetting(SettingsStore::columnWidthKey(n), QLatin1String(SettingsStore::DefaultColumnWidth)));
        const int twips = (w && *w >= 0 && *w < 1e7) ? int(*w) : designed[n - 1];
        lvwExifTool->header()->resizeSection(n - 1, Twips::toPx(twips));
        m_loadedTwips[QStringLiteral("column%1").arg(n)] = twips;
    }
}

void frmExifTool::lvw_SpaltenbreiteSpeichern()
{
    for (int n = 1; n <= m_model->columnCount(); ++n)
        m_store->WriteSetting(SettingsStore::columnWidthKey(n),
                              SettingsStore::fromSingle(keptTwips(QStringLiteral("column%1").arg(n),
                                                                  lvwExifTool->header()->sectionSize(n - 1))));
}

// ---------------------------------------------------------------- closing

void frmExifTool::closeEvent(QCloseEvent *event)
{
    Form_Unload();
    event->accept();
}

void frmExifTool::Form_Unload()
{
    if (m_closing)
        return;
    m_closing = true;
    m_pending = nullptr;
    m_run.abort();
    m_kept.abort();
    m_geometry.write(*m_store, m_outerGeometry ? m_outerGeometry->outer() : frameGeometry());
    lvw_SpaltenbreiteSpeichern();
    deleteReportUnlessKept();
}

void frmExifTool::deleteReportUnlessKept()
{
    if (chkTXT->isChecked() || m_txtPfad.isEmpty())
        return;
    ReportFile::removeReport(m_txtPfad, photoPath());
}

// ---------------------------------------------------------------- the road of one photo

QString frmExifTool::photoPath() const { return txtBildpfad->text(); }

bool frmExifTool::deriveReportPath()
{
    QString path;
    if (!ReportPath::forPhoto(photoPath(), &path))
        return false;
    m_txtPfad = path;
    return true;
}

void frmExifTool::reportProblem(const QString &text, int style)
{
    MsgTamu(text, style, 0, QStringLiteral("Lumoskop"), 1, ErrorBack, DialogFore, this);
}

bool frmExifTool::deferWhileRunning(std::function<void()> command)
{
    if (!isExifToolRunning())
        return false;
    if (m_pendingPhoto.isEmpty()) {
        m_pending = std::move(command);
        return true;
    }
    // A photo chosen meanwhile stays chosen, and the latest other command then acts on it:
    // "Show" pressed after picking a photo must not bring back the photo of the run.
    m_pending = [this, photo = m_pendingPhoto, command = std::move(command)] {
        takeOverPhoto(photo);
        if (!m_closing)
            command();
    };
    return true;
}

void frmExifTool::runPendingCommand()
{
    if (!m_pending || m_closing)
        return;
    auto command = std::move(m_pending);
    m_pending = nullptr;
    command();
}

void frmExifTool::CommandAbfrage(const QString &commandLine)
{
    if (commandLine.isEmpty())
        return;
    txtBildpfad->setText(ReportPath::photoPathFromArgument(commandLine));
    if (!deriveReportPath()) {
        UniformErrorReport(this, QStringLiteral("frmExifTool_CommandAbfrage"), 5,
                           QStringLiteral("Invalid procedure call or argument"));
        return;
    }
    if (ReportFile::examine(m_txtPfad, photoPath()) == ReportFile::Status::OwnReport)
        cmdAnzeigen_Click();
    else
        cmdExif_Click();
}

void frmExifTool::cmdDatei_Click()
{
    QFileDialog dialog(this, QString::fromUtf8(FileDialogTitle));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(qtFilters(QString::fromLatin1(FileDialogFilter)));
    const QFileInfo current(photoPath());
    if (!photoPath().trimmed().isEmpty())
        dialog.setDirectory(current.isDir() ? current.absoluteFilePath() : current.absolutePath());
    if (current.isFile())
        dialog.selectFile(current.absoluteFilePath());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return; // cancelled: list, path and report stay as they were
    QCoreApplication::processEvents();
    takeOverPhoto(dialog.selectedFiles().constFirst());
}

void frmExifTool::takeOverPhoto(const QString &chosen)
{
    m_pendingPhoto.clear(); // a photo chosen now replaces whatever waited for the run's end
    if (deferWhileRunning([this, chosen] { takeOverPhoto(chosen); })) {
        m_pendingPhoto = chosen;
        return;
    }
    m_pendingPhoto.clear();
    deleteReportUnlessKept();
    m_model->clear();
    txtBildpfad->setText(chosen);
    clearSummaryLabels();
    if (!deriveReportPath())
        return;
    if (ReportFile::examine(m_txtPfad, photoPath()) == ReportFile::Status::OwnReport)
        cmdAnzeigen_Click();
    else
        cmdExif_Click();
}

void frmExifTool::cmdExif_Click()
{
    if (photoPath().trimmed().isEmpty())
        return;
    if (deferWhileRunning([this] { cmdExif_Click(); }))
        return;
    if (!deriveReportPath())
        return;
    const QString photo = photoPath();
    const QString report = m_txtPfad;
    // ExifTool's "-w!" would replace whatever stands at the report path: a file that is not a
    // report (or the photo itself) is the user's, and is left alone.
    if (!ReportFile::mayWriteReport(report, photo)) {
        reportProblem(ReportFile::refusalMessage(report, photo), 3);
        emit reportShown();
        return;
    }
    const QString exiftool = ExifToolCommand::locate();
    ExifToolRun::Outcome outcome;
    if (!exiftool.isEmpty()) {
        const bool visible = chkExiftool->isChecked();
        const QStringList args = ExifToolCommand::arguments(cboSprache->currentText(), visible, photo);
        // "ExifTool show" needs a terminal of its own; every other run goes to the kept ExifTool.
        outcome = (m_keepExifTool && !visible) ? m_kept.run(exiftool, args) : m_run.run(exiftool, args, visible);
    }
    if (m_closing)
        return;
    if (m_pending) {
        // Another command came in while ExifTool worked; what it asks for replaces this result.
        runPendingCommand();
        return;
    }
    if (photoPath() != photo)
        return;
    const QString failure = exiftool.isEmpty()
                                ? QStringLiteral("ExifTool was not found, neither in Lumoskop's folder (%1) nor on "
                                                 "the search path, so no data can be shown for\n%2")
                                      .arg(QDir::toNativeSeparators(ProgramFolder::path()),
                                           QDir::toNativeSeparators(photo))
                                : describeFailure(outcome, photo, report);
    if (!failure.isEmpty()) {
        m_model->clear();
        reportProblem(failure);
        emit reportShown();
        return;
    }
    cmdAnzeigen_Click();
}

void frmExifTool::cmdAnzeigen_Click()
{
    if (photoPath().trimmed().isEmpty())
        return;
    if (deferWhileRunning([this] { cmdAnzeigen_Click(); }))
        return;
    m_model->clear();
    if (!deriveReportPath()) {
        emit reportShown();
        return;
    }
    const ReportFile::Status status = ReportFile::examine(m_txtPfad, photoPath());
    if (status == ReportFile::Status::Foreign) {
        reportProblem(QStringLiteral("The file\n%1\nis not a report of ExifTool, so Lumoskop does not show it.")
                          .arg(QDir::toNativeSeparators(m_txtPfad)),
                      3);
        emit reportShown();
        return;
    }
    if (status != ReportFile::Status::OwnReport) {
        emit reportShown();
        return;
    }
    ReportRows rows;
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        ReportReader::load(m_txtPfad, &rows);
        QApplication::restoreOverrideCursor();
    }
    m_model->setRows(std::move(rows));
    loadThumbnail();
    auto stored = m_store->readInt16(QLatin1String(SettingsStore::OptExif), SettingsStore::DefaultOptExif);
    if (stored && *stored >= 0 && *stored <= 5) {
        optExif[size_t(*stored)]->setChecked(true);
        optExif_Click(*stored);
    }
    Kamera();
    emit reportShown();
}

void frmExifTool::loadThumbnail()
{
    // Only a regular file: opening a FIFO named like a photo would wait for a writer for ever.
    if (!QFileInfo(photoPath()).isFile())
        return;
    QImageReader reader(photoPath());
    reader.setAutoTransform(true);
    const QSize box = Twips::rect(0, 0, MainLayout::imgFoto.width(), MainLayout::imgFoto.height()).size();
    const QSize full = reader.size();
    if (full.isValid())
        reader.setScaledSize(full.scaled(box, Qt::KeepAspectRatio));
    const QImage image = reader.read();
    if (image.isNull())
        return; // the photo box keeps what it showed
    imgFoto->setPixmap(QPixmap::fromImage(image.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}

// ---------------------------------------------------------------- camera panel

QString frmExifTool::labelText(int index) const { return lblExif[size_t(index)]->text(); }

void frmExifTool::clearSummaryLabels()
{
    for (QLabel *l : lblExif) {
        l->clear();
        l->setAccessibleName(QString());
    }
}

void frmExifTool::Kamera()
{
    std::array<QString, 12> current;
    for (int i = 0; i < 12; ++i)
        current[size_t(i)] = lblExif[size_t(i)]->text();
    // The panel sums up the whole report, whatever the filter hides, in the list's order; each
    // row's group comes from the report's order, where the headers stand above their rows.
    const QList<int> order = m_model->reportRowsInSortedOrder();
    const QStringList groups = groupsInReportOrder(m_model->reportRows());
    ReportRows rows;
    QStringList groupOfRow;
    rows.reserve(order.size());
    groupOfRow.reserve(order.size());
    for (int reportRow : order) {
        rows.append(m_model->reportRows().at(reportRow));
        groupOfRow.append(groups.value(reportRow));
    }
    const KameraResult result = ::Kamera(rows, groupOfRow, current, ProgramFolder::path());
    for (int i = 0; i < 12; ++i) {
        QLabel *l = lblExif[size_t(i)];
        l->setText(result.labels[size_t(i)]);
        l->setAccessibleName(result.labels[size_t(i)]);
        l->setToolTip(result.tooltips[size_t(i)]);
        if (LabelPlaces[i].width == 0)
            l->resize(l->sizeHint().width(), Twips::toPx(300));
        else if (i == 8)
            l->adjustSize();
    }
    auto show = [](QLabel *box, const QString &path) {
        box->clear();
        const QString found = path.isEmpty() ? QString() : findPicture(path);
        if (!found.isEmpty())
            box->setPixmap(QPixmap(found));
    };
    show(picKamera, result.cameraPicture);
    show(picObjektiv, result.lensPicture);
}

// ---------------------------------------------------------------- list options and sort

void frmExifTool::cboSprache_Click()
{
    if (deferWhileRunning([this] { cboSprache_Click(); }))
        return;
    deleteReportUnlessKept();
    m_model->clear();
    clearSummaryLabels();
    m_store->WriteSetting(QLatin1String(SettingsStore::LumoskopSprache), cboSprache->currentText());
    cmdExif_Click();
}

void frmExifTool::chkExiftool_Click()
{
    m_store->WriteSetting(QLatin1String(SettingsStore::ExiftoolCheck), chkExiftool->isChecked() ? "1" : "0");
}

void frmExifTool::chkTXT_Click()
{
    m_store->WriteSetting(QLatin1String(SettingsStore::TXTcheck), chkTXT->isChecked() ? "1" : "0");
}

void frmExifTool::applyHeaderIcon(ReportListModel::HeaderIcon icon) { m_model->setHeaderIcon(icon); }

void frmExifTool::chkSort_Click()
{
    if (chkSort->isChecked()) {
        m_model->setSorting(true);
        applyHeaderIcon(ReportListModel::TriangleDown);
    } else {
        applyHeaderIcon(ReportListModel::NoIcon);
        m_model->setSorting(false);
        cmdAnzeigen_Click();
    }
    m_store->WriteSetting(QLatin1String(SettingsStore::ExiftoolSort), chkSort->isChecked() ? "1" : "0");
}

void frmExifTool::lvwExifTool_ColumnClick(int)
{
    // Whichever header is clicked, the list sorts by the name column.
    m_model->setSorting(true);
    chkSort->setChecked(true);
    applyHeaderIcon(ReportListModel::NoIcon);
    if (m_model->sortOrder() == Qt::AscendingOrder) {
        m_model->setSortOrder(Qt::DescendingOrder);
        applyHeaderIcon(ReportListModel::TriangleUp);
    } else {
        m_model->setSortOrder(Qt::AscendingOrder);
        applyHeaderIcon(ReportListModel::TriangleDown);
    }
}

// ---------------------------------------------------------------- group navigation

void frmExifTool::optExif_Click(int index)
{
    Q_UNUSED(index);
    for (int i = 0; i < 6; ++i) {
        if (optExif[size_t(i)]->isChecked()) {
            jumpToGroup(i);
            return;
        }
    }
}

void frmExifTool::jumpToGroup(int index)
{
    const int count = m_model->rowCount();
    if (index == 0) {
        if (count > 0) {
            const QModelIndex first = m_model->index(0, 0);
            lvwExifTool->selectionModel()->setCurrentIndex(
                first, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
            lvwExifTool->scrollTo(first, QAbstractItemView::PositionAtTop);
        }
        m_store->WriteSetting(QLatin1String(SettingsStore::OptExif), QStringLiteral("0"));
        return;
    }
    if (count > 0)
        lvwExifTool->scrollToBottom();
    const int target = GroupNavigation::targetRow(m_model->rowsInListOrder(), index);
    if (target >= 0)
        lvwExifTool->scrollTo(m_model->index(target, 0), QAbstractItemView::PositionAtTop);
    if (GroupNavigation::storesIndex(index, target))
        m_store->WriteSetting(QLatin1String(SettingsStore::OptExif), QString::number(index));
}

// ---------------------------------------------------------------- copy, photo and label actions

void frmExifTool::cmdCopy_Click()
{
    const QString answer = MsgTamu(QStringLiteral("Ja: Copy all\r\nNein: Copy selected rows"), 32, 1,
                                   QStringLiteral("Exif copy"), 1, DialogBack, DialogFore, this);
    QString text;
    if (answer == QLatin1String("Ja")) {
        text = clipboardText(m_model->rowsInListOrder());
    } else if (answer == QLatin1String("Nein")) {
        text = clipboardText(m_model->rowsInListOrder(), selectedListRows());
    } else if (answer == QLatin1String("Exit")) {
        return;
    }
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(text);
}

bool frmExifTool::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == txtFilter && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
        txtFilter->clear();
        return true;
    }
    if (watched == imgFoto) {
        // The thumbnail gives way by 10 twips while pressed.
        const int step = Twips::toPx(10) > 0 ? Twips::toPx(10) : 1;
        if (event->type() == QEvent::MouseButtonPress) {
            imgFoto->move(m_photoHome + QPoint(step, step));
        } else if (event->type() == QEvent::MouseButtonRelease) {
            imgFoto->move(m_photoHome);
            auto *me = static_cast<QMouseEvent *>(event);
            if (imgFoto->rect().contains(me->position().toPoint()))
                imgFoto_Click();
        }
    } else if (event->type() == QEvent::MouseButtonRelease) {
        for (int i = 0; i < 12; ++i) {
            if (watched == lblExif[size_t(i)]) {
                lblExif_Click(i);
                break;
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmExifTool::imgFoto_Click()
{
    if (photoPath().trimmed().isEmpty())
        return;
    QCoreApplication::processEvents();
    const PhotoOpener::Result r = PhotoOpener::open(photoPath());
    if (r.errorNumber != 0)
        UniformErrorReport(this, QStringLiteral("frmExiftool_imgFoto_Click"), r.errorNumber, r.description);
}

void frmExifTool::lblExif_Click(int index)
{
    if (index != 5)
        return;
    const QUrl address = makerAddress(lblExif[5]->text());
    if (address.isValid() && !address.isEmpty())
        QDesktopServices::openUrl(address);
}

// ---------------------------------------------------------------- menus

void frmExifTool::mnuInfo_Click()
{
    ShowInfo(this, m_store->ReadSetting(QLatin1String(SettingsStore::ProgrammName), QString()));
}

void frmExifTool::mnuUpdate_Click()
{
    pubMsgResult = MsgTamu(QStringLiteral("Your Version: %1.%2.%3")
                               .arg(LumoskopVersion::Major)
                               .arg(LumoskopVersion::Minor)
                               .arg(LumoskopVersion::Revision),
                           1, 0, QStringLiteral("Programminformationen"), 0, DialogBack, DialogFore, this);
    QDesktopServices::openUrl(
        QUrl(m_store->ReadSetting(QLatin1String(SettingsStore::Update), QLatin1String(WebLinks::Download))));
}

// ---------------------------------------------------------------- browsing, keyboard, drops

void frmExifTool::nextPhoto(int step)
{
    // A key held down asks again and again while ExifTool works: count on from the photo that
    // is already waiting, so that only the last one asked for is taken over.
    const QString from = m_pendingPhoto.isEmpty() ? photoPath() : m_pendingPhoto;
    const QString target = PhotoBrowsing::neighbour(from, step);
    if (!target.isEmpty())
        takeOverPhoto(target);
}

QList<int> frmExifTool::selectedListRows() const
{
    QList<int> selected;
    const QModelIndexList rows = lvwExifTool->selectionModel()->selectedRows();
    for (const QModelIndex &i : rows)
        selected << i.row();
    return selected;
}

void frmExifTool::copySelectedRows()
{
    QGuiApplication::clipboard()->setText(clipboardText(m_model->rowsInListOrder(), selectedListRows()));
}

namespace {
QString firstLocalFile(const QMimeData *mime)
{
    if (!mime || !mime->hasUrls() || mime->urls().isEmpty())
        return QString();
    const QUrl first = mime->urls().constFirst();
    return first.isLocalFile() ? first.toLocalFile() : QString();
}
} // namespace

void frmExifTool::dragEnterEvent(QDragEnterEvent *event)
{
    if (!firstLocalFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void frmExifTool::dropEvent(QDropEvent *event)
{
    const QString file = firstLocalFile(event->mimeData());
    if (file.isEmpty())
        return;
    event->acceptProposedAction();
    takeOverPhoto(file);
}
