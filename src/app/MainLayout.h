#pragma once

#include <QRect>
#include <optional>

// The main window's designed places (twips) and the rules by which the list, the camera
// panel, the file button and the photo path box follow the client area. Pure arithmetic, so
// the rules can be checked without a window.
namespace MainLayout {

constexpr int ClientWidth = 10680;
constexpr int ClientHeight = 11475;

// Designed places, Left, Top, Width, Height in twips.
constexpr QRect lvwExifTool{150, 5700, 10380, 5595};
constexpr QRect txtBildpfad{150, 150, 9765, 360};
constexpr QRect cmdDatei{10050, 150, 390, 360};
constexpr QRect cmdExif{3255, 4575, 1065, 430};
constexpr QRect cmdAnzeigen{4565, 4575, 1065, 430};
constexpr QRect cmdCopy{5875, 4575, 1065, 430};
constexpr QRect cmdExit{7185, 4575, 1065, 435};
constexpr QRect chkExiftool{3255, 4050, 1545, 315};
constexpr QRect chkTXT{4950, 4050, 1215, 315};
constexpr QRect chkSort{6255, 4050, 1125, 315};
constexpr QRect fraKamera{150, 600, 10380, 3240};
constexpr QRect cboSprache{7425, 4000, 765, 375};
constexpr QRect imgFoto{150, 3900, 2888, 1740};
// The filter box, in the free space right of the group buttons.
constexpr QRect txtFilter{8400, 5250, 2130, 345};
// optExif by index: All, IFD0, Exif, Xmp, Iptc, Composite.
constexpr QRect optExif[6] = {{3225, 5250, 675, 345}, {4005, 5250, 675, 345}, {4785, 5250, 675, 345},
                              {5565, 5250, 675, 345}, {6345, 5250, 675, 345}, {7125, 5250, 1140, 345}};

// What the resize rules set; a rule that would give a negative width or height is absent,
// and that control keeps its previous size.
struct Resized {
    std::optional<int> listWidth;   // lvwExifTool and fraKamera
    int cmdDateiLeft = 0;           // may be negative: the button then leaves the window on the left
    std::optional<int> txtBildpfadWidth;
    std::optional<int> listHeight;
};

// W and H: the client area in twips. cmdDateiWidth: the file button's current width.
Resized resize(int clientWidth, int clientHeight, int cmdDateiWidth = cmdDatei.width());

} // namespace MainLayout
