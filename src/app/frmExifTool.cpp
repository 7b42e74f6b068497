#include "app/frmExifTool.h"

#include "LumoskopVersion.h"
#include "about/frmInfo.h"
#include "app/CameraPanel.h"
#include "app/MainLayout.h"
#include "app/MainMenus.h"
#include "app/OuterGeometry.h"
#include "app/PhotoOpener.h"
#include "app/WebLinks.h"
#include "app/modFarbverlauf.h"
#include "controls/BusyPointer.h"
#include "controls/CaptionedTextBox.h"
#include "controls/DesignPalette.h"
#include "controls/GradientButton.h"
#include "controls/LanguageBox.h"
#include "controls/PhotoFileDialog.h"
#include "controls/PhotoThumbnail.h"
#include "controls/ReportListView.h"
#include "controls/SvgPictures.h"
#include "controls/Twips.h"
#include "dialogs/MsgTamuRules.h"
#include "dialogs/modMsgTamu.h"
#include "pipeline/ExifToolService.h"
#include "pipeline/Notice.h"
#include "pipeline/PhotoBrowser.h"
#include "pipeline/ReportListModel.h"
#include "start/SettingsStore.h"
#include "summary/ClipboardText.h"
#include "summary/MakerAddress.h"
#include "summary/MapAddress.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDropEvent>
#include <QHeaderView>
#include <QMenuBar>
#include <QRadioButton>

frmExifTool::frmExifTool(SettingsStore &store, PhotoBrowser &browser, QWidget *parent)
    : QMainWindow(parent), m_store(store), m_browser(browser), m_model(new ReportListModel(this))
{
    // Loading Perl and ExifTool's modules is most of what a photo costs: let that happen while
    // the window is being built and painted.
    m_browser.service().warmUp();
    setWindowTitle(QString::fromLatin1(Caption));
    setWindowIcon(SvgPictures::icon(QStringLiteral(":/app/lumoskop.svg")));
    QFont windowFont(QStringLiteral("Segoe UI"));
    windowFont.setPointSizeF(9);
    setFont(windowFont);
    m_client = new GradientArea(DesignPalette::MainWindowTop, DesignPalette::MainWindowBottom, this);
    setCentralWidget(m_client);
    wireControls();
    buildActions();
    wireBrowser();
    resize(Twips::toPx(MainLayout::ClientWidth),
           Twips::toPx(MainLayout::ClientHeight) + menuBar()->sizeHint().height());
}

frmExifTool::~frmExifTool()
{
    // A run that the window outlives would write a report nobody deletes.
    m_closing = true;
    m_browser.close();
}

void frmExifTool::wireControls()
{
    c.build(m_client, m_model);
    connect(m_client, &GradientArea::resized, this, [this] { c.followClientArea(m_client); });
    connect(c.lvwExifTool->header(), &QHeaderView::sectionClicked, this, &frmExifTool::lvwExifTool_ColumnClick);
    connect(c.lvwExifTool, &ReportListView::copyRequested, this, &frmExifTool::copySelectedRows);
    // A box's handler runs whenever its value changes, by the user or by the program.
    connect(c.chkExiftool, &QCheckBox::toggled, this, &frmExifTool::chkExiftool_Click);
    connect(c.chkTXT, &QCheckBox::toggled, this, &frmExifTool::chkTXT_Click);
    connect(c.chkSort, &QCheckBox::toggled, this, &frmExifTool::chkSort_Click);
    // Only picking an entry from the list runs the handler and stores the code. What is typed
    // runs nothing, and reaches ExifTool with the next run.
    connect(c.cboSprache, &LanguageBox::picked, this, &frmExifTool::cboSprache_Click);
    connect(c.cboSprache, &QComboBox::editTextChanged, &m_browser, &PhotoBrowser::setLanguage);
    for (int i = 0; i < 6; ++i)
        connect(c.optExif[size_t(i)], &QRadioButton::clicked, this, [this, i] { optExif_Click(i); });
    connect(c.fraKamera, &CameraPanel::cameraClicked, this, [this] { lblExif_Click(CameraPanel::CameraLabel); });
    connect(c.imgFoto, &PhotoThumbnail::clicked, this, &frmExifTool::imgFoto_Click);
    m_browser.setPictureBox(c.imgFoto->size());
    setAcceptDrops(true);
}

void frmExifTool::buildActions()
{
    auto link = [](const char *address) { return [address] { WebLinks::open(QUrl(QLatin1String(address))); }; };
    using Keys = QList<QKeySequence>;
    m_actions = ::buildActions(
        this, {
                  {"actPhoto", QStringLiteral("Choose photo"), {}, nullptr, [this] { cmdDatei_Click(); }},
                  {"actExifTool", QStringLiteral("ExifTool"), {}, nullptr, [this] { cmdExif_Click(); }},
                  {"actShow", QStringLiteral("Show"), Keys{Qt::Key_F5}, nullptr, [this] { cmdAnzeigen_Click(); }},
                  {"actCopy", QStringLiteral("Copy"), {}, nullptr, [this] { cmdCopy_Click(); }},
                  {"actFilter", QStringLiteral("Filter"), Keys{Qt::CTRL | Qt::Key_F}, nullptr,
                   [this] {
                       c.txtFilter->setFocus(Qt::ShortcutFocusReason);
                       c.txtFilter->selectAll();
                   }},
                  {"mnuBeenden", QStringLiteral("&End"), {}, "mnuDatei", [this] { close(); }},
                  {"mnuNext", QStringLiteral("Next photo"), Keys{Qt::Key_PageDown, Qt::CTRL | Qt::Key_Right}, "mnuFoto",
                   [this] { m_browser.step(+1, typedPath()); }},
                  {"mnuPrevious", QStringLiteral("Previous photo"), Keys{Qt::Key_PageUp, Qt::CTRL | Qt::Key_Left},
                   "mnuFoto", [this] { m_browser.step(-1, typedPath()); }},
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
    const std::pair<GradientButton *, const char *> buttons[] = {{c.cmdDatei, "actPhoto"},
                                                                 {c.cmdExif, "actExifTool"},
                                                                 {c.cmdAnzeigen, "actShow"},
                                                                 {c.cmdCopy, "actCopy"},
                                                                 {c.cmdExit, "mnuBeenden"}};
    for (const auto &[button, action] : buttons)
        connect(button, &QPushButton::clicked, m_actions.value(QLatin1String(action)), &QAction::trigger);
}

void frmExifTool::wireBrowser()
{
    connect(&m_browser, &PhotoBrowser::photoChanged, this, [this](const QString &photo) {
        c.txtBildpfad->setText(photo);
        m_model->clear();
        c.fraKamera->clear();
        c.imgFoto->clearPhoto();
    });
    connect(&m_browser, &PhotoBrowser::shown, this,
            [this](const QString &, const ReportRows &rows, const QStringList &names) { showReport(rows, names); });
    // Panel, thumbnail and group choice stay as they were: a new photo has cleared them already.
    connect(&m_browser, &PhotoBrowser::cleared, m_model, &ReportListModel::clear);
    connect(&m_browser, &PhotoBrowser::picture, c.imgFoto, &PhotoThumbnail::showPicture);
    // A notice is shown once the step that raised it has returned: its box waits in an event
    // loop of its own, and the road must not run again inside the very handler that spoke.
    connect(&m_browser, &PhotoBrowser::notice, this, [this](const Notice &notice) {
        QMetaObject::invokeMethod(
            this,
            [this, notice] {
                if (!m_closing)
                    ShowNotice(this, notice);
            },
            Qt::QueuedConnection);
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
    connect(&m_browser.service(), &ExifToolService::busyChanged, new BusyPointer(this), &BusyPointer::show);
}

// ---------------------------------------------------------------- start-up, settings, closing

void frmExifTool::Form_Load()
{
    m_store.writeStartValues();
    RegistryLesen();
    lvw_SpaltenbreiteLaden();
    c.cboSprache->showCode(m_store.language());
    // A report that is in already (the user's ExifTool keeper answers while the window is
    // built) is opened before the first paint, so the window comes up with its list filled
    // instead of painting it empty first. Each step of the answer's way is an event of its own;
    // nothing is waited for, and anything slower comes after the paint.
    QAbstractEventDispatcher *events = QAbstractEventDispatcher::instance();
    for (int step = 0; step < 16 && events && !m_browser.commandLineReportReady(); ++step) {
        if (!events->processEvents(QEventLoop::ExcludeUserInputEvents))
            break;
    }
    if (m_browser.commandLineReportReady())
        m_browser.openCommandLinePhoto();
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

    // The designed font, with the stored face and size where usable.
    QFont font = c.txtBildpfad->font();
    if (const QString face = m_store.fontName(); !face.isEmpty())
        font.setFamily(face);
    if (const auto size = m_store.fontSize())
        font.setPointSizeF(*size);
    c.txtBildpfad->setFont(font);
    c.lvwExifTool->setFont(c.txtBildpfad->font());

    const std::pair<const char *, QCheckBox *> boxes[] = {{SettingsStore::ExiftoolCheck, c.chkExiftool},
                                                          {SettingsStore::TXTcheck, c.chkTXT},
                                                          {SettingsStore::ExiftoolSort, c.chkSort}};
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
        c.lvwExifTool->header()->resizeSection(n - 1, Twips::toPx(*m_columnTwips[size_t(n - 1)]));
    }
}

void frmExifTool::lvw_SpaltenbreiteSpeichern()
{
    for (int n = 1; n <= m_model->columnCount(); ++n)
        m_store.setColumnWidth(
            n, WindowGeometry::keptTwips(m_columnTwips[size_t(n - 1)], c.lvwExifTool->header()->sectionSize(n - 1)));
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
    return c.txtBildpfad->text();
}

void frmExifTool::showReport(const ReportRows &rows, const QStringList &englishNames)
{
    m_model->setRows(rows);
    if (const auto group = m_store.group()) {
        c.optExif[size_t(*group)]->setChecked(true);
        optExif_Click(*group);
    }
    c.fraKamera->Kamera(*m_model, englishNames);
}

void frmExifTool::cmdDatei_Click()
{
    const QString chosen = PhotoFileDialog::choose(this, typedPath());
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

// ---------------------------------------------------------------- list options and sort

void frmExifTool::cboSprache_Click()
{
    c.fraKamera->clear();
    m_store.setLanguage(c.cboSprache->currentText());
    m_browser.changeLanguage(c.cboSprache->currentText(), typedPath());
}

void frmExifTool::chkExiftool_Click()
{
    m_store.setOption(SettingsStore::ExiftoolCheck, c.chkExiftool->isChecked());
    m_browser.setShowExifTool(c.chkExiftool->isChecked());
}

void frmExifTool::chkTXT_Click()
{
    m_store.setOption(SettingsStore::TXTcheck, c.chkTXT->isChecked());
    m_browser.setKeepReports(c.chkTXT->isChecked());
}

void frmExifTool::chkSort_Click()
{
    if (c.chkSort->isChecked()) {
        m_model->setSorting(true);
        m_model->setHeaderIcon(ReportListModel::TriangleDown);
    } else {
        m_model->setHeaderIcon(ReportListModel::NoIcon);
        m_model->setSorting(false);
        // The report is read again, so that the panel too is made in the report's order.
        m_browser.showAgain();
    }
    m_store.setOption(SettingsStore::ExiftoolSort, c.chkSort->isChecked());
}

void frmExifTool::lvwExifTool_ColumnClick(int)
{
    // Whichever header is clicked, the list sorts by the name column.
    c.chkSort->setChecked(true);
    m_model->toggleSortFromHeader();
}

void frmExifTool::optExif_Click(int)
{
    for (int i = 0; i < 6; ++i) {
        if (c.optExif[size_t(i)]->isChecked()) {
            if (c.lvwExifTool->jumpToGroup(i))
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
    putOnClipboard(clipboardText(m_model->rowsInListOrder(), c.lvwExifTool->selectedRowNumbers()));
}

void frmExifTool::imgFoto_Click()
{
    const QString photo = m_browser.photo();
    if (photo.trimmed().isEmpty())
        return;
    // Made at the first click: the file manager's fall-back speaks D-Bus, which the start of
    // the program does not need.
    if (!m_opener)
        m_opener = new PhotoOpener(this);
    m_opener->open(photo);
}

void frmExifTool::lblExif_Click(int index)
{
    if (index == CameraPanel::CameraLabel)
        WebLinks::open(makerAddress(c.fraKamera->labelText(index)));
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
        WebLinks::open(QUrl(m_store.updateAddress(QLatin1String(WebLinks::Download))));
}

void frmExifTool::mnuKarte_Click()
{
    if (const auto position = m_browser.position())
        WebLinks::open(mapAddress(*position));
}

void frmExifTool::dragEnterEvent(QDragEnterEvent *event)
{
    if (!PhotoFileDialog::droppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void frmExifTool::dropEvent(QDropEvent *event)
{
    const QString file = PhotoFileDialog::droppedFile(event->mimeData());
    if (file.isEmpty())
        return;
    event->acceptProposedAction();
    m_browser.open(file);
}
