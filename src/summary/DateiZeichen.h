#pragma once

#include <QString>

// Camera and lens texts become picture file names; these are the characters a file name
// may not hold on any desktop the pictures may come from. Blanks and case stay.
QString DATEIZEICHEN(const QString &text);
