#include "accdb/AppInfo.h"

#include <algorithm>
#include <filesystem>

#include "platform/IniFile.h"

TAppInfoRec AppInfo;

namespace {

std::string slashes(std::string s) {
    std::replace(s.begin(), s.end(), '\\', '/');
    return s;
}

} // namespace

void SetAppInfoDefault(TAppInfoRec& R) {
    R = TAppInfoRec{};
    R.OEM = "-";
    R.Since = "2009-2019";
    R.RegKey = "\\SOFTWARE\\BREVAN";
    R.Vux = "ＶｕＸキーステーション";
    R.VuxAlias = "ＶｕＸ";
    R.CompanyName = "brevan";
    R.CompanyZipCode = "000-0000";
    R.CompanyAddr = "";
    R.CompanyTEL = "00-0000-0000";
    R.CompanyFAX = "00-0000-0000";
    R.CompanyMail = "support@example.com";
    R.CompanyURL = "https://www.example.com/";
    R.AppName = "tvzaimu";
    R.AppTitle = "タヴリン財務";
    R.AppTitle_CL = "顧問先版";
    R.DovozRegKey = "TAVRINZAIMU";
    R.HomeDir = "brevan/tavrinzaimu";
    R.ShareDir = "tavrinzaimu";
    R.ServerDir = "/tavrinzaimu/data";
    R.ServerTempDir = "/tavrinzaimu/temp";
    R.DataDefFile = "tvaccdef.fdb";
    R.DataFile = "tvacc.fdb";
    R.DataBackupFile = "tvacc.fbk";
    R.DataInitFile = "acc%d.gbk";
    R.DataIniFile = "tvacc.ini";
    R.DataListCnt = 120;
    R.ZUziduAppTitle = "電子帳簿";
    R.ZUziduDataDir = "tvqview";
    R.ZUziduWriteDirFmt = "tvq%.2dcd";
    R.MirdovaAppTitle = "経営ミルダ";
    R.MirdovaRegKey = "MIRDOVA";
    R.MirdovaHomeDir = "brevan/tavrinzaimu";
    R.RiredozaAppTitle = "タヴリン現金出納帳";
    R.RiredozaRegKey = "RIREDOZA";
    R.RiredozaDataDir = "cb_data";
    R.RiredozaDataBackupFile = "tvcashbook.fbk";
    R.MenuDataCon = "データ通信";
    R.MenuDataCon01 = "データ送信";
    R.MenuDataCon02 = "データ受信";
    R.MenuDataCon03 = "通信設定";
    R.MenuDataConVux01 = "ＶｕＸ保存";
    R.MenuDataConVux02 = "ＶｕＸ復元";
    R.WebMirdovaServer = "mirdova.example.com";
    R.NevrisaServer = "nevrisa.example.com";
}

int LoadAppInfo(const std::string& ExeName, TAppInfoRec& Rec) {
    namespace fs = std::filesystem;
    std::string folder = fs::path(ExeName).parent_path().string();
    std::string file = (folder.empty() ? std::string(".") : folder) + "/AppInfo.ini";
    std::error_code ec;
    if (!fs::is_regular_file(file, ec)) return 0;
    try {
        platform::IniFile ini(file);
        auto s = [&](const char* section, const char* key) { return ini.readString(section, key, ""); };
        auto n = [&](const char* section, const char* key, int def = 0) { return ini.readInteger(section, key, def); };

        Rec.OEM = s("Application", "OEM");
        if (Rec.OEM.empty()) {
            SetAppInfoDefault(Rec);
            return -1;
        }
        Rec.Since = s("Application", "Since");
        Rec.RegKey = s("Application", "RegKey");
        Rec.Vux = s("Application", "Vux");
        Rec.VuxAlias = s("Application", "VuxAlias");
        Rec.VerMajorDiff = n("Application", "VerMajorDiff");
        Rec.VerMinorDiff = n("Application", "VerMinorDiff");
        Rec.VerRevDiff = n("Application", "VerRevDiff");
        Rec.VerTest = s("Application", "VerTest");
        Rec.RiredozaBlind = n("Application", "RiredozaBlind");
        Rec.WebMirdovaServer = s("Application", "WebMirdovaServer");
        Rec.NevrisaServer = s("Application", "NevrisaServer");

        Rec.CompanyName = s("Company", "Name");
        Rec.CompanyZipCode = s("Company", "ZipCode");
        Rec.CompanyAddr = s("Company", "Addr");
        Rec.CompanyTEL = s("Company", "TEL");
        Rec.CompanyFAX = s("Company", "FAX");
        Rec.CompanyMail = s("Company", "Mail");
        Rec.CompanyURL = s("Company", "URL");

        Rec.AppName = s("Dovoz", "AppName");
        Rec.AppTitle = s("Dovoz", "AppTitle");
        Rec.AppTitle_CL = s("Dovoz", "AppTitle_CL");
        Rec.DovozRegKey = s("Dovoz", "RegKey");
        Rec.HomeDir = slashes(s("Dovoz", "HomeDir"));
        Rec.ShareDir = s("Dovoz", "ShareDir");
        Rec.ServerDir = slashes(s("Dovoz", "ServerDir"));
        Rec.ServerTempDir = slashes(s("Dovoz", "ServerTempDir"));
        Rec.DataDefFile = s("Dovoz", "DataDefFile");
        Rec.DataFile = s("Dovoz", "DataFile");
        Rec.DataBackupFile = s("Dovoz", "DataBackupFile");
        Rec.DataInitFile = s("Dovoz", "DataInitFile");
        Rec.DataIniFile = s("Dovoz", "DataIniFile");
        Rec.DataListCnt = n("Dovoz", "DataListCnt", 120);

        Rec.ZUziduAppTitle = s("ZUzidu", "AppTitle");
        Rec.ZUziduDataDir = s("ZUzidu", "DataDir");
        Rec.ZUziduWriteDirFmt = s("ZUzidu", "WriteDirFmt");

        Rec.MirdovaAppTitle = s("Mirdova", "AppTitle");
        Rec.MirdovaRegKey = s("Mirdova", "RegKey");
        Rec.MirdovaHomeDir = slashes(s("Mirdova", "HomeDir"));

        Rec.RiredozaAppTitle = s("Riredoza", "AppTitle");
        Rec.RiredozaRegKey = s("Riredoza", "RegKey");
        Rec.RiredozaDataDir = s("Riredoza", "DataDir");
        Rec.RiredozaDataBackupFile = s("Riredoza", "DataBackupFile");

        Rec.MenuDataCon = s("Menu", "DataCon");
        Rec.MenuDataCon01 = s("Menu", "DataCon01");
        Rec.MenuDataCon02 = s("Menu", "DataCon02");
        Rec.MenuDataCon03 = s("Menu", "DataCon03");
        Rec.MenuDataConVux01 = s("Menu", "DataConVux01");
        Rec.MenuDataConVux02 = s("Menu", "DataConVux02");
        return 1;
    } catch (...) {
        return -10;
    }
}
