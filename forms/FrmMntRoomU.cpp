#include "FrmMntRoomU.h"

#include "ByteLimit.h"
#include "DataFolder.h"
#include "PictureControls.h"
#include "Prompter.h"
#include "TFontNameComboBox.h"
#include "TNumberEdit.h"
#include "TextRules.h"
#include "UntDM.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateEdit>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QColor BadgeNew(0, 0, 255);     // "登録"
const QColor BadgeExisting(0, 128, 128); // "修正"

EditFormSettings roomSettings()
{
    EditFormSettings s;
    s.editableName = true;
    s.cancelCaption = QStringLiteral("キャンセル");
    s.executeCaption = QStringLiteral(" 更 新 ");
    s.executeHint = QStringLiteral("席辞表情報を更新します。");
    s.closeButtonName = QStringLiteral("bbtnClose");
    s.setHint = QStringLiteral("管理番号を登録します。");
    s.inputAreaName = QStringLiteral("pnlSeki");
    return s;
}

// Blank texts are stored as NULL; anything else exactly as shown.
QVariant textOrNull(const QString &s)
{
    if (text::isBlank(s))
        return QVariant();
    return s;
}

// A text that must be stored even when empty ('' rather than NULL).
QVariant textNotNull(const QString &s)
{
    return s.isNull() ? QVariant(QString(QLatin1String(""))) : QVariant(s);
}

QLineEdit *makeEdit(const QString &name, const QString &hint, int bytes, QWidget *parent)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(name);
    setHint(e, hint);
    ByteLimit::apply(e, bytes);
    e->setProperty("Tag", 1);
    return e;
}

// The reception's picture paths are reset with its other inputs.
QLabel *makeTaggedPathLabel(const QString &name, QWidget *parent)
{
    QLabel *l = picture::makePathLabel(name, parent);
    l->setAutoFillBackground(true);
    l->setProperty("Tag", 1);
    return l;
}

void setBadge(QLabel *badge, const QString &text, const QColor &colour)
{
    badge->setText(text);
    QPalette p = badge->palette();
    p.setColor(QPalette::Window, colour);
    p.setColor(QPalette::WindowText, Qt::white);
    badge->setPalette(p);
    badge->setVisible(true);
}

} // namespace

bool LayoutTrim::dropsSeat(int row, int col) const
{
    if (row < 1)
        return false;
    if (row > tiers)
        return true;
    return col > seatKeep[size_t(row - 1)];
}

bool LayoutTrim::dropsPosition(int row, int col) const
{
    if (row < 1)
        return false;
    if (row > tiers)
        return true;
    return col > posKeep[size_t(row - 1)];
}

LayoutTrim layoutTrim(const std::array<int, 5> &loadedCounts, int newTiers, const std::array<int, 5> &newCounts)
{
    LayoutTrim trim;
    trim.tiers = qBound(0, newTiers, 5);
    for (int t = 0; t < trim.tiers; ++t) {
        const int now = newCounts[size_t(t)];
        trim.seatKeep[size_t(t)] = now;
        // Positions of a tier that gained tables no longer spread evenly:
        // keep the first table's and let the others take their defaults.
        trim.posKeep[size_t(t)] = now > loadedCounts[size_t(t)] ? 1 : now;
    }
    return trim;
}

QString printerSettingsPath(int kanriNo)
{
    return DataFolder() + QStringLiteral("PlPrint") + QString::number(kanriNo) + QStringLiteral(".plv");
}

QString legacyPrinterSettingsPath(int kanriNo)
{
    return QDir(QCoreApplication::applicationDirPath())
        .filePath(QStringLiteral("Print/PlPrint") + QString::number(kanriNo));
}

QString paperSizeText(int dots, int dpi)
{
    if (dots <= 0 || dpi <= 0)
        return QString();
    return QString::number(paperSizeMm(dots, dpi));
}

const QString TFrmMntRoom::PictureFilter = QStringLiteral(
    "画像ファイル (*.jpg *.jpeg *.bmp *.ico *.png *.gif);;"
    "JPEG (*.jpg *.jpeg);;ビットマップ (*.bmp);;アイコン (*.ico);;PNG (*.png);;GIF (*.gif);;"
    "すべてのファイル (*)");

TFrmMntRoom::TFrmMntRoom(QWidget *parent) : TFrmEditBase(roomSettings(), parent)
{
    setObjectName(QStringLiteral("FrmMntRoom"));
    setWindowTitle(QStringLiteral("キボラ"));
    setStatusTitle(QStringLiteral("席次表基本設定"));

    setHint(edtKanriNm, QStringLiteral("管理名称"));
    auto *header = static_cast<QHBoxLayout *>(pnlKanri->layout());
    header->insertWidget(3, new QLabel(QStringLiteral("管理名称"), pnlKanri));
    pnlUpdKbn = new QLabel(pnlKanri);
    pnlUpdKbn->setObjectName(QStringLiteral("pnlUpdKbn"));
    pnlUpdKbn->setAutoFillBackground(true);
    pnlUpdKbn->setAlignment(Qt::AlignCenter);
    pnlUpdKbn->setMinimumWidth(50);
    pnlUpdKbn->setVisible(false);
    header->addWidget(pnlUpdKbn);

    QWidget *pnlSeki = inputArea();
    auto *grid = new QGridLayout(pnlSeki);
    int row = 0;

    // Reception title: groom's and bride's houses and the title.
    grid->addWidget(new QLabel(QStringLiteral("披露宴名"), pnlSeki), row, 0);
    {
        auto *line = new QHBoxLayout;
        edtSinro = makeEdit(QStringLiteral("edtSinro"), QStringLiteral("新郎姓"), 20, pnlSeki);
        edtSinpu = makeEdit(QStringLiteral("edtSinpu"), QStringLiteral("新婦姓"), 20, pnlSeki);
        edtTitle = makeEdit(QStringLiteral("edtTitle"), QStringLiteral("披露宴タイトル"), 60, pnlSeki);
        line->addWidget(edtSinro);
        line->addWidget(new QLabel(QStringLiteral("家"), pnlSeki));
        line->addWidget(edtSinpu);
        line->addWidget(new QLabel(QStringLiteral("家"), pnlSeki));
        line->addWidget(edtTitle, 2);
        grid->addLayout(line, row++, 1, 1, 3);
    }

    grid->addWidget(new QLabel(QStringLiteral("日　付"), pnlSeki), row, 0);
    {
        auto *line = new QHBoxLayout;
        dtpHDate = new QDateEdit(pnlSeki);
        dtpHDate->setObjectName(QStringLiteral("dtpHDate"));
        dtpHDate->setCalendarPopup(true);
        dtpHDate->setDisplayFormat(QStringLiteral("yyyy/MM/dd"));
        dtpHDate->setProperty("Tag", 1);
        setHint(dtpHDate, QStringLiteral("披露宴日付"));
        chkDateOut = new QCheckBox(QStringLiteral("日付を印字しない場合チェック"), pnlSeki);
        chkDateOut->setObjectName(QStringLiteral("chkDateOut"));
        line->addWidget(dtpHDate);
        line->addWidget(chkDateOut);
        line->addStretch(1);
        grid->addLayout(line, row++, 1, 1, 3);
    }

    grid->addWidget(new QLabel(QStringLiteral("席 段 数"), pnlSeki), row, 0);
    {
        auto *line = new QHBoxLayout;
        cmbRow = new QComboBox(pnlSeki);
        cmbRow->setObjectName(QStringLiteral("cmbRow"));
        cmbRow->addItems({QStringLiteral("１段"), QStringLiteral("２段"), QStringLiteral("３段"),
                          QStringLiteral("４段"), QStringLiteral("５段")});
        cmbRow->setProperty("Tag", 1);
        setHint(cmbRow, QStringLiteral("席段数"));
        chkLong = new QCheckBox(QStringLiteral("長テーブル"), pnlSeki);
        chkLong->setObjectName(QStringLiteral("chkLong"));
        setHint(chkLong, QStringLiteral("長テーブル|縦長のテーブル。一段の設定になります。"));
        line->addWidget(cmbRow);
        line->addWidget(chkLong);
        line->addStretch(1);
        grid->addLayout(line, row++, 1, 1, 3);
    }

    static const char *const tierNames[5] = {"１段目", "２段目", "３段目", "４段目", "５段目"};
    for (int t = 0; t < 5; ++t) {
        lblDan[size_t(t)] = new QLabel(QString::fromUtf8(tierNames[t]), pnlSeki);
        lblDan[size_t(t)]->setObjectName(QStringLiteral("lblDan%1").arg(t + 1));
        auto *c = new QComboBox(pnlSeki);
        c->setObjectName(QStringLiteral("cmbCol%1").arg(t + 1));
        c->addItems({QStringLiteral("１　列"), QStringLiteral("２　列"), QStringLiteral("３　列"),
                     QStringLiteral("４　列"), QStringLiteral("５　列")});
        c->setProperty("Tag", 1);
        setHint(c, QStringLiteral("テーブルレイアウト"));
        cmbCol[size_t(t)] = c;
        grid->addWidget(lblDan[size_t(t)], row, 1);
        grid->addWidget(c, row++, 2);
    }

    grid->addWidget(new QLabel(QStringLiteral("印刷フォント"), pnlSeki), row, 0);
    cmbFont = new TFontNameComboBox(pnlSeki);
    cmbFont->setObjectName(QStringLiteral("cmbFont"));
    cmbFont->setProperty("Tag", 1);
    setHint(cmbFont, QStringLiteral("印刷フォント|印刷に使用するフォントを選択します。"));
    grid->addWidget(cmbFont, row++, 1, 1, 2);

    grid->addWidget(new QLabel(QStringLiteral("背景画像"), pnlSeki), row, 0);
    {
        auto *line = new QHBoxLayout;
        spbWPaper = picture::makeButton(QStringLiteral("spbWPaper"), QStringLiteral("背景画像指定"), QStyle::SP_DirOpenIcon, pnlSeki);
        spbClear = picture::makeButton(QStringLiteral("spbClear"), QStringLiteral("背景画像クリア"), QStyle::SP_DialogResetButton, pnlSeki);
        lblWPaper = makeTaggedPathLabel(QStringLiteral("lblWPaper"), pnlSeki);
        line->addWidget(spbWPaper);
        line->addWidget(spbClear);
        line->addWidget(lblWPaper, 1);
        grid->addLayout(line, row++, 1, 1, 3);
    }

    grid->addWidget(new QLabel(QStringLiteral("ﾃｰﾌﾞﾙ形状"), pnlSeki), row, 0);
    {
        auto *line = new QHBoxLayout;
        const picture::TableShapeGroup shapes = picture::makeTableShapeGroup(pnlSeki);
        rdgTable = shapes.box;
        rdgTableGroup = shapes.group;
        rdgTableItems = shapes.items;
        spbTable = picture::makeButton(QStringLiteral("spbTable"), QStringLiteral("テーブル画像指定"), QStyle::SP_DirOpenIcon, pnlSeki);
        lblTable = makeTaggedPathLabel(QStringLiteral("lblTable"), pnlSeki);
        line->addWidget(rdgTable);
        line->addWidget(spbTable);
        line->addWidget(lblTable, 1);
        grid->addLayout(line, row++, 1, 1, 3);
    }

    {
        auto *line = new QHBoxLayout;
        bbtnPaper = new QPushButton(QStringLiteral("　用紙設定"), pnlSeki);
        bbtnPaper->setObjectName(QStringLiteral("bbtnPaper"));
        bbtnPaper->setAutoDefault(false);
        setHint(bbtnPaper, QStringLiteral("用紙設定"));
        auto sizeLabel = [pnlSeki](const QString &name, const QString &hint) {
            auto *l = new QLabel(pnlSeki);
            l->setObjectName(name);
            l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            l->setFrameShape(QFrame::Panel);
            l->setFrameShadow(QFrame::Sunken);
            l->setAutoFillBackground(true);
            l->setMinimumWidth(50);
            l->setProperty("Tag", 1);
            setHint(l, hint);
            return l;
        };
        lblPHeight = sizeLabel(QStringLiteral("lblPHeight"), QStringLiteral("用紙高さ"));
        lblPWidth = sizeLabel(QStringLiteral("lblPWidth"), QStringLiteral("用紙幅"));
        line->addWidget(bbtnPaper);
        line->addWidget(new QLabel(QStringLiteral("高さ"), pnlSeki));
        line->addWidget(lblPHeight);
        line->addWidget(new QLabel(QStringLiteral("㎜"), pnlSeki));
        line->addWidget(new QLabel(QStringLiteral("幅"), pnlSeki));
        line->addWidget(lblPWidth);
        line->addWidget(new QLabel(QStringLiteral("㎜"), pnlSeki));
        line->addStretch(1);
        grid->addLayout(line, row++, 1, 1, 3);
    }
    grid->setRowStretch(row, 1);

    // " 削 除  " sits before " 更 新 " in the bottom row.
    bbtnDelete = new QPushButton(QStringLiteral(" 削 除  "), centralArea());
    bbtnDelete->setObjectName(QStringLiteral("bbtnDelete"));
    bbtnDelete->setAutoDefault(false);
    bbtnDelete->setFocusPolicy(Qt::ClickFocus); // skipped by Tab
    setHint(bbtnDelete, QStringLiteral("対象管理番号のデータを削除します。"));
    if (auto *bottom = qobject_cast<QBoxLayout *>(bbtnExecute->parentWidget()->layout())) {
        for (int i = 0; i < bottom->count(); ++i) {
            auto *inner = qobject_cast<QBoxLayout *>(bottom->itemAt(i)->layout());
            if (inner && inner->indexOf(bbtnExecute) >= 0) {
                inner->insertWidget(inner->indexOf(bbtnExecute), bbtnDelete);
                break;
            }
        }
    }
    bbtnDelete->setVisible(false);

    connect(cmbRow, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (i >= 0) // an emptied list (header state) leaves the tiers alone
            cmbRowChange();
    });
    connect(chkLong, &QCheckBox::toggled, this, [this] { chkLongClick(); });
    connect(rdgTableGroup, &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (checked)
            rdgTableClick();
    });
    connect(spbWPaper, &QToolButton::clicked, this, &TFrmMntRoom::spbWPaperClick);
    connect(spbClear, &QToolButton::clicked, this, &TFrmMntRoom::spbClearClick);
    connect(spbTable, &QToolButton::clicked, this, &TFrmMntRoom::spbTableClick);
    connect(bbtnPaper, &QPushButton::clicked, this, &TFrmMntRoom::bbtnPaperClick);
    connect(bbtnDelete, &QPushButton::clicked, this, &TFrmMntRoom::bbtnDeleteClick);

    spbTable->setEnabled(false);
    setTabOrder(edtKanriNm, bbtnSet);
}

TFrmMntRoom::~TFrmMntRoom() = default;

void TFrmMntRoom::showEvent(QShowEvent *e)
{
    if (!m_defaultsLoaded) {
        m_defaultsLoaded = true;
        LoadDefaults();
    }
    TFrmEditBase::showEvent(e); // first show: header state
}

void TFrmMntRoom::LoadDefaults()
{
    setWindowTitle(QStringLiteral("キボラ"));
    setStatusTitle(QStringLiteral("席次表基本設定"));
    defDateOut = false;
    defTableShape = 0;
    defEndStr.clear();
    defTablePath.clear();
    defBackPath.clear();
    TQuery qrySQL;
    qrySQL << QStringLiteral("SELECT * FROM M_SYSTEM WHERE CD = 1");
    qrySQL.Open();
    if (!qrySQL.Eof()) {
        defDateOut = qrySQL.AsInteger(QStringLiteral("NUM1")) != 0;
        defTableShape = qrySQL.AsInteger(QStringLiteral("NUM2"));
        defEndStr = qrySQL.AsString(QStringLiteral("STR1"));
        defTablePath = qrySQL.AsString(QStringLiteral("STR2"));
        defBackPath = qrySQL.AsString(QStringLiteral("STR3"));
    }
    qrySQL.Close();
    dtpHDate->setDate(QDate::currentDate());
}

int TFrmMntRoom::tableShape() const { return qMax(0, rdgTableGroup->checkedId()); }

void TFrmMntRoom::setTableShape(int index)
{
    index = qBound(0, index, 2);
    if (rdgTableItems[size_t(index)]->isChecked())
        rdgTableClick(); // loading the same shape still applies its rule
    else
        rdgTableItems[size_t(index)]->setChecked(true);
}

void TFrmMntRoom::resetTagged(QWidget *w, bool header)
{
    // A drop-down list that cannot be typed into paints its face with the
    // button colour, so that is where its silver grey or white must go.
    if (qobject_cast<QComboBox *>(w)) {
        QPalette p = w->palette();
        p.setColor(QPalette::Button, header ? Silver : White);
        w->setPalette(p);
    }
    // The font and the date keep their value; only the colour changes.
    if (w == cmbFont || w == dtpHDate) {
        setInputColor(w, header ? Silver : White);
        return;
    }
    TFrmEditBase::resetTagged(w, header);
    if (qobject_cast<QLabel *>(w)) {
        QPalette p = w->palette();
        p.setColor(QPalette::Window, header ? Silver : White);
        w->setPalette(p);
    }
}

void TFrmMntRoom::resetInputs(bool header)
{
    chkLong->setEnabled(!header);
    chkDateOut->setEnabled(!header);
    rdgTable->setEnabled(!header);

    for (int t = 0; t < 5; ++t) {
        lblDan[size_t(t)]->setVisible(true);
        cmbCol[size_t(t)]->setVisible(true);
    }
    chkLong->setChecked(false);
    chkLongClick();
    setTableShape(0);

    TFrmEditBase::resetInputs(header);

    if (header) {
        setInputColor(edtKanriNm, White);
        pnlUpdKbn->setVisible(false);
    }
    bbtnDelete->setVisible(!header);
}

void TFrmMntRoom::loadInput(int n)
{
    // Start from the default printer and paper, so that a paper setup made
    // for another reception, or made and then cancelled, does not carry over.
    const QString plv = printerSettingsPath(n);
    plSetPrinter = TplSetPrinter();
    if (!(QFileInfo::exists(plv) && plSetPrinter.LoadSettings(plv)))
        plSetPrinter.SetLandscape(true);

    setInputColor(edtKanriNm, Silver);

    TQuery qrySQL;
    qrySQL << QStringLiteral("SELECT * FROM D_HED WHERE KANRINO = :KANRINO");
    qrySQL.SetParam(QStringLiteral("KANRINO"), n);
    qrySQL.Open();
    IsNewReception = qrySQL.Eof();
    if (IsNewReception) {
        setBadge(pnlUpdKbn, QStringLiteral("登録"), BadgeNew);
        cmbRow->setCurrentIndex(2);
        cmbRowChange();
        cmbCol[0]->setCurrentIndex(3);
        cmbCol[1]->setCurrentIndex(2);
        cmbCol[2]->setCurrentIndex(3);
        edtTitle->setText(QStringLiteral("御結婚披露宴"));
        chkDateOut->setChecked(defDateOut);
        setTableShape(defTableShape);
        if (defTableShape == 2) {
            m_tableFile = defTablePath;
            lblTable->setText(defTablePath);
        }
        m_wallPaperFile = defBackPath;
        lblWPaper->setText(defBackPath);
    } else {
        loadExisting(qrySQL, n);
    }
    qrySQL.Close();
    ShowPaperSize();
}

void TFrmMntRoom::loadExisting(TQuery &q, int n)
{
    setBadge(pnlUpdKbn, QStringLiteral("修正"), BadgeExisting);
    edtSinro->setText(text::trim(q.AsString(QStringLiteral("SINROSEI"))));
    edtSinpu->setText(text::trim(q.AsString(QStringLiteral("SINPUSEI"))));
    edtTitle->setText(text::trim(q.AsString(QStringLiteral("ENTITLE"))));

    const QString stored = q.AsString(QStringLiteral("HDATE"));
    QDate date = QDate::fromString(stored.left(10), Qt::ISODate);
    if (!date.isValid())
        date = QDate::fromString(stored.left(10), QStringLiteral("yyyy/MM/dd"));
    if (date.isValid())
        dtpHDate->setDate(date);

    const int tiers = qBound(1, q.AsInteger(QStringLiteral("SEKIROW")), 5);
    cmbRow->setCurrentIndex(tiers - 1);
    for (int t = 0; t < tiers; ++t) {
        const int count = q.AsInteger(QStringLiteral("SEKICOL%1").arg(t + 1));
        cmbCol[size_t(t)]->setCurrentIndex(count >= 1 && count <= 5 ? count - 1 : -1);
    }
    cmbRowChange();
    chkLong->setChecked(q.AsInteger(QStringLiteral("TLONG")) > 0);
    chkDateOut->setChecked(q.AsInteger(QStringLiteral("DATEOUT")) > 0);
    m_wallPaperFile = q.AsString(QStringLiteral("BKPATH"));
    lblWPaper->setText(m_wallPaperFile);
    setTableShape(q.AsInteger(QStringLiteral("TBLPTN")));
    if (tableShape() == 2) {
        m_tableFile = q.AsString(QStringLiteral("TBLPATH"));
        lblTable->setText(m_tableFile);
    }
    cmbFont->setFontName(q.AsString(QStringLiteral("PRNFONT")));

    // The older place only stands in for a reception that has no settings
    // file of its own yet; a saved file must not be overridden, or the saved
    // orientation would be lost on every reopening.
    if (!QFileInfo::exists(printerSettingsPath(n))) {
        // A file we cannot read counts as missing: landscape, as for no file.
        const QString legacy = legacyPrinterSettingsPath(n);
        if (!(QFileInfo::exists(legacy) && plSetPrinter.LoadSettings(legacy)))
            plSetPrinter.SetLandscape(true);
    }

    for (int t = 0; t < 5; ++t)
        LoadedTableCounts[size_t(t)] = cmbCol[size_t(t)]->currentIndex();
}

bool TFrmMntRoom::checkOnSet(int)
{
    if (text::isBlank(edtKanriNm->text())
        && !prompter().question(QStringLiteral("管理名称が入力されていません。\n\rよろしいですか？"))) {
        edtKanriNm->setFocus();
        return false;
    }
    return true;
}

QWidget *TFrmMntRoom::focusAfterSet() const { return edtSinro; }

bool TFrmMntRoom::inputStateForClose() const { return chkLong->isEnabled(); }

void TFrmMntRoom::cmbRowChange()
{
    const int k = cmbRow->currentIndex() + 1;
    if (k < 1)
        return;
    for (int t = 1; t <= 5; ++t) {
        QComboBox *c = cmbCol[size_t(t - 1)];
        const bool shown = t <= k;
        lblDan[size_t(t - 1)]->setVisible(shown);
        c->setVisible(shown);
        // A hidden tier keeps its choice for when the count grows again.
        if (shown && c->currentIndex() < 0)
            c->setCurrentIndex(2);
    }
}

void TFrmMntRoom::chkLongClick()
{
    if (chkLong->isChecked()) {
        cmbRow->setCurrentIndex(0);
        cmbRowChange();
    }
    cmbRow->setEnabled(!chkLong->isChecked());
}

void TFrmMntRoom::rdgTableClick()
{
    const bool picture = tableShape() == 2;
    spbTable->setEnabled(picture);
    if (!picture)
        lblTable->clear();
}

void TFrmMntRoom::spbWPaperClick()
{
    picture::choose(QStringLiteral("背景画像指定"), PictureFilter, m_wallPaperFile, lblWPaper);
}

void TFrmMntRoom::spbClearClick()
{
    m_wallPaperFile.clear();
    lblWPaper->clear();
}

void TFrmMntRoom::spbTableClick()
{
    picture::choose(QStringLiteral("テーブル画像指定"), PictureFilter, m_tableFile, lblTable);
}

void TFrmMntRoom::ShowPaperSize()
{
    lblPHeight->setText(paperSizeText(plSetPrinter.GetDeviceValue(4), plSetPrinter.GetDeviceValue(2)));
    lblPWidth->setText(paperSizeText(plSetPrinter.GetDeviceValue(3), plSetPrinter.GetDeviceValue(1)));
}

void TFrmMntRoom::bbtnPaperClick()
{
    if (plSetPrinter.ShowPrinterSetup())
        ShowPaperSize();
}

TFrmMntRoom::WriteResult TFrmMntRoom::writeReception(int n)
{
    const int tiers = cmbRow->currentIndex() + 1;
    std::array<int, 5> counts{};
    for (int t = 0; t < 5; ++t)
        counts[size_t(t)] = cmbCol[size_t(t)]->currentIndex() + 1;
    const QString date = dtpHDate->date().toString(QStringLiteral("yyyy-MM-dd"));

    // The header row and the trimming that follows it stand or fall together.
    try {
        TTransaction tx;
        TQuery qrySQL;
        if (IsNewReception) {
            qrySQL << QStringLiteral("INSERT INTO D_HED") << QStringLiteral(" ( KANRINO,")
                   << QStringLiteral("   KANRINM, ") << QStringLiteral("   SINROSEI,")
                   << QStringLiteral("   SINPUSEI,") << QStringLiteral("   ENTITLE,")
                   << QStringLiteral("   HDATE,") << QStringLiteral("   SEKIROW,")
                   << QStringLiteral("   SEKICOL1, ") << QStringLiteral("   SEKICOL2, ")
                   << QStringLiteral("   SEKICOL3, ") << QStringLiteral("   SEKICOL4, ")
                   << QStringLiteral("   SEKICOL5, ") << QStringLiteral("   TLONG,")
                   << QStringLiteral("   BKPATH,") << QStringLiteral("   TBLPTN,")
                   << QStringLiteral("   TBLPATH,") << QStringLiteral("   PLPATH,")
                   << QStringLiteral("   PRNFONT,") << QStringLiteral("   ENDSTR,")
                   << QStringLiteral("   OPT1,") << QStringLiteral("   OPT2,")
                   << QStringLiteral("   DATEOUT,") << QStringLiteral("   SIKIJO1,")
                   << QStringLiteral("   SIKIJO2,") << QStringLiteral("   ENSZ,")
                   << QStringLiteral("   HINASZ,") << QStringLiteral("   SEKISZ,")
                   << QStringLiteral("   KATASZ,") << QStringLiteral("   LPOS,")
                   << QStringLiteral("   RPOS,") << QStringLiteral("   ALLTPOS,")
                   << QStringLiteral("   TBLSZ,") << QStringLiteral("   TBLFSZ, KEISZ, SIKISZ")
                   << QStringLiteral(" ) VALUES")
                   << QStringLiteral(" (:KANRINO,")
                   << QStringLiteral("  :KANRINM, :SINROSEI, :SINPUSEI, :ENTITLE,")
                   << QStringLiteral("  :HDATE,")
                   << QStringLiteral("  :SEKIROW, :SEKICOL1, :SEKICOL2, :SEKICOL3, :SEKICOL4, :SEKICOL5,")
                   << QStringLiteral("  :TLONG,")
                   << QStringLiteral("  :BKPATH,")
                   << QStringLiteral("  :TBLPTN,")
                   << QStringLiteral("  :TBLPATH,")
                   << QStringLiteral("  NULL,")
                   << QStringLiteral("  :PRNFONT,")
                   << QStringLiteral("  :ENDSTR,")
                   << QStringLiteral("  0,") << QStringLiteral("  0,")
                   << QStringLiteral("  :DATEOUT,")
                   << QStringLiteral("  NULL,") << QStringLiteral("  NULL,")
                   << QStringLiteral("  0,0,0,0,0,0,0,10,0,0,0)");
            qrySQL.SetParam(QStringLiteral("ENDSTR"), textNotNull(defEndStr));
        } else {
            qrySQL << QStringLiteral("UPDATE D_HED SET ")
                   << QStringLiteral("KANRINM  = :KANRINM,") << QStringLiteral("SINROSEI = :SINROSEI,")
                   << QStringLiteral("SINPUSEI = :SINPUSEI,") << QStringLiteral("ENTITLE  = :ENTITLE,")
                   << QStringLiteral("HDATE = :HDATE,") << QStringLiteral("SEKIROW  = :SEKIROW,")
                   << QStringLiteral("SEKICOL1 = :SEKICOL1,") << QStringLiteral("SEKICOL2 = :SEKICOL2,")
                   << QStringLiteral("SEKICOL3 = :SEKICOL3,") << QStringLiteral("SEKICOL4 = :SEKICOL4,")
                   << QStringLiteral("SEKICOL5 = :SEKICOL5,") << QStringLiteral("TLONG = :TLONG,")
                   << QStringLiteral("BKPATH  = :BKPATH,") << QStringLiteral("TBLPTN  = :TBLPTN,")
                   << QStringLiteral("TBLPATH = :TBLPATH,") << QStringLiteral("PLPATH  = NULL,")
                   << QStringLiteral("DATEOUT = :DATEOUT,") << QStringLiteral("PRNFONT = :PRNFONT")
                   << QStringLiteral(" WHERE KANRINO = :KANRINO");
        }
        qrySQL.SetParam(QStringLiteral("KANRINO"), n);
        qrySQL.SetParam(QStringLiteral("KANRINM"), textOrNull(edtKanriNm->text()));
        qrySQL.SetParam(QStringLiteral("SINROSEI"), textOrNull(edtSinro->text()));
        qrySQL.SetParam(QStringLiteral("SINPUSEI"), textOrNull(edtSinpu->text()));
        qrySQL.SetParam(QStringLiteral("ENTITLE"), textOrNull(edtTitle->text()));
        qrySQL.SetParam(QStringLiteral("HDATE"), date);
        qrySQL.SetParam(QStringLiteral("SEKIROW"), tiers);
        for (int t = 0; t < 5; ++t)
            qrySQL.SetParam(QStringLiteral("SEKICOL%1").arg(t + 1), counts[size_t(t)]);
        qrySQL.SetParam(QStringLiteral("TLONG"), chkLong->isChecked() ? 1 : 0);
        qrySQL.SetParam(QStringLiteral("BKPATH"), textOrNull(lblWPaper->text()));
        qrySQL.SetParam(QStringLiteral("TBLPTN"), tableShape());
        qrySQL.SetParam(QStringLiteral("TBLPATH"), textOrNull(lblTable->text()));
        qrySQL.SetParam(QStringLiteral("PRNFONT"), textNotNull(cmbFont->fontName()));
        qrySQL.SetParam(QStringLiteral("DATEOUT"), chkDateOut->isChecked() ? 1 : 0);
        try {
            // An update that finds no row (the reception was deleted
            // meanwhile) has saved nothing and must not report success.
            if (qrySQL.ExecSQL() == 0)
                return WriteResult::WriteFailed;
        } catch (const DbError &) {
            return WriteResult::WriteFailed;
        }
        qrySQL.Close();

        if (!IsNewReception) {
            std::array<int, 5> loaded{};
            for (int t = 0; t < 5; ++t)
                loaded[size_t(t)] = LoadedTableCounts[size_t(t)] + 1;
            const LayoutTrim trim = layoutTrim(loaded, tiers, counts);
            try {
                struct Target
                {
                    const char *head;
                    bool positions;
                };
                static const Target targets[3] = {
                    {"UPDATE D_TABLE SET TBLROW = 0, TBLCOL = 0, TBLRL = 0, SORTNO = 0", false},
                    {"DELETE FROM D_TABNM", false},
                    {"DELETE FROM D_TABPOS", true},
                };
                for (const Target &target : targets) {
                    // Rows of removed tiers.
                    qrySQL.Close();
                    qrySQL << QString::fromLatin1(target.head) << QStringLiteral(" WHERE KANRINO = :KANRINO")
                           << QStringLiteral("   AND TBLROW  > :SEKIROW");
                    qrySQL.SetParam(QStringLiteral("KANRINO"), n);
                    qrySQL.SetParam(QStringLiteral("SEKIROW"), trim.tiers);
                    qrySQL.ExecSQL();
                    // Rows of removed tables in each remaining tier.
                    qrySQL.Close();
                    qrySQL << QString::fromLatin1(target.head) << QStringLiteral(" WHERE KANRINO = :KANRINO")
                           << QStringLiteral("   AND TBLROW  = :TBLROW") << QStringLiteral("   AND TBLCOL  > :TBLCOL");
                    for (int t = 1; t <= trim.tiers; ++t) {
                        const auto &keep = target.positions ? trim.posKeep : trim.seatKeep;
                        qrySQL.SetParam(QStringLiteral("KANRINO"), n);
                        qrySQL.SetParam(QStringLiteral("TBLROW"), t);
                        qrySQL.SetParam(QStringLiteral("TBLCOL"), keep[size_t(t - 1)]);
                        qrySQL.ExecSQL();
                    }
                }
            } catch (const DbError &) {
                return WriteResult::TrimFailed;
            }
        }
        try {
            tx.Commit();
        } catch (const DbError &) {
            return IsNewReception ? WriteResult::WriteFailed : WriteResult::TrimFailed;
        }
    } catch (const DbError &) {
        return WriteResult::WriteFailed; // the transaction could not even begin
    }
    return WriteResult::Ok;
}

void TFrmMntRoom::backToHeader()
{
    nedtKanriNo->setValue(0);
    edtKanriNm->clear();
    SetHeaderState(true);
    nedtKanriNo->setFocus();
}

void TFrmMntRoom::bbtnExecuteClick()
{
    if (!prompter().question(QStringLiteral("更新します。\n\rよろしいですか？")))
        return;
    const int n = kanriNo();
    switch (writeReception(n)) {
    case WriteResult::WriteFailed:
        prompter().error(QStringLiteral("書き込みエラー"));
        close();
        return;
    case WriteResult::TrimFailed:
        prompter().error(QStringLiteral("席次表テーブル情報調整エラー"));
        close();
        return;
    case WriteResult::Ok:
        break;
    }
    // The reception is saved either way; a paper setup that could not be
    // kept is said so, rather than reported as saved.
    const QString plv = printerSettingsPath(n);
    if (!plSetPrinter.SaveSettings(plv))
        prompter().warning(QStringLiteral("用紙設定を保存できませんでした。\r\n") + QDir::toNativeSeparators(plv));
    if (IsNewReception)
        prompter().information(QStringLiteral("正常に更新されました。"));
    else
        prompter().information(QStringLiteral(
            "正常に更新されました。\r\n段数、列数を変更した場合は必ずテーブル位置設定の更新を行ってください。"));
    backToHeader();
}

bool TFrmMntRoom::deleteReception(int n)
{
    // A reception goes with all its rows or not at all.
    try {
        TTransaction tx;
        static const char *const tables[5] = {"D_HED", "D_HINA", "D_TABLE", "D_TABPOS", "D_TABNM"};
        for (const char *table : tables) {
            TQuery qrySQL;
            qrySQL << QStringLiteral("DELETE FROM %1 WHERE KANRINO = :KANRINO").arg(QString::fromLatin1(table));
            qrySQL.SetParam(QStringLiteral("KANRINO"), n);
            qrySQL.ExecSQL();
        }
        tx.Commit();
    } catch (const DbError &) {
        return false;
    }
    return true;
}

void TFrmMntRoom::bbtnDeleteClick()
{
    const int n = kanriNo();
    TQuery qrySQL;
    qrySQL << QStringLiteral("SELECT KANRINM FROM D_HED WHERE KANRINO = :KANRINO");
    qrySQL.SetParam(QStringLiteral("KANRINO"), n);
    qrySQL.Open();
    const bool found = !qrySQL.Eof();
    qrySQL.Close();
    if (!found) {
        prompter().warning(QStringLiteral("この管理番号では登録されていません。"));
        return;
    }
    if (!prompter().question(QStringLiteral("削除します。\n\rよろしいですか？")))
        return;
    if (!deleteReception(n)) {
        prompter().warning(QStringLiteral("削除に失敗しました。"));
        return;
    }
    // The printer settings file stays: registering n again starts from it.
    prompter().information(QStringLiteral("削除しました。"));
    backToHeader();
}
