// The photo box's picture: which embedded picture stands in for a JPEG, the preview of a photo
// Qt cannot decode, and that a picture made for a photo left behind never arrives.
#include "Files.h"
#include "TestPhotos.h"

#include "pipeline/ExifToolService.h"
#include "pipeline/Thumbnail.h"
#include "pipeline/ThumbnailLoader.h"

#include <QBuffer>
#include <QDir>
#include <QPainter>
#include <QTemporaryDir>
#include <QThreadPool>
#include <QtEndian>
#include <QtTest>

namespace
{

const QSize Box(192, 116); // imgFoto's designed size

QByteArray jpeg(const QSize &size, const QColor &left, const QColor &right)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(left);
    QPainter(&image).fillRect(size.width() / 2, 0, size.width() - size.width() / 2, size.height(), right);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 95);
    return bytes;
}

// A camera raw file as far as ExifTool and Qt can tell: a TIFF whose image is in a compression
// no decoder here knows (Nikon's), with a small thumbnail in IFD1 and a larger preview in IFD2,
// and the given orientation. previews false leaves both out.
QByteArray rawFile(int orientation, bool previews)
{
    const QByteArray small = jpeg(QSize(40, 20), Qt::green, Qt::green);
    const QByteArray large = jpeg(QSize(200, 100), Qt::red, Qt::blue);
    const QByteArray pixels(16 * 8 * 3, '\x55');
    struct Entry {
        quint16 tag, type;
        quint32 value;
    };
    const quint16 Short = 3, Long = 4;
    auto ifdSize = [](int entries) { return 2 + 12 * entries + 4; };
    const quint32 ifd1 = 8 + ifdSize(9), ifd2 = ifd1 + ifdSize(3), data = ifd2 + ifdSize(3);
    const quint32 smallAt = data + pixels.size(), largeAt = smallAt + small.size();
    QByteArray file("II*\0", 4);
    auto put32 = [&file](quint32 v) { file.append(reinterpret_cast<const char *>(&(v = qToLittleEndian(v))), 4); };
    auto put16 = [&file](quint16 v) { file.append(reinterpret_cast<const char *>(&(v = qToLittleEndian(v))), 2); };
    auto ifd = [&](const QList<Entry> &entries, quint32 next) {
        put16(quint16(entries.size()));
        for (const Entry &e : entries) {
            put16(e.tag);
            put16(e.type);
            put32(1);
            put32(e.value);
        }
        put32(next);
    };
    put32(8);
    ifd({{0x100, Long, 16},
         {0x101, Long, 8},
         {0x102, Short, 8},
         {0x103, Short, 34713},
         {0x106, Short, 2},
         {0x111, Long, data},
         {0x112, Short, quint32(orientation)},
         {0x116, Long, 8},
         {0x117, Long, quint32(pixels.size())}},
        previews ? ifd1 : 0);
    if (previews) {
        ifd({{0x103, Short, 6}, {0x201, Long, smallAt}, {0x202, Long, quint32(small.size())}}, ifd2);
        ifd({{0x103, Short, 6}, {0x201, Long, largeAt}, {0x202, Long, quint32(large.size())}}, 0);
    } else {
        file.append(QByteArray(2 * ifdSize(3), '\0'));
    }
    return file + pixels + small + large;
}

bool near(const QColor &seen, const QColor &wanted)
{
    return qAbs(seen.red() - wanted.red()) < 60 && qAbs(seen.green() - wanted.green()) < 60 &&
           qAbs(seen.blue() - wanted.blue()) < 60;
}

QImage waitForPicture(ThumbnailLoader &loader, const QString &photo)
{
    QSignalSpy ready(&loader, &ThumbnailLoader::ready);
    loader.request(photo, Box);
    if (!ready.wait(30000) || ready.first().at(0).toString() != photo)
        return QImage();
    return ready.first().at(1).value<QImage>();
}

} // namespace

class TestThumbnail : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        if (TestPhotos::exiftool().isEmpty())
            QSKIP("ExifTool is not installed");
    }

    void exifThumbnailStandsInWhereItShowsTheWholePhoto_data()
    {
        QTest::addColumn<QSize>("photo");
        QTest::addColumn<QSize>("embedded");
        QTest::addColumn<int>("orientation");
        QTest::addColumn<QSize>("shown");
        QTest::addColumn<bool>("fromEmbedded");
        QTest::newRow("same shape, large enough") << QSize(800, 600) << QSize(160, 120) << 1 << QSize(154, 116) << true;
        QTest::newRow("turned by the photo's tag") << QSize(800, 600) << QSize(160, 120) << 6 << QSize(87, 116) << true;
        QTest::newRow("padded with bars") << QSize(900, 600) << QSize(160, 120) << 1 << QSize(174, 116) << false;
        QTest::newRow("too small for the box") << QSize(800, 600) << QSize(80, 60) << 1 << QSize(154, 116) << false;
    }
    void exifThumbnailStandsInWhereItShowsTheWholePhoto()
    {
        QFETCH(QSize, photo);
        QFETCH(QSize, embedded);
        QFETCH(int, orientation);
        QFETCH(QSize, shown);
        QFETCH(bool, fromEmbedded);
        QTemporaryDir dir;
        const QString path = dir.filePath("Foto.jpg"), thumb = dir.filePath("thumb.jpg");
        QVERIFY(Files::write(path, jpeg(photo, Qt::red, Qt::red)));
        QVERIFY(Files::write(thumb, jpeg(embedded, Qt::green, Qt::green)));
        QVERIFY(
            TestPhotos::writeTags(path, {"-ThumbnailImage<=" + thumb, QString("-Orientation#=%1").arg(orientation)}));

        const QImage image = Thumbnail::make(path, Box);
        QCOMPARE(image.size(), shown);
        QVERIFY(near(image.pixelColor(image.width() / 2, image.height() / 2), fromEmbedded ? Qt::green : Qt::red));
    }

    // The preview comes from ExifTool into memory: the larger of the two, turned as the photo
    // says (red was on the left), and nothing is written beside the photo.
    void rawPhotoShowsItsLargestPreview_data()
    {
        QTest::addColumn<int>("orientation");
        QTest::addColumn<QSize>("shown");
        QTest::addColumn<QPoint>("red");
        QTest::addColumn<QPoint>("blue");
        QTest::newRow("as stored") << 1 << QSize(192, 96) << QPoint(40, 48) << QPoint(150, 48);
        QTest::newRow("upside down") << 3 << QSize(192, 96) << QPoint(150, 48) << QPoint(40, 48);
        QTest::newRow("90 clockwise") << 6 << QSize(58, 116) << QPoint(29, 20) << QPoint(29, 95);
        QTest::newRow("270 clockwise") << 8 << QSize(58, 116) << QPoint(29, 95) << QPoint(29, 20);
    }
    void rawPhotoShowsItsLargestPreview()
    {
        QFETCH(int, orientation);
        QFETCH(QSize, shown);
        QFETCH(QPoint, red);
        QFETCH(QPoint, blue);
        QTemporaryDir dir;
        const QString photo = dir.filePath("DSC_0001.nef");
        QVERIFY(Files::write(photo, rawFile(orientation, true)));
        QVERIFY(!Thumbnail::qtDecodes(photo));
        ExifToolService service;
        ThumbnailLoader loader(&service);

        const QImage image = waitForPicture(loader, photo);
        QCOMPARE(image.size(), shown);
        QVERIFY(near(image.pixelColor(red), Qt::red));
        QVERIFY(near(image.pixelColor(blue), Qt::blue));
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{"DSC_0001.nef"});
    }

    void rawPhotoWithoutPreviewLeavesTheBoxEmpty()
    {
        QTemporaryDir dir;
        const QString photo = dir.filePath("DSC_0002.nef");
        QVERIFY(Files::write(photo, rawFile(1, false)));
        ExifToolService service;
        ThumbnailLoader loader(&service);
        QSignalSpy ready(&loader, &ThumbnailLoader::ready);
        loader.request(photo, Box);
        QVERIFY(ready.wait(30000));
        QVERIFY(ready.first().at(1).value<QImage>().isNull());
    }

    // However the first picture is made, asking for another photo before it arrives means it
    // never does.
    void pictureOfAPhotoLeftIsDropped_data()
    {
        QTest::addColumn<QString>("left");
        QTest::newRow("decoded by Qt") << "left.jpg";
        QTest::newRow("preview from ExifTool") << "left.nef";
    }
    void pictureOfAPhotoLeftIsDropped()
    {
        QFETCH(QString, left);
        QTemporaryDir dir;
        QVERIFY(Files::write(dir.filePath(left),
                             left.endsWith(".nef") ? rawFile(1, true) : jpeg({400, 300}, Qt::red, Qt::red)));
        QVERIFY(Files::write(dir.filePath("shown.jpg"), jpeg({400, 300}, Qt::blue, Qt::blue)));
        ExifToolService service;
        ThumbnailLoader loader(&service);
        QSignalSpy ready(&loader, &ThumbnailLoader::ready);
        loader.request(dir.filePath(left), Box);
        loader.request(dir.filePath("shown.jpg"), Box);
        QVERIFY(ready.wait(30000));
        // Whatever was still under way for the photo left ends now.
        QTRY_VERIFY_WITH_TIMEOUT(service.pending().isEmpty(), 30000);
        QThreadPool::globalInstance()->waitForDone();
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
        QCOMPARE(ready.size(), 1);
        QCOMPARE(ready.first().at(0).toString(), dir.filePath("shown.jpg"));
        QVERIFY(near(ready.first().at(1).value<QImage>().pixelColor(50, 50), Qt::blue));
    }
};

QTEST_GUILESS_MAIN(TestThumbnail)
#include "tst_thumbnail.moc"
