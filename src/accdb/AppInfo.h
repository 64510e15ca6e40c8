#pragma once
// The product identity read from "AppInfo.ini" beside the executable:
// product and folder names, the key-store key of the installation, database
// file names, menu texts and the maker's contact texts.
#include <string>

struct TAppInfoRec {
    // [Application]
    std::string OEM;               // distribution code; "SorvindData": distributor edition
    std::string Since;
    std::string RegKey;            // key of the maker's installed products
    std::string Vux;
    std::string VuxAlias;
    int VerMajorDiff = 0;
    int VerMinorDiff = 0;
    int VerRevDiff = 0;
    std::string VerTest;
    int RiredozaBlind = 0;
    // [Company]
    std::string CompanyName;
    std::string CompanyZipCode;
    std::string CompanyAddr;
    std::string CompanyTEL;
    std::string CompanyFAX;
    std::string CompanyMail;
    std::string CompanyURL;
    // [Dovoz] the accounting product
    std::string AppName;           // base name of the suite settings file
    std::string AppTitle;
    std::string AppTitle_CL;
    std::string DovozRegKey;
    std::string HomeDir;           // below the application-data and Documents folders
    std::string ShareDir;
    std::string ServerDir;
    std::string ServerTempDir;
    std::string DataDefFile;
    std::string DataFile;
    std::string DataBackupFile;
    std::string DataInitFile;      // format with one integer ("acc%d.gbk")
    std::string DataIniFile;
    int DataListCnt = 0;
    // [ZUzidu] the e-book application
    std::string ZUziduAppTitle;
    std::string ZUziduDataDir;
    std::string ZUziduWriteDirFmt; // format with one integer ("tvq%.2dcd")
    // [Mirdova] the analysis service
    std::string MirdovaAppTitle;
    std::string MirdovaRegKey;
    std::string MirdovaHomeDir;
    // [Riredoza] the cash-book product
    std::string RiredozaAppTitle;
    std::string RiredozaRegKey;
    std::string RiredozaDataDir;
    std::string RiredozaDataBackupFile;
    // [Menu]
    std::string MenuDataCon;
    std::string MenuDataCon01;
    std::string MenuDataCon02;
    std::string MenuDataCon03;
    std::string MenuDataConVux01;
    std::string MenuDataConVux02;
    // [Application] server hosts
    std::string WebMirdovaServer;
    std::string NevrisaServer;
};

extern TAppInfoRec AppInfo;

// Reads <folder of ExeName>/AppInfo.ini into Rec. 1 read; 0 no such file
// (Rec unchanged); -1 [Application] OEM empty or missing (Rec := built-in
// values); -10 the file could not be read (Rec partly filled). Never raises.
// Folder values (HomeDir, ServerDir, ServerTempDir, Mirdova HomeDir) are
// handed back with '/' between their parts.
int LoadAppInfo(const std::string& ExeName, TAppInfoRec& Rec);
// Puts the built-in values into every member.
void SetAppInfoDefault(TAppInfoRec& Rec);
