#include "TplPrev.h"

#include "Picture.h"
#include "Prompter.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QPaintEngine>
#include <QPainterPath>
#include <QFontMetricsF>
#include <QCursor>
#include <QGlyphRun>
#include <QGuiApplication>
#include <QHash>
#include <QJsonArray>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QPen>
#include <QRawFont>
#include <QTextLayout>

#include <climits>
#include <cmath>
#include <vector>

namespace {

// Fonts are measured and drawn at this pixel size and scaled linearly:
// unhinted outlines at this size give the same advances on every device.
constexpr int kRefPx = 1000;

const char *const kLastResort = "IPAmjMincho";

// Ceil(v ÷ 2) without overflowing at the ends of the int range.
int ceilDiv2(int v) { return v / 2 + (v > 0 && v % 2 != 0); }

// Rounds up, forgiving the float noise of an exact integer; measures of
// absurd font heights stay in the int range instead of overflowing.
int ceilUnits(double v)
{
    const double c = std::ceil(v - 1e-6);
    if (!(c > INT_MIN))
        return std::isnan(c) ? 0 : INT_MIN;
    return c < INT_MAX ? int(c) : INT_MAX;
}

qint64 truncScaled(qint64 dots, int dpi) { return dpi > 0 ? dots * 254 / dpi : 0; }

} // namespace

void installFontSubstitutes()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    const struct { const char *face; const char *ipa; } map[] = {
        {"ＭＳ Ｐ明朝", "IPAPMincho"},
        {"ＭＳ 明朝", "IPAMincho"},
        {"ＭＳ Ｐゴシック", "IPAPGothic"},
        {"ＭＳ ゴシック", "IPAGothic"},
        {"MS PMincho", "IPAPMincho"},
        {"MS Mincho", "IPAMincho"},
        {"MS PGothic", "IPAPGothic"},
        {"MS Gothic", "IPAGothic"},
    };
    for (const auto &m : map)
        QFont::insertSubstitutions(QString::fromUtf8(m.face),
                                   {QString::fromUtf8(m.ipa), QString::fromLatin1(kLastResort)});
    // The IPA faces themselves lack some name kanji (𠮷) that IPAmj has.
    for (const char *ipa : {"IPAPMincho", "IPAMincho", "IPAPGothic", "IPAGothic"})
        QFont::insertSubstitution(QString::fromLatin1(ipa), QString::fromLatin1(kLastResort));
}

// --- page frame ---

PageFrame computePageFrame(const DeviceValues &dv)
{
    const int dpiX = dv[0];
    const int dpiY = dv[1];
    PageFrame f;
    if (dpiX <= 0 || dpiY <= 0)
        return f;
    f.PaperW = int(truncScaled(dv[2], dpiX));
    f.PaperH = int(truncScaled(dv[3], dpiY));
    f.PrintW = int(std::min<qint64>(truncScaled(dv[4], dpiX), f.PaperW));
    f.PrintH = int(std::min<qint64>(truncScaled(dv[5], dpiY), f.PaperH));
    f.MarginB = int(std::max<qint64>(truncScaled(qint64(dv[3]) - dv[7], dpiY), 0));
    f.OffX = int(std::max<qint64>(truncScaled(dv[8], dpiX), 0));
    f.PrintR = int(std::min<qint64>(truncScaled(dv[9], dpiX), f.PaperW));
    f.OffY = int(std::max<qint64>(truncScaled(dv[6], dpiY), 0));
    return f;
}

PageFrame computePageFrame(const TplSetPrinter &printer) { return computePageFrame(printer.deviceValues()); }

int PrevOp::arg(const QString &name) const
{
    for (const auto &a : args)
        if (a.first == name)
            return a.second;
    return 0;
}

// --- fonts and metrics ---

namespace {

QFont referenceFont(const PrevFont &pf)
{
    QFont f;
    // Qt tries a list's own families before their substitutes: the stand-in
    // faces go ahead of the last resort, or every face would draw in it.
    QStringList families{pf.face};
    families += QFont::substitutes(pf.face);
    families << QString::fromLatin1(kLastResort);
    f.setFamilies(families);
    f.setPixelSize(kRefPx);
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setStyleStrategy(QFont::StyleStrategy(QFont::PreferOutline | QFont::PreferAntialias));
    f.setBold(pf.style & fsBold);
    f.setItalic(pf.style & fsItalic);
    f.setUnderline(pf.style & fsUnderline);
    f.setStrikeOut(pf.style & fsStrikeOut);
    f.setKerning(true);
    return f;
}

// Outline boxes of glyphs at the reference size. The font engine keeps no
// glyphs this large, so every QRawFont::boundingRect loads the outline
// again; a face has a bounded number of glyphs, so they are kept.
class GlyphBoxes
{
public:
    using Table = QHash<quint32, QRectF>;

    // The boxes of one glyph run's face (a fallback face for glyphs the
    // chosen one lacks) under the requested style (bold may be synthesised).
    // Valid until the next call.
    Table &table(const QFont &ref, const QRawFont &raw)
    {
        Key key{ref.families().value(0), ref.bold(), ref.italic(), raw.familyName(), raw.styleName(),
                raw.weight(), int(raw.style())};
        if (m_faces.size() >= kMaxFaces && !m_faces.contains(key))
            m_faces.clear();
        return m_faces[key];
    }

    static QRectF box(Table &table, const QRawFont &raw, quint32 glyph)
    {
        const auto it = table.constFind(glyph);
        if (it != table.constEnd())
            return *it;
        const QRectF b = raw.boundingRect(glyph);
        table.insert(glyph, b);
        return b;
    }

private:
    struct Key
    {
        QString face;
        bool bold = false;
        bool italic = false;
        QString runFamily;
        QString runStyle;
        int weight = 0;
        int style = 0;
        bool operator==(const Key &o) const
        {
            return bold == o.bold && italic == o.italic && weight == o.weight && style == o.style && face == o.face
                && runFamily == o.runFamily && runStyle == o.runStyle;
        }
        friend size_t qHash(const Key &k, size_t seed = 0)
        {
            return qHashMulti(seed, k.face, k.bold, k.italic, k.runFamily, k.runStyle, k.weight, k.style);
        }
    };
    static constexpr qsizetype kMaxFaces = 32;
    QHash<Key, Table> m_faces;
};

GlyphBoxes &glyphBoxes()
{
    thread_local GlyphBoxes boxes;
    return boxes;
}

// A font's metrics in page units.
struct Metrics
{
    QFont ref;
    QFontMetricsF fm;
    double scale; // page units per reference pixel

    explicit Metrics(const PrevFont &pf)
        : ref(referenceFont(pf)), fm(ref), scale(1.0)
    {
        const double cell = fm.ascent() + fm.descent();
        // In double: kRefPx × a huge height, or |INT_MIN|, would overflow an int.
        const double h = pf.height;
        const double em = h > 0 && cell > 0 ? kRefPx * h / cell : std::abs(h);
        scale = em / kRefPx;
    }
    double emSize() const { return kRefPx * scale; }
    double cellHeight() const { return (fm.ascent() + fm.descent()) * scale; }
    double ascent() const { return fm.ascent() * scale; }
    // An ink box in reference pixels, in page units.
    QRectF scaled(const QRectF &u) const
    {
        if (u.isNull())
            return QRectF();
        return QRectF(u.x() * scale, u.y() * scale, u.width() * scale, u.height() * scale);
    }
    // What shaping a text gives, in reference pixels.
    struct Shaped
    {
        double advance = 0;
        QRectF ink; // the glyphs' own outline box relative to the start of the baseline
    };
    // One layout gives both: shaping at this size is the costly part, the
    // font engine keeping no glyphs this large. The ink is taken from the
    // laid-out glyph runs: QFontMetricsF::boundingRect is off for text that
    // mixes scripts.
    Shaped shape(const QString &t) const
    {
        Shaped s;
        if (t.isEmpty())
            return s;
        QTextLayout layout(t, ref);
        layout.setCacheEnabled(true); // keep the shaped glyphs for glyphRuns()
        layout.beginLayout();
        QTextLine line = layout.createLine();
        layout.endLayout();
        if (!line.isValid()) {
            s.advance = fm.horizontalAdvance(t);
            return s;
        }
        s.advance = layoutAdvanceIsExact(t, line) ? line.horizontalAdvance() : fm.horizontalAdvance(t);
        QRectF u;
        const auto runs = layout.glyphRuns();
        for (const QGlyphRun &run : runs) {
            const QRawFont raw = run.rawFont();
            GlyphBoxes::Table &boxes = glyphBoxes().table(ref, raw);
            const auto glyphs = run.glyphIndexes();
            const auto pos = run.positions();
            for (int i = 0; i < glyphs.size() && i < pos.size(); ++i) {
                const QRectF b = GlyphBoxes::box(boxes, raw, glyphs[i]);
                if (!b.isEmpty())
                    u |= b.translated(pos[i]);
            }
        }
        if (u.isNull())
            return s;
        u.translate(0, -line.ascent());
        s.ink = u;
        return s;
    }
    // The line's advance is the sum of the same shaped advances that
    // QFontMetricsF adds up, unless the text has characters a line treats
    // on its own (tabs go to tab stops, line breaks end the line) or that
    // end a measured text (U+009C).
    static bool layoutAdvanceIsExact(const QString &t, const QTextLine &line)
    {
        if (line.textStart() != 0 || line.textLength() != t.size())
            return false;
        for (const QChar c : t) {
            const char16_t u = c.unicode();
            if (u < 0x20 || (u >= 0x7f && u <= 0x9f) || u == 0x2028 || u == 0x2029 || u == 0xfffc)
                return false;
        }
        return true;
    }
};

// Where a text goes: its advance, its overhang on either side, its ink.
struct TextPlan
{
    double width = 0;
    double overL = 0;
    double overR = 0;
    double cell = 0;
    double ascent = 0;
    double em = 0;
    QRectF ink; // relative to the origin on the baseline
};

// The chart measures many texts in the same few fonts; resolving a font
// is the costly part, so the last ones are kept.
const Metrics &metricsFor(const PrevFont &pf)
{
    struct Entry
    {
        PrevFont font;
        Metrics metrics;
    };
    thread_local std::vector<Entry> cache;
    for (const Entry &e : cache)
        if (e.font.face == pf.face && e.font.height == pf.height && e.font.style == pf.style)
            return e.metrics;
    if (cache.size() >= 16)
        cache.erase(cache.begin());
    cache.push_back(Entry{pf, Metrics(pf)});
    return cache.back().metrics;
}

} // namespace

// Shaping results of one document's texts in reference pixels: a text
// measured before it is drawn, or drawn again (honorifics, title lines),
// is shaped once. The height only scales them, so it is not in the key.
struct PrevTextCache
{
    struct Key
    {
        QString face;
        int style = 0;
        QString text;
        bool operator==(const Key &o) const { return style == o.style && text == o.text && face == o.face; }
        friend size_t qHash(const Key &k, size_t seed = 0) { return qHashMulti(seed, k.face, k.style, k.text); }
    };
    using Shaped = Metrics::Shaped;
    // Keeps a document of very many different texts from growing without end.
    static constexpr qsizetype kMaxTexts = 8192;
    QHash<Key, Shaped> texts;

    const Shaped &shaped(const PrevFont &pf, const Metrics &m, const QString &text)
    {
        Key key{pf.face, pf.style, text};
        const auto it = texts.constFind(key);
        if (it != texts.constEnd())
            return *it;
        if (texts.size() >= kMaxTexts)
            texts.clear();
        return *texts.insert(std::move(key), m.shape(text));
    }

    double width(const PrevFont &pf, const QString &text)
    {
        const Metrics &m = metricsFor(pf);
        return shaped(pf, m, text).advance * m.scale;
    }

    TextPlan plan(const PrevFont &pf, const QString &text)
    {
        const Metrics &m = metricsFor(pf);
        const Shaped &s = shaped(pf, m, text);
        TextPlan p;
        p.width = s.advance * m.scale;
        p.cell = m.cellHeight();
        p.ascent = m.ascent();
        p.em = m.emSize();
        if (!text.isEmpty()) {
            p.ink = m.scaled(s.ink);
            if (!p.ink.isEmpty()) {
                p.overL = std::max(0.0, -p.ink.left());
                p.overR = std::max(0.0, p.ink.right() - p.width);
            }
        }
        return p;
    }
};

// The chart draws the same table picture at every table: decoded once per
// document and shared, a large photo is held once instead of 25 times. A
// file changed on disk is decoded again.
struct PrevPictureCache
{
    struct Entry
    {
        qint64 size = -1;
        QDateTime modified;
        QImage image;
    };
    QHash<QString, Entry> pictures;

    QImage load(const QString &file)
    {
        const QFileInfo info(file);
        const QString key = info.absoluteFilePath();
        const auto it = pictures.constFind(key);
        if (it != pictures.constEnd() && info.isFile() && it->size == info.size()
            && it->modified == info.lastModified())
            return it->image;
        QImage image = picture::load(file);
        pictures.insert(key, Entry{info.size(), info.lastModified(), image});
        return image;
    }
};

// --- the document ---

const QString TplPrev::DefaultFace = QStringLiteral("ＭＳ Ｐゴシック");

TplPrev::TplPrev()
    : m_textCache(std::make_unique<PrevTextCache>()), m_pictures(std::make_unique<PrevPictureCache>())
{
    installFontSubstitutes();
    m_font.face = DefaultFace;
    m_font.height = DefaultFontHeight;
}

TplPrev::~TplPrev()
{
    // A run that never reached EndDoc must not leave the wait cursor behind.
    if (m_waitCursor)
        QGuiApplication::restoreOverrideCursor();
}

void TplPrev::BeginDoc()
{
    m_pages.clear();
    m_pictures->pictures.clear();
    if (m_explicitFrame)
        m_frame = *m_explicitFrame;
    else if (m_printer)
        m_frame = computePageFrame(*m_printer);
    else
        m_frame = computePageFrame(fullSheetDeviceValues(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                                         TplSetPrinter::PdfPrinterDpi));
    m_font = PrevFont{DefaultFace, DefaultFontHeight, 0};
    m_pages.append(QList<PrevOp>());
    m_open = true;
    if (qGuiApp && !m_waitCursor) {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        m_waitCursor = true;
    }
}

void TplPrev::NewPage()
{
    if (!m_open)
        return;
    m_pages.append(QList<PrevOp>());
}

void TplPrev::EndDoc()
{
    m_open = false;
    if (m_waitCursor) {
        QGuiApplication::restoreOverrideCursor();
        m_waitCursor = false;
    }
}

void TplPrev::ShowPreview() { prompter().showPreview(*this, m_printer, m_title); }

void TplPrev::SetFontHeight(int h) { m_font.height = h; }
void TplPrev::SetFontName(const QString &face) { m_font.face = face; }
void TplPrev::SetFontStyle(int styles) { m_font.style = styles & (fsBold | fsItalic | fsUnderline | fsStrikeOut); }

void TplPrev::record(PrevOp op)
{
    if (!m_open || m_pages.isEmpty())
        return; // drawing outside a document goes nowhere
    op.font = m_font;
    m_pages.last().append(std::move(op));
}

void TplPrev::DrawLine(int X1, int X2, int Y1, int Y2)
{
    PrevOp op;
    op.kind = PrevOp::Kind::Line;
    op.op = QStringLiteral("DrawLine");
    op.args = {{"X1", X1}, {"X2", X2}, {"Y1", Y1}, {"Y2", Y2}};
    op.box = {double(std::min(X1, X2)), double(std::min(Y1, Y2)), double(std::max(X1, X2)), double(std::max(Y1, Y2))};
    record(std::move(op));
}

void TplPrev::DrawRect(int Left, int Right, int Top, int Bottom)
{
    PrevOp op;
    op.kind = PrevOp::Kind::Rect;
    op.op = QStringLiteral("DrawRect");
    op.args = {{"Left", Left}, {"Right", Right}, {"Top", Top}, {"Bottom", Bottom}};
    op.box = {double(Left), double(Top), double(Right), double(Bottom)};
    record(std::move(op));
}

void TplPrev::DrawCircle(int CX, int CY, int D)
{
    // D ÷ 2 rounded half away from zero; the outline uses its size.
    const qint64 r = (std::abs(qint64(D)) + 1) / 2;
    PrevOp op;
    op.kind = PrevOp::Kind::Circle;
    op.op = QStringLiteral("DrawCircle");
    op.args = {{"CX", CX}, {"CY", CY}, {"D", D}};
    op.box = {double(CX - r), double(CY - r), double(CX + r), double(CY + r)};
    record(std::move(op));
}

double TplPrev::textWidthF(const QString &text) const { return m_textCache->width(m_font, text); }
double TplPrev::textHeightF() const { return metricsFor(m_font).cellHeight(); }
int TplPrev::TextWidth(const QString &text) const { return ceilUnits(textWidthF(text)); }
int TplPrev::TextHeight(const QString &) const { return ceilUnits(textHeightF()); }

void TplPrev::recordText(const QString &name, int X, int Y, const QString &text, double left, double top)
{
    const TextPlan p = m_textCache->plan(m_font, text);
    PrevOp op;
    op.kind = PrevOp::Kind::Text;
    op.op = name;
    op.args = {{"X", X}, {"Y", Y}};
    op.text = text;
    op.emSize = p.em;
    op.originX = left + p.overL;
    op.baseline = top + p.ascent;
    op.box = {left, top, left + p.overL + p.width + p.overR, top + p.cell};
    op.ink = {op.originX + p.ink.left(), op.baseline + p.ink.top(), op.originX + p.ink.right(),
              op.baseline + p.ink.bottom()};
    record(std::move(op));
}

void TplPrev::TextLeftTop(int X, int Y, const QString &text) { recordText(QStringLiteral("TextLeftTop"), X, Y, text, X, Y); }

void TplPrev::TextLeftMiddle(int X, int Y, const QString &text)
{
    recordText(QStringLiteral("TextLeftMiddle"), X, Y, text, X, double(Y) - ceilDiv2(TextHeight(QStringLiteral("Hg"))));
}

void TplPrev::TextLeftBottom(int X, int Y, const QString &text)
{
    recordText(QStringLiteral("TextLeftBottom"), X, Y, text, X, double(Y) - TextHeight(QStringLiteral("Hg")));
}

void TplPrev::TextCenterMiddle(int X, int Y, const QString &text)
{
    recordText(QStringLiteral("TextCenterMiddle"), X, Y, text, double(X) - ceilDiv2(TextWidth(text)),
               double(Y) - ceilDiv2(TextHeight(QStringLiteral("Hg"))));
}

void TplPrev::TextRightTop(int X, int Y, const QString &text)
{
    const TextPlan p = m_textCache->plan(m_font, text);
    recordText(QStringLiteral("TextRightTop"), X, Y, text, X - p.overR - p.width - p.overL, Y);
}

void TplPrev::TextRightBottom(int X, int Y, const QString &text)
{
    const TextPlan p = m_textCache->plan(m_font, text);
    recordText(QStringLiteral("TextRightBottom"), X, Y, text, X - p.overR - p.width - p.overL,
               double(Y) - TextHeight(QStringLiteral("Hg")));
}

void TplPrev::recordTextInRect(const QString &name, int Left, int Right, int Top, int Bottom,
                               const QString &text, bool centred)
{
    const TextPlan p = m_textCache->plan(m_font, text);
    double left = Left;
    double top = Top;
    if (centred) {
        left = Left + ((Right - Left) - (p.overL + p.width + p.overR)) / 2.0;
        top = Top + ((Bottom - Top) - p.cell) / 2.0;
    }
    PrevOp op;
    op.kind = PrevOp::Kind::TextInRect;
    op.op = name;
    op.args = {{"Left", Left}, {"Right", Right}, {"Top", Top}, {"Bottom", Bottom}};
    op.text = text; // drawn as is: no prefix character
    op.emSize = p.em;
    op.originX = left + p.overL;
    op.baseline = top + p.ascent;
    op.box = {left, top, left + p.overL + p.width + p.overR, top + p.cell};
    op.ink = {op.originX + p.ink.left(), op.baseline + p.ink.top(), op.originX + p.ink.right(),
              op.baseline + p.ink.bottom()};
    op.clip = PrevBox{double(std::min(Left, Right)), double(std::min(Top, Bottom)), double(std::max(Left, Right)),
                      double(std::max(Top, Bottom))};
    record(std::move(op));
}

void TplPrev::TextInRectLeft(int Left, int Right, int Top, int Bottom, const QString &text)
{
    recordTextInRect(QStringLiteral("TextInRectLeft"), Left, Right, Top, Bottom, text, false);
}

void TplPrev::TextInRectMiddle(int Left, int Right, int Top, int Bottom, const QString &text)
{
    recordTextInRect(QStringLiteral("TextInRectMiddle"), Left, Right, Top, Bottom, text, true);
}

void TplPrev::DrawPicture(int Left, int Right, int Top, int Bottom, bool stretch, const QString &file)
{
    if (!m_open)
        return;
    PrevOp op;
    op.kind = PrevOp::Kind::Picture;
    op.op = QStringLiteral("DrawPicture");
    op.args = {{"Left", Left}, {"Right", Right}, {"Top", Top}, {"Bottom", Bottom}};
    op.stretch = stretch;
    op.text = file;
    op.picture = m_pictures->load(file);
    op.box = {double(Left), double(Top), double(Right), double(Bottom)};
    record(std::move(op));
}

// --- replay ---

namespace {
// The Japanese faces have no bold cut. Qt's PDF output (also what printing
// goes through on Linux and macOS) makes bold from them itself, but glyphs
// drawn as outlines on the screen or into an image come out regular, so
// there the outline is thickened as the font engine would (em/24 in all).
bool needsDrawnBold(const QFont &font, const QPainter &painter)
{
    if (painter.paintEngine() && painter.paintEngine()->type() == QPaintEngine::Pdf)
        return false;
    static QHash<QString, bool> hasBoldCut;
    const QString family = QFontInfo(font).family();
    auto it = hasBoldCut.constFind(family);
    if (it == hasBoldCut.constEnd()) {
        bool bold = false;
        for (const QString &style : QFontDatabase::styles(family))
            bold = bold || QFontDatabase::weight(family, style) >= QFont::DemiBold;
        it = hasBoldCut.insert(family, bold);
    }
    return !it.value();
}

void strokeBold(QPainter &painter, const QFont &font, const QString &text)
{
    QFont regular = font;
    regular.setBold(false);
    QPainterPath path;
    path.addText(QPointF(0, 0), regular, text);
    QPen pen(Qt::black, kRefPx / 24.0);
    pen.setJoinStyle(Qt::RoundJoin);
    painter.strokePath(path, pen);
}
} // namespace

void TplPrev::paintPage(QPainter &painter, int index) const
{
    if (index < 0 || index >= m_pages.size())
        return;
    const PageFrame &f = m_frame;
    painter.save();
    const double printBottom = std::min(f.OffY + f.PrintH, f.PaperH);
    painter.setClipRect(QRectF(f.OffX, f.OffY, std::max(0, f.PrintR - f.OffX), std::max(0.0, printBottom - f.OffY)),
                        Qt::IntersectClip);
    QPen pen(Qt::black);
    pen.setWidth(0); // thinnest line the device has
    pen.setCosmetic(true);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);

    for (const PrevOp &op : m_pages.at(index)) {
        switch (op.kind) {
        case PrevOp::Kind::Line:
            painter.drawLine(QPointF(op.arg("X1"), op.arg("Y1")), QPointF(op.arg("X2"), op.arg("Y2")));
            break;
        case PrevOp::Kind::Rect:
            painter.drawRect(QRectF(QPointF(op.arg("Left"), op.arg("Top")), QPointF(op.arg("Right"), op.arg("Bottom"))));
            break;
        case PrevOp::Kind::Circle:
            painter.drawEllipse(QRectF(QPointF(op.box.left, op.box.top), QPointF(op.box.right, op.box.bottom)));
            break;
        case PrevOp::Kind::Text:
        case PrevOp::Kind::TextInRect: {
            painter.save();
            if (op.clip)
                painter.setClipRect(QRectF(QPointF(op.clip->left, op.clip->top), QPointF(op.clip->right, op.clip->bottom)),
                                    Qt::IntersectClip);
            painter.translate(op.originX, op.baseline);
            const double s = op.emSize / kRefPx;
            painter.scale(s, s);
            const QFont font = referenceFont(op.font);
            painter.setFont(font);
            painter.setPen(QPen(Qt::black));
            painter.drawText(QPointF(0, 0), op.text);
            if (op.font.bold() && needsDrawnBold(font, painter))
                strokeBold(painter, font, op.text);
            painter.restore();
            break;
        }
        case PrevOp::Kind::Picture: {
            const QRectF target(QPointF(op.arg("Left"), op.arg("Top")), QPointF(op.arg("Right"), op.arg("Bottom")));
            if (op.stretch) {
                painter.drawImage(target.normalized(), op.picture);
            } else {
                // Natural size from the picture's own resolution (96 dpi when it has none).
                const double dpmX = op.picture.dotsPerMeterX() > 0 ? op.picture.dotsPerMeterX() : 96 / 0.0254;
                const double dpmY = op.picture.dotsPerMeterY() > 0 ? op.picture.dotsPerMeterY() : 96 / 0.0254;
                const QRectF natural(target.normalized().topLeft(),
                                     QSizeF(op.picture.width() * 10000.0 / dpmX, op.picture.height() * 10000.0 / dpmY));
                painter.save();
                painter.setClipRect(target.normalized(), Qt::IntersectClip);
                painter.drawImage(natural, op.picture);
                painter.restore();
            }
            break;
        }
        }
    }
    painter.restore();
}

bool TplPrev::renderTo(QPagedPaintDevice &device, QString *error) const
{
    if (m_pages.isEmpty() || !m_frame.valid()) {
        if (error)
            *error = QStringLiteral("印刷するページがありません。");
        return false;
    }
    QPainter painter;
    if (!painter.begin(&device)) {
        if (error)
            *error = QStringLiteral("印刷を開始できません。");
        return false;
    }
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    const double sx = device.logicalDpiX() / 254.0;
    const double sy = device.logicalDpiY() / 254.0;
    for (int i = 0; i < m_pages.size(); ++i) {
        if (i > 0 && !device.newPage()) {
            if (error)
                *error = QStringLiteral("改ページできません。");
            painter.end();
            return false;
        }
        painter.resetTransform();
        painter.scale(sx, sy);
        paintPage(painter, i);
    }
    return painter.end();
}

bool TplPrev::savePdf(const QString &path, QString *error) const
{
    QPdfWriter writer(path);
    writer.setResolution(TplSetPrinter::PdfPrinterDpi);
    writer.setCreator(QStringLiteral("Kivora"));
    writer.setTitle(m_title);
    QPageLayout layout;
    if (m_printer && !m_explicitFrame) {
        layout = QPageLayout(m_printer->pageSize(), m_printer->orientation(), QMarginsF(0, 0, 0, 0));
    } else {
        const QPageSize size(QSizeF(m_frame.PaperW / 10.0, m_frame.PaperH / 10.0), QPageSize::Millimeter,
                             QString(), QPageSize::ExactMatch);
        layout = QPageLayout(size, QPageLayout::Portrait, QMarginsF(0, 0, 0, 0));
    }
    layout.setMinimumMargins(QMarginsF(0, 0, 0, 0));
    layout.setMargins(QMarginsF(0, 0, 0, 0));
    if (!writer.setPageLayout(layout)) {
        if (error)
            *error = QStringLiteral("用紙を設定できません。");
        return false;
    }
    if (!renderTo(writer, error))
        return false;
    if (!QFile::exists(path)) {
        if (error)
            *error = QStringLiteral("PDFファイルを書き込めません。\n%1").arg(path);
        return false;
    }
    return true;
}

QImage TplPrev::renderImage(int page, int dpi) const
{
    if (page < 0 || page >= m_pages.size() || dpi <= 0 || !m_frame.valid())
        return QImage();
    const qint64 w = qint64(std::ceil(m_frame.PaperW * dpi / 254.0));
    const qint64 h = qint64(std::ceil(m_frame.PaperH * dpi / 254.0));
    if (w <= 0 || h <= 0 || w * h > 200'000'000)
        return QImage();
    QImage image(int(w), int(h), QImage::Format_RGB32);
    if (image.isNull())
        return image;
    image.fill(Qt::white);
    image.setDotsPerMeterX(qRound(dpi / 0.0254));
    image.setDotsPerMeterY(qRound(dpi / 0.0254));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.scale(dpi / 254.0, dpi / 254.0);
    paintPage(painter, page);
    painter.end();
    return image;
}

bool TplPrev::savePng(const QString &path, int page, int dpi, QString *error) const
{
    const QImage image = renderImage(page, dpi);
    if (image.isNull()) {
        if (error)
            *error = QStringLiteral("画像を作成できません。");
        return false;
    }
    if (!image.save(path, "PNG")) {
        if (error)
            *error = QStringLiteral("PNGファイルを書き込めません。\n%1").arg(path);
        return false;
    }
    return true;
}

QJsonObject TplPrev::toJson() const
{
    QJsonObject frame{
        {"PaperW", m_frame.PaperW}, {"PaperH", m_frame.PaperH}, {"PrintW", m_frame.PrintW},
        {"PrintH", m_frame.PrintH}, {"MarginB", m_frame.MarginB}, {"OffX", m_frame.OffX},
        {"OffY", m_frame.OffY},     {"PrintR", m_frame.PrintR},
    };
    QJsonArray pages;
    for (const auto &page : m_pages) {
        QJsonArray ops;
        for (const PrevOp &op : page) {
            QJsonObject o;
            o.insert("op", op.op);
            for (const auto &a : op.args)
                o.insert(a.first, a.second);
            if (op.kind == PrevOp::Kind::Text || op.kind == PrevOp::Kind::TextInRect) {
                o.insert("text", op.text);
                o.insert("box", QJsonObject{{"left", op.box.left}, {"top", op.box.top},
                                            {"right", op.box.right}, {"bottom", op.box.bottom}});
            } else if (op.kind == PrevOp::Kind::Picture) {
                o.insert("stretch", op.stretch);
                o.insert("file", op.text);
            }
            o.insert("font", QJsonObject{{"face", op.font.face}, {"height", op.font.height}, {"bold", op.font.bold()}});
            ops.append(o);
        }
        pages.append(ops);
    }
    return QJsonObject{{"frame", frame}, {"pages", pages}};
}
