#pragma once
// The program's start: the single-instance guard, the product information
// copied into the name table, and the start-up check that fills SystemDef
// from the machine's folders and the suite settings file.
#include <functional>
#include <stdexcept>
#include <string>

namespace platform {
class NamedGuard;
}

// The guards, checked in this order; each one that exists refuses the start.
extern const char* const kSuiteGuard;    // the suite's menu is running
extern const char* const kToolsGuard;    // the suite's tools are running
extern const char* const kProgramGuard;  // this program is running

// 0 when the program may start (own then holds the program's guard, unless
// its lock file could not be made); else 1, 2 or 3 for the first guard
// found, after its message was shown.
int CheckSingleInstance(platform::NamedGuard& own);
// The message of a refusal (1..3).
const char* SingleInstanceMessage(int which);

// The product information (AppInfo) into the name table.
void ApplyAppInfo();
// A one-integer format such as "acc%d.gbk" or "tvq%.2dcd" applied to n;
// anything else in the format is taken literally.
std::string FormatOneInt(const std::string& format, int n);

// A start-up failure; the message is what the user sees.
class EInitError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

extern const char* const kInitErrorText;

// Fills SystemDef (folders, names, suite settings). Throws EInitError.
// Font1 and Font2 are left to the window.
void InitSystemDef();
// Writes a fresh suite settings file with the defaults; false when it could
// not be written.
bool CreateDefaultSuiteIni();

// The start-up check: SystemDef, the title and the data module. makeDm
// creates the data module (may throw). On failure shows the error box and
// returns false.
bool InitApplication(const std::function<void()>& makeDm, std::string& initErrorText);
