#pragma once
// Reception registration: creates, changes and deletes a reception with its
// tier layout, font, pictures and printer settings.
#include "FrmEditBaseU.h"
#include "TplSetPrinter.h"

#include <array>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QRadioButton;
class TFontNameComboBox;

// Which rows a layout change leaves outside the layout. Tier t (1..5) keeps
// tables 1..seatKeep[t-1] for seats and names and 1..posKeep[t-1] for
// positions; every tier above `tiers` loses everything.
struct LayoutTrim
{
    int tiers = 0;
    std::array<int, 5> seatKeep{};
    std::array<int, 5> posKeep{};

    // A seat (or table name) at this slot is unseated (deleted).
    bool dropsSeat(int row, int col) const;
    // The stored position of this slot is deleted.
    bool dropsPosition(int row, int col) const;
};

// loadedCounts: tables per tier when the reception was loaded (0 for a tier
// beyond its tier count); newTiers and newCounts: the layout being saved.
// A tier that gained tables keeps only its first table's position, so the
// table position form lays the others out afresh.
LayoutTrim layoutTrim(const std::array<int, 5> &loadedCounts, int newTiers, const std::array<int, 5> &newCounts);

// Printer settings files of reception n: the data folder's, and the older
// place in the program's own folder.
QString printerSettingsPath(int kanriNo);
QString legacyPrinterSettingsPath(int kanriNo);

// Paper size in whole millimetres for a label; empty when the printer gives
// no values.
QString paperSizeText(int dots, int dpi);

class TFrmMntRoom : public TFrmEditBase
{
    Q_OBJECT
public:
    explicit TFrmMntRoom(QWidget *parent = nullptr);
    ~TFrmMntRoom() override;

    static const QString PictureFilter;

    // Badge.
    QLabel *pnlUpdKbn = nullptr;
    // Input panel pnlSeki.
    QLineEdit *edtSinro = nullptr;
    QLineEdit *edtSinpu = nullptr;
    QLineEdit *edtTitle = nullptr;
    QDateEdit *dtpHDate = nullptr;
    QCheckBox *chkDateOut = nullptr;
    QComboBox *cmbRow = nullptr;
    QCheckBox *chkLong = nullptr;
    std::array<QLabel *, 5> lblDan{};
    std::array<QComboBox *, 5> cmbCol{};
    TFontNameComboBox *cmbFont = nullptr;
    QToolButton *spbWPaper = nullptr;
    QToolButton *spbClear = nullptr;
    QLabel *lblWPaper = nullptr;
    QWidget *rdgTable = nullptr;
    QButtonGroup *rdgTableGroup = nullptr;
    std::array<QRadioButton *, 3> rdgTableItems{};
    QToolButton *spbTable = nullptr;
    QLabel *lblTable = nullptr;
    QPushButton *bbtnPaper = nullptr;
    QLabel *lblPHeight = nullptr;
    QLabel *lblPWidth = nullptr;
    QPushButton *bbtnDelete = nullptr;

    TplSetPrinter plSetPrinter;

    bool IsNewReception = false;
    std::array<int, 5> LoadedTableCounts{-1, -1, -1, -1, -1};

    // Defaults of M_SYSTEM row 1.
    bool defDateOut = false;
    int defTableShape = 0;
    QString defEndStr, defTablePath, defBackPath;

    void LoadDefaults();

    void cmbRowChange();
    void chkLongClick();
    void rdgTableClick();
    void spbWPaperClick();
    void spbClearClick();
    void spbTableClick();
    void bbtnPaperClick();
    void bbtnDeleteClick();
    void bbtnExecuteClick() override;

    // Shows the paper size of the current printer settings.
    void ShowPaperSize();
    int tableShape() const;
    void setTableShape(int index);
    // Files the picture dialogs remember.
    QString wallPaperFile() const { return m_wallPaperFile; }
    QString tableFile() const { return m_tableFile; }

protected:
    void showEvent(QShowEvent *e) override;
    bool checkOnSet(int kanriNo) override;
    void loadInput(int kanriNo) override;
    void resetInputs(bool header) override;
    void resetTagged(QWidget *w, bool header) override;
    bool inputStateForClose() const override;
    QWidget *focusAfterSet() const override;

private:
    enum class WriteResult { Ok, WriteFailed, TrimFailed };
    WriteResult writeReception(int n);
    bool deleteReception(int n);
    void loadExisting(class TQuery &q, int n);
    void backToHeader();

    QString m_wallPaperFile;
    QString m_tableFile;
    bool m_defaultsLoaded = false;
};
