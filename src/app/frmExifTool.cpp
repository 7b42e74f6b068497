#include "app/frmExifTool.h"

#include "LumoskopVersion.h"
#include "about/frmInfo.h"
#include "app/CameraPanel.h"
#include "app/MainLayout.h"
#include "app/MainMenus.h"
#include "app/OuterGeometry.h"
#include "app/PhotoOpener.h"
#include "app/SettingsStore.h"
#include "app/WebLinks.h"
#include "app/modFarbverlauf.h"
#include "controls/CaptionedTextBox.h"
#include "controls/DesignPalette.h"
#include "controls/GradientButton.h"
#include "controls/LanguageBox.h"
#include "controls/PhotoFileDialog.h"
#include "controls/PhotoThumbnail.h"
#include "controls/ReportListView.h"
#include "controls/Twips.h"
#include "dialogs/MsgTamuRules.h"
#include "dialogs/modMsgTamu.h"
#include "pipeline/ExifToolService.h"
#include "pipeline/Notice.h"
#include "pipeline/PhotoBrowser.h"
#include "pipeline/ReportListModel.h"
#include "summary/ClipboardText.h"
#include "summary/MakerAddress.h"
#include "summary/MapAddress.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QMenuBar>
#include <QMimeData>
#include <QRadioButton>

namespace
{
constexpr const char *FileDialogTitle = "Foto auswählen";
constexpr const char *FileDialogFilter =
    "JPEG (*.jpg) |*.jpg|PNG (*.png) |*.png|BMP (*.bmp) |*.bmp|alle Dateien (*.*) |*.*";

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

QString firstLocalFile(const QMimeData *mime)
{
    if (!mime || !mime->hasUrls() || mime->urls().isEmpty())
        return QString();
    const QUrl first = mime->urls().constFirst();
    return first.isLocalFile() ? first.toLocalFile() : QString();
}

void openAddress(const QUrl &address)
{
    if (address.isValid() && !address.isEmpty())
        QDesktopServices::openUrl(address);
}
} // namespace

const QStringList frmExifTool::Languages = {"de", "en", "es", "fi", "fr", "it", "ja", "ko",
                                            "nl", "pl", "ru", "sk", "sv", "tr", "zh"};

frmExifTool::frmExifTool(SettingsStore &store, PhotoBrowser &browser, QWidget *parent)
    : QMainWindow(parent), m_store(store), m_browser(browser), m_model(new ReportListModel(this))
{
    // Loading Perl and ExifTool's modules is most of what a photo costs: let that happen while
    // the window is being built and painted.
    m_browser.service().warmUp();
    setWindowTitle(QString::fromLatin1(Caption));
    setWindowIcon(QIcon(QStringLiteral(":/app/lumoskop.svg")));
    QFont windowFont(QStringLiteral("Segoe UI"));
    windowFont.setPointSizeF(9);
    setFont(windowFont);
    m_client = new GradientArea(DesignPalette::MainWindowTop, DesignPalette::MainWindowBottom, this);
    setCentralWidget(m_client);
    connect(m_client, &GradientArea::resized, this, &frmExifTool::applyLayout);
    buildControls();
    buildActions();
    setupTabOrder();
    wireBrowser();
    resize(Twips::toPx(MainLayout::ClientWidth),
           Twips::toPx(MainLayout::ClientHeight) + menuBar()->sizeHint().height());
}

frmExifTool::~frmExifTool()
{
    // A run that the window outlives would write a report nobody deletes.
    m_closing = true;
    m_browser.close();
    // The service's word that it is idle again comes too late for a window that is gone.
    if (m_busyCursor)
        QApplication::restoreOverrideCursor();
}

void frmExifTool::buildControls()
{
    QFont controlFont(QStringLiteral("Segoe UI"));
    controlFont.setPointSizeF(9.75);
    // Every control at its designed place, with its name, font, tooltip and the name a screen
    // reader gives it.
    auto setUp = [&controlFont](QWidget *w, const char *name, const QRect &twips, const QString &tip,
                                const QString &spoken) {
        w->setObjectName(QLatin1String(name));
        w->setFont(controlFont);
        w->setGeometry(Twips::rect(twips.x(), twips.y(), twips.width(), twips.height()));
        if (!tip.isEmpty())
            w->setToolTip(tip);
        if (!spoken.isEmpty())
            w->setAccessibleName(spoken);
    };

    m_model->setHeaderIcons(QIcon(QStringLiteral(":/app/kopf1.svg")), QIcon(QStringLiteral(":/app/kopf2.svg")));
    lvwExifTool = new ReportListView(m_client);
    lvwExifTool->setModel(m_model);
    setUp(lvwExifTool, "lvwExifTool", MainLayout::lvwExifTool, QString(), QString());
    connect(lvwExifTool->header(), &QHeaderView::sectionClicked, this, &frmExifTool::lvwExifTool_ColumnClick);
    connect(lvwExifTool, &ReportListView::copyRequested, this, &frmExifTool::copySelectedRows);

    txtBildpfad = new CaptionedTextBox(CaptionedTextBox::Mode::SingleLine, m_client);
    txtBildpfad->setCaption(QStringLiteral("Photo:"));
    txtBildpfad->lineEdit()->setAccessibleName(QStringLiteral("Photo:"));
    setUp(txtBildpfad, "txtBildpfad", MainLayout::txtBildpfad, QStringLiteral("Name des Fotografen"),
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
        *b.button = new GradientButton(QLatin1String(b.caption), m_client);
        const QString tip = QLatin1String(b.tip);
        setUp(*b.button, b.name, b.place, tip, *b.caption ? QLatin1String(b.caption) : tip.trimmed());
        if (b.icon)
            (*b.button)->setIcon(QIcon(QLatin1String(b.icon)));
    }

    const struct {
        QCheckBox **box;
        const char *name, *caption, *tip;
        QRect place;
        void (frmExifTool::*click)();
    } boxes[] = {
        {&chkExiftool, "chkExiftool", "ExifTool show", " the Dos window remains open ", MainLayout::chkExiftool,
         &frmExifTool::chkExiftool_Click},
        {&chkTXT, "chkTXT", "TXT save", " do not delete the text file created by ExifTool  ", MainLayout::chkTXT,
         &frmExifTool::chkTXT_Click},
        {&chkSort, "chkSort", "List sort", "", MainLayout::chkSort, &frmExifTool::chkSort_Click},
    };
    for (const auto &c : boxes) {
        *c.box = new QCheckBox(QLatin1String(c.caption), m_client);
        setUp(*c.box, c.name, c.place, QLatin1String(c.tip), QLatin1String(c.caption));
        setBackground(*c.box, DesignPalette::CheckBoxBack);
        // A box's handler runs whenever its value changes, by the user or by the program.
        connect(*c.box, &QCheckBox::toggled, this, c.click);
    }

    cboSprache = new LanguageBox(m_client);
    setUp(cboSprache, "cboSprache", MainLayout::cboSprache, QStringLiteral(" Language "), QStringLiteral("Language"));
    // Only picking an entry from the list runs the handler and stores the code. What is typed
    // runs nothing, and reaches ExifTool with the next run.
    connect(cboSprache, &LanguageBox::picked, this, &frmExifTool::cboSprache_Click);
    connect(cboSprache, &QComboBox::editTextChanged, &m_browser, &PhotoBrowser::setLanguage);

    for (int i = 0; i < 6; ++i) {
        auto *o = new QRadioButton(QLatin1String(OptionCaptions[i]), m_client);
        setUp(o, "", MainLayout::optExif[i], QLatin1String(OptionTips[i]), QLatin1String(OptionCaptions[i]));
        o->setObjectName(QStringLiteral("optExif%1").arg(i));
        setBackground(o, DesignPalette::OptionBack);
        optExif[size_t(i)] = o;
        connect(o, &QRadioButton::clicked, this, [this, i] { optExif_Click(i); });
    }
    optExif[0]->setChecked(true);

    fraKamera = new CameraPanel(m_client);
    fraKamera->setGeometry(Twips::rect(MainLayout::fraKamera.x(), MainLayout::fraKamera.y(),
                                       MainLayout::fraKamera.width(), MainLayout::fraKamera.height()));
    connect(fraKamera, &CameraPanel::cameraClicked, this, [this] { lblExif_Click(CameraPanel::CameraLabel); });

    imgFoto = new PhotoThumbnail(m_client);
    setUp(imgFoto, "imgFoto", MainLayout::imgFoto, imgFoto->toolTip(), imgFoto->accessibleName());
    connect(imgFoto, &PhotoThumbnail::clicked, this, &frmExifTool::imgFoto_Click);
    m_browser.setPictureBox(imgFoto->size());

    txtFilter = new FilterBox(m_client);
    setUp(txtFilter, "txtFilter", MainLayout::txtFilter, txtFilter->toolTip(), txtFilter->accessibleName());
    connect(txtFilter, &QLineEdit::textChanged, m_model, &ReportListModel::setFilter);
    setAcceptDrops(true);
}

void frmExifTool::buildActions()
{
    auto link = [](const char *address) { return [address] { openAddress(QUrl(QLatin1String(address))); }; };
    using Keys = QList<QKeySequence>;
    m_actions = ::buildActions(
        this, {
                  {"actPhoto", QStringLiteral("Choose photo"), {}, nullptr, [this] { cmdDatei_Click(); }},
                  {"actExifTool", QStringLiteral("ExifTool"), {}, nullptr, [this] { cmdExif_Click(); }},
                  {"actShow", QStringLiteral("Show"), Keys{Qt::Key_F5}, nullptr, [this] { cmdAnzeigen_Click(); }},
                  {"actCopy", QStringLiteral("Copy"), {}, nullptr, [this] { cmdCopy_Click(); }},
                  {"actFilter", QStringLiteral("Filter"), Keys{Qt::CTRL | Qt::Key_F}, nullptr,
                   [this] {
                       txtFilter->setFocus(Qt::ShortcutFocusReason);
                       txtFilter->selectAll();
                   }},
                  {"mnuBeenden", QStringLiteral("&End"), {}, "mnuDatei", [this] { close(); }},
                  {"mnuNext", QStringLiteral("Next photo"), Keys{Qt::Key_PageDown, Qt::CTRL | Qt::Key_Right}, "mnuFoto",
                   [this] { nextPhoto(+1); }},
                  {"mnuPrevious", QStringLiteral("Previous photo"), Keys{Qt::Key_PageUp, Qt::CTRL | Qt::Key_Left},
                   "mnuFoto", [this] { nextPhoto(-1); }},
                  {"mnuKarte", QStringLiteral("Show on &map"), Keys{Qt::CTRL | Qt::Key_M}, "mnuFoto",
                   [this] { mnuKarte_Click(); }},
                  {"mnuInfo", QStringLiteral("Info"), {}, "mnuHelp", [this] { mnuInfo_Click(); }},
                  {"mnuWebsite", QStringLiteral("Website"), {}, "mnuHelp", link(WebLinks::Website)},
                  {"mnuSpende", QStringLiteral("Donation"), {}, "mnuHelp", link(WebLinks::Donation)},
                  {"mnuLizenz", QStringLiteral("License of us"), {}, "mnuHelp", link(WebLinks::License)},
                  {"mnuUpdateExiftool", QStringLiteral("Update Exiftool"), {}, "mnuHelp", link(WebLinks::ExifToolHome)},
                  {"mnuUpdate", QStringLiteral("Update Lumoskop"), {}, "mnuHelp", [this] { mnuUpdate_Click(); }},
                  {"mnuProblem", QStringLiteral("Send problem report"), {}, "mnuHelp", link(WebLinks::ProblemReport)},
              });
    m_actions.value(QStringLiteral("mnuUpdateExiftool"))->setVisible(false);
    m_actions.value(QStringLiteral("mnuUpdateExiftool"))->setEnabled(false);
    const std::pair<GradientButton *, const char *> buttons[] = {{cmdDatei, "actPhoto"},
                                                                 {cmdExif, "actExifTool"},
                                                                 {cmdAnzeigen, "actShow"},
                                                                 {cmdCopy, "actCopy"},
                                                                 {cmdExit, "mnuBeenden"}};
    for (const auto &[button, action] : buttons)
        connect(button, &QPushButton::clicked, m_actions.value(QLatin1String(action)), &QAction::trigger);
}

void frmExifTool::wireBrowser()
{
    connect(&m_browser, &PhotoBrowser::photoChanged, this, [this](const QString &photo) {
        txtBildpfad->setText(photo);
        m_model->clear();
        fraKamera->clear();
        imgFoto->clearPhoto();
    });
    connect(&m_browser, &PhotoBrowser::shown, this,
            [this](const QString &, const ReportRows &rows, const QStringList &names) { showReport(rows, names); });
    // Panel, thumbnail and group choice stay as they were: a new photo has cleared them already.
    connect(&m_browser, &PhotoBrowser::cleared, m_model, &ReportListModel::clear);
    connect(&m_browser, &PhotoBrowser::picture, imgFoto, &PhotoThumbnail::showPicture);
    // A notice is shown once the step that raised it has returned: its box waits in an event
    // loop of its own, and the road must not run again inside the very handler that spoke.
    connect(&m_browser, &PhotoBrowser::notice, this, [this](const Notice &notice) {
        QMetaObject::invokeMethod(
            this, [this, notice] { showNotice(notice); }, Qt::QueuedConnection);
    });
    auto showPosition = [this] {
        const bool known = m_browser.position().has_value();
        QAction *map = m_actions.value(QStringLiteral("mnuKarte"));
        map->setEnabled(known);
        map->setToolTip(known ? QStringLiteral("Where the photo was taken, on OpenStreetMap")
                              : QStringLiteral("The photo's metadata holds no position"));
    };
    connect(&m_browser, &PhotoBrowser::positionChanged, this, showPosition);
    showPosition();
    connect(&m_browser.service(), &ExifToolService::busyChanged, this, [this](bool busy) {
        if (busy == m_busyCursor)
            return;
        m_busyCursor = busy;
        if (busy)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QApplication::restoreOverrideCursor();
    });
}

void frmExifTool::setupTabOrder()
{
    const QList<QWidget *> order = {lvwExifTool, txtBildpfad, cmdDatei,   cmdExif,    cmdAnzeigen, cmdCopy,
                                    cmdExit,     chkExiftool, chkTXT,     chkSort,    cboSprache,  optExif[0],
                                    optExif[2],  optExif[3],  optExif[4], optExif[1], optExif[5],  txtFilter};
    for (int i = 0; i + 1 < order.size(); ++i)
        QWidget::setTabOrder(order[i], order[i + 1]);
}

void frmExifTool::applyLayout()
{
    if (!lvwExifTool)
        return;
    // Only these follow the client area; a rule that yields a negative size is refused and
    // that control keeps the size it had.
    const MainLayout::Resized r = MainLayout::resize(
        Twips::fromPx(m_client->width()), Twips::fromPx(m_client->height()), Twips::fromPx(cmdDatei->width()));
    if (r.listWidth)
        lvwExifTool->resize(Twips::toPx(*r.listWidth), lvwExifTool->height());
    fraKamera->resize(lvwExifTool->width(), fraKamera->height());
    cmdDatei->move(Twips::toPx(r.cmdDateiLeft), cmdDatei->y());
    if (r.txtBildpfadWidth)
        txtBildpfad->resize(Twips::toPx(*r.txtBildpfadWidth), txtBildpfad->height());
    if (r.listHeight)
        lvwExifTool->resize(lvwExifTool->width(), Twips::toPx(*r.listHeight));
}

// ---------------------------------------------------------------- start-up, settings, closing

void frmExifTool::Form_Load()
{
    m_store.writeStartValues();
    RegistryLesen();
    lvw_SpaltenbreiteLaden();
    cboSprache->addItems(Languages);
    // The list opens on the code shown; a stored code that is none of the list's is shown as
    // it is.
    const QString language = m_store.language();
    cboSprache->setCurrentIndex(int(Languages.indexOf(language)));
    cboSprache->setEditText(language);
    show();
    QCoreApplication::processEvents();
    // The start-up entry: the photo of the command line.
    m_browser.openCommandLinePhoto();
}

void frmExifTool::RegistryLesen()
{
    // Each step stands alone: a value that does not convert leaves that one property as it was.
    m_geometry.read(m_store, frameGeometry());
    if (!m_outerGeometry)
        m_outerGeometry = new OuterGeometry(this);
    m_outerGeometry->restore(m_geometry.outer());

    QFont f = txtBildpfad->font();
    if (const QString face = m_store.fontName(); !face.isEmpty())
        f.setFamily(face);
    if (const auto size = m_store.fontSize())
        f.setPointSizeF(*size);
    txtBildpfad->setFont(f);
    lvwExifTool->setFont(txtBildpfad->font());

    const std::pair<const char *, QCheckBox *> boxes[] = {{SettingsStore::ExiftoolCheck, chkExiftool},
                                                          {SettingsStore::TXTcheck, chkTXT},
                                                          {SettingsStore::ExiftoolSort, chkSort}};
    for (const auto &[key, box] : boxes) {
        if (const auto on = m_store.option(key))
            box->setChecked(*on);
    }
}

void frmExifTool::lvw_SpaltenbreiteLaden()
{
    // Designed widths where a stored one is unusable.
    const int designed[2] = {4000, 6000};
    for (int n = 1; n <= m_model->columnCount(); ++n) {
        m_columnTwips[size_t(n - 1)] = m_store.columnWidth(n).value_or(designed[n - 1]);
        lvwExifTool->header()->resizeSection(n - 1, Twips::toPx(*m_columnTwips[size_t(n - 1)]));
    }
}

void frmExifTool::lvw_SpaltenbreiteSpeichern()
{
    for (int n = 1; n <= m_model->columnCount(); ++n)
        m_store.setColumnWidth(
            n, WindowGeometry::keptTwips(m_columnTwips[size_t(n - 1)], lvwExifTool->header()->sectionSize(n - 1)));
}

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
    m_geometry.write(m_store, m_outerGeometry ? m_outerGeometry->outer() : frameGeometry());
    lvw_SpaltenbreiteSpeichern();
    m_browser.close();
}

// ---------------------------------------------------------------- the photo's road

QString frmExifTool::typedPath() const
{
    return txtBildpfad->text();
}

void frmExifTool::showNotice(const Notice &notice)
{
    if (m_closing)
        return;
    const int style = notice.kind == Notice::Kind::Error ? 4 : notice.kind == Notice::Kind::Warning ? 3 : 1;
    pubMsgResult = MsgTamu(notice.text, style, 0, notice.title.isEmpty() ? QStringLiteral("Lumoskop") : notice.title, 1,
                           MsgTamuRules::ErrorBackColour, MsgTamuRules::DefaultForeColour, this);
}

void frmExifTool::showReport(const ReportRows &rows, const QStringList &englishNames)
{
    m_model->setRows(rows);
    if (const auto group = m_store.group()) {
        optExif[size_t(*group)]->setChecked(true);
        optExif_Click(*group);
    }
    fraKamera->Kamera(*m_model, englishNames);
}

void frmExifTool::cmdDatei_Click()
{
    const QString chosen = PhotoFileDialog::choose(this, QString::fromUtf8(FileDialogTitle),
                                                   QString::fromLatin1(FileDialogFilter), typedPath());
    if (!chosen.isEmpty() && !m_closing)
        m_browser.open(chosen); // cancelled: list, path and report stay as they were
}

void frmExifTool::cmdExif_Click()
{
    m_browser.runExifTool(typedPath());
}

void frmExifTool::cmdAnzeigen_Click()
{
    m_browser.showReport(typedPath());
}

void frmExifTool::nextPhoto(int step)
{
    m_browser.step(step, typedPath());
}

// ---------------------------------------------------------------- list options and sort

void frmExifTool::cboSprache_Click()
{
    fraKamera->clear();
    m_store.setLanguage(cboSprache->currentText());
    m_browser.changeLanguage(cboSprache->currentText(), typedPath());
}

void frmExifTool::chkExiftool_Click()
{
    m_store.setOption(SettingsStore::ExiftoolCheck, chkExiftool->isChecked());
    m_browser.setShowExifTool(chkExiftool->isChecked());
}

void frmExifTool::chkTXT_Click()
{
    m_store.setOption(SettingsStore::TXTcheck, chkTXT->isChecked());
    m_browser.setKeepReports(chkTXT->isChecked());
}

void frmExifTool::chkSort_Click()
{
    if (chkSort->isChecked()) {
        m_model->setSorting(true);
        m_model->setHeaderIcon(ReportListModel::TriangleDown);
    } else {
        m_model->setHeaderIcon(ReportListModel::NoIcon);
        m_model->setSorting(false);
        // The report is read again, so that the panel too is made in the report's order.
        m_browser.showAgain();
    }
    m_store.setOption(SettingsStore::ExiftoolSort, chkSort->isChecked());
}

void frmExifTool::lvwExifTool_ColumnClick(int)
{
    // Whichever header is clicked, the list sorts by the name column.
    chkSort->setChecked(true);
    m_model->toggleSortFromHeader();
}

void frmExifTool::optExif_Click(int)
{
    for (int i = 0; i < 6; ++i) {
        if (optExif[size_t(i)]->isChecked()) {
            if (lvwExifTool->jumpToGroup(i))
                m_store.setGroup(i);
            return;
        }
    }
}

// ---------------------------------------------------------------- copy, photo and label actions

void frmExifTool::cmdCopy_Click()
{
    const QString answer =
        MsgTamu(QStringLiteral("Ja: Copy all\r\nNein: Copy selected rows"), 32, 1, QStringLiteral("Exif copy"), 1,
                MsgTamuRules::DefaultBackColour, MsgTamuRules::DefaultForeColour, this);
    if (answer == QLatin1String("Ja"))
        putOnClipboard(clipboardText(m_model->rowsInListOrder()));
    else if (answer == QLatin1String("Nein"))
        copySelectedRows();
    // "Exit", or the box closed without a button: the clipboard keeps what it held.
}

void frmExifTool::copySelectedRows()
{
    putOnClipboard(clipboardText(m_model->rowsInListOrder(), lvwExifTool->selectedRowNumbers()));
}

void frmExifTool::putOnClipboard(const QString &text)
{
    // Nothing to copy replaces nothing: the user's clipboard is not wiped for an empty list.
    if (!text.isEmpty())
        QGuiApplication::clipboard()->setText(text);
}

void frmExifTool::imgFoto_Click()
{
    const QString photo = m_browser.photo();
    if (photo.trimmed().isEmpty())
        return;
    // Made at the first click: the file manager's fall-back speaks D-Bus, which the start of
    // the program does not need.
    if (!m_opener) {
        m_opener = new PhotoOpener(this);
        connect(m_opener, &PhotoOpener::finished, this, [this](int number, const QString &description) {
            if (number != 0 && !m_closing)
                UniformErrorReport(this, QStringLiteral("frmExiftool_imgFoto_Click"), number, description);
        });
    }
    m_opener->open(photo);
}

void frmExifTool::lblExif_Click(int index)
{
    if (index == CameraPanel::CameraLabel)
        openAddress(makerAddress(fraKamera->labelText(index)));
}

// ---------------------------------------------------------------- menus and drops

void frmExifTool::mnuInfo_Click()
{
    ShowInfo(this, m_store.programName());
}

void frmExifTool::mnuUpdate_Click()
{
    pubMsgResult = MsgTamu(QStringLiteral("Your Version: %1.%2.%3")
                               .arg(LumoskopVersion::Major)
                               .arg(LumoskopVersion::Minor)
                               .arg(LumoskopVersion::Revision),
                           1, 0, QStringLiteral("Programminformationen"), 0, MsgTamuRules::DefaultBackColour,
                           MsgTamuRules::DefaultForeColour, this);
    if (!m_closing)
        QDesktopServices::openUrl(QUrl(m_store.updateAddress(QLatin1String(WebLinks::Download))));
}

void frmExifTool::mnuKarte_Click()
{
    if (const auto position = m_browser.position())
        openAddress(mapAddress(*position));
}

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
    m_browser.open(file);
}
