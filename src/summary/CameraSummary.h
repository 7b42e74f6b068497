#pragma once

#include "pipeline/ReportRow.h"

#include <QString>
#include <QStringList>
#include <array>

// What one pass over the list leaves in the camera panel.
struct CameraSummary {
    std::array<QString, 12> labels; // lblExif 0..11; labels the pass does not meet keep their earlier text
    QString cameraPicture;          // programFolder + "/" + DATEIZEICHEN(camera text) + ".jpg"
    QString lensPicture;            // programFolder + "/" + DATEIZEICHEN(lens label) + ".jpg", empty without a lens row
    // Where each label's text came from, one "Group: Tag description" line per row that made
    // it, then one "Also: Group: Tag description = value" line per row of the same kind whose
    // value the label does not show. Empty for labels no row wrote in this pass.
    std::array<QString, 12> tooltips;
};

// The camera summary pass over every row in the order the list shows them (sorted order when
// the list is sorted, whatever the filter hides). Only German and English tag descriptions are
// known: a report in another language comes with ruleNames, the English description of each
// row (parallel to the rows), by which its rule is found. The tooltips name each row's group,
// which the row carries from the report, and its description as the list shows it.
CameraSummary summarizeCamera(const ReportRows &rowsInListOrder, const std::array<QString, 12> &currentLabels,
                              const QString &programFolder, const QStringList &ruleNames = {});

// A picture path as the pass made it -> the file to load: that path when it exists, else
// the same file name in ProgramFolder::userDataFolder(); empty when neither exists.
QString findPicture(const QString &picturePath);
