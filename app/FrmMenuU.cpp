#include "FrmMenuU.h"

#include "DataFolder.h"
#include "FrmVerU.h"
#include "KivoraApplication.h"
#include "Prompter.h"
#include "UntDM.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QStyle>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QUrl>
#include <QVBoxLayout>
#include <memory>

std::function<bool(const QString &)> TFrmMenu::openDocument = [](const QString &path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
};

std::function<FormFactory(int)> TFrmMenu::factories = menuFormFactory;

namespace {
struct ButtonSpec {
    const char *caption;
    const char *hint;
};

const ButtonSpec kButtons[9] = {
    {"初期登録", "初期登録|まず最初に行います。"},
    {"出席者入力", "出席者入力|出席予定の方を登録します。"},
    {"テーブル割付", "テーブル割付|出席する方々を各テーブルに割り付けます。"},
    {"テーブル位置設定", "テーブル位置設定|必要であればテーブルの位置を変えます。"},
    {"雛壇設定", "雛壇設定"},
    {"席次表印刷", "席次表印刷|席次表の印刷を行います。"},
    {"出席者CSV取込", "出席者ＣＳＶ取り込み|ＣＳＶファイルから出席者を一括取り込みします。"},
    {"出席者一覧リスト", "出席者の一覧を出力します。"},
    {"初期値設定処理", "席次表作成時の初期値を設定します。"},
};
} // namespace

TFrmMenu::TFrmMenu(QWidget *parent) : TFrmOBase(parent)
{
    setObjectName(QStringLiteral("FrmMenu"));
    setWindowTitle(QStringLiteral("キボラ"));
    setStatusTitle(QStringLiteral("メニュー"));
    stb()->setPanelWidth(2, 110);

    menuBar = new QMenuBar(this);
    menuBar->setObjectName(QStringLiteral("MainMenu"));
    QMenu *help = menuBar->addMenu(QStringLiteral("ヘルプ"));
    actHelp = help->addAction(QStringLiteral("ヘルプ"));
    actHelp->setObjectName(QStringLiteral("mnuHelp"));
    help->addSeparator();
    actVersion = help->addAction(QStringLiteral("バージョン情報"));
    actVersion->setObjectName(QStringLiteral("mnuVersion"));
    connect(actHelp, &QAction::triggered, this, &TFrmMenu::showHelp);
    connect(actVersion, &QAction::triggered, this, &TFrmMenu::showVersion);
    layout()->setMenuBar(menuBar);

    auto *banner = new QLabel(QStringLiteral("■ キボラ ■"), centralArea());
    banner->setObjectName(QStringLiteral("pnlBanner"));
    banner->setAlignment(Qt::AlignCenter);
    banner->setFrameShape(QFrame::Panel);
    banner->setFrameShadow(QFrame::Raised);
    QFont bf = banner->font();
    bf.setPointSizeF(bf.pointSizeF() * 1.8);
    bf.setBold(true);
    banner->setFont(bf);
    banner->setMinimumHeight(48);

    auto *main = new QGroupBox(QStringLiteral("主処理"), centralArea());
    main->setObjectName(QStringLiteral("lblMain"));
    auto *mainGrid = new QGridLayout(main);
    auto *extra = new QGroupBox(QStringLiteral("随時処理"), centralArea());
    extra->setObjectName(QStringLiteral("lblExtra"));
    auto *extraGrid = new QGridLayout(extra);

    for (int i = 0; i < 9; ++i) {
        auto *b = new QPushButton(QString::fromUtf8(kButtons[i].caption), i < 6 ? main : extra);
        b->setObjectName(QStringLiteral("BitBtn%1").arg(i + 1));
        b->setAutoDefault(false);
        b->setMinimumSize(180, 40);
        setHint(b, QString::fromUtf8(kButtons[i].hint));
        b->setEnabled(bool(factories(i + 1)));
        connect(b, &QPushButton::clicked, this, [this, i] { openForm(i + 1); });
        buttons[size_t(i)] = b;
        if (i < 6)
            mainGrid->addWidget(b, i / 2, i % 2);
        else
            extraGrid->addWidget(b, 0, i - 6);
    }

    bbtnClose = new QPushButton(QStringLiteral("閉じる"), centralArea());
    bbtnClose->setObjectName(QStringLiteral("bbtnClose"));
    bbtnClose->setAutoDefault(false);
    bbtnClose->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
    setHint(bbtnClose, QStringLiteral("処理を終了します。"));
    connect(bbtnClose, &QPushButton::clicked, this, [this] { close(); });

    auto *closeRow = new QHBoxLayout;
    closeRow->addStretch(1);
    closeRow->addWidget(bbtnClose);

    auto *layout = new QVBoxLayout;
    layout->addWidget(banner);
    layout->addWidget(main);
    layout->addWidget(extra);
    layout->addLayout(closeRow);
    setCentralLayout(layout);

    this->layout()->setSizeConstraint(QLayout::SetFixedSize);
}

bool TFrmMenu::OpenDatabase(QString *error)
{
    setStatusTitle(QStringLiteral("メニュー"));
    if (!dmMAIN()) {
        if (error)
            *error = QStringLiteral("データモジュールがありません。");
        return false;
    }
    const QString path = DatabasePath();
    if (path.isEmpty()) {
        if (error)
            *error = QStringLiteral("データフォルダの場所が分かりません。");
        return false;
    }
    return dmMAIN()->OpenDatabase(path, error);
}

void TFrmMenu::showEvent(QShowEvent *e)
{
    TFrmOBase::showEvent(e);
    if (!m_centred) {
        m_centred = true;
        if (QScreen *s = screen()) {
            const QRect area = s->availableGeometry();
            move(area.center() - rect().center());
        }
    }
}

void TFrmMenu::openForm(int button)
{
    const FormFactory factory = factories(button);
    if (!factory)
        return;
    // Created fresh for every press, released after its modal loop whatever happened.
    std::unique_ptr<QDialog> form;
    try {
        form.reset(factory(this));
        if (form)
            form->exec();
    } catch (const std::exception &e) {
        reportUncaught(e);
    }
}

QString TFrmMenu::helpFilePath()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/キボラ.chm");
}

void TFrmMenu::showHelp()
{
    const QString path = helpFilePath();
    if (!QFileInfo::exists(path) || !openDocument(path))
        prompter().warning(QStringLiteral("ヘルプファイルを表示できません。\r\n") + QDir::toNativeSeparators(path));
}

void TFrmMenu::showVersion()
{
    TFrmVer ver(this);
    ver.setProductName(QStringLiteral("キボラ"));
    ver.exec();
}
