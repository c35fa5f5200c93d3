// The preview document: page frame, anchors, fonts, clipping, replay to PDF
// and PNG, and that what is measured is what gets drawn.
#include "Picture.h"
#include "TestEnv.h"
#include "TplPrev.h"

#include <QDir>
#include <QFile>
#include <QCursor>
#include <QFontInfo>
#include <QGuiApplication>
#include <QJsonArray>
#include <QRawFont>
#include <QSet>
#include <QTemporaryDir>
#include <QTextLayout>

#include <cmath>

namespace {

// A4 at 600 dpi with a 1 cm margin all round, in page units.
PageFrame marginFrame()
{
    PageFrame f;
    f.PaperW = 2100;
    f.PaperH = 2970;
    f.OffX = 100;
    f.OffY = 100;
    f.PrintW = 1900;
    f.PrintH = 2770;
    f.PrintR = 2000;
    f.MarginB = 100;
    return f;
}

PageFrame fullFrame()
{
    PageFrame f;
    f.PaperW = f.PrintW = f.PrintR = 2100;
    f.PaperH = f.PrintH = 2970;
    return f;
}

// Bounding box of the non-white pixels, or a null rect.
QRect inkPixels(const QImage &img, const QRect &within = QRect())
{
    const QRect area = within.isNull() ? img.rect() : within.intersected(img.rect());
    int l = INT_MAX, t = INT_MAX, r = -1, b = -1;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(img.constScanLine(y));
        for (int x = area.left(); x <= area.right(); ++x) {
            if (qGray(line[x]) < 160) {
                l = std::min(l, x);
                r = std::max(r, x);
                t = std::min(t, y);
                b = std::max(b, y);
            }
        }
    }
    return r < 0 ? QRect() : QRect(QPoint(l, t), QPoint(r, b));
}

class PrintPrevTest : public KivoraTest
{
protected:
    TplPrev doc;
    void begin(const PageFrame &f = fullFrame())
    {
        doc.setPageFrame(f);
        doc.BeginDoc();
    }
};

} // namespace

TEST(PageFrameTest, FromDeviceValues)
{
    struct Case
    {
        const char *what;
        DeviceValues dv;
        PageFrame want;
    };
    const Case cases[] = {
        {"A4 600 dpi, 100-dot margins", {600, 600, 4960, 7016, 4760, 6816, 100, 6916, 100, 4860},
         {2099, 2970, 2015, 2885, 42, 42, 42, 2057}},
        {"printable larger than paper, negative offsets", {600, 600, 600, 600, 700, 700, -10, 690, -10, 690},
         {254, 254, 254, 254, 0, 0, 0, 254}},
        {"different resolutions across and down", {300, 600, 3000, 6000, 3000, 6000, 0, 6000, 0, 3000},
         {2540, 2540, 2540, 2540, 0, 0, 0, 2540}},
        {"no printer", {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 0, 0}},
    };
    for (const Case &c : cases) {
        const PageFrame f = computePageFrame(c.dv);
        const int got[] = {f.PaperW, f.PaperH, f.PrintW, f.PrintH, f.MarginB, f.OffX, f.OffY, f.PrintR};
        const int want[] = {c.want.PaperW, c.want.PaperH, c.want.PrintW, c.want.PrintH,
                            c.want.MarginB, c.want.OffX, c.want.OffY, c.want.PrintR};
        for (int i = 0; i < 8; ++i)
            EXPECT_EQ(got[i], want[i]) << c.what << " value " << i;
    }
    EXPECT_FALSE(computePageFrame(DeviceValues{}).valid());
}

TEST_F(PrintPrevTest, BeginDocTakesTheLinkedPrinterAndDiscardsThePreviousDocument)
{
    TplSetPrinter printer;
    printer.setPrinterName(TplSetPrinter::PdfPrinterName);
    printer.setPaperName(QStringLiteral("A3"));
    printer.SetLandscape(true);
    doc.setPrinter(&printer);
    doc.BeginDoc();
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    doc.DrawLine(0, 10, 0, 10);
    doc.NewPage();
    doc.EndDoc();
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr) << "the cursor is restored";
    EXPECT_EQ(doc.pageCount(), 2);
    EXPECT_EQ(doc.frame().PaperW, 4200); // A3 across, 1200 dpi, truncated
    EXPECT_EQ(doc.frame().PaperH, 2970);
    EXPECT_EQ(doc.frame().PrintR, doc.frame().PaperW);
    // The PDF sheet is the printer's paper the right way round.
    QTemporaryDir dir;
    ASSERT_TRUE(doc.savePdf(dir.filePath(QStringLiteral("a3.pdf"))));
    QFile pdf(dir.filePath(QStringLiteral("a3.pdf")));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    const QByteArray bytes = pdf.readAll();
    const int at = bytes.indexOf("/MediaBox");
    ASSERT_GE(at, 0);
    EXPECT_TRUE(bytes.mid(at).startsWith("/MediaBox [0 0 1191")) << bytes.mid(at, 40).toStdString();

    doc.BeginDoc();
    EXPECT_EQ(doc.pageCount(), 1);
    EXPECT_TRUE(doc.page(0).isEmpty());
    EXPECT_EQ(doc.font().height, -37);
    EXPECT_EQ(doc.TextWidth(QStringLiteral("漢")), 37); // a full-width glyph is one character height wide
    doc.EndDoc();
    // Drawing after the document was closed is not recorded anywhere.
    doc.DrawLine(0, 10, 0, 10);
    EXPECT_TRUE(doc.page(0).isEmpty());
}

TEST_F(PrintPrevTest, FontHeightMeansCellOrCharacterHeight)
{
    begin();
    doc.SetFontName(QStringLiteral("ＭＳ Ｐ明朝"));
    for (int h : {37, 100, 251}) {
        doc.SetFontHeight(h);
        EXPECT_EQ(doc.TextHeight(QStringLiteral("Hg")), h);
        EXPECT_NEAR(doc.textHeightF(), h, 1e-6);
        EXPECT_LT(doc.textWidthF(QStringLiteral("漢")), h) << "cell height includes the leading";
    }
    doc.SetFontHeight(-100);
    EXPECT_NEAR(doc.textWidthF(QStringLiteral("漢字")), 200, 1e-6);
    EXPECT_GT(doc.TextHeight(QStringLiteral("Hg")), 100);
    doc.SetFontHeight(100);
    const double plain = doc.textWidthF(QStringLiteral("Seating Plan"));
    doc.SetFontStyle(fsBold);
    EXPECT_TRUE(doc.font().bold());
    EXPECT_GE(doc.textWidthF(QStringLiteral("Seating Plan")), plain);
}

TEST_F(PrintPrevTest, TextAnchorsPlaceTheCellBox)
{
    begin();
    doc.SetFontName(QStringLiteral("ＭＳ Ｐゴシック"));
    doc.SetFontHeight(101); // odd, so the halves are rounded up
    const QString t = QStringLiteral("山田 太郎 様");
    const int tw = doc.TextWidth(t);
    const int th = doc.TextHeight(QStringLiteral("Hg"));
    ASSERT_EQ(th, 101);
    const int X = 1000, Y = 1500;
    struct Case
    {
        void (TplPrev::*fn)(int, int, const QString &);
        const char *name;
        double left;   // NaN: check the right end instead
        double right;
        double top;
    };
    const double nan = std::nan("");
    const Case cases[] = {
        {&TplPrev::TextLeftTop, "TextLeftTop", double(X), nan, double(Y)},
        {&TplPrev::TextLeftMiddle, "TextLeftMiddle", double(X), nan, double(Y - 51)},
        {&TplPrev::TextLeftBottom, "TextLeftBottom", double(X), nan, double(Y - 101)},
        {&TplPrev::TextCenterMiddle, "TextCenterMiddle", double(X - (tw + 1) / 2), nan, double(Y - 51)},
        {&TplPrev::TextRightTop, "TextRightTop", nan, double(X), double(Y)},
        {&TplPrev::TextRightBottom, "TextRightBottom", nan, double(X), double(Y - 101)},
    };
    for (const Case &c : cases) {
        (doc.*c.fn)(X, Y, t);
        const PrevOp &op = doc.page(0).last();
        EXPECT_EQ(op.op, QString::fromLatin1(c.name));
        EXPECT_EQ(op.arg("X"), X);
        EXPECT_EQ(op.arg("Y"), Y);
        if (!std::isnan(c.left)) {
            EXPECT_NEAR(op.box.left, c.left, 1e-6) << c.name;
        }
        if (!std::isnan(c.right)) {
            EXPECT_NEAR(op.box.right, c.right, 1e-6) << c.name;
        }
        EXPECT_NEAR(op.box.top, c.top, 1e-6) << c.name;
        EXPECT_NEAR(op.box.bottom - op.box.top, 101, 1e-6) << c.name;
        EXPECT_NEAR(op.box.right - op.box.left, tw, 1.0) << c.name;
        // Nothing visible lies outside the box.
        EXPECT_GE(op.ink.left, op.box.left - 1e-6) << c.name;
        EXPECT_LE(op.ink.right, op.box.right + 1e-6) << c.name;
        EXPECT_EQ(op.font.face, QStringLiteral("ＭＳ Ｐゴシック"));
        EXPECT_EQ(op.font.height, 101);
    }
}

TEST_F(PrintPrevTest, OverhangingGlyphsAreMovedInsideTheAnchor)
{
    begin();
    // In the Mincho stand-in "j" reaches left of its start and "f" right of its advance.
    doc.SetFontName(QStringLiteral("ＭＳ Ｐ明朝"));
    doc.SetFontHeight(-200);
    const QString t = QStringLiteral("jf");
    doc.TextLeftTop(500, 500, t);
    doc.TextRightTop(1500, 500, t);
    doc.TextLeftTop(500, 800, QStringLiteral("fj"));
    const PrevOp &left = doc.page(0).at(0);
    const PrevOp &right = doc.page(0).at(1);
    const PrevOp &plain = doc.page(0).at(2);
    EXPECT_GT(left.originX, 505) << "text is not moved by the overhang";
    EXPECT_NEAR(left.ink.left, 500, 1e-6);
    EXPECT_NEAR(right.ink.right, 1500, 1e-6);
    EXPECT_LT(right.originX + doc.textWidthF(t), 1490);
    EXPECT_DOUBLE_EQ(plain.originX, 500) << "no overhang on the left, no shift";
    const QImage img = doc.renderImage(0, 254);
    const QRect ink = inkPixels(img, QRect(0, 400, 2100, 300));
    EXPECT_GE(ink.left(), 499);
    EXPECT_LE(ink.right(), 1500);
}

TEST_F(PrintPrevTest, TextInRectIsCutAtTheRectangle)
{
    begin();
    doc.SetFontHeight(60);
    doc.TextInRectLeft(400, 700, 400, 500, QStringLiteral("長い卓名がはみ出す&例"));
    doc.TextInRectMiddle(400, 1400, 600, 800, QStringLiteral("中央"));
    const PrevOp &l = doc.page(0).at(0);
    const PrevOp &m = doc.page(0).at(1);
    EXPECT_EQ(l.text, QStringLiteral("長い卓名がはみ出す&例"));
    EXPECT_NEAR(l.box.left, 400, 1e-6);
    EXPECT_NEAR(l.box.top, 400, 1e-6);
    EXPECT_NEAR((m.box.left + m.box.right) / 2, 900, 1e-6);
    EXPECT_NEAR((m.box.top + m.box.bottom) / 2, 700, 1e-6);

    const QImage img = doc.renderImage(0, 254); // 1 pixel = 1 page unit
    const QRect ink = inkPixels(img, QRect(300, 300, 1200, 300));
    ASSERT_FALSE(ink.isNull());
    EXPECT_LE(ink.right(), 700);
    EXPECT_GE(ink.right(), 690) << "text should run up to the cut";
    EXPECT_LE(ink.bottom(), 500);
}

TEST_F(PrintPrevTest, DrawingIsCutToThePrintableArea)
{
    begin(marginFrame());
    doc.DrawRect(0, 2100, 0, 2970); // the sheet's edge: all of it unprintable
    doc.DrawLine(0, 2100, 1000, 1000);
    doc.EndDoc();
    const QImage img = doc.renderImage(0, 254);
    ASSERT_EQ(img.size(), QSize(2100, 2970));
    const QRect ink = inkPixels(img);
    ASSERT_FALSE(ink.isNull());
    EXPECT_GE(ink.left(), 100);
    EXPECT_LE(ink.right(), 2000);
    EXPECT_GE(ink.top(), 998);
    EXPECT_LE(ink.bottom(), 1001);
    EXPECT_LE(ink.left(), 101);
    EXPECT_GE(ink.right(), 1998);
}

TEST_F(PrintPrevTest, CircleRadiusRoundsHalfAwayFromZero)
{
    begin();
    const struct { int d, r; } cases[] = {{10, 5}, {11, 6}, {1, 1}, {0, 0}, {-11, 6}, {-10, 5}};
    for (const auto &c : cases) {
        doc.DrawCircle(1000, 800, c.d);
        const PrevOp &op = doc.page(0).last();
        EXPECT_EQ(op.arg("D"), c.d);
        EXPECT_DOUBLE_EQ(op.box.right - 1000, c.r) << "D " << c.d;
        EXPECT_DOUBLE_EQ(800 - op.box.top, c.r) << "D " << c.d;
    }
    // The outline really has that size on paper.
    begin();
    doc.DrawCircle(1000, 800, 301);
    const QRect ink = inkPixels(doc.renderImage(0, 254));
    EXPECT_NEAR(ink.width(), 302, 2);
    EXPECT_NEAR(ink.center().x(), 1000, 1);
}

TEST_F(PrintPrevTest, JsonDumpListsFrameAndOperations)
{
    QTemporaryDir dir;
    QImage pic(4, 3, QImage::Format_RGB32);
    pic.fill(Qt::red);
    const QString png = dir.filePath(QStringLiteral("bg.png"));
    ASSERT_TRUE(pic.save(png));

    begin(marginFrame());
    doc.DrawPicture(100, 2000, 100, 2870, true, png);
    doc.SetFontStyle(fsBold);
    doc.TextLeftTop(200, 300, QStringLiteral("御結婚披露宴"));
    doc.NewPage();
    doc.DrawLine(1, 2, 3, 4);
    doc.EndDoc();

    const QJsonObject j = doc.toJson();
    EXPECT_EQ(j.keys(), (QStringList{"frame", "pages"}));
    const QJsonObject f = j["frame"].toObject();
    EXPECT_EQ(f.keys(), (QStringList{"MarginB", "OffX", "OffY", "PaperH", "PaperW", "PrintH", "PrintR", "PrintW"}));
    EXPECT_EQ(f["PrintR"].toInt(), 2000);
    const QJsonArray pages = j["pages"].toArray();
    ASSERT_EQ(pages.size(), 2);
    const QJsonArray p1 = pages[0].toArray();
    ASSERT_EQ(p1.size(), 2);
    const QJsonObject pictureOp = p1[0].toObject();
    EXPECT_EQ(pictureOp.keys(), (QStringList{"Bottom", "Left", "Right", "Top", "file", "font", "op", "stretch"}));
    EXPECT_EQ(pictureOp["file"].toString(), png);
    const QJsonObject text = p1[1].toObject();
    EXPECT_EQ(text.keys(), (QStringList{"X", "Y", "box", "font", "op", "text"}));
    EXPECT_EQ(text["op"].toString(), QStringLiteral("TextLeftTop"));
    EXPECT_EQ(text["text"].toString(), QStringLiteral("御結婚披露宴"));
    EXPECT_EQ(text["box"].toObject().keys(), (QStringList{"bottom", "left", "right", "top"}));
    EXPECT_EQ(text["box"].toObject()["left"].toDouble(), 200);
    const QJsonObject font = text["font"].toObject();
    EXPECT_EQ(font["face"].toString(), TplPrev::DefaultFace);
    EXPECT_EQ(font["height"].toInt(), -37);
    EXPECT_TRUE(font["bold"].toBool());
    const QJsonObject line = pages[1].toArray()[0].toObject();
    EXPECT_EQ(line["X1"].toInt(), 1);
    EXPECT_EQ(line["X2"].toInt(), 2);
    EXPECT_EQ(line["Y1"].toInt(), 3);
    EXPECT_EQ(line["Y2"].toInt(), 4);
    EXPECT_FALSE(line.contains("box"));
    // The font carries over to the next page.
    EXPECT_TRUE(line["font"].toObject()["bold"].toBool());
    EXPECT_EQ(line["font"].toObject()["height"].toInt(), -37);
}

TEST_F(PrintPrevTest, SavesPdfWithEmbeddedFontAndPngThatDecodes)
{
    QTemporaryDir dir;
    begin(marginFrame());
    doc.SetFontName(QStringLiteral("ＭＳ Ｐ明朝"));
    doc.SetFontHeight(80);
    doc.TextLeftTop(200, 200, QStringLiteral("𠮷田家 髙﨑家 御両家"));
    doc.DrawRect(150, 1900, 150, 400);
    doc.NewPage();
    doc.TextCenterMiddle(1050, 1485, QStringLiteral("二枚目"));
    doc.EndDoc();

    const QString pdf = dir.filePath(QStringLiteral("chart.pdf"));
    QString err;
    ASSERT_TRUE(doc.savePdf(pdf, &err)) << err.toStdString();
    QFile f(pdf);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    EXPECT_TRUE(bytes.startsWith("%PDF"));
    EXPECT_TRUE(bytes.contains("/FontFile2")) << "font is not embedded";
    EXPECT_TRUE(bytes.contains("/ToUnicode")) << "text would not be selectable";
    EXPECT_EQ(bytes.count("/Type /Page\n") + bytes.count("/Type /Page "), 2);

    const QString png = dir.filePath(QStringLiteral("p2.png"));
    ASSERT_TRUE(doc.savePng(png, 1, 100, &err)) << err.toStdString();
    QImage img;
    ASSERT_TRUE(img.load(png));
    EXPECT_EQ(img.size(), QSize(827, 1170)); // 2100 × 2970 page units at 100 dpi, rounded up
    EXPECT_FALSE(inkPixels(img).isNull());
    EXPECT_FALSE(doc.savePng(png, 2, 100, &err)) << "there is no third page";
}

TEST_F(PrintPrevTest, MeasuredTextIsWhereItIsDrawnAtEveryResolution)
{
    begin();
    doc.SetFontName(QStringLiteral("ＭＳ Ｐ明朝"));
    doc.SetFontHeight(60);
    // Long proportional text: hinted advances would drift by the end.
    const QString t = QStringLiteral("Wedding Reception 御結婚披露宴 席次表 illiterate WAVE 1234567890");
    doc.TextLeftTop(100, 200, t);
    doc.TextRightTop(2000, 600, t);
    doc.EndDoc();
    for (int dpi : {300, 600}) {
        const QImage img = doc.renderImage(0, dpi);
        const double px = dpi / 254.0; // pixels per page unit
        const double tol = 1.0 * px + 1.5; // 0.1 mm plus antialiasing
        for (int i = 0; i < 2; ++i) {
            const PrevOp &op = doc.page(0).at(i);
            const QRect band(0, int(op.box.top * px), img.width(), int((op.box.bottom - op.box.top) * px) + 2);
            const QRect ink = inkPixels(img, band);
            ASSERT_FALSE(ink.isNull());
            EXPECT_NEAR(ink.left(), op.ink.left * px, tol) << dpi << " dpi, op " << i;
            EXPECT_NEAR(ink.right() + 1, op.ink.right * px, tol) << dpi << " dpi, op " << i;
        }
    }
}

TEST_F(PrintPrevTest, TextsMeasuredAgainInOtherFontsKeepTheirOwnMeasures)
{
    // Measures are kept per text and glyph; a repeat in another face, style
    // or height, or one measured before it is drawn, must record exactly
    // what a fresh document records.
    struct Font
    {
        const char *face;
        int height;
        int style;
    };
    const Font fonts[] = {
        {"ＭＳ Ｐ明朝", -100, 0},    {"IPAPMincho", -100, 0}, {"IPAPMincho", -100, fsBold},
        {"IPAPMincho", -100, fsItalic}, {"IPAPMincho", 150, 0}, {"IPAGothic", -100, 0},
        {"IPAGothic", -100, fsBold},
    };
    const QStringList texts = {QStringLiteral("𠮷田 様"), QStringLiteral("Wave\tfj "), QStringLiteral("様")};
    auto draw = [](TplPrev &d, const Font &f, const QString &t, bool measureFirst) {
        d.SetFontName(QString::fromUtf8(f.face));
        d.SetFontHeight(f.height);
        d.SetFontStyle(f.style);
        const double w = measureFirst ? d.textWidthF(t) : 0;
        d.TextInRectMiddle(0, 1000, 0, 400, t);
        if (measureFirst) {
            EXPECT_EQ(w, d.textWidthF(t));
        }
        return d.page(0).last();
    };
    begin();
    for (bool measureFirst : {true, false}) {
        for (const Font &f : fonts) {
            for (const QString &t : texts) {
                const PrevOp seen = draw(doc, f, t, measureFirst);
                TplPrev fresh;
                fresh.setPageFrame(fullFrame());
                fresh.BeginDoc();
                const PrevOp want = draw(fresh, f, t, false);
                const std::string what = std::string(f.face) + " " + std::to_string(f.height) + " style "
                    + std::to_string(f.style) + " \"" + t.toStdString() + "\"";
                EXPECT_EQ(seen.emSize, want.emSize) << what;
                EXPECT_EQ(seen.originX, want.originX) << what;
                EXPECT_EQ(seen.baseline, want.baseline) << what;
                EXPECT_EQ(seen.box.left, want.box.left) << what;
                EXPECT_EQ(seen.box.right, want.box.right) << what;
                EXPECT_EQ(seen.ink.left, want.ink.left) << what;
                EXPECT_EQ(seen.ink.top, want.ink.top) << what;
                EXPECT_EQ(seen.ink.right, want.ink.right) << what;
                EXPECT_EQ(seen.ink.bottom, want.ink.bottom) << what;
            }
        }
    }
}

TEST_F(PrintPrevTest, InkIsTheOutlineOfTheFaceTheTextIsDrawnIn)
{
    // The fixed and proportional Mincho number their kana alike but place
    // them differently; 𠮷 comes from the last-resort face in both.
    begin();
    doc.SetFontHeight(-100); // 1/10 of the 1000-pixel reference
    struct Case
    {
        const char *face;
        const char *text;
    };
    const Case cases[] = {{"IPAMincho", "の"}, {"IPAPMincho", "の"}, {"IPAPMincho", "𠮷"}, {"IPAGothic", "𠮷"}};
    for (const Case &c : cases) {
        doc.SetFontName(QString::fromUtf8(c.face));
        doc.TextLeftTop(0, 0, QString::fromUtf8(c.text));
        const PrevOp &op = doc.page(0).last();
        QFont font;
        font.setFamilies({QString::fromUtf8(c.face), QStringLiteral("IPAmjMincho")});
        font.setPixelSize(1000);
        font.setHintingPreference(QFont::PreferNoHinting);
        QTextLayout layout(QString::fromUtf8(c.text), font);
        layout.beginLayout();
        layout.createLine();
        layout.endLayout();
        const auto runs = layout.glyphRuns();
        ASSERT_EQ(runs.size(), 1);
        ASSERT_EQ(runs[0].glyphIndexes().size(), 1);
        const QRectF glyph = runs[0].rawFont().boundingRect(runs[0].glyphIndexes()[0]);
        EXPECT_NEAR(op.ink.left - op.originX, glyph.left() / 10, 1e-9) << c.face << " " << c.text;
        EXPECT_NEAR(op.ink.right - op.originX, glyph.right() / 10, 1e-9) << c.face << " " << c.text;
        EXPECT_NEAR(op.ink.bottom - op.ink.top, glyph.height() / 10, 1e-9) << c.face << " " << c.text;
    }
}

TEST_F(PrintPrevTest, NameKanjiHaveGlyphsInTheStandInFaces)
{
    installFontSubstitutes();
    QFont font(QStringLiteral("ＭＳ Ｐ明朝"));
    font.setPixelSize(100);
    EXPECT_EQ(QFontInfo(font).family(), QStringLiteral("IPAPMincho"));
    for (const QString &text : {QStringLiteral("𠮷田"), QStringLiteral("髙﨑"), QStringLiteral("山田 太郎 様")}) {
        QTextLayout layout(text, font);
        layout.beginLayout();
        layout.createLine();
        layout.endLayout();
        int glyphs = 0;
        for (const QGlyphRun &run : layout.glyphRuns()) {
            for (quint32 g : run.glyphIndexes()) {
                EXPECT_NE(g, 0u) << "missing glyph in " << text.toStdString() << " from "
                                 << run.rawFont().familyName().toStdString();
                ++glyphs;
            }
        }
        EXPECT_GE(glyphs, 2);
    }
}

TEST_F(PrintPrevTest, EachWindowsFaceMeasuresInItsOwnStandIn)
{
    // Latin letters differ between the Mincho and Gothic faces: a face that
    // fell through to the last resort would measure like every other one.
    begin();
    doc.SetFontHeight(50);
    const QString sample = QStringLiteral("Hamburgefonstiv 0123");
    auto widthIn = [&](const QString &face) {
        doc.SetFontName(face);
        return doc.TextWidth(sample);
    };
    const struct {
        const char *windowsFace, *standIn;
    } faces[] = {{"ＭＳ Ｐ明朝", "IPAPMincho"}, {"ＭＳ 明朝", "IPAMincho"}, {"ＭＳ Ｐゴシック", "IPAPGothic"}, {"ＭＳ ゴシック", "IPAGothic"}};
    QSet<int> widths;
    for (const auto &f : faces) {
        SCOPED_TRACE(f.windowsFace);
        const int w = widthIn(QString::fromUtf8(f.windowsFace));
        EXPECT_EQ(w, widthIn(QString::fromUtf8(f.standIn)));
        widths.insert(w);
    }
    EXPECT_EQ(widths.size(), 4);
}

TEST_F(PrintPrevTest, BoldShowsInImagesAsOnPaper)
{
    // The IPA faces have no bold cut; pictures of the page must still show
    // bold text heavier than regular, as the PDF does.
    begin();
    doc.SetFontName(QStringLiteral("ＭＳ Ｐ明朝"));
    doc.SetFontHeight(80);
    doc.TextLeftTop(100, 100, QStringLiteral("山田 太郎"));
    doc.SetFontStyle(fsBold);
    doc.TextLeftTop(100, 300, QStringLiteral("山田 太郎"));
    doc.EndDoc();
    const QImage img = doc.renderImage(0, 150);
    auto ink = [&](int top, int bottom) {
        const double px = 150 / 254.0;
        int n = 0;
        for (int y = int(top * px); y < int(bottom * px); ++y)
            for (int x = 0; x < img.width(); ++x)
                n += qGray(img.pixel(x, y)) < 128;
        return n;
    };
    const int regular = ink(90, 200), bold = ink(290, 400);
    EXPECT_GT(regular, 0);
    EXPECT_GT(bold, regular * 1.2) << regular << " / " << bold;
}

TEST_F(PrintPrevTest, ShowPreviewHandsTheDocumentToThePrompter)
{
    TplSetPrinter printer;
    doc.setPrinter(&printer);
    doc.setTitle(QStringLiteral("席辞表印刷"));
    doc.BeginDoc();
    doc.EndDoc();
    TplPrev *seen = nullptr;
    TplSetPrinter *seenPrinter = nullptr;
    scripted().onPreview = [&](TplPrev &d, TplSetPrinter *p, const QString &) { seen = &d; seenPrinter = p; };
    doc.ShowPreview();
    EXPECT_EQ(seen, &doc);
    EXPECT_EQ(seenPrinter, &printer);
    EXPECT_EQ(scripted().texts("preview"), QStringList{QStringLiteral("席辞表印刷")});
}

TEST_F(PrintPrevTest, UnreadablePictureIsAnErrorNamingTheFile)
{
    QTemporaryDir dir;
    const QString bad = dir.filePath(QStringLiteral("背景.bmp"));
    QFile f(bad);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("BM this is not a bitmap");
    f.close();
    begin();
    try {
        doc.DrawPicture(0, 100, 0, 100, true, bad);
        FAIL() << "no error";
    } catch (const PictureError &e) {
        EXPECT_TRUE(e.message().contains(bad));
    }
    EXPECT_THROW(doc.DrawPicture(0, 100, 0, 100, true, dir.filePath(QStringLiteral("none.png"))), PictureError);
    EXPECT_TRUE(doc.page(0).isEmpty());
}

TEST_F(PrintPrevTest, MisuseAndExtremeValuesDoNotCrash)
{
    QTemporaryDir dir;
    // Before any document: nothing is recorded, nothing breaks.
    doc.NewPage();
    doc.TextLeftTop(0, 0, QStringLiteral("x"));
    doc.DrawPicture(0, 10, 0, 10, true, dir.path());
    doc.EndDoc();
    EXPECT_EQ(doc.pageCount(), 0);
    EXPECT_TRUE(doc.toJson()["pages"].toArray().isEmpty());

    begin(marginFrame());
    for (int h : {INT_MAX, INT_MIN, 0, 5'000'000, -5'000'000, 1, -1}) {
        doc.SetFontHeight(h);
        EXPECT_GE(doc.TextWidth(QStringLiteral("漢字")), 0) << h;
        EXPECT_GE(doc.TextHeight(QStringLiteral("Hg")), 0) << h;
        doc.TextLeftTop(200, 200, QStringLiteral("漢字"));
        doc.TextCenterMiddle(1000, 1000, QStringLiteral("漢字"));
        doc.TextRightBottom(1500, 1500, QStringLiteral("漢字"));
        doc.TextInRectMiddle(100, 500, 100, 500, QStringLiteral("漢字"));
    }
    doc.SetFontHeight(40);
    doc.TextLeftTop(300, 300, QString());
    doc.TextCenterMiddle(300, 300, QString());
    doc.TextInRectLeft(400, 400, 400, 400, QStringLiteral("幅なし"));
    doc.DrawRect(500, 500, 500, 500);
    doc.DrawCircle(500, 500, INT_MIN);
    doc.DrawCircle(500, 500, INT_MAX);
    doc.DrawLine(INT_MIN, INT_MAX, INT_MIN, INT_MAX);
    EXPECT_EQ(doc.TextWidth(QString()), 0);
    // A directory is not a picture: an error, not a crash or an empty drawing.
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("bg.jpg")));
    EXPECT_THROW(doc.DrawPicture(0, 10, 0, 10, true, dir.filePath(QStringLiteral("bg.jpg"))), PictureError);
    doc.EndDoc();
    // After the end: still one page, and it replays.
    doc.NewPage();
    doc.TextLeftTop(0, 0, QStringLiteral("x"));
    doc.EndDoc();
    EXPECT_EQ(doc.pageCount(), 1);
    EXPECT_FALSE(doc.renderImage(0, 100).isNull());
    EXPECT_TRUE(doc.savePdf(dir.filePath(QStringLiteral("extreme.pdf"))));
    EXPECT_FALSE(doc.toJson().isEmpty());
}

TEST_F(PrintPrevTest, SamePictureIsDecodedOncePerDocumentUntilTheFileChanges)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("table.png"));
    QImage pic(40, 40, QImage::Format_RGB32);
    pic.fill(Qt::blue);
    ASSERT_TRUE(pic.save(file));
    begin();
    for (int i = 0; i < 3; ++i)
        doc.DrawPicture(100 * i, 100 * i + 80, 0, 80, true, file);
    const QList<PrevOp> &ops = doc.page(0);
    ASSERT_EQ(ops.size(), 3);
    EXPECT_EQ(ops[1].picture.constBits(), ops[0].picture.constBits()) << "held once, not per table";
    EXPECT_EQ(ops[2].picture.constBits(), ops[0].picture.constBits());

    // Replaced on disk: the new picture is drawn.
    QImage other(20, 10, QImage::Format_RGB32);
    other.fill(Qt::red);
    ASSERT_TRUE(other.save(file));
    doc.DrawPicture(0, 80, 100, 180, true, file);
    EXPECT_EQ(doc.page(0).last().picture.size(), QSize(20, 10));
    // Deleted: an error, as without the cache.
    ASSERT_TRUE(QFile::remove(file));
    EXPECT_THROW(doc.DrawPicture(0, 80, 200, 280, true, file), PictureError);
    doc.EndDoc();
}
