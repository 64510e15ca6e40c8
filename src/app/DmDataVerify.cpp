#include "app/DmDataVerify.h"

#include "accdb/AccRecord.h"
#include "accdb/BackupService.h"
#include "accdb/DataInfomation.h"
#include "accdb/DataModule.h"
#include "db/Statement.h"
#include "db/Transaction.h"

namespace {

constexpr std::uint8_t kDamagedStatus = 10;

} // namespace

bool TDmDataVerifyServices::ValidateFDB(const std::string& Host, const std::string& Path) {
    if (!DM)
        return true;
    return ::ValidateFDB(Host.empty() ? TProtocol::Local : TProtocol::TCP, Host, Path);
}

void TDmDataVerifyServices::MarkDataListDamaged(const std::string& DataFolder) {
    if (!DM)
        return;
    db::TxScope scope(DM->IBTransactionDEF);
    int rec = 0, sub = 0;
    DM->GetDataRecByPath(DataFolder, rec, sub);
    if (rec > 0 && sub == 0) {
        auto q = DM->IBSQLDEF("UPDATE DATALIST SET DATA_STATUS=1\nWHERE REC=:REC");
        q->setInt("REC", rec);
        q->execute();
    } else if (rec > 0) {
        auto q = DM->IBSQLDEF("UPDATE CHILD_DATALIST SET DATA_STATUS=1\nWHERE REC=:REC AND ROWNO=:ROWNO");
        q->setInt("REC", rec);
        q->setInt("ROWNO", sub);
        q->execute();
    }
    scope.commit();
}

void TDmDataVerifyServices::SetDamagedStatus(const std::string& DataFolder) {
    TDataInfomation info;
    info.ConnectKind = ConnectKind;
    info.SetDataStatus(DataFolder, kDamagedStatus);
}
