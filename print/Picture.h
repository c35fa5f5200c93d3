#pragma once
// Loading of the pictures a chart draws: JPEG through libjpeg-turbo, the
// other formats (BMP, ICO, PNG, GIF) through Qt's image readers. A file that
// cannot be read becomes a PictureError naming it, never a crash.
#include <QImage>
#include <QString>

#include <stdexcept>

class PictureError : public std::runtime_error
{
public:
    PictureError(const QString &path, const QString &message);
    QString path() const { return m_path; }
    QString message() const { return m_message; } // Japanese, names the file

private:
    QString m_path;
    QString m_message;
};

namespace picture {

// Pictures larger than this are refused before any pixel is allocated.
constexpr qint64 MaxPixels = 100'000'000;

// True when the name ends in ".jpg" in any case (such files are JPEG).
bool isJpegName(const QString &path);

// Decodes a JPEG file with libjpeg; throws PictureError.
QImage loadJpeg(const QString &path, qint64 maxPixels = MaxPixels);

// Loads any supported picture; throws PictureError.
QImage load(const QString &path, qint64 maxPixels = MaxPixels);

} // namespace picture
