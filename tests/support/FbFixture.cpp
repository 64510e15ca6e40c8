#include "support/FbFixture.h"

#include "db/SqlScript.h"
#include "db/Statement.h"
#include "db/Transaction.h"

#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>
#include <stdexcept>

namespace fs = std::filesystem;

namespace testsupport {

namespace {

// Test programs started outside ctest use the build's root too. Runs before
// main, so before the client library reads its configuration.
const bool kRootSelected = [] {
#ifdef ZR_FBROOT
    if (!std::getenv("FIREBIRD") && fs::exists(fs::path(ZR_FBROOT) / "firebird.conf")) {
        ::setenv("FIREBIRD", ZR_FBROOT, 1);
        ::setenv("FIREBIRD_LOCK", (fs::path(ZR_FBROOT) / "lock").c_str(), 1);
    }
#endif
    return true;
}();

// Built templates per script folder, removed at program exit.
struct TemplateCache {
    std::mutex mu;
    std::unique_ptr<TempDir> dir;
    std::map<fs::path, fs::path> built;
    int next = 0;
};

TemplateCache& cache() {
    static TemplateCache c;
    return c;
}

fs::path templateFor(const fs::path& sqlDir) {
    TemplateCache& c = cache();
    std::lock_guard lock(c.mu);
    const fs::path key = fs::weakly_canonical(sqlDir);
    if (auto it = c.built.find(key); it != c.built.end()) return it->second;
    if (!c.dir) c.dir = std::make_unique<TempDir>();
    const fs::path file = c.dir->path() / ("template" + std::to_string(c.next++) + ".fdb");
    db::createDatabaseFromSql(file.string(), sqlDir, kFbUser, kFbPassword);
    c.built[key] = file;
    return file;
}

} // namespace

db::ConnectParams fbParams(const std::string& path) {
    db::ConnectParams p;
    p.database = path;
    p.user = kFbUser;
    p.password = kFbPassword;
    return p;
}

fs::path kitSqlDir(const std::string& name) { return fs::path(ZR_TEST_SQL_DIR) / name; }

fs::path testSqlDir(const std::string& relative) { return fs::path(ZR_TESTS_DIR) / relative; }

void makeDatabase(const fs::path& path, const fs::path& sqlDir) {
    (void)kRootSelected;
    const fs::path tmpl = templateFor(sqlDir);
    fs::create_directories(path.parent_path());
    fs::copy_file(tmpl, path, fs::copy_options::overwrite_existing);
}

std::string FbFixture::makeDb(const std::string& relative, const fs::path& sqlDir) {
    const fs::path p = dir_.path() / relative;
    makeDatabase(p, sqlDir);
    return p.string();
}

std::string FbFixture::makeSystemDb(const std::string& folder) {
    return makeDb(folder + "/tvaccdef.fdb", kitSqlDir("system"));
}

std::string FbFixture::makeDataSet(const std::string& folder) {
    return makeDb(folder + "/tvacc.fdb", kitSqlDir("data"));
}

std::string FbFixture::makeFileManDb(const std::string& folder) {
    return makeDb(folder + "/tvfileman.fdb", kitSqlDir("fileman"));
}

void FbFixture::exec(const std::string& dbPath, const std::string& script) {
    db::Attachment att(fbParams(dbPath));
    db::runSqlScript(att, script, "test script");
}

void FbFixture::insertRow(const std::string& dbPath, const std::string& table, const FbColumns& columns) {
    std::string names, values;
    for (std::size_t k = 0; k < columns.size(); ++k) {
        if (k) {
            names += ", ";
            values += ", ";
        }
        names += columns[k].first;
        values += ":P" + std::to_string(k);
    }
    db::Attachment att(fbParams(dbPath));
    db::Transaction tx(att);
    db::TxScope scope(tx);
    db::Statement q(tx, "INSERT INTO " + table + " (" + names + ") VALUES (" + values + ")");
    for (std::size_t k = 0; k < columns.size(); ++k) {
        const std::string p = "P" + std::to_string(k);
        if (columns[k].second) q.setString(p, *columns[k].second);
        else q.setNull(p);
    }
    q.execute();
    scope.commit();
}

std::string FbFixture::scalar(const std::string& dbPath, const std::string& sql) {
    db::Attachment att(fbParams(dbPath));
    db::Transaction tx(att);
    db::TxScope scope(tx);
    db::Statement q(tx, sql);
    q.execute();
    return q.fetch() ? q.asString(0) : std::string();
}

} // namespace testsupport
