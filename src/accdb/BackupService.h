#pragma once
// Whole-file operations on a database of the data module: backup and
// restore through the service manager or through the gbak tool, and a
// validation. All use the database user and password of SystemDef.
//
// A restore never destroys the database it replaces when it fails: it is
// restored into a temporary file beside the target, which takes the
// target's place only after the restore succeeded. A local backup file is
// written under a temporary name and takes its final name when complete.
#include <cstdint>
#include <string>

enum class TProtocol { Local, TCP };

// The name of the gbak program (a path, or a name looked up in PATH) and
// its log folder (empty: SystemDef.WinTempDir).
extern std::string GbakProgram;

bool BackupFDB(TProtocol Protocol, const std::string& Host, const std::string& DatabasePath,
               const std::string& BackupFile, std::uint8_t Direct);
bool RestoreFDB(TProtocol Protocol, const std::string& Host, const std::string& DatabasePath,
                const std::string& BackupFile, std::uint8_t KeepIndexes);
// Raises std::runtime_error when gbak cannot be started or reports an error.
bool BackupFDBGbak(TProtocol Protocol, const std::string& Host, const std::string& DatabasePath,
                   const std::string& BackupFile, std::uint8_t Direct);
bool RestoreFDBGbak(TProtocol Protocol, const std::string& Host, const std::string& DatabasePath,
                    const std::string& BackupFile, std::uint8_t KeepIndexes);
bool ValidateFDB(TProtocol Protocol, const std::string& Host, const std::string& DatabasePath);

// The path of the gbak log file.
std::string GbakLogPath();
