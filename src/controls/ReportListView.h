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
