#pragma once
// Reporting of database failures, general error boxes and the protected
// local file operations.
//
// IBErrorReport appends two lines per failure to <LogDir>/ErrFbAccess.log
// (CP932, CR LF, never truncated), rewrites <LogDir>/ErrFbAccess.txt with the
// latest report, shows the caller's message with the server code and its
// Japanese explanation, and asks the application to end on the two fatal
// codes (internal consistency check, lost connection). It never raises.
#include <functional>
#include <string>

#include "db/FbError.h"
#include "platform/Prompt.h"

// Server status codes that end the application.
constexpr int kFbBugCheck = 335544333;
constexpr int kFbNetworkLost = 335544721;

// Supplies the current data database's connection name (host:path) for the
// log's "DBName=" field; set by the data module. Empty: the field holds the
// host and ":" only.
extern std::function<std::string()> IBErrorDbNameHook;

// Reports a database error. Context names the failing operation
// ("TDM.GetSysIni"; log only); Text is the message for the user (no box when
// empty, except on the fatal codes). Reconnect does not change the report.
void IBErrorReport(const db::FbError& E, const std::string& Context, const std::string& Text, bool Reconnect);

// The Japanese explanation of a server code; " " for a code not in the table.
std::string GetFbErrorText(int IBErrorCode, int SQLCode);

// Error box with a main text and a detail block ("[詳細情報]"); nothing is
// shown when both are empty. DlgType is a platform::PromptKind.
void ErrorDetailMsg(const std::string& Text, const std::string& Detail, int DlgType = platform::pkError);
// Box showing each comma-separated part of Text on its own line.
void CsvLinesMsg(const std::string& Text, int DlgType = platform::pkError);

// Deletes (Op 3) a file or folder tree; Op 4 (rename) is accepted but has no
// target and fails. Refuses protected paths with a box. Undo is accepted;
// the items are deleted for good. Report: failures of the operation are
// shown. True when everything was deleted.
bool SafeShellDelete(const std::string& Path, int Op, bool Undo, bool Report);
// Copies (Op 2) or moves (Op 1) Src to Dst; refuses protected paths with a
// box. True when everything was done.
bool SafeShellCopy(const std::string& Src, const std::string& Dst, int Op);
// False for a path that must never be deleted, copied over or moved: empty
// or blank, the root, the system folders, the user's home folder and a
// drive root ("C:" or "C:\"). The path is normalised first (blanks around
// it, repeated or trailing '/', "." and ".." components, relative paths).
bool IsNotRootSysDir(const std::string& Path);
// The system folder.
std::string GetSystemDir();
// Copies one file, replacing an existing target.
bool CopyFileOver(const std::string& Src, const std::string& Dst);
