#pragma once
// System-wide defaults a new reception starts with (M_SYSTEM row 1).
#include "FrmOBaseU.h"

#include <array>

class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QToolButton;

class TFrmDefault : public TFrmOBase
{
    Q_OBJECT
public:
    explicit TFrmDefault(QWidget *parent = nullptr);

    QLabel *lblBanner = nullptr;
    QCheckBox *chkDateOut = nullptr;
    QToolButton *spbWPaper = nullptr;
    QToolButton *spbClear = nullptr;
    QLabel *lblWPaper = nullptr;
    QWidget *rdgTable = nullptr;
    QButtonGroup *rdgTableGroup = nullptr;
    std::array<QRadioButton *, 3> rdgTableItems{};
    QToolButton *spbTable = nullptr;
    QLabel *lblTable = nullptr;
    QLineEdit *edtEndStr = nullptr;
    QPushButton *bbtnExecute = nullptr;
    QPushButton *bbtnClose = nullptr;

    // Loads M_SYSTEM row 1 into the controls (done when shown).
    void FormShow();
    void rdgTableClick();
    void spbTableClick();
    void spbWPaperClick();
    void spbClearClick();
    void bbtnExecuteClick();

    int tableShape() const;
    void setTableShape(int index);
    QString wallPaperFile() const { return m_wallPaperFile; }
    QString tableFile() const { return m_tableFile; }

protected:
    void showEvent(QShowEvent *e) override;

private:
    QString m_wallPaperFile;
    QString m_tableFile;
};
