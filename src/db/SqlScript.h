#pragma once
// Running isql-style SQL scripts into a database.
//
// Script files are UTF-8 and isql-compatible: statements end with ';' (or
// the terminator chosen with SET TERM, as procedure and trigger bodies need),
// comments (-- and /* */) and string literals are honoured. COMMIT and
// ROLLBACK act on the script's transaction; other SET commands of isql
// (SET SQL DIALECT, SET NAMES, SET AUTODDL, ...) are ignored. CREATE DATABASE
// and CONNECT are refused: the caller makes the database.
//
// Database builds: a folder of scripts "NN_name.sql" is run in file-name
// order into a fresh database whose default character set is SJIS_0208.
#include "db/Attachment.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace db {

struct ScriptStatement {
    std::string sql;  // without its terminator
    int line = 0;     // 1-based line where it starts
};

// Splits a script into statements; SET TERM commands are consumed here.
std::vector<ScriptStatement> splitSqlScript(std::string_view script);

// Runs a script's statements, each in its own transaction committed after it
// (DDL must be committed before the next statement can use it). Throws
// FbError with the file name and line prepended to the message.
void runSqlScript(Attachment& att, std::string_view script, const std::string& sourceName = "script");
void runSqlFile(Attachment& att, const std::filesystem::path& file);

// The *.sql files of a folder in name order.
std::vector<std::filesystem::path> sqlFilesIn(const std::filesystem::path& dir);

// Creates the database file at `path` (removing nothing: an existing file is
// an error) and runs every script of `sqlDir` into it. Page size 16384.
// forcedWrites as for Attachment::create.
void createDatabaseFromSql(const std::string& path, const std::filesystem::path& sqlDir, const std::string& user,
                           const std::string& password, bool forcedWrites = true);

} // namespace db
