#include "app/MainMenus.h"

#include "app/WebLinks.h"

#include <QAction>
#include <QDesktopServices>
#include <QMenu>
#include <QMenuBar>
#include <QUrl>

MainMenus::MainMenus(QMenuBar *bar) : QObject(bar)
{
    QMenu *mnuDatei = bar->addMenu(QStringLiteral("&File"));
    mnuDatei->setObjectName(QStringLiteral("mnuDatei"));
    QAction *mnuBeenden = mnuDatei->addAction(QStringLiteral("&End"));
    mnuBeenden->setObjectName(QStringLiteral("mnuBeenden"));
    connect(mnuBeenden, &QAction::triggered, this, &MainMenus::endChosen);

    QMenu *mnuFoto = bar->addMenu(QStringLiteral("&Photo"));
    mnuFoto->setObjectName(QStringLiteral("mnuFoto"));
    QAction *next = mnuFoto->addAction(QStringLiteral("Next photo"));
    next->setShortcuts({QKeySequence(Qt::Key_PageDown), QKeySequence(Qt::CTRL | Qt::Key_Right)});
    connect(next, &QAction::triggered, this, [this] { emit nextPhotoChosen(+1); });
    QAction *previous = mnuFoto->addAction(QStringLiteral("Previous photo"));
    previous->setShortcuts({QKeySequence(Qt::Key_PageUp), QKeySequence(Qt::CTRL | Qt::Key_Left)});
    connect(previous, &QAction::triggered, this, [this] { emit nextPhotoChosen(-1); });
    mnuKarte = mnuFoto->addAction(QStringLiteral("Show on &map"));
    mnuKarte->setObjectName(QStringLiteral("mnuKarte"));
    mnuKarte->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_M));
    mnuFoto->setToolTipsVisible(true);
    connect(mnuKarte, &QAction::triggered, this, &MainMenus::mapChosen);
    setPositionKnown(false);

    QMenu *mnuHelp = bar->addMenu(QStringLiteral("&Help"));
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    auto link = [this, mnuHelp](const QString &caption, const char *address) {
        QAction *item = mnuHelp->addAction(caption);
        connect(item, &QAction::triggered, this, [address] { QDesktopServices::openUrl(QUrl(QLatin1String(address))); });
        return item;
    };
    connect(mnuHelp->addAction(QStringLiteral("Info")), &QAction::triggered, this, &MainMenus::infoChosen);
    link(QStringLiteral("Website"), WebLinks::Website);
    link(QStringLiteral("Donation"), WebLinks::Donation);
    link(QStringLiteral("License of us"), WebLinks::License);
    QAction *mnuUpdateExiftool = link(QStringLiteral("Update Exiftool"), WebLinks::ExifToolHome);
    mnuUpdateExiftool->setObjectName(QStringLiteral("mnuUpdateExiftool"));
    mnuUpdateExiftool->setVisible(false);
    mnuUpdateExiftool->setEnabled(false);
    connect(mnuHelp->addAction(QStringLiteral("Update Lumoskop")), &QAction::triggered, this,
            &MainMenus::updateChosen);
    link(QStringLiteral("Send problem report"), WebLinks::ProblemReport);
}

void MainMenus::setPositionKnown(bool known)
{
    mnuKarte->setEnabled(known);
    mnuKarte->setToolTip(known ? QStringLiteral("Where the photo was taken, on OpenStreetMap")
                               : QStringLiteral("The photo's metadata holds no position"));
}
