#pragma once
// The print settings form: pick a reception, adjust the print options of its
// seating chart, store them and print the chart through the preview window.
#include "FrmEditBaseU.h"

#include "TplPrev.h"
#include "TplSetPrinter.h"

#include <QGroupBox>
#include <memory>

class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QSlider;
class QTabWidget;
class TQuery;

// A titled group of radio buttons addressed by item index, like the radio
// groups of the print options (0-based; -1 when none is checked).
class TPrintRadioGroup : public QGroupBox
{
    Q_OBJECT
public:
    TPrintRadioGroup(const QString &name, const QString &caption, const QStringList &items, QWidget *parent);
    int itemIndex() const;
    // Out-of-range indexes check nothing.
    void setItemIndex(int index);
    QWidget *focusTarget() const;

private:
    QButtonGroup *m_group = nullptr;
};

class TFrmPrint : public TFrmEditBase
{
    Q_OBJECT
public:
    explicit TFrmPrint(QWidget *parent = nullptr);
    ~TFrmPrint() override;

    // Reception facts (read-only labels).
    QLabel *lblSinroSei = nullptr;
    QLabel *lblSinpuSei = nullptr;
    QLabel *lblEnTitle = nullptr;
    QLabel *lblPName = nullptr;
    QLabel *lblPMuki = nullptr;
    QLabel *lblPHeight = nullptr;
    QLabel *lblPWidth = nullptr;

    // Print options.
    QLineEdit *edtSikijo1 = nullptr;
    QLineEdit *edtSikijo2 = nullptr;
    QLineEdit *edtTakasago = nullptr;
    QLineEdit *edtEndStr = nullptr;
    QTabWidget *PageControl1 = nullptr;
    TPrintRadioGroup *rdgPict = nullptr;
    QLabel *lblStr1 = nullptr;
    TPrintRadioGroup *rdgLayout = nullptr;
    QCheckBox *cbSSprint = nullptr;
    QCheckBox *chkKei = nullptr;

    QSlider *trkEn = nullptr;
    QSlider *trkHina = nullptr;
    QSlider *trkSeki = nullptr;
    QSlider *trkKata = nullptr;
    QSlider *trkTblS = nullptr;
    QSlider *trkTblN = nullptr;
    QSlider *trkSiki = nullptr;
    QSlider *trkLNm = nullptr;
    QSlider *trkRNm = nullptr;
    QSlider *trkTbl = nullptr;

    // The reception's printer settings and the chart's document.
    TplSetPrinter plSetPrinter;
    TplPrev plPrev;

    // Print: position check, question, store the options, draw the chart.
    void bbtnExecuteClick() override;

    // Title of the preview window.
    static const QString PreviewCaption;

protected:
    void loadInput(int kanriNo) override;
    void resetTagged(QWidget *w, bool header) override;
    void beforeCancel() override;
    QWidget *focusAfterSet() const override;
    void showEvent(QShowEvent *e) override;

private:
    // Binds both queries to the shared connection (done when first shown).
    void bindQueries();
    // The six-line update of the print columns; false when it failed.
    bool updateOptions(int n);
    void drawChart(int n);

    std::unique_ptr<TQuery> qrySQL;
    std::unique_ptr<TQuery> qrySQL2;
};
