#pragma once
#include "FrmOBaseU.h"

#include <functional>

class QTableView;
class QStandardItemModel;
class QPushButton;

// The search dialog: every registered reception, pick one.
class TFrmSrcKanri : public TFrmOBase
{
    Q_OBJECT
public:
    explicit TFrmSrcKanri(QWidget *parent = nullptr);

    int SelectedNo = 0;

    QTableView *DBGKanri = nullptr;
    QPushButton *bbtnExecute = nullptr;
    QPushButton *bbtnEnd = nullptr;

    // Loads the rows (done when shown).
    void loadRows();
    int rowCount() const;
    void bbtnExecuteClick();
    void sizeColumns();

    // Width rule of the two columns for a grid of the given width.
    static std::pair<int, int> columnWidths(int gridWidth);

    // Runs the dialog modally; tests replace it to answer without a window.
    static std::function<int(TFrmSrcKanri &)> execHook;
    int run();

protected:
    void showEvent(QShowEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QStandardItemModel *m_model = nullptr;
};
