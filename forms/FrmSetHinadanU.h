#pragma once
// Head table setup (雛壇設定): the couple and up to four further people who
// sit at the head table of one reception, kept in its single D_HINA row.
#include "FrmEditBaseU.h"
#include "UntDM.h"

#include <QString>
#include <array>

class QComboBox;
class QLineEdit;

class TFrmSetHinadan : public TFrmEditBase
{
    Q_OBJECT
public:
    explicit TFrmSetHinadan(QWidget *parent = nullptr);
    ~TFrmSetHinadan() override;

    QLineEdit *edtSinroNm = nullptr;
    QLineEdit *edtSinpuNm = nullptr;
    QLineEdit *edtKata11 = nullptr, *edtKata12 = nullptr, *edtName1 = nullptr;
    QLineEdit *edtKata21 = nullptr, *edtKata22 = nullptr, *edtName2 = nullptr;
    QLineEdit *edtKata31 = nullptr, *edtKata32 = nullptr, *edtName3 = nullptr;
    QLineEdit *edtKata41 = nullptr, *edtKata42 = nullptr, *edtName4 = nullptr;
    QComboBox *cmbKeisho1 = nullptr, *cmbKeisho2 = nullptr, *cmbKeisho3 = nullptr, *cmbKeisho4 = nullptr;

    // What a field is stored as: the text as typed, one blank when empty.
    static QString storedText(const QString &typed);

protected:
    void loadInput(int kanriNo) override;
    QWidget *focusAfterSet() const override;
    void resetInputs(bool header) override;
    void bbtnExecuteClick() override;

private:
    struct Field
    {
        QString column;
        QLineEdit *edit = nullptr;
        QComboBox *combo = nullptr;
        QString text() const;
        void setText(const QString &t) const;
    };
    // Every D_HINA text column with the control that edits it.
    std::array<Field, 18> fields() const;

    TQuery qrySQL;
};
