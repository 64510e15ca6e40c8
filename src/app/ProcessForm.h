#pragma once
// Launchable forms: the suite's shared forms do not call each other; a form
// that needs another processing screen asks the launcher for it by its
// registered name, and the hosting program answers the framework's other
// questions through the hook procedures below.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Anything the launcher can create. A form created for a modal run is freed
// by the launcher when Execute returns; a modeless one is handed over with
// ReleaseToSelf and must free itself when it closes (a Qt window sets
// WA_DeleteOnClose there). The default keeps it until the registry is
// cleared at program end.
class TProcessComponent {
public:
    virtual ~TProcessComponent() = default;
    virtual bool ReleaseToSelf() { return false; }
};

// The process interface of a launchable form.
class IProcessForm {
public:
    virtual ~IProcessForm() = default;
    // Modal 1 shows the form modally and returns its result; other values
    // show it modeless and return 1. -1 means the form was not started.
    virtual int Execute(std::uint8_t Modal) = 0;
    // Name=Value lines; each form reads the names it knows.
    virtual void SetParams(const std::vector<std::string>& Params) = 0;
};

// A form class: makes a new instance.
using TProcessFormClass = std::unique_ptr<TProcessComponent> (*)();

// Appends the class under Name; a class registered before is ignored
// together with its second name.
void RegisterProcessForm(TProcessFormClass FormClass, const std::string& Name);
// A new instance of the class registered under Name (letter case ignored);
// nullptr when no class has that name.
std::unique_ptr<TProcessComponent> FindProcessForm(const std::string& Name);
// The launcher (ProcessLauncherHook): -1 when the form was not started.
int ExecProcessForm(const std::string& Name, int Modal, const std::string& Params);
// Empties the registry and frees the modeless forms it still keeps.
void ClearProcessForms();

// True while a launch is under way (the hourglass of the launcher).
bool ProcessLaunchBusy();
// Sets the busy state (the hourglass shown by another long operation).
void SetProcessLaunchBusy(bool busy);

// The hosting program's data verification (DataVerifyHook): Result 1 valid,
// 0 damaged.
void DataVerifyProc(const std::string& Host, const std::string& DataFolder, int Silent, int& Result);

// What the data verification needs of the databases; the data module
// provides it once it stands. Without one every data set counts as valid.
class IDataVerifyServices {
public:
    virtual ~IDataVerifyServices() = default;
    // Validation of the database file (Host empty or "127.0.0.1": local).
    virtual bool ValidateFDB(const std::string& Host, const std::string& Path) = 0;
    // Sets DATA_STATUS=1 on the data-list row (or child row) of the folder;
    // nothing when the folder has no row.
    virtual void MarkDataListDamaged(const std::string& DataFolder) = 0;
    // Writes the damaged status (10) into the data set's status.
    virtual void SetDamagedStatus(const std::string& DataFolder) = 0;
};
void SetDataVerifyServices(IDataVerifyServices* services);

// The value of a Name=Value line (letter case of the name ignored); found
// tells whether the line exists.
std::string ProcessParam(const std::vector<std::string>& Params, const std::string& Name, bool* found = nullptr);
// Lines of a parameter text separated by CR, CR LF or LF.
std::vector<std::string> SplitParamLines(const std::string& Text);
