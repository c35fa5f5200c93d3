#pragma once
// Chart geometry as plain integer functions, in page units (0.1 mm).
// Trunc cuts toward zero; C++ integer division already cuts toward zero, so
// "a div b" is a / b. Products and quotients with real factors are computed in
// double and then cut.
#include <QString>
#include <array>
#include <functional>

namespace chart {

inline int truncd(double v) { return static_cast<int>(v); } // cast cuts toward zero

// The page frame values the chart uses (see TplPrev's PageFrame for the source).
struct Frame
{
    int paperW = 0, paperH = 0, printW = 0, printH = 0;
    int marginB = 0, offX = 0, offY = 0, printR = 0;
};

// Fixed layout values of the tier area.
constexpr int TierTop = 380;      // top of the tier area
constexpr int TierBottomGap = 55; // kept free above the unprintable bottom strip
constexpr int LongTop = 430;      // top of long tables and of their first attendees
constexpr int LongGap = 50;       // below long tables; extra space per attendee at long tables
constexpr int BlockGap = 20;      // between a name block and its table

constexpr int MaxTiers = 5;
constexpr int MaxTables = 5;

// The grid of the guest-table area.
struct Grid
{
    int tierH = 0;
    int sideMargin = 0;
    int colUnit = 0;
    int tableSize = 0;
    int band = 0;
    int pitch = 0;
};

// sekiRow must be 1..5 (the caller refuses other values before drawing).
Grid makeGrid(const Frame &f, int sekiRow, int tblsz, int maxSide);

int tableCentreX(int tblpos, const Grid &g, int alltpos);
int tableCentreY(int tier, const Grid &g);

// Base height of the table-name font from the byte length of the longest name.
int tableNameBaseHeight(int sampleBytes);

// One tier for the NameSpace search: its table count and the stored centres
// of its tables 1..5 (0 where no position was drawn).
struct TierCentres
{
    int count = 0;
    std::array<int, MaxTables> x{};
};

// Narrowest room for a name block, already reduced by 20.
int nameSpace(const std::array<TierCentres, MaxTiers> &tiers, int sekiRow, const Frame &f, int tableSize);

struct NameFonts
{
    int nameFont = 0;
    int titleFont = 0;
    int lineGap = 0;
    bool shrunk = false;
};

// Name, title and gap heights. widthAt(h) is the width of NameSample at font
// height h, measured on the page (it may leave the page font at h).
NameFonts fitNameFonts(int pitch, int nameSpace, const std::function<int(int)> &widthAt, int sekisz,
                       int katasz);

// Horizontal extent of a side's name block; w is the width of NameSample at NameFont.
struct Span
{
    int x1 = 0;
    int x2 = 0;
};
Span nameBlock(int side, int centreX, int w, int tableSize, int lpos, int rpos);

// Top of the first attendee on a side with k attendees.
int firstTop(bool longTables, int layout, int tier, int k, const Grid &g);
// Top of the next attendee after one at y.
int nextTop(int y, bool longTables, int layout, const NameFonts &nf, const Grid &g);

// Rows of one attendee block whose top is y.
struct Block
{
    int title1Top, title1Bottom;
    int title2Top, title2Bottom;
    int nameTop, nameBottom;
};
Block attendeeBlock(int y, const NameFonts &nf);

// Honorific placement: left x, font height and drop below the name's top.
struct Honorific
{
    int x = 0;
    int height = 0;
    int dy = 0;
};
Honorific honorific(int x1, int nameSampleW, int keishoSampleW, int nameFont, bool kei, const QString &keisho);

// Head table.
struct Head
{
    int headL = 0, headR = 0, extraW = 0, coupleW = 0;
    int headName = 0, headTitle = 0, headGap = 0, headTop = 0;
    // Column starts and widths, left to right: extra 1, extra 2, groom, bride, extra 3, extra 4.
    std::array<int, 6> colX{};
    std::array<int, 6> colW{};
    int title1Y() const { return headTop; }
    int title2Y() const { return headTop + headTitle + headGap; }
    int nameY() const { return headTop + 2 * (headTitle + headGap); }
};
constexpr int HeadBandTop = 290;
constexpr int HeadBandBottom = 340;
Head makeHead(int paperW, const NameFonts &nf, int hinasz);

// Top-left corner of the title block; right edge and top of the date and venue lines.
int titleX(const Frame &f);
int titleY(const Frame &f);
int dateRight(const Frame &f);

int titleFontHeight(int nameFont, int ensz);
int venueFontHeight(int nameFont, int sikisz);
int captionFontHeight(int nameFont);
int endTextFontHeight(int headName);

// HDATE (ISO text "YYYY-MM-DD", a time part is ignored) as yyyy"年"m"月"d"日";
// empty when the text holds no valid date.
QString chartDate(const QString &hdate);

} // namespace chart
