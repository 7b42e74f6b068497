#pragma once

#include "app/MainControls.h"
#include "app/WindowGeometry.h"
#include "pipeline/ReportRow.h"

#include <QHash>
#include <QMainWindow>
#include <array>
#include <optional>

class GradientArea;
class OuterGeometry;
class PhotoBrowser;
class PhotoOpener;
class QAction;
class QImage;
class ReportListModel;
class SettingsStore;
struct Notice;

// The main window: builds and lays out the controls, and wires them to the photo browser, which
// owns the photo shown: the list, the camera panel and the thumbnail show what it tells, and
// the window keeps nothing of the photo itself. Its commands are actions (one table), which the
// menus, the keys and the buttons share; each runs one of the named handlers below.
class frmExifTool : public QMainWindow
{
    Q_OBJECT
public:
    static constexpr const char *Caption = "Lumoskop - Qwerin";

    // Both must outlive the window.
    frmExifTool(SettingsStore &store, PhotoBrowser &browser, QWidget *parent = nullptr);
    ~frmExifTool() override;

    // The start-up sequence: settings, show, then the photo of the command line the browser read.
    void Form_Load();

protected:
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void wireControls();
    void buildActions();
    void wireBrowser();
    void Form_Unload();
    void RegistryLesen();
    void lvw_SpaltenbreiteLaden();
    void lvw_SpaltenbreiteSpeichern();

    // The named handlers, as the actions, buttons and boxes run them.
    void cmdDatei_Click();
    void cmdExif_Click();
    void cmdAnzeigen_Click();
    void cmdCopy_Click();
    void cboSprache_Click();
    void chkExiftool_Click();
    void chkTXT_Click();
    void chkSort_Click();
    void lvwExifTool_ColumnClick(int column);
    void optExif_Click(int index);
    void imgFoto_Click();
    void lblExif_Click(int index);
    void mnuUpdate_Click();
    void mnuInfo_Click();
    void mnuKarte_Click();
    void copySelectedRows(); // Ctrl+C in the list: no question asked

    void showReport(const ReportRows &rows, const QStringList &englishNames);
    QString typedPath() const;

    SettingsStore &m_store;
    PhotoBrowser &m_browser;
    ReportListModel *m_model = nullptr;
    PhotoOpener *m_opener = nullptr;
    QHash<QString, QAction *> m_actions;

    GradientArea *m_client = nullptr;
    MainControls c;
    WindowGeometry m_geometry;
    OuterGeometry *m_outerGeometry = nullptr;
    std::array<std::optional<int>, 2> m_columnTwips; // the column widths as read
    bool m_closing = false;
};
