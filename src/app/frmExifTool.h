#pragma once

#include "app/WindowGeometry.h"
#include "pipeline/ExifToolKept.h"
#include "pipeline/ExifToolRun.h"
#include "pipeline/ReportListModel.h"

#include <QHash>
#include <QMainWindow>
#include <array>
#include <functional>
#include <memory>

class CaptionedTextBox;
class OuterGeometry;
class GradientButton;
class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QRadioButton;
class QSettings;
class QTreeView;
class SettingsStore;

// The main window: holds the controls, forwards their events, and walks one photo down the
// road path box -> report path -> ExifTool -> report -> list -> thumbnail -> group -> panel.
class frmExifTool : public QMainWindow
{
    Q_OBJECT
public:
    static constexpr const char *Caption = "Lumoskop - Qwerin";
    static const QStringList Languages;

    // settings: the store to use; null opens the user's own file.
    explicit frmExifTool(QSettings *settings = nullptr, QWidget *parent = nullptr);
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
    void nextPhoto(int step);          // +1 next, -1 previous photo of the folder
    void copySelectedRows();           // Ctrl+C in the list: no question asked
    QList<int> selectedListRows() const;
    QLineEdit *filterBox() const { return txtFilter; }

    // What tests and the later commands read.
    QString photoPath() const;
    QString TxtPfad() const { return m_txtPfad; }
    ReportListModel *listModel() const { return m_model; }
    QTreeView *listView() const { return lvwExifTool; }
    QString labelText(int index) const;
    bool isExifToolRunning() const { return m_run.isRunning() || m_kept.isBusy(); }
    // Hidden runs go to one ExifTool kept running (started at once, in the background); off,
    // every run starts ExifTool anew. Tests that count ExifTool starts switch it off.
    void setKeepExifToolRunning(bool keep);
    SettingsStore &settings() const { return *m_store; }
    QComboBox *languageBox() const { return cboSprache; }
    QCheckBox *showBox() const { return chkExiftool; }
    QCheckBox *keepBox() const { return chkTXT; }
    QCheckBox *sortBox() const { return chkSort; }
    QRadioButton *groupButton(int index) const { return optExif[size_t(index)]; }
    QLabel *photoBox() const { return imgFoto; }
    QLabel *cameraPicture() const { return picKamera; }
    QLabel *lensPicture() const { return picObjektiv; }
    QMenu *helpMenu() const { return mnuHelp; }
    QAction *updateExifToolAction() const { return mnuUpdateExiftool; }
    QWidget *clientArea() const { return m_client; }

    // Every message about a failed run or a file the program will not touch goes through here.
    void reportProblem(const QString &text, int style = 4);

    void RegistryLesen();
    void lvw_SpaltenbreiteLaden();
    void lvw_SpaltenbreiteSpeichern();
    void clearSummaryLabels();

signals:
    // The list has been filled from a report (or emptied because none was there).
    void reportShown();

protected:
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void buildCameraPanel();
    void buildMenus();
    void placeDesignedControls();
    void applyLayout();
    void setupTabOrder();
    void Form_Unload();
    int keptTwips(const QString &what, int pixels) const;
    void chkExiftool_Click();
    void chkTXT_Click();
    void loadThumbnail();
    void Kamera();
    void jumpToGroup(int index);
    void applyHeaderIcon(ReportListModel::HeaderIcon icon);
    void deleteReportUnlessKept();
    bool deriveReportPath();
    // While ExifTool runs, a command that would start another run or read the report is kept
    // and carried out when the run has ended; a later request replaces an earlier one.
    bool deferWhileRunning(std::function<void()> command);
    void runPendingCommand();

    friend class ClientArea;

    QSettings *m_settings = nullptr;
    std::unique_ptr<QSettings> m_ownSettings;
    std::unique_ptr<SettingsStore> m_store;
    ReportListModel *m_model = nullptr;
    ExifToolRun m_run;
    ExifToolKept m_kept;
    bool m_keepExifTool = true;
    std::function<void()> m_pending;
    QString m_txtPfad;
    bool m_closing = false;
    QIcon m_iconUp;
    QIcon m_iconDown;

    QWidget *m_client = nullptr;
    QTreeView *lvwExifTool = nullptr;
    CaptionedTextBox *txtBildpfad = nullptr;
    GradientButton *cmdDatei = nullptr;
    GradientButton *cmdExif = nullptr;
    GradientButton *cmdAnzeigen = nullptr;
    GradientButton *cmdCopy = nullptr;
    GradientButton *cmdExit = nullptr;
    QCheckBox *chkExiftool = nullptr;
    QCheckBox *chkTXT = nullptr;
    QCheckBox *chkSort = nullptr;
    QFrame *fraKamera = nullptr;
    QComboBox *cboSprache = nullptr;
    std::array<QRadioButton *, 6> optExif{};
    QLabel *imgFoto = nullptr;
    QLabel *picKamera = nullptr;
    QLabel *picObjektiv = nullptr;
    std::array<QLabel *, 12> lblExif{};
    std::array<QLabel *, 10> imgIcon{};
    QMenu *mnuDatei = nullptr;
    QMenu *mnuHelp = nullptr;
    QAction *mnuUpdateExiftool = nullptr;
    QLineEdit *txtFilter = nullptr;
    QMenu *mnuFoto = nullptr;
    QString m_pendingPhoto; // the photo a deferred take-over will show
    QPoint m_photoHome;
    WindowGeometry m_geometry;
    OuterGeometry *m_outerGeometry = nullptr;
    QHash<QString, int> m_loadedTwips;
};
