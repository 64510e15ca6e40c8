#pragma once
// The demo installation in one folder:
//   <demo>/bin/AppInfo.ini           the product information beside the program
//   <demo>/registry/                 the key store with the product key
//   <demo>/common/brevan/tavrinzaimu the data root: suite settings file,
//                                    system database and three data sets
//   <demo>/docs                      the Documents folder
// The program runs on it with ZR_EXE_DIR, ZR_REGISTRY_DIR, ZR_COMMON_APPDATA
// and ZR_DOCUMENTS pointing at these folders (run.sh does). The demo
// operator logs on with the code and password below.
#include <string>

inline constexpr int kDemoOperatorCode = 10;
inline constexpr const char* kDemoOperatorPassword = "demo";

// Makes (or remakes) the installation; sqlFolder holds the schema kit
// (system/, data/). Throws on failure.
void MakeDemoInstallation(const std::string& demoFolder, const std::string& sqlFolder);
