#include "Picture.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include <csetjmp>
#include <cstdio>
#include <memory>

#include <jpeglib.h>
#include <jerror.h>

PictureError::PictureError(const QString &path, const QString &message)
    : std::runtime_error(message.toStdString()), m_path(path), m_message(message)
{
}

namespace picture {

namespace {

QString unreadable(const QString &path, const QString &why)
{
    return QStringLiteral("画像ファイルを読み込めません。\n%1\n(%2)").arg(path, why);
}

// libjpeg ends the process from its default error_exit; ours jumps back
// to the decoder with the library's message instead.
struct JpegError
{
    jpeg_error_mgr mgr;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void jpegErrorExit(j_common_ptr cinfo)
{
    auto *err = reinterpret_cast<JpegError *>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

// Warnings are ignored except a premature end of data: libjpeg would fill
// the rest with grey and call it a picture; a cut-off file is an error.
void jpegMessage(j_common_ptr cinfo, int level)
{
    if (level == -1 && cinfo->err->msg_code == JWRN_JPEG_EOF)
        jpegErrorExit(cinfo);
}

} // namespace

bool isJpegName(const QString &path)
{
    return path.endsWith(QLatin1String(".jpg"), Qt::CaseInsensitive);
}

QImage loadJpeg(const QString &path, qint64 maxPixels)
{
    // The whole file is read first so that no FILE* (and no C runtime
    // difference between platforms) crosses the longjmp.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw PictureError(path, unreadable(path, QStringLiteral("ファイルを開けません")));
    if (file.size() > 512LL * 1024 * 1024)
        throw PictureError(path, unreadable(path, QStringLiteral("ファイルが大きすぎます")));
    const QByteArray data = file.readAll();
    file.close();
    if (data.isEmpty())
        throw PictureError(path, unreadable(path, QStringLiteral("ファイルが空です")));

    jpeg_decompress_struct cinfo{};
    JpegError jerr{};
    cinfo.err = jpeg_std_error(&jerr.mgr);
    jerr.mgr.error_exit = jpegErrorExit;
    jerr.mgr.emit_message = jpegMessage;

    // Everything the jump may skip over lives outside this frame's
    // automatic objects with destructors: the image is built afterwards.
    QImage *volatile result = nullptr;
    volatile bool tooLarge = false;
    if (setjmp(jerr.jump)) {
        jpeg_destroy_decompress(&cinfo);
        delete result;
        throw PictureError(path, unreadable(path, QString::fromLocal8Bit(jerr.message)));
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char *>(data.constData()),
                 static_cast<unsigned long>(data.size()));
    jpeg_read_header(&cinfo, TRUE);

    const qint64 pixels = qint64(cinfo.image_width) * qint64(cinfo.image_height);
    if (pixels <= 0 || pixels > maxPixels) {
        tooLarge = true;
    } else {
        const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
        cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_RGBX;
        jpeg_start_decompress(&cinfo);
        // Four bytes a pixel either way; CMYK rows are turned into RGB below.
        result = new QImage(int(cinfo.output_width), int(cinfo.output_height),
                            cmyk ? QImage::Format_RGB32 : QImage::Format_RGBX8888);
        if (result->isNull()) {
            tooLarge = true;
            jpeg_abort_decompress(&cinfo);
        } else {
            while (cinfo.output_scanline < cinfo.output_height) {
                const int y = int(cinfo.output_scanline);
                JSAMPROW row = result->scanLine(y);
                jpeg_read_scanlines(&cinfo, &row, 1);
                if (cmyk) {
                    // Adobe stores CMYK inverted: each value is already 255 - ink.
                    auto *px = reinterpret_cast<QRgb *>(row);
                    for (int x = 0; x < result->width(); ++x) {
                        const uchar *c = row + 4 * x;
                        const int k = c[3];
                        px[x] = qRgb(c[0] * k / 255, c[1] * k / 255, c[2] * k / 255);
                    }
                }
            }
            jpeg_finish_decompress(&cinfo);
        }
    }
    jpeg_destroy_decompress(&cinfo);

    std::unique_ptr<QImage> owned(result);
    if (tooLarge)
        throw PictureError(path, unreadable(path, QStringLiteral("画像が大きすぎます")));
    return owned->convertToFormat(QImage::Format_RGB32);
}

namespace {
// A JPEG under another name (".jpeg", a wrong extension) still goes
// through our decoder, with its error handling and size limit.
bool hasJpegSignature(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.read(3) == QByteArray("\xFF\xD8\xFF", 3);
}
} // namespace

QImage load(const QString &path, qint64 maxPixels)
{
    // Only plain files: a folder, a device or a pipe chosen by mistake
    // would otherwise be read without end or block the program.
    if (!QFileInfo(path).isFile())
        throw PictureError(path, unreadable(path, QStringLiteral("ファイルを開けません")));
    if (isJpegName(path) || hasJpegSignature(path))
        return loadJpeg(path, maxPixels);

    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    // Qt's limit is in megabytes of decoded image (4 bytes a pixel).
    reader.setAllocationLimit(int(qMin<qint64>(maxPixels * 4 / (1024 * 1024) + 1, INT_MAX)));
    const QSize size = reader.size();
    if (size.isValid() && qint64(size.width()) * size.height() > maxPixels)
        throw PictureError(path, unreadable(path, QStringLiteral("画像が大きすぎます")));
    QImage image;
    if (!reader.read(&image) || image.isNull())
        throw PictureError(path, unreadable(path, reader.errorString()));
    return image;
}

} // namespace picture
