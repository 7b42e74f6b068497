#pragma once

#include <QtGlobal>

// The colours the windows were designed in, each once, as 24-bit numbers with red in the
// lowest byte (vbColour() makes a QColor of one). Written as the design gives them: decimal for
// the dialogs, the hexadecimal of the main window's table for its own.
namespace DesignPalette
{

constexpr quint32 PaleBlueGrey = 16050915; // message and input boxes; 0x00F4EAE3, the main window's top
constexpr quint32 Navy = 3482368;          // text in boxes, on buttons and in the about window
constexpr quint32 SteelBlue = 14600621;    // the button strip, the about window, a button's lower end
constexpr quint32 PaleRed = 12632319;      // the error report
constexpr quint32 ButtonTop = 16446705;
constexpr quint32 ButtonBorder = 11236195;
constexpr quint32 ButtonHoverBorder = 3913721; // amber, while the mouse is over a button

constexpr quint32 MainWindowTop = 0x00F4EAE3;
constexpr quint32 MainWindowBottom = 0x00D8BF9E;
constexpr quint32 CheckBoxBack = 0x00EEE0D4;
constexpr quint32 OptionBack = 0x00ECDED0;

} // namespace DesignPalette
