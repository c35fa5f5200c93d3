#include "FrmSrcKanriU.h"

#include "UntDM.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QResizeEvent>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

std::function<int(TFrmSrcKanri &)> TFrmSrcKanri::execHook;

TFrmSrcKanri::TFrmSrcKanri(QWidget *parent) : TFrmOBase(parent)
{
    setObjectName(QStringLiteral("FrmSrcKanri"));
    setWindowTitle(QStringLiteral("管理番号選択"));
    setStatusTitle(QStringLiteral("管理番号選択"));
    setMinimumSize(300, 200);
    resize(420, 360);

    m_model = new QStandardItemModel(0, 2, this);
    m_model->setHorizontalHeaderLabels({QStringLiteral("管理番号"), QStringLiteral("管理名称")});

    DBGKanri = new QTableView(centralArea());
    DBGKanri->setObjectName(QStringLiteral("DBGKanri"));
    DBGKanri->setModel(m_model);
    DBGKanri->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBGKanri->setSelectionBehavior(QAbstractItemView::SelectRows);
    DBGKanri->setSelectionMode(QAbstractItemView::SingleSelection);
    DBGKanri->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    DBGKanri->verticalHeader()->setDefaultSectionSize(DBGKanri->fontMetrics().height() + 6);
    setHint(DBGKanri, QStringLiteral("現在登録されている一覧です。"));
    DBGKanri->installEventFilter(this);
    connect(DBGKanri, &QTableView::doubleClicked, this, [this] { bbtnExecuteClick(); });

    bbtnExecute = new QPushButton(QStringLiteral(" 選 択 "), centralArea());
    bbtnExecute->setObjectName(QStringLiteral("bbtnExecute"));
    bbtnExecute->setAutoDefault(false);
    setHint(bbtnExecute, QStringLiteral("選択します。"));
    connect(bbtnExecute, &QPushButton::clicked, this, [this] { bbtnExecuteClick(); });

    bbtnEnd = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), centralArea());
    bbtnEnd->setObjectName(QStringLiteral("bbtnEnd"));
    bbtnEnd->setAutoDefault(false);
    setHint(bbtnEnd, QStringLiteral("終了します。"));
    connect(bbtnEnd, &QPushButton::clicked, this, [this] { reject(); });

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(bbtnExecute);
    buttons->addWidget(bbtnEnd);
    auto *layout = new QVBoxLayout;
    layout->addWidget(DBGKanri, 1);
    layout->addLayout(buttons);
    setCentralLayout(layout);
}

std::pair<int, int> TFrmSrcKanri::columnWidths(int gridWidth)
{
    const int w = gridWidth - 34;
    return {int(w * 0.2), int(w * 0.8)};
}

void TFrmSrcKanri::sizeColumns()
{
    const auto [c1, c2] = columnWidths(DBGKanri->width());
    if (c1 > 0)
        DBGKanri->setColumnWidth(0, c1);
    if (c2 > 0)
        DBGKanri->setColumnWidth(1, c2);
}

bool TFrmSrcKanri::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == DBGKanri && event->type() == QEvent::Resize)
        sizeColumns();
    return TFrmOBase::eventFilter(watched, event);
}

void TFrmSrcKanri::loadRows()
{
    m_model->removeRows(0, m_model->rowCount());
    // Stays disabled when the query fails: nothing can be chosen.
    bbtnExecute->setEnabled(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    struct Restore {
        ~Restore() { QApplication::restoreOverrideCursor(); }
    } restore;
    TQuery qrySQL;
    qrySQL.Close();
    qrySQL << QStringLiteral("SELECT * FROM D_HED") << QStringLiteral("ORDER BY KANRINO");
    qrySQL.Open();
    for (; !qrySQL.Eof(); qrySQL.Next()) {
        auto *no = new QStandardItem(QString::number(qrySQL.AsInteger(QStringLiteral("KANRINO"))));
        no->setData(qrySQL.AsInteger(QStringLiteral("KANRINO")), Qt::UserRole);
        no->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        auto *nm = new QStandardItem(qrySQL.AsString(QStringLiteral("KANRINM")));
        m_model->appendRow({no, nm});
    }
    qrySQL.Close();
    bbtnExecute->setEnabled(m_model->rowCount() > 0);
    if (m_model->rowCount() > 0)
        DBGKanri->selectRow(0);
}

int TFrmSrcKanri::rowCount() const { return m_model->rowCount(); }

void TFrmSrcKanri::bbtnExecuteClick()
{
    if (m_model->rowCount() == 0)
        return;
    int row = DBGKanri->currentIndex().row();
    if (row < 0)
        row = 0;
    SelectedNo = m_model->item(row, 0)->data(Qt::UserRole).toInt();
    accept();
}

void TFrmSrcKanri::showEvent(QShowEvent *e)
{
    TFrmOBase::showEvent(e);
    sizeColumns();
    loadRows();
}

int TFrmSrcKanri::run()
{
    if (execHook)
        return execHook(*this);
    return exec();
}
