#include "ChartGeometry.h"

#include "TextRules.h"

#include <QDate>
#include <algorithm>

namespace chart {

Grid makeGrid(const Frame &f, int sekiRow, int tblsz, int maxSide)
{
    Grid g;
    g.tierH = truncd(double(f.paperH - TierTop - f.marginB - TierBottomGap) / sekiRow);
    g.sideMargin = truncd(double(f.paperW - 94) / 5 + 0.5) / 2;
    g.colUnit = truncd(double(f.paperW - 94 - 2 * g.sideMargin) / 20);
    g.tableSize = tblsz * 10;
    g.band = truncd(g.tierH * 0.88);
    g.pitch = truncd(double(g.band) / std::max(1, maxSide));
    return g;
}

int tableCentreX(int tblpos, const Grid &g, int alltpos)
{
    return tblpos * g.colUnit + g.sideMargin + 50 + alltpos;
}

int tableCentreY(int tier, const Grid &g)
{
    return tier * g.tierH - g.tierH / 2 + TierTop;
}

int tableNameBaseHeight(int sampleBytes)
{
    if (sampleBytes < 3)
        return 50;
    if (sampleBytes < 5)
        return 40;
    if (sampleBytes < 7)
        return 30;
    return 24;
}

int nameSpace(const std::array<TierCentres, MaxTiers> &tiers, int sekiRow, const Frame &f, int tableSize)
{
    int space = 99999;
    const int rows = std::clamp(sekiRow, 0, MaxTiers);
    for (int t = 0; t < rows; ++t) {
        const TierCentres &tier = tiers[t];
        const int n = std::clamp(tier.count, 0, MaxTables);
        if (n == 1) {
            // A lone table: half the paper beside it, even when not positive.
            const int d = (f.paperW - tableSize) / 2;
            if (d < space)
                space = d;
            continue;
        }
        if (n < 2)
            continue;
        auto consider = [&](int d) {
            if (d > 0 && d < space)
                space = d;
        };
        consider(tier.x[0] - f.offX - tableSize / 2);
        for (int k = 1; k <= n - 1; ++k) {
            int d = (tier.x[k] - tier.x[k - 1] - tableSize) / 2;
            if (k == n - 1)
                d = std::min(d, f.printR - tier.x[n - 1] - tableSize / 2);
            consider(d);
        }
    }
    return space - 20;
}

NameFonts fitNameFonts(int pitch, int nameSpace, const std::function<int(int)> &widthAt, int sekisz,
                       int katasz)
{
    NameFonts nf;
    nf.nameFont = truncd(pitch * 0.4);
    if (nf.nameFont > 50) {
        nf.nameFont = 50;
        nf.titleFont = 25;
        nf.lineGap = 6;
    } else {
        nf.titleFont = truncd(pitch * 0.23);
        nf.lineGap = truncd(pitch * 0.06);
    }
    if (widthAt(nf.nameFont) + 10 > nameSpace) {
        int w = 0;
        do {
            --nf.nameFont;
            w = widthAt(nf.nameFont) + 10;
        } while (!(nf.nameFont < 10 || w <= nameSpace));
        nf.titleFont = truncd(nf.nameFont * 0.6);
        nf.lineGap = truncd(nf.nameFont * 0.1);
        nf.shrunk = true;
    }
    nf.nameFont += sekisz;
    nf.titleFont += katasz;
    return nf;
}

Span nameBlock(int side, int centreX, int w, int tableSize, int lpos, int rpos)
{
    Span s;
    if (side == 0) {
        s.x1 = centreX - w - tableSize / 2 - BlockGap + lpos;
        s.x2 = centreX - tableSize / 2;
    } else {
        s.x1 = centreX + tableSize / 2 + BlockGap + rpos;
        s.x2 = s.x1 + w + BlockGap;
    }
    return s;
}

int firstTop(bool longTables, int layout, int tier, int k, const Grid &g)
{
    int y = longTables ? LongTop : truncd(double(g.tierH - g.band) / 2) + (tier - 1) * g.tierH + TierTop;
    if (layout == 1) {
        if (k == 1)
            y += truncd(double(g.tierH - g.pitch) / 2);
        else if (k >= 2)
            y += truncd(double(g.tierH - k * g.pitch) / k);
    }
    return y;
}

int nextTop(int y, bool longTables, int layout, const NameFonts &nf, const Grid &g)
{
    if (longTables && layout == 0)
        return y + nf.nameFont + 2 * nf.titleFont + 2 * nf.lineGap + LongGap;
    return y + g.pitch;
}

Block attendeeBlock(int y, const NameFonts &nf)
{
    Block b;
    b.title1Top = y;
    b.title1Bottom = y + nf.titleFont;
    b.title2Top = y + nf.titleFont + nf.lineGap;
    b.title2Bottom = y + 2 * nf.titleFont + nf.lineGap;
    b.nameTop = y + 2 * (nf.titleFont + nf.lineGap);
    b.nameBottom = b.nameTop + nf.nameFont;
    return b;
}

Honorific honorific(int x1, int nameSampleW, int keishoSampleW, int nameFont, bool kei, const QString &keisho)
{
    Honorific h;
    h.x = x1 + nameSampleW - keishoSampleW + 3;
    h.height = nameFont;
    if (kei && text::sjisLength(keisho) > 2) {
        h.height = nameFont / 2;
        h.dy = truncd(nameFont / 4.0 + 0.5);
    }
    return h;
}

Head makeHead(int paperW, const NameFonts &nf, int hinasz)
{
    Head h;
    h.headL = truncd(paperW * 0.2);
    h.headR = paperW - truncd(paperW * 0.2);
    h.extraW = truncd((h.headR - h.headL) * 0.185);
    h.coupleW = truncd((h.headR - h.headL) * 0.125);
    h.headName = nf.nameFont + hinasz;
    h.headTitle = nf.titleFont + hinasz;
    h.headGap = 2 * nf.lineGap;
    h.headTop = HeadBandTop - h.headName - 2 * h.headTitle - 5 * h.headGap;
    const int l = h.headL, e = h.extraW, c = h.coupleW;
    h.colX = {l, l + e, l + 2 * e, l + 2 * e + c, l + 2 * e + 2 * c, l + 3 * e + 2 * c};
    h.colW = {e, e, c, c, e, e};
    return h;
}

int titleX(const Frame &f) { return f.offX > 100 ? f.offX + 5 : 100; }
int titleY(const Frame &f) { return f.offY > 75 ? f.offY + 5 : 75; }
int dateRight(const Frame &f) { return f.paperW - f.printW >= 100 ? f.printW - 5 : f.paperW - 100; }

int titleFontHeight(int nameFont, int ensz) { return truncd(nameFont * 1.17) + ensz; }
int venueFontHeight(int nameFont, int sikisz) { return truncd(nameFont * 0.85) + sikisz; }
int captionFontHeight(int nameFont) { return std::min(nameFont, 35); }
int endTextFontHeight(int headName) { return headName * 0.85 >= 30 ? 30 : truncd(headName * 0.85); }

QString chartDate(const QString &hdate)
{
    const QString t = text::trim(hdate);
    QDate d = QDate::fromString(t.left(10), Qt::ISODate);
    if (!d.isValid())
        return QString();
    return QStringLiteral("%1年%2月%3日").arg(d.year(), 4, 10, QLatin1Char('0')).arg(d.month()).arg(d.day());
}

} // namespace chart
