#pragma once
// The attendee list: every attendee of one reception, one line each, ordered
// by seat, printed page by page through the preview window.
#include "FrmEditBaseU.h"

#include "TplPrev.h"
#include "TplSetPrinter.h"

class TFrmPrnMenber : public TFrmEditBase
{
    Q_OBJECT
public:
    explicit TFrmPrnMenber(QWidget *parent = nullptr);

    // The list is laid out on the default printer; it is never loaded from a
    // reception's settings file.
    TplSetPrinter plSetPrinter1;
    TplPrev plPrev1;

    QWidget *pnlSeki() const { return inputArea(); }

    void bbtnExecuteClick() override;

    // Page geometry of the list, in page units.
    static constexpr int LineTop = 255;
    static constexpr int LinePitch = 45;
    static constexpr int BottomGap = 150; // kept free above the paper's bottom edge

    // True when a line starting at y would end below the printable area or
    // within BottomGap of the paper's bottom edge.
    static bool needsNewPage(int y, const DeviceValues &dv);

protected:
    bool checkOnSet(int kanriNo) override;
    // The form has no inputs: after a set the print button takes the focus.
    QWidget *focusAfterSet() const override;

private:
    void drawHeader(const QString &title);
};
