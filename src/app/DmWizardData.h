#pragma once
// The wizard's services on the suite's data module (DM): the data set is
// connected, marked in use and checked through DM, and the logon is the
// suite's logon dialog.
#include "app/WizardServices.h"

#include <functional>
#include <memory>

class TLogonBox;

// IWizardDataModule on the one data module; DM must exist while it is used.
class TDmWizardData : public IWizardDataModule {
public:
    bool AccDefConnected(const std::string& Host) override;
    bool DefIsConnected() override;
    void DefDisconnect() override;
    bool AccDatConnected(const std::string& Host, const std::string& DataDir, bool MarkInUse) override;
    bool DatIsConnected() override;
    void AccDatDisconnect(const std::string& DataDir, int MarkFree, int Refresh) override;
    bool GetAccInfo(TOpenDataInfo& Info) override;
    std::string GetDataBaseVer() override;
    bool CheckDataPassword() override;
    bool ExistsOpeDefSisetu() override;
    bool HasAllSitenKengen(int OpCode) override;
    bool GetSysDef() override;
    void LoadGengo() override;
    void DeleteLogonInfo() override;
    std::unique_ptr<SisanReader> MakeSisanReader(const TOpenDataInfo& Info) override;

    // The wizard's view of the basic settings in AccInf.
    static TOpenDataInfo InfoFromAccInf();
};

// ILogon on the logon dialog.
class TLogonBoxLogon : public ILogon {
public:
    TLogonBoxLogon();
    ~TLogonBoxLogon() override;
    bool Prepare() override;
    bool Execute() override;

    // Runs the dialog modally and returns its result; the default is the
    // dialog's own modal loop. Tests replace it to drive the shown dialog.
    static std::function<int(TLogonBox&)> ModalRunner;

private:
    std::unique_ptr<TLogonBox> box_;
};
