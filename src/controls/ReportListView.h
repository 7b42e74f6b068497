#pragma once

#include <QLineEdit>
#include <QTreeView>

// lvwExifTool: the report as a list in two columns, whole rows selected (several at once),
// a click on either header reported, and Ctrl+C in it asks for the selected rows.
class ReportListView : public QTreeView
{
    Q_OBJECT
public:
    explicit ReportListView(QWidget *parent = nullptr);
    QList<int> selectedRowNumbers() const; // in no particular order
    // The group buttons' jump: "All" (0) selects the first row and shows it; a group (1 to 5)
    // scrolls to the end, then brings the group's header row to the top. True when the jump
    // is one to remember: "All" always, a group only when its header was found.
    bool jumpToGroup(int index);

signals:
    void copyRequested();
};

// txtFilter: narrows the list to rows holding its text; Escape empties it.
class FilterBox : public QLineEdit
{
    Q_OBJECT
public:
    explicit FilterBox(QWidget *parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent *event) override;
};
