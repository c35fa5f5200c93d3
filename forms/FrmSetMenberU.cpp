#include "FrmSetMenberU.h"

#include "ByteLimit.h"
#include "Prompter.h"
#include "TNumberEdit.h"
#include "TextRules.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace menber {

namespace {
const QString Blank = QStringLiteral(" ");
const QString RightSide = QStringLiteral("右側");
const QString LeftSide = QStringLiteral("左側");

// A stored text for the blank rule: never a null string, so it is written
// as text and not as NULL.
QString stored(const QString &s) { return s.isNull() ? QStringLiteral("") : s; }

QString blankAsSpace(const QString &s)
{
    const QString t = text::trim(s);
    return t.isEmpty() ? Blank : t;
}

QString numberCell(int v)
{
    const QString t = QString::number(v);
    return text::trim(t) == QLatin1String("0") ? QString() : t;
}
} // namespace

Cells cellsFromStored(const Stored &s)
{
    Cells c;
    c[Name] = s.name;
    c[Keisho] = text::trimRight(s.keisho);
    c[Kata1] = text::trimRight(s.kata1);
    c[Kata2] = text::trimRight(s.kata2);
    c[TableNm] = text::trimRight(s.tableNm);
    c[Row] = numberCell(s.tblRow);
    c[Col] = numberCell(s.tblCol);
    c[Side] = s.tblRow == 0 ? Blank : (s.tblRl == 0 ? LeftSide : RightSide);
    c[SortNo] = QString::number(s.sortNo);
    return c;
}

Cells newCells(const QString &name, const QString &keisho, const QString &kata1, const QString &kata2)
{
    Cells c;
    c.fill(Blank);
    c[Name] = name;
    c[Keisho] = keisho;
    c[Kata1] = kata1;
    c[Kata2] = kata2;
    return c;
}

int cellNumber(const QString &cell)
{
    bool ok = false;
    const int v = cell.toInt(&ok, 10);
    return ok ? v : 0;
}

Record recordFromCells(const Cells &c, int position)
{
    Record r;
    r.kjnNo = position;
    r.tblRow = cellNumber(c[Row]);
    r.tblCol = cellNumber(c[Col]);
    r.sortNo = cellNumber(c[SortNo]);
    r.tblRl = c[Side] == RightSide ? 1 : 0;
    r.name = stored(text::trim(c[Name]));
    r.keisho = blankAsSpace(c[Keisho]);
    r.kata1 = blankAsSpace(c[Kata1]);
    r.kata2 = blankAsSpace(c[Kata2]);
    return r;
}

int moveTarget(int count, int index, int delta)
{
    if (index < 0 || index >= count)
        return -1;
    const int to = index + delta;
    return to >= 0 && to < count ? to : -1;
}

std::array<int, CellCount> columnWidths(int w)
{
    static constexpr double share[CellCount] = {0.2, 0.1, 0.2, 0.2, 0.1, 0.05, 0.05, 0.09, 0.0};
    std::array<int, CellCount> widths{};
    for (int i = 0; i < CellCount; ++i)
        widths[size_t(i)] = qRound(w * share[i]);
    return widths;
}

} // namespace menber

using namespace menber;

namespace {
QPushButton *makeButton(const QString &name, const QString &caption, const QString &hint, QWidget *parent)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    setHint(b, hint);
    return b;
}

QLineEdit *makeEdit(const QString &name, const QString &hint, QWidget *parent)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(name);
    setHint(e, hint);
    ByteLimit::apply(e, 30);
    return e;
}

QLabel *makeDisplay(const QString &name, QWidget *parent)
{
    auto *l = new QLabel(parent);
    l->setObjectName(name);
    l->setFrameShape(QFrame::Panel);
    l->setFrameShadow(QFrame::Sunken);
    l->setAutoFillBackground(true);
    return l;
}

// Display labels paint their window colour; the edits their base colour.
void colorDisplay(QLabel *l, const QColor &c)
{
    QPalette p = l->palette();
    p.setColor(QPalette::Window, c);
    p.setColor(QPalette::Base, c);
    l->setPalette(p);
}

// Restores the cursor however the update ends.
struct HourGlass
{
    HourGlass() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~HourGlass() { restore(); }
    void restore()
    {
        if (active) {
            QApplication::restoreOverrideCursor();
            active = false;
        }
    }
    bool active = true;
};

EditFormSettings menberSettings()
{
    EditFormSettings s;
    s.executeHint = QStringLiteral("出席者情報を更新します。");
    s.resetByTag = false; // a fixed list of controls is emptied instead
    return s;
}
} // namespace

TFrmSetMenber::TFrmSetMenber(QWidget *parent) : TFrmEditBase(menberSettings(), parent)
{
    setObjectName(QStringLiteral("FrmSetMenber"));
    setWindowTitle(QStringLiteral("出席者入力"));
    setStatusTitle(QStringLiteral("出席者入力"));
    setHint(bbtnClose, QStringLiteral("終了します。"));
    setMinimumSize(760, 540);
    resize(760, 540);

    QWidget *area = inputArea();
    edtKata1 = makeEdit(QStringLiteral("edtKata1"), QStringLiteral("肩書き１"), area);
    edtKata2 = makeEdit(QStringLiteral("edtKata2"), QStringLiteral("肩書き２"), area);
    edtName = makeEdit(QStringLiteral("edtName"), QStringLiteral("名前"), area);
    cmbKeisho = new QComboBox(area);
    cmbKeisho->setObjectName(QStringLiteral("cmbKeisho"));
    cmbKeisho->setEditable(true);
    cmbKeisho->setInsertPolicy(QComboBox::NoInsert);
    cmbKeisho->addItems({QStringLiteral("様"), QStringLiteral("くん"), QStringLiteral("ちゃん")});
    cmbKeisho->setCurrentIndex(-1);
    cmbKeisho->clearEditText();
    ByteLimit::apply(cmbKeisho, 6);
    cmbKeisho->setMinimumWidth(90);

    lblTableNm = makeDisplay(QStringLiteral("lblTableNm"), area);
    lblRow = makeDisplay(QStringLiteral("lblRow"), area);
    lblCol = makeDisplay(QStringLiteral("lblCol"), area);
    lblLR = makeDisplay(QStringLiteral("lblLR"), area);
    lblNin = makeDisplay(QStringLiteral("lblNin"), area);
    lblNin->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    bbtnIns = makeButton(QStringLiteral("bbtnIns"), QStringLiteral(" 登 録 "), QStringLiteral("出席者を登録します。"), area);
    bbtnUpd = makeButton(QStringLiteral("bbtnUpd"), QStringLiteral(" 修 正 "), QStringLiteral("選択されている出席者を修正します。"), area);
    bbtnDel = makeButton(QStringLiteral("bbtnDel"), QStringLiteral(" 削 除  "), QStringLiteral("選択されている出席者を削除します。"), area);
    bbtnUp = makeButton(QStringLiteral("bbtnUp"), QString(), QStringLiteral("順番上移動"), area);
    bbtnUp->setIcon(style()->standardIcon(QStyle::SP_ArrowUp));
    bbtnDown = makeButton(QStringLiteral("bbtnDown"), QString(), QStringLiteral("順番下移動"), area);
    bbtnDown->setIcon(style()->standardIcon(QStyle::SP_ArrowDown));

    lstvMenber = new QTreeWidget(area);
    lstvMenber->setObjectName(QStringLiteral("lstvMenber"));
    lstvMenber->setColumnCount(CellCount);
    lstvMenber->setHeaderLabels({QStringLiteral("名前"), QStringLiteral("敬称"), QStringLiteral("肩書き１"),
                                 QStringLiteral("肩書き２"), QStringLiteral("ﾃｰﾌﾞﾙ"), QStringLiteral("段"),
                                 QStringLiteral("列"), QStringLiteral("位置"), QString()});
    lstvMenber->setRootIsDecorated(false);
    lstvMenber->setItemsExpandable(false);
    lstvMenber->setUniformRowHeights(true);
    lstvMenber->setSortingEnabled(false);
    lstvMenber->setSelectionMode(QAbstractItemView::SingleSelection);
    lstvMenber->setSelectionBehavior(QAbstractItemView::SelectRows);
    lstvMenber->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstvMenber->header()->setStretchLastSection(false);
    lstvMenber->header()->setSectionsClickable(false);
    lstvMenber->header()->setMinimumSectionSize(0);
    lstvMenber->setColumnHidden(SortNo, true);
    setHint(lstvMenber, QStringLiteral("出席者一覧|出席者の一覧です。"));
    Delete1 = new QAction(QStringLiteral("削除"), lstvMenber);
    Delete1->setObjectName(QStringLiteral("Delete1"));
    lstvMenber->addAction(Delete1);
    lstvMenber->setContextMenuPolicy(Qt::ActionsContextMenu);
    lstvMenber->installEventFilter(this);

    auto *fields = new QGridLayout;
    auto label = [area](const QString &caption, QWidget *buddy) {
        auto *l = new QLabel(caption, area);
        l->setBuddy(buddy);
        return l;
    };
    fields->addWidget(label(QStringLiteral("肩書き１"), edtKata1), 0, 0);
    fields->addWidget(edtKata1, 0, 1, 1, 2);
    fields->addWidget(label(QStringLiteral("肩書き２"), edtKata2), 1, 0);
    fields->addWidget(edtKata2, 1, 1, 1, 2);
    fields->addWidget(label(QStringLiteral("名　　前"), edtName), 2, 0);
    fields->addWidget(edtName, 2, 1);
    fields->addWidget(cmbKeisho, 2, 2);
    fields->setColumnStretch(1, 1);

    auto *seat = new QGridLayout;
    seat->addWidget(label(QStringLiteral("テーブル名"), lblTableNm), 0, 0);
    seat->addWidget(lblTableNm, 0, 1, 1, 5);
    seat->addWidget(label(QStringLiteral("段"), lblRow), 1, 0);
    seat->addWidget(lblRow, 1, 1);
    seat->addWidget(label(QStringLiteral("列"), lblCol), 1, 2);
    seat->addWidget(lblCol, 1, 3);
    seat->addWidget(label(QStringLiteral("左右"), lblLR), 1, 4);
    seat->addWidget(lblLR, 1, 5);
    seat->addWidget(label(QStringLiteral("人数"), lblNin), 2, 0);
    seat->addWidget(lblNin, 2, 1, 1, 2);

    auto *top = new QHBoxLayout;
    top->addLayout(fields, 3);
    top->addLayout(seat, 2);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(bbtnIns);
    buttons->addWidget(bbtnUpd);
    buttons->addWidget(bbtnDel);
    buttons->addStretch(1);
    buttons->addWidget(bbtnUp);
    buttons->addWidget(bbtnDown);

    auto *layout = new QVBoxLayout(area);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(top);
    layout->addLayout(buttons);
    layout->addWidget(lstvMenber, 1);

    setTabOrder(edtKata1, edtKata2);
    setTabOrder(edtKata2, edtName);
    setTabOrder(edtName, cmbKeisho);
    setTabOrder(cmbKeisho, bbtnIns);

    connect(bbtnIns, &QPushButton::clicked, this, &TFrmSetMenber::bbtnInsClick);
    connect(bbtnUpd, &QPushButton::clicked, this, &TFrmSetMenber::bbtnUpdClick);
    connect(bbtnDel, &QPushButton::clicked, this, &TFrmSetMenber::bbtnDelClick);
    connect(Delete1, &QAction::triggered, this, &TFrmSetMenber::bbtnDelClick);
    connect(bbtnUp, &QPushButton::clicked, this, &TFrmSetMenber::bbtnUpClick);
    connect(bbtnDown, &QPushButton::clicked, this, &TFrmSetMenber::bbtnDownClick);
    connect(lstvMenber, &QTreeWidget::itemSelectionChanged, this, &TFrmSetMenber::lstvMenberSelectItem);

    qrySQL.Close();
    lstvMenberResize();
}

TFrmSetMenber::~TFrmSetMenber() { qrySQL.Close(); }

bool TFrmSetMenber::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == lstvMenber && event->type() == QEvent::Resize)
        lstvMenberResize();
    return TFrmEditBase::eventFilter(watched, event);
}

void TFrmSetMenber::lstvMenberResize()
{
    const auto widths = columnWidths(lstvMenber->width());
    for (int i = 0; i < CellCount; ++i)
        lstvMenber->setColumnWidth(i, widths[size_t(i)]);
}

void TFrmSetMenber::resetInputs(bool header)
{
    const QColor c = header ? Silver : White;
    for (QLineEdit *e : {edtKata1, edtKata2, edtName}) {
        e->clear();
        setInputColor(e, c);
    }
    setInputColor(cmbKeisho, c);
    for (QLabel *l : {lblTableNm, lblRow, lblCol, lblLR, lblNin}) {
        l->clear();
        colorDisplay(l, c);
    }
    setInputColor(lstvMenber, c);
    lstvMenber->clear();
}

void TFrmSetMenber::loadInput(int n)
{
    qrySQL.Close();
    qrySQL << QStringLiteral("SELECT DT.KATA1") << QStringLiteral("     , DT.KATA2") << QStringLiteral("     , DT.NAME")
           << QStringLiteral("     , DT.TBLROW") << QStringLiteral("     , DT.TBLCOL") << QStringLiteral("     , DT.TBLRL")
           << QStringLiteral("     , DN.TBLNM") << QStringLiteral("     , DT.SORTNO") << QStringLiteral("     , DT.KEISHO")
           << QStringLiteral("  FROM D_TABLE DT") << QStringLiteral("  LEFT JOIN D_TABNM DN")
           << QStringLiteral("    ON DT.KANRINO = DN.KANRINO AND DT.TBLROW = DN.TBLROW AND DT.TBLCOL = DN.TBLCOL")
           << QStringLiteral(" WHERE DT.KANRINO = :KANRINO") << QStringLiteral(" ORDER BY DT.KJNNO");
    qrySQL.SetParam(QStringLiteral("KANRINO"), n);
    QList<QTreeWidgetItem *> items;
    try {
        qrySQL.Open();
        while (!qrySQL.Eof()) {
            Stored s;
            s.kata1 = qrySQL.AsString(QStringLiteral("KATA1"));
            s.kata2 = qrySQL.AsString(QStringLiteral("KATA2"));
            s.name = qrySQL.AsString(QStringLiteral("NAME"));
            s.keisho = qrySQL.AsString(QStringLiteral("KEISHO"));
            s.tableNm = qrySQL.AsString(QStringLiteral("TBLNM"));
            s.tblRow = qrySQL.AsInteger(QStringLiteral("TBLROW"));
            s.tblCol = qrySQL.AsInteger(QStringLiteral("TBLCOL"));
            s.tblRl = qrySQL.AsInteger(QStringLiteral("TBLRL"));
            s.sortNo = qrySQL.AsInteger(QStringLiteral("SORTNO"));
            const Cells c = cellsFromStored(s);
            items.append(new QTreeWidgetItem(QStringList(c.begin(), c.end())));
            qrySQL.Next();
        }
    } catch (...) {
        qDeleteAll(items);
        qrySQL.Close();
        throw;
    }
    qrySQL.Close();
    lstvMenber->addTopLevelItems(items);
    showCount();
}

// The input area is enabled only after loading, so the focus is given here.
QWidget *TFrmSetMenber::focusAfterSet() const { return edtKata1; }

QList<Cells> TFrmSetMenber::rows() const
{
    QList<Cells> out;
    const int count = lstvMenber->topLevelItemCount();
    out.reserve(count);
    for (int i = 0; i < count; ++i) {
        const QTreeWidgetItem *item = lstvMenber->topLevelItem(i);
        Cells c;
        for (int j = 0; j < CellCount; ++j)
            c[size_t(j)] = item->text(j);
        out.append(c);
    }
    return out;
}

void TFrmSetMenber::addRow(const Cells &c) { lstvMenber->addTopLevelItem(new QTreeWidgetItem(QStringList(c.begin(), c.end()))); }

void TFrmSetMenber::clearFields(bool keisho)
{
    edtKata1->clear();
    edtKata2->clear();
    edtName->clear();
    if (keisho)
        cmbKeisho->clearEditText();
    lblTableNm->clear();
    lblRow->clear();
    lblCol->clear();
    lblLR->clear();
}

void TFrmSetMenber::deselect()
{
    lstvMenber->clearSelection();
    lstvMenber->setCurrentItem(nullptr);
}

void TFrmSetMenber::showCount() { lblNin->setText(QString::number(lstvMenber->topLevelItemCount())); }

bool TFrmSetMenber::nameAccepted()
{
    if (!text::isBlank(edtName->text()))
        return true;
    return prompter().question(QStringLiteral("名前が未入力です。\r\nこのままでよろしいですか？"));
}

void TFrmSetMenber::bbtnInsClick()
{
    if (!nameAccepted())
        return;
    addRow(newCells(edtName->text(), cmbKeisho->currentText(), edtKata1->text(), edtKata2->text()));
    deselect();
    clearFields(false);
    showCount();
    edtKata1->setFocus();
}

void TFrmSetMenber::bbtnUpdClick()
{
    QTreeWidgetItem *item = lstvMenber->selectedItems().value(0);
    if (!item) {
        prompter().warning(QStringLiteral("修正する方が選択されていません。"));
        return;
    }
    if (!nameAccepted())
        return;
    item->setText(Name, edtName->text());
    item->setText(Keisho, cmbKeisho->currentText());
    item->setText(Kata1, edtKata1->text());
    item->setText(Kata2, edtKata2->text());
    deselect();
    clearFields(false);
    edtKata1->setFocus();
}

void TFrmSetMenber::bbtnDelClick()
{
    QTreeWidgetItem *item = lstvMenber->selectedItems().value(0);
    if (!item) {
        prompter().warning(QStringLiteral("削除する方が選択されていません。"));
        return;
    }
    // Always 様 in the question, whatever the attendee's honorific.
    if (!prompter().question(item->text(Name) + QStringLiteral(" 様を削除します。\r\nよろしいですか？")))
        return;
    delete item;
    deselect();
    clearFields(true);
    showCount();
    edtKata1->setFocus();
}

void TFrmSetMenber::moveSelected(int delta)
{
    QTreeWidgetItem *item = lstvMenber->selectedItems().value(0);
    const int from = item ? lstvMenber->indexOfTopLevelItem(item) : -1;
    const int to = moveTarget(lstvMenber->topLevelItemCount(), from, delta);
    lstvMenber->setFocus();
    if (to < 0)
        return;
    // The whole row, seat cells included, travels with its attendee.
    {
        const QSignalBlocker block(lstvMenber);
        lstvMenber->takeTopLevelItem(from);
        lstvMenber->insertTopLevelItem(to, item);
    }
    lstvMenber->setCurrentItem(item);
    item->setSelected(true);
    lstvMenberSelectItem();
}

void TFrmSetMenber::bbtnUpClick() { moveSelected(-1); }

void TFrmSetMenber::bbtnDownClick() { moveSelected(+1); }

void TFrmSetMenber::lstvMenberSelectItem()
{
    const QTreeWidgetItem *item = lstvMenber->selectedItems().value(0);
    if (!item)
        return; // a cleared selection leaves the fields as they are
    edtName->setText(item->text(Name));
    cmbKeisho->setEditText(item->text(Keisho));
    edtKata1->setText(item->text(Kata1));
    edtKata2->setText(item->text(Kata2));
    lblTableNm->setText(item->text(TableNm));
    lblRow->setText(item->text(Row));
    lblCol->setText(item->text(Col));
    lblLR->setText(item->text(Side));
}

void TFrmSetMenber::writeList(int n)
{
    const QList<Cells> list = rows();
    // Clear and rewrite as one unit: a failure part-way keeps the stored list.
    TTransaction tx;
    try {
        writeRows(n, list);
    } catch (...) {
        qrySQL.Close(); // no statement left open while rolling back
        throw;
    }
    tx.Commit();
}

void TFrmSetMenber::writeRows(int n, const QList<Cells> &list)
{
    qrySQL.Close();
    qrySQL << QStringLiteral("DELETE FROM D_TABLE WHERE KANRINO = :KANRINO");
    qrySQL.SetParam(QStringLiteral("KANRINO"), n);
    qrySQL.ExecSQL();

    qrySQL.Close();
    qrySQL << QStringLiteral("INSERT INTO D_TABLE") << QStringLiteral(" (  KANRINO") << QStringLiteral("  , KJNNO ")
           << QStringLiteral("  , TBLROW ") << QStringLiteral("  , TBLCOL ") << QStringLiteral("  , TBLRL ")
           << QStringLiteral("  , KATA1 ") << QStringLiteral("  , KATA2 ") << QStringLiteral("  , NAME ")
           << QStringLiteral("  , SORTNO ") << QStringLiteral("  , KEISHO ") << QStringLiteral("  ) VALUES")
           << QStringLiteral(" ( :KANRINO") << QStringLiteral("  ,:KJNNO ") << QStringLiteral("  ,:TBLROW ")
           << QStringLiteral("  ,:TBLCOL ") << QStringLiteral("  ,:TBLRL ") << QStringLiteral("  ,:KATA1 ")
           << QStringLiteral("  ,:KATA2 ") << QStringLiteral("  ,:NAME ") << QStringLiteral("  ,:SORTNO ")
           << QStringLiteral("  ,:KEISHO ") << QStringLiteral("  )");
    for (int i = 0; i < list.size(); ++i) {
        const Record r = recordFromCells(list[i], i + 1);
        qrySQL.SetParam(QStringLiteral("KANRINO"), n);
        qrySQL.SetParam(QStringLiteral("KJNNO"), r.kjnNo);
        qrySQL.SetParam(QStringLiteral("TBLROW"), r.tblRow);
        qrySQL.SetParam(QStringLiteral("TBLCOL"), r.tblCol);
        qrySQL.SetParam(QStringLiteral("TBLRL"), r.tblRl);
        qrySQL.SetParam(QStringLiteral("KATA1"), r.kata1);
        qrySQL.SetParam(QStringLiteral("KATA2"), r.kata2);
        qrySQL.SetParam(QStringLiteral("NAME"), r.name);
        qrySQL.SetParam(QStringLiteral("SORTNO"), r.sortNo);
        qrySQL.SetParam(QStringLiteral("KEISHO"), r.keisho);
        qrySQL.ExecSQL();
    }
    qrySQL.Close();
}

void TFrmSetMenber::bbtnExecuteClick()
{
    if (!prompter().question(QStringLiteral("更新します。\r\nよろしいですか？")))
        return;
    HourGlass cursor;
    try {
        writeList(kanriNo());
    } catch (const DbError &) {
        qrySQL.Close();
        cursor.restore();
        prompter().error(QStringLiteral("出席者情報書込みエラー"));
        close();
        return;
    }
    cursor.restore();
    prompter().information(QStringLiteral("正常に更新されました。"));
    SetHeaderState(true);
    nedtKanriNo->setFocus();
}
