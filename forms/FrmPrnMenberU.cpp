#include "FrmPrnMenberU.h"

#include "Prompter.h"
#include "TNumberEdit.h"
#include "UntDM.h"

#include <QPushButton>
#include <cmath>

namespace {
EditFormSettings prnMenberSettings()
{
    EditFormSettings s;
    s.executeCaption = QStringLiteral(" 印 刷 ");
    s.executeHint = QStringLiteral("出席者一覧を印刷します。");
    s.closeButtonName = QStringLiteral("bbtnEnd");
    s.inputAreaName = QStringLiteral("pnlSeki");
    s.inputCloseText = QStringLiteral("印刷されていません。\r\n終了しますか？");
    s.resetByTag = false; // the form has no inputs
    return s;
}

// Dots to page units (0.1 mm), to the nearest unit.
int dotsToUnits(int dots, int dpi) { return int(std::lround(double(dots) * 254.0 / dpi)); }
} // namespace

TFrmPrnMenber::TFrmPrnMenber(QWidget *parent) : TFrmEditBase(prnMenberSettings(), parent)
{
    setObjectName(QStringLiteral("FrmPrnMenber"));
    setWindowTitle(QStringLiteral("出席者一覧表"));
    setStatusTitle(QStringLiteral("出席者一覧"));
    setHint(bbtnClose, QStringLiteral("終了します。"));
    setMinimumSize(640, 450);
    resize(640, 450);

    plPrev1.setPrinter(&plSetPrinter1);
    plPrev1.setTitle(QStringLiteral("出席者一覧表"));
}

bool TFrmPrnMenber::needsNewPage(int y, const DeviceValues &dv)
{
    const int dpiY = dv[1];
    if (dpiY <= 0)
        return false;
    const int bottom = dotsToUnits(dv[7], dpiY); // kind 8: top offset + printable height
    const int paper = dotsToUnits(dv[3], dpiY);  // kind 4: paper height
    return y + LinePitch > bottom || y + LinePitch > paper - BottomGap;
}

bool TFrmPrnMenber::checkOnSet(int n)
{
    if (!TFrmEditBase::checkOnSet(n))
        return false;

    TQuery qrySQL;
    qrySQL << QStringLiteral("SELECT * FROM D_TABLE WHERE KANRINO = :KANRINO");
    qrySQL.SetParam(QStringLiteral("KANRINO"), n);
    qrySQL.Open();
    const bool hasAttendees = !qrySQL.Eof();
    qrySQL.Close();
    if (!hasAttendees) {
        refuse(QStringLiteral("出席者が登録されていません。"));
        return false;
    }

    // The reception may have gone since the lookup; checked here so that a
    // refused close leaves the form in the header state, not on a ghost.
    qrySQL << QStringLiteral("SELECT * FROM D_HED WHERE KANRINO = :KANRINO");
    qrySQL.SetParam(QStringLiteral("KANRINO"), n);
    qrySQL.Open();
    const bool found = !qrySQL.Eof();
    qrySQL.Close();
    if (!found) {
        prompter().warning(QStringLiteral("データ異常が発生しました。処理を中断します。"));
        close();
        return false;
    }
    return true;
}

QWidget *TFrmPrnMenber::focusAfterSet() const { return bbtnExecute; }

void TFrmPrnMenber::drawHeader(const QString &title)
{
    plPrev1.SetFontHeight(50);
    plPrev1.TextLeftTop(150, 130, title);
    plPrev1.SetFontHeight(40);
    plPrev1.TextLeftBottom(150, 240, QStringLiteral("テーブル"));
    plPrev1.TextLeftBottom(350, 240, QStringLiteral("段"));
    plPrev1.TextLeftBottom(450, 240, QStringLiteral("列"));
    plPrev1.TextLeftBottom(650, 240, QStringLiteral("名　前"));
    plPrev1.TextLeftBottom(1150, 240, QStringLiteral("肩書き1"));
    plPrev1.TextLeftBottom(1550, 240, QStringLiteral("肩書き2"));
    plPrev1.DrawLine(150, 1950, 245, 245);
}

void TFrmPrnMenber::bbtnExecuteClick()
{
    if (!prompter().question(QStringLiteral("印刷します。\r\nよろしいですか？")))
        return;

    const int n = kanriNo();
    const DeviceValues dv = plSetPrinter1.deviceValues();
    if (dv[1] <= 0 || dv[3] <= 0) {
        prompter().warning(QStringLiteral("プリンタの用紙情報を取得できません。\r\n印刷できません。"));
        return;
    }

    TQuery qrySQL;
    qrySQL << QStringLiteral("SELECT * FROM D_HED WHERE KANRINO = :KANRINO");
    qrySQL.SetParam(QStringLiteral("KANRINO"), n);
    qrySQL.Open();
    const QString kanriNm = qrySQL.Eof() ? QString() : qrySQL.AsString(QStringLiteral("KANRINM"));
    qrySQL.Close();
    const QString title = QStringLiteral("[") + QString::number(n) + QStringLiteral("] ") + kanriNm;

    qrySQL << QStringLiteral("SELECT D_TABLE.*, D_TABNM.TBLNM FROM D_TABLE")
           << QStringLiteral("  LEFT JOIN D_TABNM ON ")
           << QStringLiteral("      (D_TABLE.KANRINO = D_TABNM.KANRINO")
           << QStringLiteral("   AND D_TABLE.TBLROW  = D_TABNM.TBLROW")
           << QStringLiteral("   AND D_TABLE.TBLCOL  = D_TABNM.TBLCOL)")
           << QStringLiteral(" WHERE D_TABLE.KANRINO = :KANRINO")
           << QStringLiteral(" ORDER BY D_TABLE.TBLROW, D_TABLE.TBLCOL, D_TABLE.TBLRL, D_TABLE.SORTNO");
    qrySQL.SetParam(QStringLiteral("KANRINO"), n);
    qrySQL.Open();

    plPrev1.BeginDoc();
    try {
        bool needHeader = true;
        int y = LineTop;
        while (!qrySQL.Eof()) {
            if (needHeader) {
                drawHeader(title);
                y = LineTop;
                needHeader = false;
            }
            const int row = qrySQL.AsInteger(QStringLiteral("TBLROW"));
            const int bottom = y + LinePitch;
            if (row != 0) {
                plPrev1.TextInRectLeft(150, 350, y, bottom, qrySQL.AsString(QStringLiteral("TBLNM")));
                plPrev1.TextInRectLeft(350, 450, y, bottom, QString::number(row));
                plPrev1.TextInRectLeft(450, 550, y, bottom, QString::number(qrySQL.AsInteger(QStringLiteral("TBLCOL"))));
                plPrev1.TextInRectLeft(550, 650, y, bottom,
                                       qrySQL.AsInteger(QStringLiteral("TBLRL")) == 0 ? QStringLiteral("左") : QStringLiteral("右"));
            } else {
                plPrev1.TextInRectLeft(150, 350, y, bottom, QStringLiteral("未割"));
            }
            plPrev1.TextInRectLeft(650, 1150, y, bottom, qrySQL.AsString(QStringLiteral("NAME")));
            plPrev1.TextInRectLeft(1150, 1550, y, bottom, qrySQL.AsString(QStringLiteral("KATA1")));
            plPrev1.TextInRectLeft(1550, 1950, y, bottom, qrySQL.AsString(QStringLiteral("KATA2")));
            y = bottom;
            qrySQL.Next();
            if (!qrySQL.Eof() && needsNewPage(y, plSetPrinter1.deviceValues())) {
                plPrev1.NewPage();
                needHeader = true;
            }
        }
    } catch (...) {
        // What was drawn so far is still shown; the error is reported after.
        qrySQL.Close();
        plPrev1.EndDoc();
        plPrev1.ShowPreview();
        throw;
    }
    qrySQL.Close();
    plPrev1.EndDoc();
    plPrev1.ShowPreview();

    SetHeaderState(true);
    nedtKanriNo->setFocus();
}
