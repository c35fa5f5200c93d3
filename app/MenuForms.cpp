// Which working form each main-menu button opens. Buttons whose form is not
// registered here stay disabled.
#include "FrmMenuU.h"

FormFactory menuFormFactory(int button)
{
    switch (button) {
    case 1: // 初期登録
    case 2: // 出席者入力
    case 3: // テーブル割付
    case 4: // テーブル位置設定
    case 5: // 雛壇設定
    case 6: // 席次表印刷
    case 7: // 出席者CSV取込
    case 8: // 出席者一覧リスト
    case 9: // 初期値設定処理
    default:
        return {};
    }
}
