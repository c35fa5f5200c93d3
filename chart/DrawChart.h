#pragma once
// The seating-chart run: one reception becomes one page of the preview
// document. Widget-free, so the print form, kivora-tool and the tests share it.
//
// Who does what:
//   DrawChart   reads the reception, builds the page in `doc` and reports the
//               outcome; it shows no message box and opens no window.
//   PrintChart  the print form's entry: DrawChart, then the message boxes
//               through prompter() and, on success, the preview window.
//               It returns the result so the form can close itself after
//               ChartStatus::NoReception (its close question is asked there).
#include <QString>

class TplPrev;
class TplSetPrinter;

// What the run reads from the print settings form.
struct ChartInputs
{
    int kanriNo = 0;
    QString dataFolder; // where PlPrint<N>.plv lives; empty: DataFolder()
    QString sikijo1;  // edtSikijo1, as typed
    QString sikijo2;  // edtSikijo2
    QString takasago; // edtTakasago (head-table caption)
    QString endStr;   // edtEndStr; replaced by the stored ENDSTR (see ChartWriteBack)
    int layout = 0;   // rdgLayout: 0 "上揃え", 1 "均等揃え"; replaced by the stored OPT1
    int pict = 0;     // rdgPict: 0 printable area, 1 paper size; replaced by the stored OPT2
    bool kei = false;     // chkKei: smaller honorifics of more than one character
    bool ssPrint = false; // cbSSprint: no "新郎"/"新婦" above the couple
    // Track bars.
    int ensz = 0;    // trkEn    -10..10
    int hinasz = 0;  // trkHina  -10..10
    int sekisz = 0;  // trkSeki  -10..10
    int katasz = 0;  // trkKata  -10..10
    int lpos = 0;    // trkLNm   -50..50
    int rpos = 0;    // trkRNm   -50..50
    int alltpos = 0; // trkTbl   -50..50
    int tblsz = 10;  // trkTblS    2..20
    int tblfsz = 0;  // trkTblN  -24..24
    int sikisz = 0;  // trkSiki  -24..24
};

// The stored OPT1, OPT2 and ENDSTR that the run used; the form puts them back
// into rdgLayout, rdgPict and edtEndStr. `valid` is false when the reception
// could not be read (nothing to write back).
struct ChartWriteBack
{
    bool valid = false;
    int opt1 = 0;
    int opt2 = 0;
    QString endStr;
};

enum class ChartStatus {
    Done,        // the document is finished (EndDoc ran); show the preview
    NoReception, // no D_HED row: warn with `message` and close the form; nothing was drawn
    Stopped,     // the run refused to start (tier count outside 1..5, a printer
                 // without device values): warn with `message`; nothing was drawn
    Failed       // a database or picture error; when the document had begun,
                 // EndDoc still ran. Show `message` in the error box, no preview
};

struct ChartResult
{
    ChartStatus status = ChartStatus::Failed;
    QString message; // Japanese text for the box; empty when Done
    bool ok() const { return status == ChartStatus::Done; }
};

// Texts of the run, for the callers and the tests.
namespace chartmsg {
inline const QString noReception() { return QStringLiteral("データ不整合が発生しました。\r\n処理を終了します。"); }
}

// Steps 1..13 of the run: printer settings, page frame, reading, drawing,
// EndDoc. Uses the shared connection (dmMAIN()). Never throws.
ChartResult DrawChart(const ChartInputs &in, TplPrev &doc, TplSetPrinter &printer,
                      ChartWriteBack *wb = nullptr);

// DrawChart plus its messages and the preview window (step 14), all through
// prompter(): NoReception and Stopped as a warning, Failed as an error.
ChartResult PrintChart(const ChartInputs &in, TplPrev &doc, TplSetPrinter &printer,
                       ChartWriteBack *wb = nullptr);
