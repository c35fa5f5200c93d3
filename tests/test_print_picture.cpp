// Picture loading: JPEG through libjpeg with its errors caught and a size
// limit, the other formats through Qt, every failure naming the file.
#include "Picture.h"
#include "TestEnv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

class PictureTest : public KivoraTest
{
protected:
    QTemporaryDir dir;

    QString path(const QString &name) const { return dir.filePath(name); }

    static QByteArray jpegBytes(int w, int h)
    {
        return readFile(fixture(QStringLiteral("gradient-%1x%2.jpg").arg(w).arg(h)));
    }
    static QByteArray readFile(const QString &p)
    {
        QFile f(p);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QString write(const QString &name, const QByteArray &bytes) const
    {
        QFile f(path(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path(name);
    }
    // The same JPEG with the frame header claiming another size.
    static QByteArray withClaimedSize(QByteArray jpeg, int w, int h)
    {
        for (int i = 0; i + 9 < jpeg.size(); ++i) {
            const uchar m = uchar(jpeg[i + 1]);
            if (uchar(jpeg[i]) == 0xFF && (m == 0xC0 || m == 0xC2)) {
                jpeg[i + 5] = char(h >> 8);
                jpeg[i + 6] = char(h & 0xFF);
                jpeg[i + 7] = char(w >> 8);
                jpeg[i + 8] = char(w & 0xFF);
                return jpeg;
            }
        }
        ADD_FAILURE() << "no frame header";
        return jpeg;
    }

    // Expects load() to fail with a message naming the file.
    static void expectError(const QString &file, qint64 limit = picture::MaxPixels, const QString &why = QString())
    {
        try {
            picture::load(file, limit);
            ADD_FAILURE() << "no error for " << file.toStdString();
        } catch (const PictureError &e) {
            EXPECT_EQ(e.path(), file);
            EXPECT_TRUE(e.message().contains(file)) << e.message().toStdString();
            EXPECT_TRUE(e.message().startsWith(QStringLiteral("画像ファイルを読み込めません。")));
            EXPECT_TRUE(e.message().contains(why)) << e.message().toStdString();
        }
    }
};

} // namespace

TEST_F(PictureTest, DecodesJpegWhateverTheCaseOfItsName)
{
    const QByteArray jpeg = jpegBytes(64, 48);
    ASSERT_FALSE(jpeg.isEmpty());
    for (const QString &name : {QStringLiteral("a.jpg"), QStringLiteral("B.JPG"), QStringLiteral("c.Jpg")}) {
        EXPECT_TRUE(picture::isJpegName(name));
        const QImage img = picture::load(write(name, jpeg));
        ASSERT_EQ(img.size(), QSize(64, 48)) << name.toStdString();
        // The fixture runs from black on the left to red on the right.
        EXPECT_LT(qRed(img.pixel(1, 24)), 40);
        EXPECT_GT(qRed(img.pixel(62, 24)), 215);
        EXPECT_LT(qGreen(img.pixel(62, 24)), 40);
    }
    EXPECT_FALSE(picture::isJpegName(QStringLiteral("a.jpeg.png")));
    // Other names are read by their content.
    for (const QString &name : {QStringLiteral("d.jpeg"), QStringLiteral("e.bmp")})
        EXPECT_EQ(picture::load(write(name, jpeg)).size(), QSize(64, 48)) << name.toStdString();

    // A grey-scale JPEG comes out as grey RGB.
    QImage grey(16, 8, QImage::Format_Grayscale8);
    grey.fill(200);
    ASSERT_TRUE(grey.save(path(QStringLiteral("grey.jpg")), "JPEG"));
    const QImage g = picture::load(path(QStringLiteral("grey.jpg")));
    ASSERT_EQ(g.size(), QSize(16, 8));
    EXPECT_NEAR(qRed(g.pixel(8, 4)), 200, 3);
    EXPECT_NEAR(qBlue(g.pixel(8, 4)), 200, 3);
}

TEST_F(PictureTest, BrokenJpegIsAnErrorNotACrash)
{
    const QByteArray jpeg = jpegBytes(64, 48);
    expectError(write(QStringLiteral("truncated.jpg"), jpeg.left(jpeg.size() / 3)));
    // Cut inside the picture data: libjpeg alone would return a grey-filled image.
    expectError(write(QStringLiteral("cut-in-scan.jpg"), jpeg.left(jpeg.size() - 200)), picture::MaxPixels,
                QStringLiteral("Premature end of JPEG file"));
    expectError(write(QStringLiteral("cut-in-scan.jpeg"), jpeg.left(jpeg.size() - 200)), picture::MaxPixels,
                QStringLiteral("Premature end of JPEG file"));
    expectError(write(QStringLiteral("header-only.jpg"), jpeg.left(20)));
    expectError(write(QStringLiteral("garbage.jpg"), QByteArray("this is plain text, not a picture\n").repeated(20)));
    expectError(write(QStringLiteral("empty.JPG"), QByteArray()));
    expectError(path(QStringLiteral("missing.jpg")));
    // A PNG under a JPEG name is read as JPEG, and so refused.
    QImage png(8, 8, QImage::Format_RGB32);
    png.fill(Qt::blue);
    ASSERT_TRUE(png.save(path(QStringLiteral("png.png")), "PNG"));
    expectError(write(QStringLiteral("really-png.jpg"), readFile(path(QStringLiteral("png.png")))));
}

TEST_F(PictureTest, OversizedPicturesAreRefusedBeforeDecoding)
{
    const QString tooLarge = QStringLiteral("画像が大きすぎます");
    // 60000 × 60000 claimed by a few hundred bytes: must not allocate 14 GB.
    expectError(write(QStringLiteral("bomb.jpg"), withClaimedSize(jpegBytes(64, 48), 60000, 60000)),
                picture::MaxPixels, tooLarge);
    // The limit is a parameter: 64 × 48 is refused under a 3000-pixel limit.
    expectError(write(QStringLiteral("small.jpg"), jpegBytes(64, 48)), 3000, tooLarge);
    EXPECT_NO_THROW(picture::load(path(QStringLiteral("small.jpg")), 3072));

    QImage big(100, 100, QImage::Format_RGB32);
    big.fill(Qt::green);
    ASSERT_TRUE(big.save(path(QStringLiteral("big.png")), "PNG"));
    expectError(path(QStringLiteral("big.png")), 5000, tooLarge);
}

TEST_F(PictureTest, OtherFormatsGoThroughQt)
{
    QImage src(10, 6, QImage::Format_RGB32);
    src.fill(Qt::red);
    for (const char *fmt : {"BMP", "PNG", "ICO"}) {
        const QString p = path(QStringLiteral("pic.") + QString::fromLatin1(fmt).toLower());
        ASSERT_TRUE(src.save(p, fmt)) << fmt;
        const QImage img = picture::load(p);
        EXPECT_EQ(img.size(), QSize(10, 6)) << fmt;
        EXPECT_GT(qRed(img.pixel(5, 3)), 200) << fmt;
    }
    // Qt writes no GIF: a 1 × 1 red one by hand.
    const QByteArray gif("GIF89a\x01\x00\x01\x00\x80\x00\x00\xff\x00\x00\x00\x00\x00"
                         ",\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00;", 35);
    const QImage g = picture::load(write(QStringLiteral("dot.gif"), gif));
    ASSERT_EQ(g.size(), QSize(1, 1));
    EXPECT_EQ(qRed(g.pixel(0, 0)), 255);
    expectError(write(QStringLiteral("bad.bmp"), QByteArray("BM") + QByteArray(40, '\xff')));
    expectError(write(QStringLiteral("chart.emf"), QByteArray(200, '\x01')));
    // A folder chosen as the picture, under either kind of name.
    for (const QString &name : {QStringLiteral("folder.jpg"), QStringLiteral("folder.png")}) {
        ASSERT_TRUE(QDir(dir.path()).mkpath(name));
        expectError(path(name));
    }
    // An endless device, even under a JPEG name, is refused, not read to its end.
    if (QFileInfo::exists(QStringLiteral("/dev/zero"))
        && QFile::link(QStringLiteral("/dev/zero"), path(QStringLiteral("zero.jpg"))))
        expectError(path(QStringLiteral("zero.jpg")));
}
