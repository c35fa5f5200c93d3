// Which working form each main-menu button opens. Buttons whose form is not
// registered here stay disabled.
#include "FrmMenuU.h"
#include "FrmDefaultU.h"
#include "FrmMntRoomU.h"
#include "FrmPrintU.h"
#include "FrmPrnMenberU.h"
#include "FrmSetHinadanU.h"
#include "FrmSetMenberU.h"

FormFactory menuFormFactory(int button)
{
    switch (button) {
    case 1: // 初期登録
        return [](QWidget *owner) -> QDialog * { return new TFrmMntRoom(owner); };
    case 2: // 出席者入力
        return [](QWidget *owner) -> QDialog * { return new TFrmSetMenber(owner); };
    case 3: // テーブル割付
        return {};
    case 4: // テーブル位置設定
        return {};
    case 5: // 雛壇設定
        return [](QWidget *owner) -> QDialog * { return new TFrmSetHinadan(owner); };
    case 6: // 席次表印刷
        return [](QWidget *owner) -> QDialog * { return new TFrmPrint(owner); };
    case 7: // 出席者CSV取込
        return {};
    case 8: // 出席者一覧リスト
        return [](QWidget *owner) -> QDialog * { return new TFrmPrnMenber(owner); };
    case 9: // 初期値設定処理
        return [](QWidget *owner) -> QDialog * { return new TFrmDefault(owner); };
    default:
        return {};
    }
}
