#pragma once

#include <QList>
#include <array>

class CameraPanel;
class CaptionedTextBox;
class FilterBox;
class GradientButton;
class LanguageBox;
class PhotoThumbnail;
class QCheckBox;
class QRadioButton;
class QWidget;
class ReportListModel;
class ReportListView;

// The main window's controls, each at its designed place (MainLayout) with its name, font,
// tooltip and the name a screen reader gives it, in the designed tab order. What they do is
// the window's to wire.
struct MainControls {
    // Makes every control inside client; the list shows model, narrowed by the filter box.
    void build(QWidget *client, ReportListModel *model);
    // The rules by which some controls follow the client area.
    void followClientArea(const QWidget *client);

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
    LanguageBox *cboSprache = nullptr;
    std::array<QRadioButton *, 6> optExif{};
    CameraPanel *fraKamera = nullptr;
    PhotoThumbnail *imgFoto = nullptr;
    FilterBox *txtFilter = nullptr;
};
