#pragma once
// Attendee entry (出席者入力): the guests of one reception, edited as an
// in-memory list and written back whole on " 更 新 ".
#include "FrmEditBaseU.h"
#include "UntDM.h"

#include <QString>
#include <QStringList>
#include <array>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QAction;

namespace menber {

// The nine cells of one list row, in column order.
enum Cell { Name, Keisho, Kata1, Kata2, TableNm, Row, Col, Side, SortNo, CellCount };
using Cells = std::array<QString, CellCount>;

// One D_TABLE row as read by the load statement.
struct Stored
{
    QString name, keisho, kata1, kata2, tableNm;
    int tblRow = 0, tblCol = 0, tblRl = 0, sortNo = 0;
};

// One D_TABLE row as written by the update.
struct Record
{
    int kjnNo = 0;
    int tblRow = 0, tblCol = 0, tblRl = 0, sortNo = 0;
    QString name, keisho, kata1, kata2;
};

// Cell texts of a stored attendee: trailing blanks dropped, tier and column
// empty when 0, side blank when not seated.
Cells cellsFromStored(const Stored &s);
// Cells of an attendee typed in this form: not seated (one blank per seat cell).
Cells newCells(const QString &name, const QString &keisho, const QString &kata1, const QString &kata2);
// What the update writes for the row at 1-based position: seats carried as
// they are (a non-number reads 0, only "右側" is the right side), texts
// trimmed, blank titles and honorifics stored as one blank.
Record recordFromCells(const Cells &c, int position);
// The integer of a cell, or 0 when it is not a decimal number.
int cellNumber(const QString &cell);
// Index a row moves to (up = -1, down = +1), or -1 when it cannot move.
int moveTarget(int count, int index, int delta);
// Column widths for a list view of width w.
std::array<int, CellCount> columnWidths(int w);

} // namespace menber

class TFrmSetMenber : public TFrmEditBase
{
    Q_OBJECT
public:
    explicit TFrmSetMenber(QWidget *parent = nullptr);
    ~TFrmSetMenber() override;

    QLineEdit *edtKata1 = nullptr;
    QLineEdit *edtKata2 = nullptr;
    QLineEdit *edtName = nullptr;
    QComboBox *cmbKeisho = nullptr;
    QLabel *lblTableNm = nullptr;
    QLabel *lblRow = nullptr;
    QLabel *lblCol = nullptr;
    QLabel *lblLR = nullptr;
    QLabel *lblNin = nullptr;
    QPushButton *bbtnIns = nullptr;
    QPushButton *bbtnUpd = nullptr;
    QPushButton *bbtnDel = nullptr;
    QPushButton *bbtnUp = nullptr;
    QPushButton *bbtnDown = nullptr;
    QTreeWidget *lstvMenber = nullptr;
    QAction *Delete1 = nullptr;

    void bbtnInsClick();
    void bbtnUpdClick();
    void bbtnDelClick();
    void bbtnUpClick();
    void bbtnDownClick();
    void lstvMenberSelectItem();
    void lstvMenberResize();

    // The attendee list as it stands.
    QList<menber::Cells> rows() const;
    // Replaces the stored attendees of reception n with the list, all or
    // nothing. Throws DbError when it could not.
    void writeList(int n);

protected:
    void loadInput(int kanriNo) override;
    QWidget *focusAfterSet() const override;
    void resetInputs(bool header) override;
    void bbtnExecuteClick() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void addRow(const menber::Cells &c);
    void writeRows(int n, const QList<menber::Cells> &list);
    void clearFields(bool keisho);
    void deselect();
    void showCount();
    void moveSelected(int delta);
    // The empty-name question; false = the user said No.
    bool nameAccepted();

    TQuery qrySQL;
};
