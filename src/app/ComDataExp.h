#pragma once
// The converter's model of its target: which tax-return application the
// intermediate file is for, its business prefix, format version and function
// id, the target's settings file Zorute.ini, and which accounting product
// made the data. Writes the SYSTEM and BASIC elements of the file.
#include "accdb/DateCore.h"

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

class TXmlSaveDoc;

class EDataExportError : public std::runtime_error {
public:
    EDataExportError(const std::string& message, std::string detail, int code)
        : std::runtime_error(message), Detail(std::move(detail)), Code(code) {}
    std::string Detail;
    int Code;
};

// Read access to the machine's product registry (local machine root).
// Keys are written with back slashes, as the product information file
// names them.
class ProductRegistry {
public:
    virtual ~ProductRegistry() = default;
    // Subkey names of a key in listing order; nullopt when the key is missing.
    virtual std::optional<std::vector<std::string>> Subkeys(const std::string& key) = 0;
    // A string value; nullopt when the key or value is missing.
    virtual std::optional<std::string> Value(const std::string& key, const std::string& name) = 0;
};

namespace platform {
class Registry;
}

// The product registry in the program's key store (local machine root).
class KeyStoreProductRegistry : public ProductRegistry {
public:
    KeyStoreProductRegistry();
    explicit KeyStoreProductRegistry(const std::string& folder);
    ~KeyStoreProductRegistry() override;
    std::optional<std::vector<std::string>> Subkeys(const std::string& key) override;
    std::optional<std::string> Value(const std::string& key, const std::string& name) override;

private:
    std::unique_ptr<platform::Registry> store_;
};

// Where the exporter stands: filled by the program's start-up from its own
// path, the product information file and the command line.
struct TComDataExportEnv {
    std::string ExePath;             // full path of the program
    std::string CommonAppDataDir;    // all-users application-data folder (else the program's folder)
    std::string HomeDir = "brevan/tavrinzaimu";
    std::string ApplicationRegKey = "\\SOFTWARE\\BREVAN"; // product information [Application] RegKey
    std::string DovozRegKey = "TavrinZaimu";              // product information [Dovoz] RegKey
    ProductRegistry* Registry = nullptr; // none: no product found
    // True when the program was started by a caller (the command-line
    // argument was given); only then is the caller's file name kept.
    bool StartedByCaller = false;

    // The program's own: its folder, the common application-data folder, the
    // name table's HomeDir and the product information's key names (when
    // loaded) and the key store. The registry object
    // is owned by the caller and must outlive the exporter.
    static TComDataExportEnv FromProgram(const std::string& exeName, ProductRegistry* registry, bool startedByCaller);
};

class TComDataExport {
public:
    TComDataExport(const TComDataExportEnv& env, int functionId, const std::string& fileName);
    virtual ~TComDataExport();
    TComDataExport(const TComDataExport&) = delete;
    TComDataExport& operator=(const TComDataExport&) = delete;

    void ReadTargetIni();
    void WriteTargetIni();
    void SetHeaderNode(TXmlSaveDoc& doc);
    void SetBasicNode(TXmlSaveDoc& doc);
    virtual void Export(TXmlSaveDoc& doc) = 0;

    std::string GetProductRegValue(int versionMajor, int sub, const std::string& valueName);
    // Path of Zorute.ini.
    std::string TargetIniPath() const;

    std::string ExeFileName;
    std::string ExeDir;
    std::string ExeDrive;
    std::string DataRoot;
    std::string IniFolder;
    std::string Caption;
    std::string ProgramTitle;
    std::string TargetKind;
    int GivenFunctionId = 0;
    std::string GyoumuPrefix;
    int FormatVersion = 0;
    int FunctionId = 0;
    std::string ConnectedProgramVer;
    std::string ProductName;
    std::string ProductVersion;
    std::string RequiredVersion;
    std::string KomonsakiName;
    int FiscalYearNo = 0;
    TDateTime FiscalStart = 0;
    TDateTime FiscalEnd = 0;
    int ClosingDay = 99;
    std::string IniData;
    std::string ExportFile;

protected:
    TComDataExportEnv env_;
};
