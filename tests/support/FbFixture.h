#pragma once
// Real embedded databases for tests, made in a temporary folder from the SQL
// kit (sql/system, sql/data, sql/fileman) or from any folder of scripts.
//
// A database is built once for each version of a script folder (kept in the
// build folder's fbtemplates) and then copied, so that each test starts from
// a fresh file cheaply. Fixture databases have forced writes off.
//
//   testsupport::FbFixture fb;
//   std::string data = fb.makeDataSet("0001");   // <tmp>/0001/tvacc.fdb
//   fb.insertRow(data, "KS_SISAN", {{"CODE", "1"}, {"NAME", "机"}});
#include "db/Attachment.h"
#include "support/TempDir.h"

#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace testsupport {

inline constexpr const char* kFbUser = "SYSDBA";
inline constexpr const char* kFbPassword = "masterkey";

// Connection parameters of a test database (SJIS_0208).
db::ConnectParams fbParams(const std::string& path);
// The schema folder of the SQL kit: sql/<name>.
std::filesystem::path kitSqlDir(const std::string& name);
// A folder of test scripts: tests/<relative>.
std::filesystem::path testSqlDir(const std::string& relative);

// Makes `path` a fresh database built from the scripts of `sqlDir` (an
// empty database when the folder has none).
void makeDatabase(const std::filesystem::path& path, const std::filesystem::path& sqlDir);

// One named column value for insertRow; nullopt is NULL. Values are texts
// the server converts to the column's type ("12.3456", "2024-01-31").
using FbColumns = std::vector<std::pair<std::string, std::optional<std::string>>>;

class FbFixture {
public:
    FbFixture() = default;

    const TempDir& dir() const { return dir_; }
    std::filesystem::path path(const std::string& relative) const { return dir_.path() / relative; }

    // <tmp>/system/tvaccdef.fdb from sql/system.
    std::string makeSystemDb(const std::string& folder = "system");
    // <tmp>/<folder>/tvacc.fdb from sql/data; returns the database path.
    std::string makeDataSet(const std::string& folder = "data");
    // <tmp>/system/tvfileman.fdb from sql/fileman.
    std::string makeFileManDb(const std::string& folder = "system");
    // <tmp>/<relative> from any script folder.
    std::string makeDb(const std::string& relative, const std::filesystem::path& sqlDir);

    // Runs an isql-style script (statements ended by ';', SET TERM allowed).
    static void exec(const std::string& dbPath, const std::string& script);
    // INSERT INTO table (columns...) VALUES (...).
    static void insertRow(const std::string& dbPath, const std::string& table, const FbColumns& columns);
    // First column of the first row as text ("" for NULL or no row).
    static std::string scalar(const std::string& dbPath, const std::string& sql);

private:
    TempDir dir_;
};

} // namespace testsupport
