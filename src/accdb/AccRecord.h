#pragma once
// Program-wide records and globals shared by every part of the suite: the
// settings record SystemDef, the framework hook variables through which the
// shared code reaches services of the hosting program, the mode bytes, the
// version records and the constant tables (names, labels, default colours).
//
// All of it is touched from the user-interface thread only; the backup
// worker reads SystemDef while the user-interface thread waits for it.
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "accdb/SysDefSettings.h"

class QFont;

// Days since 1899-12-30, the fraction being the time of day.
using TDateTime = double;

// A version as text and numbers ("14.0.0", 14, 0, 0).
struct TVersionRec {
    std::string Text;
    int Major = 0;
    int Minor = 0;
    int Release = 0;
    int Build = 0;      // never takes part in a comparison
};

// The program-wide settings record (one instance, SystemDef).
struct TSystemDef {
    int GroupId = 0;               // 10000 in stand-alone use
    std::string SuiteIniFile;      // the suite settings file
    std::string ClientName;        // logon user name; the client in terminal connection
    std::string WinSystemDir;      // the system folder
    std::string DocHomeDir;        // Documents folder + HomeDir
    std::string BaseDir;           // common application-data folder + HomeDir
    std::string ExeDir;            // folder of the executable
    std::string InstallDir;        // parent of ExeDir
    std::string PrintDir;          // InstallDir/print
    std::string HelpDir;           // InstallDir/help
    std::string SqlDir;            // InstallDir/sql
    std::string IniDir;            // BaseDir/ini
    std::string LogDir;            // BaseDir/log (error logs)
    std::string TempDir;           // BaseDir/temp
    std::string WinTempDir;        // the TEMP folder
    std::string ZUziduDir;         // WinTempDir + the e-book folder name
    std::string SysDir;            // folder of the system database
    std::string DataDir;           // folder of the open data set; empty when none
    std::string HostName;          // database server host; empty for stand-alone
    bool GoGlobal = false;         // terminal flag of the suite settings
    bool GroupMode = false;        // group numbers in use
    std::string UserName;          // database user (upper case)
    std::string Password;          // database password (lower case)
    std::string PcName;            // computer name
    int OpCode = 0;                // GroupId * 10000 + LoginCode
    int LoginCode = 0;
    std::string OpName;
    int JobLevel = 0;              // 9 = system user
    bool AllRights = false;
    std::string SisetuCode;        // the operator's default facility (" " when empty)
    bool MyNumberAdmin = false;
    bool MyNumberApprover = false;
    int SisetuKind = 0;            // that facility's business kind
    int SisetuColor = 0;           // that facility's colour
    std::string CurSisetuCode;     // facility currently worked on
    int SisetuMode = 0;
    std::string AppLabel;          // application label used in messages
    std::string AppLabel2;         // copy of AppLabel taken at start
    std::string AppVer;            // application version text of the error log
    int Reserved = 0;
    std::string DataVersionText;   // the open data database's version "%d.%d.%d"
    int WinMajorVersion = 0;
    QFont* Font1 = nullptr;        // copies of the main form's font (owned by the main form)
    QFont* Font2 = nullptr;
    int MenuHeight = 0;
    int FrameHeight = 0;
    int CaptionHeight = 0;
    int FrameExtra = 0;            // 2 * (FrameHeight - 4), 0 when FrameHeight <= 4
    TSysDefSettings Settings;      // the operator's SYSDEF / SYSREG values
    int DataDamaged = 0;           // 1 when the last data verification found damage
    std::string ServerTempPath;    // server temporary folder of the backup service
    std::array<int, 3> SysDbVersion{}; // system database version major, minor, release
    std::string ChosenPasName;     // data selection: PASNAME of the chosen row
    std::string DataPaths;         // data selection of a destination: "PATH1=..\rPATH2=.."
};

// FrameExtra for a sizing-frame height.
int FrameExtraOf(int frameHeight);

extern TSystemDef SystemDef;

// Hook variables of the framework. The hosting program assigns them when its
// main form is created and clears them when it is destroyed; a caller skips
// the call when the variable is empty.
using TMenuRequestHook = std::function<int(int Request, const std::string& Text)>;
using TMenuNotifyHook = std::function<void(int Code)>;
using TFormActivateHook = std::function<void(std::uint8_t Value, int Value2)>;
using TMenuStatusHook = std::function<void(bool Flag, const std::string& Text)>;
using TMenuDataHook =
    std::function<void(bool Flag, const std::string& Text, int Value, const std::vector<int>& More)>;
using TProcessLauncherHook =
    std::function<int(const std::string& Name, int Modal, const std::string& Params)>;
using TDataVerifyHook = std::function<void(const std::string& Host, const std::string& DataFolder,
                                           int Silent, int& Result)>;

extern TMenuRequestHook MenuRequestHook;
extern TMenuNotifyHook MenuNotifyHook;
extern TFormActivateHook FormActivateHook;
extern TMenuStatusHook MenuStatusHook;
extern TMenuDataHook MenuDataHook;
extern TProcessLauncherHook ProcessLauncherHook;
extern TDataVerifyHook DataVerifyHook;

// The menu request of a program without a menu shell: always 0.
int NullMenuRequest(int Request, const std::string& Text);

// Mode bytes.
extern std::uint8_t LogonMode;    // 0 operator logon, 1 e-book, 2 analysis service, 3 cash book
extern std::uint8_t ConnectKind;  // 0 stand-alone, 1 client/server, 2 terminal connection
extern std::uint8_t TerminalKind; // index into TerminalNames
extern std::uint8_t OemEdition;   // 1 for the distributor edition
extern std::uint8_t DbLostFlag;   // set once the database connection is lost

extern TVersionRec AccDataVer;
extern TVersionRec CashBookDataVer;
extern TVersionRec WebDumpAccVer;

// Process-wide date and time formats. Dates are written "yyyy/MM/dd" and
// times "hh:mm" whatever the locale says.
struct TFormatSettings {
    char DateSeparator = '/';
    char TimeSeparator = ':';
    std::string ShortDateFormat = "yyyy/MM/dd";
    std::string LongDateFormat = "yyyy年MM月dd日";
    std::string ShortTimeFormat = "hh:mm";
    std::string LongTimeFormat = "hh:mm:ss";
};
extern const TFormatSettings FormatSettings;

// Constant tables.
extern const std::array<const char*, 10> ExclusiveMessages;
extern const std::array<const char*, 4> TerminalNames;
extern const std::array<const char*, 13> FunctionKeyLabels;
extern const std::array<const char*, 3> TaxMarks;
extern const std::array<const char*, 3> TaxKindNames;
extern const char* const NoSelectionText;
extern const std::array<std::array<const char*, 2>, 2> SortMarks;
extern const std::array<const char*, 4> FontNames;
extern const std::array<const char*, 6> DataTypeLabels;
extern const std::array<const char*, 3> WholeCompanyLabels;
extern const std::array<const char*, 5> MedicalDeptLabels;
extern const char* const AllDeptLabel;
extern const std::array<std::array<const char*, 2>, 2> TaxLabels;
extern const std::array<const char*, 4> DebitCreditMarks;
extern const std::array<const char*, 2> DebitCreditNames;
extern const std::array<const char*, 6> BusinessKindNames;

// The product name table: built-in values, overwritten at start from the
// product information file.
extern std::string MakerName;
extern std::string MakerUrl;
extern std::string SinceYears;
extern std::string AppName;
extern std::string HomeDir;
extern std::string ShareDir;
extern std::string ServerDir;
extern std::string ServerTempDir;
extern std::string DataDefFile;
extern std::string DataFile;
extern std::string DataBackupFile;
extern std::string DataInitFile11;
extern std::string DataInitFile21;
extern std::string DataInitFile22;
extern std::string DataInitFile23;
extern std::string DataInitFile31;
extern std::string DataInitFile24;
extern std::string DataBackupFile2;
extern std::string DataIniFile;
extern std::string ZUziduDirName;
extern std::string MirdovaHomeDir;
extern std::string CashBookDirName;
extern std::string CashBookBackupFile;
extern int DataListCnt;

// Default colours (0x00BBGGRR): grid header, client and panel colours, then
// the three style colours of the edition (replaced in the distributor edition).
extern const std::array<std::uint32_t, 5> DefColors;
extern std::uint32_t DefStyleColor1;
extern std::uint32_t DefStyleColor2;
extern std::uint32_t DefStyleColor3;

// Puts every global of this unit back to its state at program start (hooks
// empty, mode bytes 0, records cleared, name table and colours built in).
// Tests use it to start from a clean slate.
void ResetAccRecordGlobals();
