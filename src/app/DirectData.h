#pragma once
// The wizard's database services straight on the Firebird layer: the
// system database of SystemDef.SysDir and the data database of a data
// folder, attached with the suite's credentials. The logon asks for the
// operator code and password and checks them with LOGONUSERTEST.
#include "app/LoginUsers.h"
#include "app/WizardServices.h"
#include "db/Attachment.h"
#include "db/Transaction.h"

#include <memory>

class TDirectDataModule : public IWizardDataModule {
public:
    TDirectDataModule();
    ~TDirectDataModule() override;

    bool AccDefConnected(const std::string& Host) override;
    bool DefIsConnected() override { return def_.connected(); }
    void DefDisconnect() override;
    bool AccDatConnected(const std::string& Host, const std::string& DataDir, bool MarkInUse) override;
    bool DatIsConnected() override { return dat_.connected(); }
    void AccDatDisconnect(const std::string& DataDir, int MarkFree, int Refresh) override;
    bool GetAccInfo(TOpenDataInfo& Info) override;
    std::string GetDataBaseVer() override;
    bool CheckDataPassword() override;
    bool ExistsOpeDefSisetu() override { return true; }
    bool HasAllSitenKengen(int) override { return true; }
    bool GetSysDef() override;
    void LoadGengo() override;
    void DeleteLogonInfo() override;
    std::unique_ptr<SisanReader> MakeSisanReader(const TOpenDataInfo& Info) override;

    // Logon through LOGONUSERTEST: 0 logged on, else the procedure's refusal
    // (-1 unknown operator or wrong password) or -100 on a database error.
    int Logon(int LoginCode, const std::string& Password);
    db::Transaction& DefTransaction() { return *defTx_; }

private:
    db::ConnectParams params(const std::string& host, const std::string& path) const;
    db::Attachment def_;
    db::Attachment dat_;
    std::unique_ptr<db::Transaction> defTx_;
    std::unique_ptr<db::Transaction> datTx_;
    std::string datPassword_;
};

// Asks for the operator code and password (through the prompt's input) and
// logs on with the data module; three tries.
class TPromptLogon : public ILogon {
public:
    explicit TPromptLogon(TDirectDataModule& dm) : dm_(dm) {}
    bool Prepare() override;
    bool Execute() override;

private:
    TDirectDataModule& dm_;
};
