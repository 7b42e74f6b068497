#pragma once

#include "pipeline/ReportRow.h"

#include <QFrame>
#include <QString>
#include <array>

class QLabel;
class ReportListModel;

// fraKamera: how the photo was taken, in twelve labels (lblExif) beside ten small icons
// (imgIcon), with a picture of the camera (picKamera) and of the lens (picObjektiv). The
// texts are kept here as data; the labels only show them. A screen reader hears each label's
// text as its name and its field ("Aperture") as its description.
class CameraPanel : public QFrame
{
    Q_OBJECT
public:
    static constexpr int LabelCount = 12;
    static constexpr int CameraLabel = 5;

    explicit CameraPanel(QWidget *parent = nullptr);

    // Kamera: one summary pass over every row of the list, whatever the filter hides, in the
    // list's order. Labels the pass does not meet keep their text, as the rule has it; both
    // pictures are looked up anew. A report in a language other than German and English comes
    // with englishNames, each row's English description (in report order): its rows are
    // summed up by those, in the order the English list would have, so that the panel shows
    // what it shows in English.
    void Kamera(const ReportListModel &list, const QStringList &englishNames = {});
    // Every text, tooltip and picture empty: the panel describes no photo.
    void clear();

    QString labelText(int index) const;

signals:
    // The camera label was clicked; the text it shows.
    void cameraClicked(const QString &cameraText);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showTexts();

    std::array<QString, LabelCount> m_texts;
    std::array<QString, LabelCount> m_tooltips;
    std::array<QLabel *, LabelCount> lblExif{};
    std::array<QLabel *, 10> imgIcon{};
    QLabel *picKamera = nullptr;
    QLabel *picObjektiv = nullptr;
};
