#include "DrawChart.h"

#include "ChartGeometry.h"
#include "DataFolder.h"
#include "Picture.h"
#include "Prompter.h"
#include "TextRules.h"
#include "TplPrev.h"
#include "TplSetPrinter.h"
#include "UntDM.h"

#include <QFileInfo>
#include <QFont>
#include <QFontMetricsF>
#include <QHash>

#include <algorithm>
#include <array>

namespace {

using namespace chart;

// One table slot of the 5 x 5 array.
struct TTblRec
{
    int x = 0;
    int y = 0;
    int left = 0;
    int right = 0;
    QString name;
};

struct Person
{
    QString kata1, kata2, name, keisho;
};

struct HeadTable
{
    bool present = false;
    QString groom, bride;
    std::array<Person, 4> extra;
};

// Everything the page needs, read before the document begins.
struct ChartData
{
    QString sinroSei, sinpuSei, enTitle, hdate;
    QString font; // PRNFONT, empty when blank
    int sekiRow = 0;
    std::array<int, MaxTiers> tablesPerTier{};
    bool longTables = false;
    bool dateOut = false;
    int tblPtn = 0;
    QString tblPath;
    QString bkPath; // empty: no background
    int layout = 0;
    int pict = 0;
    QString endStr;
    TTblRec tbl[MaxTiers][MaxTables];
    int maxSide = 1;
    QString tableNameSample = QStringLiteral(" ");
    QString nameSample;
    QString keishoSample;
    HeadTable head;
};

bool inSlotRange(int v) { return v >= 1 && v <= 5; }

bool fileExists(const QString &path)
{
    if (text::isBlank(path))
        return false;
    const QFileInfo fi(path);
    return fi.exists() && fi.isFile();
}

// A radio group clamps an item index to its items.
int itemIndex(int v) { return v >= 1 ? 1 : 0; }

class Stop
{
public:
    ChartStatus status;
    QString message;
};

// Reading (steps 3 to 7, and the head table): all before BeginDoc.
void readReception(const ChartInputs &in, ChartData &d, ChartWriteBack *wb)
{
    TQuery q;
    q.Close();
    q << QStringLiteral("SELECT * FROM D_HED WHERE KANRINO = :KANRINO");
    q.SetParam(QStringLiteral("KANRINO"), in.kanriNo);
    q.Open();
    if (q.Eof())
        throw Stop{ChartStatus::NoReception, chartmsg::noReception()};

    d.sinroSei = q.AsString(QStringLiteral("SINROSEI"));
    d.sinpuSei = q.AsString(QStringLiteral("SINPUSEI"));
    d.enTitle = q.AsString(QStringLiteral("ENTITLE"));
    d.hdate = q.AsString(QStringLiteral("HDATE"));
    const QString font = q.AsString(QStringLiteral("PRNFONT"));
    if (!text::isBlank(font))
        d.font = font;
    d.sekiRow = q.AsInteger(QStringLiteral("SEKIROW"));
    d.longTables = q.AsInteger(QStringLiteral("TLONG")) != 0;
    d.dateOut = q.AsInteger(QStringLiteral("DATEOUT")) != 0;
    d.tblPtn = q.AsInteger(QStringLiteral("TBLPTN"));
    d.tblPath = q.AsString(QStringLiteral("TBLPATH"));
    const QString bk = q.AsString(QStringLiteral("BKPATH"));
    d.layout = itemIndex(q.AsInteger(QStringLiteral("OPT1")));
    d.pict = itemIndex(q.AsInteger(QStringLiteral("OPT2")));
    d.endStr = q.AsString(QStringLiteral("ENDSTR"));
    if (wb) {
        wb->valid = true;
        wb->opt1 = d.layout;
        wb->opt2 = d.pict;
        wb->endStr = d.endStr;
    }
    if (d.sekiRow < 1 || d.sekiRow > MaxTiers)
        throw Stop{ChartStatus::Stopped,
                   QStringLiteral("席の段数が正しくありません（%1）。\r\n披露宴登録で段数（１～５）を確認してください。")
                       .arg(d.sekiRow)};
    for (int t = 1; t <= d.sekiRow; ++t)
        d.tablesPerTier[t - 1] = std::clamp(q.AsInteger(QStringLiteral("SEKICOL%1").arg(t)), 0, MaxTables);
    if (d.tblPtn == 2 && !fileExists(d.tblPath))
        d.tblPtn = 0;
    if (fileExists(bk))
        d.bkPath = bk;
    q.Close();

    // Attendees per table side.
    q << QStringLiteral("SELECT TBLROW, TBLCOL, TBLRL, COUNT(*) AS CNT FROM D_TABLE WHERE KANRINO = :KANRINO")
      << QStringLiteral("   AND TBLROW > 0") << QStringLiteral(" GROUP BY TBLROW, TBLCOL, TBLRL");
    q.SetParam(QStringLiteral("KANRINO"), in.kanriNo);
    for (q.Open(); !q.Eof(); q.Next()) {
        const int row = q.AsInteger(QStringLiteral("TBLROW"));
        const int col = q.AsInteger(QStringLiteral("TBLCOL"));
        const int rl = q.AsInteger(QStringLiteral("TBLRL"));
        const int cnt = q.AsInteger(QStringLiteral("CNT"));
        // A side other than 0 or 1 is never drawn, so it must not size the chart.
        if (!inSlotRange(row) || !inSlotRange(col) || (rl != 0 && rl != 1))
            continue;
        TTblRec &s = d.tbl[row - 1][col - 1];
        (rl == 0 ? s.left : s.right) = cnt;
        d.maxSide = std::max(d.maxSide, cnt);
    }
    q.Close();

    // Table names.
    q << QStringLiteral("SELECT * FROM D_TABNM WHERE KANRINO = :KANRINO");
    q.SetParam(QStringLiteral("KANRINO"), in.kanriNo);
    int sampleBytes = text::sjisLength(d.tableNameSample);
    for (q.Open(); !q.Eof(); q.Next()) {
        const int row = q.AsInteger(QStringLiteral("TBLROW"));
        const int col = q.AsInteger(QStringLiteral("TBLCOL"));
        if (!inSlotRange(row) || !inSlotRange(col))
            continue;
        const QString name = q.AsString(QStringLiteral("TBLNM"));
        d.tbl[row - 1][col - 1].name = name;
        const int bytes = text::sjisLength(name);
        if (bytes > sampleBytes) {
            d.tableNameSample = name;
            sampleBytes = bytes;
        }
    }
    q.Close();

    // Name and honorific samples; only the order of widths matters here.
    QFont screen(d.font.isEmpty() ? TplPrev::DefaultFace : d.font);
    screen.setPixelSize(100);
    screen.setHintingPreference(QFont::PreferNoHinting);
    const QFontMetricsF fm(screen);
    // Honorifics repeat on nearly every row: measure each text once.
    QHash<QString, qreal> widths;
    auto widthOf = [&](const QString &t) {
        auto it = widths.constFind(t);
        if (it == widths.constEnd())
            it = widths.insert(t, fm.horizontalAdvance(t));
        return *it;
    };
    QString widestName, widestKeisho;
    qreal nameW = 0, keishoW = 0;
    q << QStringLiteral("SELECT NAME, KEISHO FROM D_TABLE WHERE KANRINO = :KANRINO");
    q.SetParam(QStringLiteral("KANRINO"), in.kanriNo);
    for (q.Open(); !q.Eof(); q.Next()) {
        const QString name = text::trim(q.AsString(QStringLiteral("NAME")));
        const QString keisho = text::trim(q.AsString(QStringLiteral("KEISHO")));
        const qreal nw = widthOf(name);
        if (nw > nameW) {
            nameW = nw;
            widestName = name;
        }
        const qreal kw = widthOf(keisho);
        if (kw > keishoW) {
            keishoW = kw;
            widestKeisho = keisho;
        }
    }
    q.Close();
    d.nameSample = widestName + widestKeisho;
    d.keishoSample = widestKeisho;

    // Head table.
    q << QStringLiteral("SELECT * FROM D_HINA WHERE KANRINO = :KANRINO");
    q.SetParam(QStringLiteral("KANRINO"), in.kanriNo);
    q.Open();
    if (!q.Eof()) {
        d.head.present = true;
        d.head.groom = q.AsString(QStringLiteral("SINRONM"));
        d.head.bride = q.AsString(QStringLiteral("SINPUNM"));
        for (int n = 1; n <= 4; ++n) {
            Person &p = d.head.extra[n - 1];
            p.kata1 = q.AsString(QStringLiteral("KATA%1").arg(n) + QLatin1Char('1'));
            p.kata2 = q.AsString(QStringLiteral("KATA%1").arg(n) + QLatin1Char('2'));
            p.name = q.AsString(QStringLiteral("NAME%1").arg(n));
            p.keisho = q.AsString(QStringLiteral("KEISHO%1").arg(n));
        }
    }
    q.Close();
}

class Painter
{
public:
    Painter(const ChartInputs &in, const ChartData &d, const Frame &f, TplPrev &doc)
        : in(in), d(d), f(f), doc(doc)
    {
    }

    void run()
    {
        background();
        if (!d.font.isEmpty())
            doc.SetFontName(d.font);
        const NameFonts nf = guestTables();
        titleBlock(nf);
        headTable(nf);
    }

private:
    void background()
    {
        if (d.bkPath.isEmpty())
            return;
        if (d.pict == 1)
            doc.DrawPicture(0, f.paperW, 0, f.paperH, true, d.bkPath);
        else
            doc.DrawPicture(f.offX, f.offX + f.printW, f.offY, f.offY + f.printH, true, d.bkPath);
    }

    NameFonts guestTables()
    {
        const Grid g = makeGrid(f, d.sekiRow, in.tblsz, d.maxSide);
        TTblRec tbl[MaxTiers][MaxTables];
        std::copy(&d.tbl[0][0], &d.tbl[0][0] + MaxTiers * MaxTables, &tbl[0][0]);

        // A. Tables.
        doc.SetFontHeight(tableNameBaseHeight(text::sjisLength(d.tableNameSample)) + in.tblfsz);
        const int h = g.tableSize / 2;
        TQuery q;
        for (int t = 1; t <= d.sekiRow; ++t) {
            if (d.tablesPerTier[t - 1] <= 0)
                continue;
            q.Close();
            q << QStringLiteral("SELECT TBLCOL, TBLPOS FROM D_TABPOS WHERE KANRINO = :KANRINO")
              << QStringLiteral("   AND TBLROW = :TBLROW") << QStringLiteral(" ORDER BY TBLCOL");
            q.SetParam(QStringLiteral("KANRINO"), in.kanriNo);
            q.SetParam(QStringLiteral("TBLROW"), t);
            for (q.Open(); !q.Eof(); q.Next()) {
                const int c = q.AsInteger(QStringLiteral("TBLCOL"));
                if (!inSlotRange(c))
                    continue;
                const int x = tableCentreX(q.AsInteger(QStringLiteral("TBLPOS")), g, in.alltpos);
                const int y = tableCentreY(t, g);
                if (d.longTables)
                    doc.DrawRect(x - h, x + h, LongTop, f.paperH - f.marginB - LongGap);
                else if (d.tblPtn == 0)
                    doc.DrawCircle(x, y, g.tableSize);
                else if (d.tblPtn == 1)
                    doc.DrawRect(x - h, x + h, y - h, y + h);
                else if (d.tblPtn == 2)
                    doc.DrawPicture(x - h, x + h, y - h, y + h, true, d.tblPath);
                doc.TextCenterMiddle(x, y, tbl[t - 1][c - 1].name);
                tbl[t - 1][c - 1].x = x;
                tbl[t - 1][c - 1].y = y;
            }
            q.Close();
        }

        // B. NameSpace.
        std::array<TierCentres, MaxTiers> tiers{};
        for (int t = 0; t < d.sekiRow; ++t) {
            tiers[t].count = d.tablesPerTier[t];
            for (int c = 0; c < MaxTables; ++c)
                tiers[t].x[c] = tbl[t][c].x;
        }
        const int space = nameSpace(tiers, d.sekiRow, f, g.tableSize);

        // C. Font sizes.
        const NameFonts nf = fitNameFonts(
            g.pitch, space,
            [&](int height) {
                doc.SetFontHeight(height);
                return doc.TextWidth(d.nameSample);
            },
            in.sekisz, in.katasz);

        // D. Attendees.
        doc.SetFontHeight(nf.nameFont);
        const int nameW = doc.TextWidth(d.nameSample);
        const int keishoW = doc.TextWidth(d.keishoSample);
        for (int t = 1; t <= d.sekiRow; ++t) {
            for (int c = 1; c <= d.tablesPerTier[t - 1]; ++c) {
                const TTblRec &slot = tbl[t - 1][c - 1];
                for (int s = 0; s <= 1; ++s) {
                    const int k = s == 0 ? slot.left : slot.right;
                    if (k <= 0)
                        continue; // nobody to draw
                    const Span span = nameBlock(s, slot.x, nameW, g.tableSize, in.lpos, in.rpos);
                    int y = firstTop(d.longTables, d.layout, t, k, g);
                    q.Close();
                    q << QStringLiteral("SELECT KATA1, KATA2, NAME, KEISHO FROM D_TABLE WHERE KANRINO = :KANRINO")
                      << QStringLiteral("   AND TBLROW = :TBLROW AND TBLCOL = :TBLCOL AND TBLRL = :TBLRL")
                      << QStringLiteral(" ORDER BY SORTNO");
                    q.SetParam(QStringLiteral("KANRINO"), in.kanriNo);
                    q.SetParam(QStringLiteral("TBLROW"), t);
                    q.SetParam(QStringLiteral("TBLCOL"), c);
                    q.SetParam(QStringLiteral("TBLRL"), s);
                    for (q.Open(); !q.Eof(); q.Next()) {
                        const Block b = attendeeBlock(y, nf);
                        doc.SetFontHeight(nf.titleFont);
                        doc.TextInRectLeft(span.x1, span.x2, b.title1Top, b.title1Bottom,
                                           q.AsString(QStringLiteral("KATA1")));
                        doc.TextInRectLeft(span.x1, span.x2, b.title2Top, b.title2Bottom,
                                           q.AsString(QStringLiteral("KATA2")));
                        doc.SetFontHeight(nf.nameFont);
                        doc.TextInRectLeft(span.x1, span.x2, b.nameTop, b.nameBottom,
                                           q.AsString(QStringLiteral("NAME")));
                        const QString keisho = q.AsString(QStringLiteral("KEISHO"));
                        const Honorific hon = honorific(span.x1, nameW, keishoW, nf.nameFont, in.kei, keisho);
                        if (hon.height != nf.nameFont)
                            doc.SetFontHeight(hon.height);
                        doc.TextLeftTop(hon.x, b.nameTop + hon.dy, keisho);
                        y = nextTop(y, d.longTables, d.layout, nf, g);
                    }
                    q.Close();
                }
            }
        }
        return nf;
    }

    void titleBlock(const NameFonts &nf)
    {
        // A. Families and title.
        const int x0 = titleX(f);
        const int y0 = titleY(f);
        const QString ie = QStringLiteral("家");
        doc.SetFontHeight(titleFontHeight(nf.nameFont, in.ensz));
        const int hgt = doc.TextHeight(d.sinroSei);
        const int wf = std::max(doc.TextWidth(d.sinroSei), doc.TextWidth(d.sinpuSei));
        doc.TextLeftTop(x0, y0, d.sinroSei);
        if (!text::isBlank(d.sinroSei))
            doc.TextLeftTop(x0 + wf + 15, y0, ie);
        const int y1 = y0 + hgt + 6;
        doc.TextLeftTop(x0, y1, d.sinpuSei);
        if (!text::isBlank(d.sinpuSei))
            doc.TextLeftTop(x0 + wf + 15, y1, ie);
        doc.TextLeftMiddle(x0 + wf + doc.TextWidth(ie) + 35, y1 - 3, d.enTitle);

        // B. Date and venue lines.
        const int xr = dateRight(f);
        int y = titleY(f);
        doc.SetFontHeight(venueFontHeight(nf.nameFont, in.sikisz));
        if (!d.dateOut) {
            const QString s = chartDate(d.hdate);
            if (!s.isEmpty()) {
                doc.TextRightTop(xr, y, s);
                y += doc.TextHeight(s) + 5;
            }
        }
        if (!text::isBlank(in.sikijo1)) {
            doc.TextRightTop(xr, y, in.sikijo1);
            y += doc.TextHeight(in.sikijo1) + 5;
        }
        if (!text::isBlank(in.sikijo2))
            doc.TextRightTop(xr, y, in.sikijo2);
    }

    void headTable(const NameFonts &nf)
    {
        const Head hd = makeHead(f.paperW, nf, in.hinasz);
        if (!text::isBlank(in.takasago)) {
            doc.SetFontHeight(captionFontHeight(nf.nameFont));
            doc.TextInRectMiddle(hd.headL, hd.headR, HeadBandTop, HeadBandBottom, in.takasago);
        }
        if (d.head.present) {
            const Person &p1 = d.head.extra[0];
            const Person &p4 = d.head.extra[3];
            if (!text::isBlank(p1.name + p1.kata1 + p1.kata2) || !text::isBlank(p4.name + p4.kata1 + p4.kata2))
                doc.DrawRect(hd.headL, hd.headR, HeadBandTop, HeadBandBottom);
            else
                doc.DrawRect(hd.headL + hd.extraW, hd.headR - hd.extraW, HeadBandTop, HeadBandBottom);
            extraPerson(hd, 1, 0);
            extraPerson(hd, 2, 1);
            couple(hd, d.head.groom, QStringLiteral("新郎"), 2);
            couple(hd, d.head.bride, QStringLiteral("新婦"), 3);
            extraPerson(hd, 3, 4);
            extraPerson(hd, 4, 5);
        }

        // D. End text.
        doc.SetFontHeight(endTextFontHeight(hd.headName));
        doc.TextRightBottom(f.offX + f.printW - 5, f.paperH - f.marginB - 5, d.endStr);
    }

    void extraPerson(const Head &hd, int n, int col)
    {
        const Person &p = d.head.extra[n - 1];
        const QString label = text::isBlank(p.keisho) ? p.name : p.name + QLatin1Char(' ') + p.keisho;
        doc.SetFontHeight(hd.headName);
        // Person 1 is centred by the name alone, so the honorific reaches to the right.
        const int w = doc.TextWidth(n == 1 ? p.name : label);
        const int x = hd.colX[col] + (hd.colW[col] - w) / 2;
        doc.SetFontHeight(hd.headTitle);
        doc.TextLeftTop(x, hd.title1Y(), p.kata1);
        doc.TextLeftTop(x, hd.title2Y(), p.kata2);
        doc.SetFontHeight(hd.headName);
        doc.TextLeftTop(x, hd.nameY(), label);
    }

    void couple(const Head &hd, const QString &name, const QString &role, int col)
    {
        // Centred by the regular width although printed bold.
        doc.SetFontHeight(hd.headName);
        const int w = doc.TextWidth(name);
        const int x = hd.colX[col] + (hd.colW[col] - w) / 2;
        doc.SetFontHeight(hd.headTitle);
        if (!in.ssPrint)
            doc.TextLeftTop(x, hd.title2Y(), role);
        doc.SetFontHeight(hd.headName);
        doc.SetFontStyle(fsBold);
        doc.TextLeftTop(x, hd.nameY(), name);
        doc.SetFontStyle(0);
    }

    const ChartInputs &in;
    const ChartData &d;
    const Frame &f;
    TplPrev &doc;
};

Frame toFrame(const PageFrame &p)
{
    Frame f;
    f.paperW = p.PaperW;
    f.paperH = p.PaperH;
    f.printW = p.PrintW;
    f.printH = p.PrintH;
    f.marginB = p.MarginB;
    f.offX = p.OffX;
    f.offY = p.OffY;
    f.printR = p.PrintR;
    return f;
}

QString exceptionText(const std::exception &e) { return QString::fromUtf8(e.what()); }

} // namespace

ChartResult DrawChart(const ChartInputs &in, TplPrev &doc, TplSetPrinter &printer, ChartWriteBack *wb)
{
    if (wb)
        *wb = ChartWriteBack{};
    installFontSubstitutes();

    // 1, 2. Printer settings and page frame.
    const QString folder = in.dataFolder.isEmpty() ? DataFolder() : in.dataFolder;
    printer.LoadSettings(folder + QStringLiteral("PlPrint%1.plv").arg(in.kanriNo));
    const PageFrame pf = computePageFrame(printer);
    if (printer.GetDeviceValue(1) <= 0 || printer.GetDeviceValue(2) <= 0 || !pf.valid())
        return {ChartStatus::Stopped,
                QStringLiteral("プリンタの情報が取得できません。\r\nプリンタの設定を確認してください。")};
    const Frame f = toFrame(pf);

    // 3..7. Reading, all before the document begins.
    ChartData data;
    try {
        readReception(in, data, wb);
    } catch (const Stop &s) {
        return {s.status, s.message};
    } catch (const DbError &e) {
        return {ChartStatus::Failed, e.message()};
    } catch (const std::exception &e) {
        return {ChartStatus::Failed, exceptionText(e)};
    }

    // 8..13. The page; EndDoc runs however the drawing ends.
    // The document takes paper and frame from the same printer settings.
    doc.setPrinter(&printer);
    doc.setPageFrame(std::nullopt);
    doc.BeginDoc();
    ChartResult result{ChartStatus::Done, QString()};
    try {
        Painter(in, data, f, doc).run();
    } catch (const DbError &e) {
        result = {ChartStatus::Failed, e.message()};
    } catch (const PictureError &e) {
        result = {ChartStatus::Failed, e.message()};
    } catch (const std::exception &e) {
        result = {ChartStatus::Failed, exceptionText(e)};
    }
    doc.EndDoc();
    return result;
}

ChartResult PrintChart(const ChartInputs &in, TplPrev &doc, TplSetPrinter &printer, ChartWriteBack *wb)
{
    const ChartResult r = DrawChart(in, doc, printer, wb);
    switch (r.status) {
    case ChartStatus::Done:
        doc.setTitle(QStringLiteral("席辞表印刷"));
        doc.ShowPreview();
        break;
    case ChartStatus::NoReception:
    case ChartStatus::Stopped:
        prompter().warning(r.message);
        break;
    case ChartStatus::Failed:
        prompter().error(r.message);
        break;
    }
    return r;
}
