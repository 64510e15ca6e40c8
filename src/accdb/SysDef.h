#pragma once
// Operator settings: the SYSDEF row and the typed SYSREG keys of the logged-on
// operator, loaded into SystemDef.Settings after logon and written back after
// a settings dialog. The loaders and writers are TDM methods (DataModule.h);
// this header holds the helpers around them.
#include <string>

#include "accdb/SysRegValue.h"

// Type words of the SYSREG store.
inline constexpr const char* kRegText = "文字";
inline constexpr const char* kRegBool = "論理";
inline constexpr const char* kRegDate = "日付";
inline constexpr const char* kRegInt = "整数";
inline constexpr const char* kRegMoney = "金額";

// What an unknown type word reads as.
inline constexpr const char* kRegTypeError = "Data Type Error";

// Text = "TRUE" (case-sensitive).
bool StrIsTrue(const std::string& Text);
void BoolToTrueFalse(bool Flag, std::string& Text);

// The stored text of a value by type word; false for an unknown type word
// (the value is then stored as NULL).
bool SysRegValueToText(const std::string& SType, const TSysRegValue& Value, std::string& Text);
// The value of a stored text by type word ("Data Type Error" for an unknown
// type word). An empty text reads as one blank first.
TSysRegValue SysRegTextToValue(const std::string& SType, const std::string& Text);

// Whether this edition is one of the distributor editions.
bool IsDistributorEdition();

// Packs/unpacks the SYSDEF bit sets into the settings' flags.
struct TSysDefSettings;
void UnpackSysDefBits(TSysDefSettings& S);
void PackSysDefBits(TSysDefSettings& S);
