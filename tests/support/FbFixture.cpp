#include "support/FbFixture.h"

#include "db/SqlScript.h"
#include "db/Statement.h"
#include "db/Transaction.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>
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

// Built databases are kept in the build folder, named by a hash of their
// scripts, so that the many test processes ctest starts build each schema
// once; a changed script makes a new name.
std::string scriptsHash(const fs::path& sqlDir) {
    std::uint64_t h = 1469598103934665603ULL;
    auto mix = [&](const std::string& bytes) {
        for (unsigned char c : bytes) {
            h ^= c;
            h *= 1099511628211ULL;
        }
        h ^= 0xFF;
        h *= 1099511628211ULL;
    };
    for (const fs::path& f : db::sqlFilesIn(sqlDir)) {
        mix(f.filename().string());
        mix(readFileBytes(f));
    }
    char buf[32];
    std::snprintf(buf, sizeof buf, "%016llx", static_cast<unsigned long long>(h));
    return buf;
}

fs::path cacheDir() {
    if (const char* b = std::getenv("ZR_TEST_BINARY_DIR"); b && *b) return fs::path(b) / "fbtemplates";
#ifdef ZR_FBROOT
    return fs::path(ZR_FBROOT).parent_path() / "fbtemplates";
#else
    return fs::temp_directory_path() / "zr-fbtemplates";
#endif
}

fs::path templateFor(const fs::path& sqlDir) {
    static std::mutex mu;
    std::lock_guard lock(mu);
    const fs::path dir = cacheDir();
    fs::create_directories(dir);
    const fs::path file = dir / (sqlDir.filename().string() + "-" + scriptsHash(sqlDir) + ".fdb");
    if (fs::exists(file)) return file;
    // Build under a private name, then rename: concurrent processes each
    // build their own and the last rename wins with identical content.
    const fs::path tmp = dir / (file.stem().string() + ".tmp" + std::to_string(::getpid()) + ".fdb");
    std::error_code ec;
    fs::remove(tmp, ec);
    db::createDatabaseFromSql(tmp.string(), sqlDir, kFbUser, kFbPassword, false);
    fs::rename(tmp, file);
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
