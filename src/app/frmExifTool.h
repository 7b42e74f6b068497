#pragma once

#include "app/WindowGeometry.h"
#include "pipeline/ExifToolService.h"

#include <QMainWindow>
#include <array>
#include <memory>
#include <optional>

class CameraPanel;
class CaptionedTextBox;
class OuterGeometry;
class GradientArea;
class GradientButton;
class LanguageBox;
class MainMenus;
class PhotoOpener;
class PhotoSession;
class PhotoThumbnail;
class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QRadioButton;
class QSettings;
class QTreeView;
class ReportListView;
class FilterBox;
class ReportListModel;
class ReportsAhead;
class SettingsStore;

// The main window: builds and lays out the controls and forwards their events. The photo's
// road (report path, ExifTool, report, list) belongs to PhotoSession; the window shows what
// the session reports: the list, the thumbnail, the stored group and the camera panel.
class frmExifTool : public QMainWindow
{
    Q_OBJECT
public:
    static constexpr const char *Caption = "Lumoskop - Qwerin";
    static const QStringList Languages;

    // settings: the store to use; null opens the user's own file.
    explicit frmExifTool(QSettings *settings = nullptr, QWidget *parent = nullptr);
    // With the ExifTool service and the reports fetched ahead that main() began before the
    // window was built; both must outlive the window.
    frmExifTool(QSettings *settings, ExifToolService &service, ReportsAhead &ahead, QWidget *parent = nullptr);
    ~frmExifTool() override;

    // The start-up sequence; commandLine is everything after the program's own name.
    void Form_Load(const QString &commandLine);

    // Commands, as the buttons, boxes and menus run them.
    void CommandAbfrage(const QString &commandLine);
    void cmdDatei_Click();
    void takeOverPhoto(const QString &photoPath); // what the file button does with a chosen file
    void cmdExif_Click();
    void cmdAnzeigen_Click();
    void cmdCopy_Click();
    void cboSprache_Click();
    void chkSort_Click();
    void lvwExifTool_ColumnClick(int column);
    void optExif_Click(int index);
    void imgFoto_Click();
    void lblExif_Click(int index);
    void mnuUpdate_Click();
    void mnuInfo_Click();
    void nextPhoto(int step);   // +1 next, -1 previous photo of the folder
    void mnuKarte_Click();      // "Show on map": where the photo was taken
    void copySelectedRows();    // Ctrl+C in the list: no question asked

    // What tests and the later commands read.
    QString photoPath() const; // the path box's text
    PhotoSession &session() const { return *m_session; }
    ReportListModel *listModel() const { return m_model; }
    CameraPanel *cameraPanel() const { return fraKamera; }
    // A request the user waits for is queued or running.
    bool isExifToolRunning() const { return m_service.isBusy(); }
    // Hidden runs go to one ExifTool kept running (started at once, in the background); off,
    // every run starts ExifTool anew. Tests that count ExifTool starts switch it off.
    void setKeepExifToolRunning(bool keep);

    void RegistryLesen();
    void lvw_SpaltenbreiteLaden();
    void lvw_SpaltenbreiteSpeichern();

signals:
    // The road of a command has ended: the list holds the photo's report, or is empty.
    void reportShown();

protected:
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void build(QSettings *settings);
    void buildControls();
    void buildMenus();
    void applyLayout();
    void setupTabOrder();
    void Form_Unload();
    void chkExiftool_Click();
    void chkTXT_Click();
    void showReportOfSession();
    void clearPhoto();
    void jumpToGroup(int index);
    void reportProblem(const QString &text, int style);
    void putOnClipboard(const QString &text);
    void prepareNextPhoto();

    std::unique_ptr<QSettings> m_ownSettings;
    std::unique_ptr<SettingsStore> m_store;
    std::unique_ptr<ExifToolService> m_ownService;
    ExifToolService &m_service;
    ReportsAhead *m_ahead = nullptr;
    ReportListModel *m_model = nullptr;
    PhotoSession *m_session = nullptr;
    PhotoOpener *m_opener = nullptr;

    GradientArea *m_client = nullptr;
    ReportListView *lvwExifTool = nullptr;
    CaptionedTextBox *txtBildpfad = nullptr;
    GradientButton *cmdDatei = nullptr;
    GradientButton *cmdExif = nullptr;
    GradientButton *cmdAnzeigen = nullptr;
    GradientButton *cmdCopy = nullptr;
    GradientButton *cmdExit = nullptr;
    QCheckBox *chkExiftool = nullptr;
    QCheckBox *chkTXT = nullptr;
    QCheckBox *chkSort = nullptr;
    CameraPanel *fraKamera = nullptr;
    LanguageBox *cboSprache = nullptr;
    std::array<QRadioButton *, 6> optExif{};
    PhotoThumbnail *imgFoto = nullptr;
    FilterBox *txtFilter = nullptr;
    MainMenus *m_menus = nullptr;
    WindowGeometry m_geometry;
    OuterGeometry *m_outerGeometry = nullptr;
    std::array<std::optional<int>, 2> m_columnTwips; // the column widths as read
    bool m_closing = false;
    bool m_busyCursor = false;
    int m_lastStep = +1; // the way the user last browsed, and so the photo prepared ahead
};
