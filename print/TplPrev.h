#pragma once
// The preview document: drawing operations recorded per page in page units
// (0.1 mm from the paper's top-left corner) with their font, replayed by one
// function onto any painter (preview widget, printer, PDF, image).
#include "TplSetPrinter.h"

#include <QImage>
#include <QJsonObject>
#include <QList>
#include <QPair>
#include <QString>

#include <memory>
#include <optional>

class QPainter;
class QPagedPaintDevice;
struct PrevTextCache;
struct PrevPictureCache;

// Registers the IPA stand-ins for the Windows faces (and IPAmj明朝 as the
// last substitute of every face). Safe to call more than once.
void installFontSubstitutes();

// The page frame in page units, from the printer's ten device values.
struct PageFrame
{
    int PaperW = 0;
    int PaperH = 0;
    int PrintW = 0;
    int PrintH = 0;
    int MarginB = 0;
    int OffX = 0;
    int OffY = 0;
    int PrintR = 0;

    // False when there is no usable paper (no resolution, no size).
    bool valid() const { return PaperW > 0 && PaperH > 0; }
    // The printable area in page units: what the drawing is cut to.
    int printBottom() const { return PaperH - MarginB; }
};

// Kind 1 at index 0 (dpiX, dpiY, paper w/h, printable w/h, top offset,
// top + printable h, left offset, left + printable w).
PageFrame computePageFrame(const DeviceValues &dv);
PageFrame computePageFrame(const TplSetPrinter &printer);

// Font style flags of SetFontStyle.
enum PrevFontStyle : int {
    fsBold = 1,
    fsItalic = 2,
    fsUnderline = 4,
    fsStrikeOut = 8,
};

struct PrevFont
{
    QString face;
    int height = -37; // > 0 cell height, < 0 character height, page units
    int style = 0;    // PrevFontStyle flags
    bool bold() const { return style & fsBold; }
};

// Extent in page units (text may end between units).
struct PrevBox
{
    double left = 0, top = 0, right = 0, bottom = 0;
};

// One recorded operation.
struct PrevOp
{
    enum class Kind { Line, Rect, Circle, Text, TextInRect, Picture };
    Kind kind = Kind::Line;
    QString op;                       // operation name, e.g. "TextLeftTop"
    QList<QPair<QString, int>> args;  // integer arguments by their names, in order
    QString text;                     // text, or the picture's file name
    bool stretch = false;             // DrawPicture
    PrevFont font;                    // font current when recorded

    // Text: where it is drawn. emSize is the font's pixel size in page
    // units, (originX, baseline) the start of the glyph run.
    double emSize = 0;
    double originX = 0;
    double baseline = 0;
    // Text: visible left/right and cell top/bottom. Lines, rectangles,
    // circles and pictures: the outline's extent (a circle's uses its radius).
    PrevBox box;
    PrevBox ink;                      // the glyphs' own bounding box
    std::optional<PrevBox> clip;      // TextInRect*: cut to this rectangle
    QImage picture;                   // DrawPicture: decoded picture

    int arg(const QString &name) const;
};

class TplPrev
{
public:
    static const QString DefaultFace;   // face after BeginDoc
    static constexpr int DefaultFontHeight = -37;

    TplPrev();
    ~TplPrev();
    TplPrev(const TplPrev &) = delete;
    TplPrev &operator=(const TplPrev &) = delete;

    // Page paper and printable area come from the linked printer settings,
    // or from an explicit frame (tests, or a caller that computed one).
    void setPrinter(TplSetPrinter *printer) { m_printer = printer; }
    TplSetPrinter *printer() const { return m_printer; }
    void setPageFrame(const std::optional<PageFrame> &frame) { m_explicitFrame = frame; }
    PageFrame frame() const { return m_frame; }

    // Caption of the preview window.
    void setTitle(const QString &title) { m_title = title; }
    QString title() const { return m_title; }

    // --- the preview operations ---
    void BeginDoc();
    void NewPage();
    void EndDoc();
    void ShowPreview();

    void SetFontHeight(int h);
    void SetFontName(const QString &face);
    void SetFontStyle(int styles);
    PrevFont font() const { return m_font; }

    void DrawLine(int X1, int X2, int Y1, int Y2);
    void DrawRect(int Left, int Right, int Top, int Bottom);
    void DrawCircle(int CX, int CY, int D);

    void TextLeftTop(int X, int Y, const QString &text);
    void TextLeftMiddle(int X, int Y, const QString &text);
    void TextLeftBottom(int X, int Y, const QString &text);
    void TextCenterMiddle(int X, int Y, const QString &text);
    void TextRightTop(int X, int Y, const QString &text);
    void TextRightBottom(int X, int Y, const QString &text);
    void TextInRectLeft(int Left, int Right, int Top, int Bottom, const QString &text);
    void TextInRectMiddle(int Left, int Right, int Top, int Bottom, const QString &text);

    // Page units with the current font, rounded up to whole units.
    // TextHeight is the cell height (ascent + descent).
    int TextWidth(const QString &text) const;
    int TextHeight(const QString &text) const;
    // The exact values, for callers that need fractions.
    double textWidthF(const QString &text) const;
    double textHeightF() const;

    // Throws PictureError when the file cannot be read.
    void DrawPicture(int Left, int Right, int Top, int Bottom, bool stretch, const QString &file);

    // --- the recording ---
    int pageCount() const { return int(m_pages.size()); }
    const QList<PrevOp> &page(int index) const { return m_pages.at(index); }
    bool inDocument() const { return m_open; }

    // Paints one page in page units: the painter's transform must map page
    // units to its device (see pageTransformScale). Cuts to the printable area.
    void paintPage(QPainter &painter, int index) const;
    // Paints every page onto a paged device (QPrinter in full-page mode,
    // QPdfWriter without margins), scaling page units to its resolution.
    bool renderTo(QPagedPaintDevice &device, QString *error = nullptr) const;

    bool savePdf(const QString &path, QString *error = nullptr) const;
    bool savePng(const QString &path, int page, int dpi, QString *error = nullptr) const;
    QImage renderImage(int page, int dpi) const;

    QJsonObject toJson() const;

private:
    void record(PrevOp op);
    void recordText(const QString &name, int X, int Y, const QString &text, double left, double top);
    void recordTextInRect(const QString &name, int Left, int Right, int Top, int Bottom,
                          const QString &text, bool centred);

    TplSetPrinter *m_printer = nullptr;
    std::optional<PageFrame> m_explicitFrame;
    PageFrame m_frame;
    QString m_title;
    PrevFont m_font;
    QList<QList<PrevOp>> m_pages;
    bool m_open = false;
    bool m_waitCursor = false;
    std::unique_ptr<PrevTextCache> m_textCache; // measured texts
    std::unique_ptr<PrevPictureCache> m_pictures; // decoded once per document
};
