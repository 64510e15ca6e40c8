#include "app/DmWizardData.h"

#include "accdb/AccInf.h"
#include "accdb/AccRecord.h"
#include "accdb/DataModule.h"
#include "accdb/LogonBox.h"
#include "app/ExportAccInf.h"
#include "app/hj19.h"

#include <QDialog>

namespace {

TDM* dm() { return DM.get(); }

} // namespace

bool TDmWizardData::AccDefConnected(const std::string& Host) { return dm() && dm()->fnAccDefConnected(Host); }

bool TDmWizardData::DefIsConnected() { return dm() && dm()->IBDatabaseDEF.connected(); }

void TDmWizardData::DefDisconnect() {
    if (!dm())
        return;
    dm()->IBTransactionDEF.rollbackNoThrow();
    dm()->IBDatabaseDEF.disconnect();
}

bool TDmWizardData::AccDatConnected(const std::string& Host, const std::string& DataDir, bool MarkInUse) {
    return dm() && dm()->fnAccDatConnected(Host, DataDir, MarkInUse ? 1 : 0);
}

bool TDmWizardData::DatIsConnected() { return dm() && dm()->IBDatabaseDAT.connected(); }

void TDmWizardData::AccDatDisconnect(const std::string& DataDir, int MarkFree, int Refresh) {
    if (dm())
        dm()->fnAccDatDisconnect(DataDir, MarkFree ? 1 : 0, Refresh ? 1 : 0);
}

TOpenDataInfo TDmWizardData::InfoFromAccInf() {
    TOpenDataInfo i;
    i.DataType = AccInf.DATATYPE;
    i.DataTypeName = AccInf.DataTypeName;
    i.CodeTypeName = AccInf.CodeTypeName;
    i.Shougou = AccInf.SHOUGOU;
    i.Nendo = AccInf.NENDO;
    i.Kishu = AccInf.KISHU;
    i.Kimatu = AccInf.KIMATU;
    i.Kaisi = AccInf.KAISI;
    i.Sime = AccInf.SIME;
    i.SdaiHasuu1 = AccInf.SDAI_HASUU1;
    i.Cloud = AccInf.CLOUD_LINE;
    return i;
}

bool TDmWizardData::GetAccInfo(TOpenDataInfo& Info) {
    if (!DatIsConnected() || !dm()->fnGetAccInfo())
        return false;
    Info = InfoFromAccInf();
    return true;
}

std::string TDmWizardData::GetDataBaseVer() {
    std::string v;
    if (dm())
        dm()->fnGetDataBaseVer(v);
    return v;
}

bool TDmWizardData::CheckDataPassword() { return dm() && dm()->CheckDataPassword(); }

bool TDmWizardData::ExistsOpeDefSisetu() { return dm() && dm()->fnGetExistsOpeDefSisetu(); }

bool TDmWizardData::HasAllSitenKengen(int OpCode) { return dm() && dm()->HasAllSitenKengen(OpCode); }

bool TDmWizardData::GetSysDef() { return dm() && dm()->fnGetSysDef(); }

void TDmWizardData::LoadGengo() {
    if (dm())
        dm()->LoadGengo();
}

void TDmWizardData::DeleteLogonInfo() {
    if (dm())
        dm()->DeleteLogonInfo();
}

std::unique_ptr<SisanReader> TDmWizardData::MakeSisanReader(const TOpenDataInfo&) {
    if (!dm())
        return nullptr;
    return std::make_unique<DbSisanReader>(dm()->IBTransactionDATSS, hj19::MakeContext(AccInf));
}

std::function<int(TLogonBox&)> TLogonBoxLogon::ModalRunner;

TLogonBoxLogon::TLogonBoxLogon() = default;
TLogonBoxLogon::~TLogonBoxLogon() = default;

bool TLogonBoxLogon::Prepare() {
    box_ = std::make_unique<TLogonBox>();
    if (box_->Initialized())
        return true;
    box_.reset();
    return false;
}

bool TLogonBoxLogon::Execute() {
    if (!box_ && !Prepare())
        return false;
    const int r = ModalRunner ? ModalRunner(*box_) : box_->exec();
    box_.reset();
    return r == QDialog::Accepted;
}
