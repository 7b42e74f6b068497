#include "pipeline/PhotoBrowsing.h"
#include "app/frmExifTool.h"
#include "pipeline/ReportListModel.h"
#include "fixture_window.h"
#include "app/CameraPanel.h"

#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QTreeView>
#include <QtTest>

namespace {
void touch(const QString &path)
{
    QFile f(path);
    f.open(QIODevice::WriteOnly);
}
} // namespace

// Going from photo to photo: next and previous, dropped files, and the keyboard.
class tst_Browsing : public QObject
{
    Q_OBJECT
private slots:
    void folderOrder()
    {
        QTemporaryDir dir;
        for (const char *name : {"IMG_10.jpg", "img_2.JPG", "IMG_1.CR2", "notes.txt", "b.png", "A.bmp", "c.nef",
                                 "IMG_3.jpeg"})
            touch(dir.filePath(name));
        QDir(dir.path()).mkdir("folder.jpg");
        QCOMPARE(PhotoBrowsing::photosInFolder(dir.path()),
                 (QStringList{"A.bmp", "b.png", "c.nef", "IMG_1.CR2", "img_2.JPG", "IMG_3.jpeg", "IMG_10.jpg"}));
        QCOMPARE(PhotoBrowsing::neighbour(dir.filePath("img_2.JPG"), +1), dir.filePath("IMG_3.jpeg"));
        QCOMPARE(PhotoBrowsing::neighbour(dir.filePath("img_2.JPG"), -1), dir.filePath("IMG_1.CR2"));
        QCOMPARE(PhotoBrowsing::neighbour(dir.filePath("IMG_10.jpg"), +1), QString());
        QCOMPARE(PhotoBrowsing::neighbour(dir.filePath("A.bmp"), -1), QString());
        // A photo deleted meanwhile, or a file that is no photo, still has neighbours by name.
        QCOMPARE(PhotoBrowsing::neighbour(dir.filePath("IMG_5.jpg"), +1), dir.filePath("IMG_10.jpg"));
        QCOMPARE(PhotoBrowsing::neighbour(dir.filePath("IMG_5.jpg"), -1), dir.filePath("IMG_3.jpeg"));
        QCOMPARE(PhotoBrowsing::neighbour(dir.filePath("notes.txt"), +1), QString());
        QCOMPARE(PhotoBrowsing::neighbour(QString(), +1), QString());
    }

    void heldKeyTakesOverOnlyTheLastPhoto()
    {
        QTemporaryDir dir;
        const QStringList names = {"p1.jpg", "p2.jpg", "p3.jpg", "p4.jpg", "p5.jpg"};
        for (const QString &n : names)
            QVERIFY(TestPhotos::makeJpeg(dir.filePath(n)));
        auto ini = freshSettings(dir);
        // p1's run lasts until it is ended, so the keys always come while it runs.
        FakeExifTool fake(0.4, QStringLiteral("case \"$*\" in */p1.jpg) sleep 600 ;; esac"));
        frmExifTool w(ini.get());
        w.setKeepExifToolRunning(false); // the fake counts ExifTool starts
        w.Form_Load(dir.filePath("p1.jpg"));
        QTRY_COMPARE_WITH_TIMEOUT(fake.calls().size(), 1, 30000);
        QVERIFY(w.isExifToolRunning());
        for (int i = 0; i < 3; ++i)
            w.nextPhoto(+1); // key repeat while the first run is still going
        QCOMPARE(w.photoPath(), dir.filePath("p4.jpg"));
        QVERIFY(settle(w));
        QCOMPARE(fake.calls().size(), 2);
        QVERIFY(!fake.overlapped());
        QVERIFY(!QFile::exists(dir.filePath("p1.txt")));
        w.nextPhoto(+1);
        QCOMPARE(w.photoPath(), dir.filePath("p5.jpg"));
        QVERIFY(settle(w));
        w.nextPhoto(+1); // at the end nothing happens
        QCOMPARE(w.photoPath(), dir.filePath("p5.jpg"));
        QCOMPARE(fake.calls().size(), 3);
        w.nextPhoto(-1);
        QCOMPARE(w.photoPath(), dir.filePath("p4.jpg"));
        w.close();
    }

    void droppedFileIsTakenOverLikeAChosenOne()
    {
        QTemporaryDir dir;
        const QString first = dir.filePath("first.jpg"), second = dir.filePath("second.jpg");
        QVERIFY(TestPhotos::makeCameraPhoto(first));
        QVERIFY(TestPhotos::makeJpeg(second));
        QVERIFY(TestPhotos::writeTags(second, {"-Make=Nikon", "-Model=Z 9"}));
        auto ini = freshSettings(dir);
        frmExifTool w(ini.get());
        w.Form_Load(first);
        QVERIFY(settle(w));
        QVERIFY(QFile::exists(dir.filePath("first.txt")));

        auto drop = [&w](const QList<QUrl> &urls) {
            // As a desktop delivers it: the drag enters, then the drop lands where it was accepted.
            QMimeData mime;
            mime.setUrls(urls);
            QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(&w, &enter);
            QDropEvent event(QPointF(20, 20), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(&w, &event);
        };
        drop({QUrl("https://example.org/photo.jpg")});
        QCOMPARE(w.photoPath(), first);
        drop({QUrl::fromLocalFile(second), QUrl::fromLocalFile(first)});
        QCOMPARE(w.photoPath(), second);
        QVERIFY(settle(w));
        QVERIFY(!QFile::exists(dir.filePath("first.txt"))); // "TXT save" is off
        QCOMPARE(w.cameraPanel()->labelText(5), QString("Nikon Z 9"));
        QCOMPARE(w.cameraPanel()->labelText(3), QString()); // the panel was cleared for the new photo
        w.close();
    }

    void keyboardAndFilter()
    {
        QTemporaryDir dir;
        const QString photo = dir.filePath("keys.jpg");
        QVERIFY(TestPhotos::makeCameraPhoto(photo));
        auto ini = freshSettings(dir);
        frmExifTool w(ini.get());
        w.Form_Load(photo);
        QVERIFY(settle(w));
        const int all = w.listModel()->rowCount();

        // Typing in the filter narrows the list; the camera panel keeps every row.
        child<QLineEdit>(w, "txtFilter")->setText("exposure time");
        QVERIFY(w.listModel()->rowCount() < all);
        QVERIFY(w.listModel()->rowCount() >= 2);
        QCOMPARE(w.cameraPanel()->labelText(5), QString("Canon Canon EOS 5D Mark IV"));
        w.cmdAnzeigen_Click();
        QCOMPARE(w.cameraPanel()->labelText(5), QString("Canon Canon EOS 5D Mark IV"));

        // Ctrl+C in the list copies the selected rows at once, in the clipboard format.
        child<QTreeView>(w, "lvwExifTool")->setFocus();
        child<QTreeView>(w, "lvwExifTool")->selectAll();
        QGuiApplication::clipboard()->clear();
        QTest::keyClick(child<QTreeView>(w, "lvwExifTool"), Qt::Key_C, Qt::ControlModifier);
        const QString copied = QGuiApplication::clipboard()->text();
        QCOMPARE(copied.count("\r\n"), w.listModel()->rowCount());
        QVERIFY(copied.contains("Exposure Time"));
        QVERIFY(!copied.contains("ISO"));

        // Escape empties the filter.
        child<QLineEdit>(w, "txtFilter")->setFocus();
        QTest::keyClick(child<QLineEdit>(w, "txtFilter"), Qt::Key_Escape);
        QCOMPARE(child<QLineEdit>(w, "txtFilter")->text(), QString());
        QCOMPARE(w.listModel()->rowCount(), all);
        w.close();
    }
};

QTEST_MAIN(tst_Browsing)
#include "tst_browsing.moc"
