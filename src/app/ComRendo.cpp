#include "app/ComRendo.h"

#include "app/hj19.h"

THojinZeiGenkaDataExport::THojinZeiGenkaDataExport(const TComDataExportEnv& env, int functionId,
                                                   const std::string& fileName)
    : TComDataExport(env, functionId, fileName) {}

void THojinZeiGenkaDataExport::CheckMakeResult(int result) {
    switch (result) {
    case 3: throw EDataExportError("対象の減価償却資産が登録されていません。", "", 16);
    case 5: throw EDataExportError("科目の集計処理に失敗しました。", "", 1);
    case 6: throw EDataExportError("決算書項目で空の印刷名称が存在します。", "", 2);
    case 16: throw EDataExportError("減価償却資産の取得に失敗しました。", "", 7);
    default: return;
    }
}

void THojinZeiGenkaDataExport::Export(TXmlSaveDoc& doc) {
    if (!reader_)
        throw EDataExportError("減価償却資産の取得に失敗しました。", "", 7);
    THojinZeiGenka19DataMake maker(*reader_);
    CheckMakeResult(maker.Make(doc));
}
