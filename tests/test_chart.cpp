// Chart geometry: the plain integer rules, checked against hand-computed values.
#include "ChartGeometry.h"
#include "TestEnv.h"

#include <vector>

using namespace chart;

namespace {

// A4 landscape at 600 dpi with 100-dot margins all round (see test_chart_run).
Frame a4Landscape()
{
    Frame f;
    f.paperW = 2970;
    f.paperH = 2100;
    f.printW = 2885;
    f.printH = 2015;
    f.marginB = 42;
    f.offX = 42;
    f.offY = 42;
    f.printR = 2927;
    return f;
}

} // namespace

TEST(ChartGeometry, GridFromPaper)
{
    const Grid g = makeGrid(a4Landscape(), 3, 10, 3);
    EXPECT_EQ(g.sideMargin, 287); // Trunc(2876 / 5 + 0.5) = 575, div 2
    EXPECT_EQ(g.colUnit, 115);    // Trunc(2302 / 20)
    EXPECT_EQ(g.tierH, 541);      // Trunc(1623 / 3)
    EXPECT_EQ(g.band, 476);       // Trunc(541 * 0.88)
    EXPECT_EQ(g.pitch, 158);      // Trunc(476 / 3)
    EXPECT_EQ(g.tableSize, 100);

    Frame a3 = a4Landscape();
    a3.paperW = 4200;
    const Grid g3 = makeGrid(a3, 1, 2, 1);
    EXPECT_EQ(g3.sideMargin, 410); // Trunc(821.2 + 0.5) = 821, div 2
    EXPECT_EQ(g3.colUnit, 164);
    EXPECT_EQ(g3.tableSize, 20);

    EXPECT_EQ(tableCentreX(1, g, 0), 452);
    EXPECT_EQ(tableCentreX(19, g, -50), 2472);
    EXPECT_EQ(tableCentreY(1, g), 651); // 541 - 270 + 380
    EXPECT_EQ(tableCentreY(3, g), 1733);
}

TEST(ChartGeometry, TableNameBaseHeight)
{
    const std::vector<std::pair<int, int>> cases = {{0, 50}, {1, 50}, {2, 50}, {3, 40}, {4, 40},
                                                    {5, 30}, {6, 30}, {7, 24}, {12, 24}};
    for (const auto &[bytes, height] : cases)
        EXPECT_EQ(tableNameBaseHeight(bytes), height) << bytes;
}

TEST(ChartGeometry, NameSpace)
{
    const Frame f = a4Landscape();
    struct Case {
        const char *what;
        std::vector<std::vector<int>> tiers; // centres of each tier's tables
        int sekiRow;
        int tableSize;
        int expected;
    } cases[] = {
        {"one table: half the paper beside it", {{1372}}, 1, 100, 1415},
        {"one table wider than the paper: taken although negative", {{1372}}, 1, 3000, -35},
        {"two tables: half gap beats both outer gaps", {{1000, 2000}}, 1, 100, 430},
        {"right gap limits the last table", {{500, 1000, 2800}}, 1, 100, 57},
        {"left gap limits", {{200, 1500, 2500}}, 1, 100, 88},
        {"overlapping neighbours: negative half gap ignored", {{1000, 1050}}, 1, 100, 888},
        {"left gap not positive: ignored", {{60, 1000}}, 1, 100, 400},
        {"narrowest tier decides", {{1372}, {1000, 2000}}, 2, 100, 430},
        {"tiers above the tier count are not looked at", {{1372}, {1000, 1050}}, 1, 100, 1415},
    };
    for (const Case &c : cases) {
        std::array<TierCentres, MaxTiers> tiers{};
        for (std::size_t t = 0; t < c.tiers.size(); ++t) {
            tiers[t].count = int(c.tiers[t].size());
            for (std::size_t k = 0; k < c.tiers[t].size(); ++k)
                tiers[t].x[k] = c.tiers[t][k];
        }
        EXPECT_EQ(nameSpace(tiers, c.sekiRow, f, c.tableSize), c.expected) << c.what;
    }
}

TEST(ChartGeometry, NameFontsShrinkAndAdjust)
{
    struct Case {
        const char *what;
        int pitch, space, sekisz, katasz;
        int perHeight; // sample width = perHeight * h
        int name, title, gap;
        bool shrunk;
    } cases[] = {
        {"fits", 100, 1000, 0, 0, 6, 40, 23, 6, false},
        {"large pitch is capped", 300, 1000, 0, 0, 6, 50, 25, 6, false},
        {"exactly fitting does not shrink", 100, 250, 0, 0, 6, 40, 23, 6, false},
        {"shrinks until it fits", 100, 200, 0, 0, 6, 31, 18, 3, true},
        {"capped start shrinks too", 300, 200, 0, 0, 6, 31, 18, 3, true},
        {"stops below 10", 100, 5, 0, 0, 6, 9, 5, 0, true},
        {"started below 10: one step only", 20, 5, 0, 0, 6, 7, 4, 0, true},
        {"adjustments after shrinking, down to -1", 100, 5, -10, 3, 6, -1, 8, 0, true},
        {"adjustments without shrinking", 300, 1000, 4, -5, 6, 54, 20, 6, false},
        {"empty sample does not shrink", 100, 1415, 0, 0, 0, 40, 23, 6, false},
    };
    for (const Case &c : cases) {
        std::vector<int> measured;
        const NameFonts nf = fitNameFonts(
            c.pitch, c.space,
            [&](int h) {
                measured.push_back(h);
                return c.perHeight * h;
            },
            c.sekisz, c.katasz);
        EXPECT_EQ(nf.nameFont, c.name) << c.what;
        EXPECT_EQ(nf.titleFont, c.title) << c.what;
        EXPECT_EQ(nf.lineGap, c.gap) << c.what;
        EXPECT_EQ(nf.shrunk, c.shrunk) << c.what;
        // Every step measures one height lower than the one before.
        for (std::size_t i = 1; i < measured.size(); ++i)
            EXPECT_EQ(measured[i], measured[i - 1] - 1) << c.what;
    }
}

TEST(ChartGeometry, NameBlocksBothSides)
{
    // Table at 1372, size 100, sample width 300.
    struct Case {
        int side, lpos, rpos, x1, x2;
    } cases[] = {
        {0, 0, 0, 1002, 1322},   // 1372 - 300 - 50 - 20
        {0, 30, 0, 1032, 1322},  // LPOS moves only the left end
        {0, -50, 99, 952, 1322}, // RPOS does not touch the left side
        {1, 0, 0, 1442, 1762},   // 1372 + 50 + 20, then + 300 + 20
        {1, 0, -10, 1432, 1752}, // RPOS shifts the whole block
        {1, 40, 0, 1442, 1762},
    };
    for (const Case &c : cases) {
        const Span s = nameBlock(c.side, 1372, 300, 100, c.lpos, c.rpos);
        EXPECT_EQ(s.x1, c.x1) << c.side << " " << c.lpos << " " << c.rpos;
        EXPECT_EQ(s.x2, c.x2) << c.side << " " << c.lpos << " " << c.rpos;
    }
}

TEST(ChartGeometry, AttendeeTops)
{
    const Grid g = makeGrid(a4Landscape(), 3, 10, 3); // tierH 541, band 476, pitch 158
    struct Case {
        const char *what;
        bool longTables;
        int layout, tier, k, expected;
    } cases[] = {
        {"top aligned, tier 1", false, 0, 1, 3, 412},  // Trunc(65 / 2) + 380
        {"top aligned, tier 2", false, 0, 2, 1, 953},
        {"spread, one attendee", false, 1, 1, 1, 603}, // + Trunc(383 / 2)
        {"spread, three attendees", false, 1, 1, 3, 434}, // + Trunc(67 / 3)
        {"spread, nobody", false, 1, 1, 0, 412},
        {"spread, overfull side cuts toward zero", false, 1, 1, 5, 363}, // + Trunc(-49.8)
        {"long tables", true, 0, 1, 3, 430},
        {"long tables, spread", true, 1, 1, 2, 542},
    };
    for (const Case &c : cases)
        EXPECT_EQ(firstTop(c.longTables, c.layout, c.tier, c.k, g), c.expected) << c.what;

    const NameFonts nf{50, 25, 6, false};
    EXPECT_EQ(nextTop(430, true, 0, nf, g), 430 + 50 + 50 + 12 + 50);
    EXPECT_EQ(nextTop(430, true, 1, nf, g), 430 + 158);
    EXPECT_EQ(nextTop(412, false, 0, nf, g), 412 + 158);

    const Block b = attendeeBlock(412, nf);
    EXPECT_EQ(b.title1Top, 412);
    EXPECT_EQ(b.title1Bottom, 437);
    EXPECT_EQ(b.title2Top, 443);
    EXPECT_EQ(b.title2Bottom, 468);
    EXPECT_EQ(b.nameTop, 474);
    EXPECT_EQ(b.nameBottom, 524);
}

TEST(ChartGeometry, HonorificSizes)
{
    struct Case {
        QString keisho;
        bool kei;
        int nameFont, height, dy;
    } cases[] = {
        {QStringLiteral("様"), true, 50, 50, 0},
        {QStringLiteral("くん"), true, 50, 25, 13},
        {QStringLiteral("ちゃん"), true, 41, 20, 10},
        {QStringLiteral("ちゃん"), false, 50, 50, 0},
        {QStringLiteral("殿"), true, 50, 50, 0},
        {QStringLiteral("Mr"), true, 50, 50, 0}, // two bytes
    };
    for (const Case &c : cases) {
        const Honorific h = honorific(1000, 300, 120, c.nameFont, c.kei, c.keisho);
        EXPECT_EQ(h.x, 1183) << c.keisho.toStdString();
        EXPECT_EQ(h.height, c.height) << c.keisho.toStdString();
        EXPECT_EQ(h.dy, c.dy) << c.keisho.toStdString();
    }
}

TEST(ChartGeometry, HeadTableColumns)
{
    const Head h = makeHead(2970, NameFonts{50, 25, 6, false}, 0);
    EXPECT_EQ(h.headL, 594);
    EXPECT_EQ(h.headR, 2376);
    EXPECT_EQ(h.extraW, 329); // Trunc(1782 * 0.185)
    EXPECT_EQ(h.coupleW, 222);
    EXPECT_EQ(h.headTop, 130); // 290 - 50 - 50 - 60
    EXPECT_EQ(h.title2Y(), 167);
    EXPECT_EQ(h.nameY(), 204);
    EXPECT_EQ(h.colX, (std::array<int, 6>{594, 923, 1252, 1474, 1696, 2025}));
    EXPECT_EQ(h.colW, (std::array<int, 6>{329, 329, 222, 222, 329, 329}));
    // The names end three head gaps above the band.
    EXPECT_EQ(h.nameY() + h.headName + 3 * h.headGap, HeadBandTop);

    const Head small = makeHead(2970, NameFonts{45, 27, 4, false}, -5);
    EXPECT_EQ(small.headName, 40);
    EXPECT_EQ(small.headTitle, 22);
    EXPECT_EQ(small.headGap, 8);
    EXPECT_EQ(small.headTop, 290 - 40 - 44 - 40);
}

TEST(ChartGeometry, TitleDateAndCaps)
{
    Frame f = a4Landscape();
    EXPECT_EQ(titleX(f), 100);
    EXPECT_EQ(titleY(f), 75);
    EXPECT_EQ(dateRight(f), 2870); // paper - printable = 85 < 100
    f.offX = 150;
    f.offY = 75;
    f.printW = 2800;
    EXPECT_EQ(titleX(f), 155);
    EXPECT_EQ(titleY(f), 75); // only above 75 moves it
    f.offY = 76;
    EXPECT_EQ(titleY(f), 81);
    EXPECT_EQ(dateRight(f), 2795);

    EXPECT_EQ(titleFontHeight(50, 0), 58);
    EXPECT_EQ(titleFontHeight(50, -10), 48);
    EXPECT_EQ(venueFontHeight(50, 24), 66);
    EXPECT_EQ(captionFontHeight(50), 35);
    EXPECT_EQ(captionFontHeight(20), 20);
    EXPECT_EQ(endTextFontHeight(50), 30);
    EXPECT_EQ(endTextFontHeight(36), 30); // 30.6
    EXPECT_EQ(endTextFontHeight(35), 29); // 29.75
    EXPECT_EQ(endTextFontHeight(-1), 0);

    EXPECT_EQ(chartDate(QStringLiteral("2008-04-05")), QStringLiteral("2008年4月5日"));
    EXPECT_EQ(chartDate(QStringLiteral("2027-12-31")), QStringLiteral("2027年12月31日"));
    EXPECT_EQ(chartDate(QStringLiteral("2008-04-05T10:00:00")), QStringLiteral("2008年4月5日"));
    EXPECT_EQ(chartDate(QString()), QString());
    EXPECT_EQ(chartDate(QStringLiteral("2008-02-30")), QString());
}
