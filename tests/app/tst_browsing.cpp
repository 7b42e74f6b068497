#include "app/CameraPanel.h"
#include "app/frmExifTool.h"
#include "fixture_window.h"
#include "pipeline/PhotoBrowsing.h"
#include "pipeline/ReportListModel.h"

#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QTreeView>
#include <QtTest>

namespace
{
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
        for (const char *name :
             {"IMG_10.jpg", "img_2.JPG", "IMG_1.CR2", "notes.txt", "b.png", "A.bmp", "c.nef", "IMG_3.jpeg"})
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
        ShownWindow f(dir);
        // p1's run lasts until it is ended, so the keys always come while it runs.
        FakeExifTool fake(0.4, QStringLiteral("case \"$*\" in */p1.jpg) sleep 600 ;; esac"));
        f.service.setKeepRunning(false); // the fake counts ExifTool starts
        f.load(dir.filePath("p1.jpg"));
        QTRY_COMPARE_WITH_TIMEOUT(fake.calls().size(), 1, 30000);
        QVERIFY(f.service.isBusy());
        for (int i = 0; i < 3; ++i)
            f.trigger("mnuNext"); // key repeat while the first run is still going
        QCOMPARE(f.path(), dir.filePath("p4.jpg"));
        QVERIFY(f.settle());
        QCOMPARE(fake.calls().size(), 2);
        QVERIFY(!fake.overlapped());
        QVERIFY(!QFile::exists(dir.filePath("p1.txt")));
        f.trigger("mnuNext");
        QCOMPARE(f.path(), dir.filePath("p5.jpg"));
        QVERIFY(f.settle());
        f.trigger("mnuNext"); // at the end nothing happens
        QCOMPARE(f.path(), dir.filePath("p5.jpg"));
        QCOMPARE(fake.calls().size(), 3);
        f.trigger("mnuPrevious");
        QCOMPARE(f.path(), dir.filePath("p4.jpg"));
        f.window.close();
    }

    void droppedFileIsTakenOverLikeAChosenOne()
    {
        QTemporaryDir dir;
        const QString first = dir.filePath("first.jpg"), second = dir.filePath("second.jpg");
        QVERIFY(TestPhotos::makeCameraPhoto(first));
        QVERIFY(TestPhotos::makeJpeg(second));
        QVERIFY(TestPhotos::writeTags(second, {"-Make=Nikon", "-Model=Z 9"}));
        ShownWindow f(dir);
        f.load(first);
        QVERIFY(f.settle());
        QVERIFY(QFile::exists(dir.filePath("first.txt")));

        auto drop = [&f](const QList<QUrl> &urls) {
            // As a desktop delivers it: the drag enters, then the drop lands where it was accepted.
            QMimeData mime;
            mime.setUrls(urls);
            QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(&f.window, &enter);
            QDropEvent event(QPointF(20, 20), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(&f.window, &event);
        };
        drop({QUrl("https://example.org/photo.jpg")});
        QCOMPARE(f.path(), first);
        drop({QUrl::fromLocalFile(second), QUrl::fromLocalFile(first)});
        QCOMPARE(f.path(), second);
        QVERIFY(f.settle());
        QVERIFY(!QFile::exists(dir.filePath("first.txt"))); // "TXT save" is off
        QCOMPARE(f.label(5), QString("Nikon Z 9"));
        QCOMPARE(f.label(3), QString()); // the panel was cleared for the new photo
        f.window.close();
    }

    void keyboardAndFilter()
    {
        QTemporaryDir dir;
        const QString photo = dir.filePath("keys.jpg");
        QVERIFY(TestPhotos::makeCameraPhoto(photo));
        ShownWindow f(dir);
        f.load(photo);
        QVERIFY(f.settle());
        const int all = f.rows();

        // Typing in the filter narrows the list; the camera panel keeps every row.
        child<QLineEdit>(f.window, "txtFilter")->setText("exposure time");
        QVERIFY(f.rows() < all);
        QVERIFY(f.rows() >= 2);
        QCOMPARE(f.label(5), QString("Canon Canon EOS 5D Mark IV"));
        f.trigger("actShow");
        QCOMPARE(f.label(5), QString("Canon Canon EOS 5D Mark IV"));

        // Ctrl+C in the list copies the selected rows at once, in the clipboard format.
        child<QTreeView>(f.window, "lvwExifTool")->setFocus();
        child<QTreeView>(f.window, "lvwExifTool")->selectAll();
        QGuiApplication::clipboard()->clear();
        QTest::keyClick(child<QTreeView>(f.window, "lvwExifTool"), Qt::Key_C, Qt::ControlModifier);
        const QString copied = QGuiApplication::clipboard()->text();
        QCOMPARE(copied.count("\r\n"), f.rows());
        QVERIFY(copied.contains("Exposure Time"));
        QVERIFY(!copied.contains("ISO"));

        // Escape empties the filter.
        child<QLineEdit>(f.window, "txtFilter")->setFocus();
        QTest::keyClick(child<QLineEdit>(f.window, "txtFilter"), Qt::Key_Escape);
        QCOMPARE(child<QLineEdit>(f.window, "txtFilter")->text(), QString());
        QCOMPARE(f.rows(), all);
        f.window.close();
    }
};

QTEST_MAIN(tst_Browsing)
#include "tst_browsing.moc"
