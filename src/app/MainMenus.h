#pragma once

#include <QObject>

class QAction;
class QMenuBar;

// The main window's menu bar: "&File", "&Photo" and "&Help". The web pages of the Help menu
// open from here; every other item is the window's to carry out.
class MainMenus : public QObject
{
    Q_OBJECT
public:
    explicit MainMenus(QMenuBar *bar);

    // "Show on map" is offered only for a photo whose position is known; its tooltip says why not.
    void setPositionKnown(bool known);

signals:
    void endChosen();
    void nextPhotoChosen(int step); // +1 next, -1 previous
    void mapChosen();
    void infoChosen();
    void updateChosen();

private:
    QAction *mnuKarte = nullptr;
};
