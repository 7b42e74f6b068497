#pragma once

#include "pipeline/ReportRow.h"

#include <QString>
#include <QStringList>
#include <array>

// What one pass over the list leaves in the camera panel.
struct KameraResult {
    std::array<QString, 12> labels; // lblExif 0..11; labels the pass does not meet keep their earlier text
    QString cameraPicture;          // programFolder + "/" + DATEIZEICHEN(camera text) + ".jpg"
    QString lensPicture;            // programFolder + "/" + DATEIZEICHEN(lens label) + ".jpg", empty without a lens row
    // Where each label's text came from, one "Group: Tag description" line per row that made
    // it, then one "Also: Group: Tag description = value" line per row of the same kind whose
    // value the label does not show. Empty for labels no row wrote in this pass.
    std::array<QString, 12> tooltips;
};

// The camera summary pass over the rows in the order the list shows them (sorted order
// when the list is sorted). Only German and English tag descriptions are known.
// groupOfRow names the group of each row, parallel to rowsInListOrder; a sorted list has lost
// the header above each row, so the groups are taken in report order and mapped by the caller.
KameraResult Kamera(const ReportRows &rowsInListOrder, const QStringList &groupOfRow,
                    const std::array<QString, 12> &currentLabels, const QString &programFolder);

// The same pass for rows that stand in report order: the groups are read from the rows.
// Given a sorted list, the tooltips would name wrong groups; use the overload above then.
KameraResult Kamera(const ReportRows &rowsInReportOrder, const std::array<QString, 12> &currentLabels,
                    const QString &programFolder);

// The group of every row: the name inside the nearest "---- Name ----" header at or above it,
// empty above the first header. A header row belongs to the group it opens.
QStringList groupsInReportOrder(const ReportRows &reportRows);

// A picture path as the pass made it -> the file to load: that path when it exists, else
// the same file name in ProgramFolder::userDataFolder(); empty when neither exists.
QString findPicture(const QString &picturePath);

// The accessible description of label lblExif(index); empty outside 0..11.
QString labelDescription(int index);
