#include "db/SqlScript.h"

#include "db/FbApi.h"
#include "db/Statement.h"
#include "db/Transaction.h"

#include <algorithm>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace db {

namespace {

std::string upperAscii(std::string_view s) {
    std::string r(s);
    for (char& c : r)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return r;
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
    return s;
}

// The statement's words with comments removed, upper-cased, for
// recognising isql's own commands.
std::vector<std::string> leadingWords(std::string_view sql, std::size_t max) {
    std::vector<std::string> words;
    std::size_t i = 0;
    while (i < sql.size() && words.size() < max) {
        const char c = sql[i];
        if (std::isspace(static_cast<unsigned char>(c))) ++i;
        else if (sql.substr(i, 2) == "--") {
            const auto nl = sql.find('\n', i);
            i = nl == std::string_view::npos ? sql.size() : nl + 1;
        } else if (sql.substr(i, 2) == "/*") {
            const auto end = sql.find("*/", i + 2);
            i = end == std::string_view::npos ? sql.size() : end + 2;
        } else {
            std::size_t j = i;
            while (j < sql.size() && !std::isspace(static_cast<unsigned char>(sql[j]))) ++j;
            words.push_back(upperAscii(sql.substr(i, j - i)));
            i = j;
        }
    }
    return words;
}

bool onlyComments(std::string_view sql) { return leadingWords(sql, 1).empty(); }

} // namespace

std::vector<ScriptStatement> splitSqlScript(std::string_view script) {
    std::vector<ScriptStatement> out;
    std::string term = ";";
    std::size_t i = 0, start = 0;
    int line = 1, startLine = 1;
    const std::size_t n = script.size();
    auto advance = [&](std::size_t to) {
        for (; i < to && i < n; ++i)
            if (script[i] == '\n') ++line;
    };
    while (i < n) {
        const char c = script[i];
        if (c == '\'' || c == '"') {
            advance(quotedEnd(script, i));
        } else if (script.substr(i, 2) == "--") {
            const auto nl = script.find('\n', i);
            advance(nl == std::string_view::npos ? n : nl);
        } else if (script.substr(i, 2) == "/*") {
            const auto end = script.find("*/", i + 2);
            advance(end == std::string_view::npos ? n : end + 2);
        } else if (script.substr(i, term.size()) == term) {
            const std::string_view body = script.substr(start, i - start);
            advance(i + term.size());
            const std::vector<std::string> words = leadingWords(body, 3);
            if (words.size() >= 2 && words[0] == "SET" && words[1] == "TERM") {
                // "SET TERM ^" ended by the old terminator: the new one is
                // the last word of the command.
                std::string_view rest = trim(body);
                const auto sp = rest.find_last_of(" \t\r\n");
                term = std::string(trim(rest.substr(sp + 1)));
            } else if (!onlyComments(body)) {
                // Lines of comments before the statement do not count.
                std::size_t k = 0;
                int l = startLine;
                std::string_view b = body;
                while (k < b.size() && std::isspace(static_cast<unsigned char>(b[k]))) {
                    if (b[k] == '\n') ++l;
                    ++k;
                }
                out.push_back(ScriptStatement{std::string(trim(body)), l});
            }
            start = i;
            startLine = line;
        } else {
            advance(i + 1);
        }
    }
    const std::string_view tail = script.substr(start);
    if (!onlyComments(tail)) out.push_back(ScriptStatement{std::string(trim(tail)), startLine});
    return out;
}

void runSqlScript(Attachment& att, std::string_view script, const std::string& sourceName) {
    Transaction tx(att);
    for (const ScriptStatement& s : splitSqlScript(script)) {
        const std::vector<std::string> w = leadingWords(s.sql, 3);
        try {
            if (w.empty()) continue;
            if (w[0] == "COMMIT") {
                if (tx.active()) tx.commit();
                continue;
            }
            if (w[0] == "ROLLBACK" && w.size() == 1) {
                if (tx.active()) tx.rollback();
                continue;
            }
            if (w[0] == "SET" && !(w.size() >= 2 && (w[1] == "GENERATOR" || w[1] == "STATISTICS")))
                continue; // isql settings
            if (w[0] == "CONNECT" || (w[0] == "CREATE" && w.size() >= 2 && (w[1] == "DATABASE" || w[1] == "SCHEMA")))
                throwLayerError(kErrDsqlError, "scripts must not create or connect databases");
            if (!tx.active()) tx.start();
            Statement st(tx, s.sql, false);
            st.execute();
            st.close();
            tx.commit();
        } catch (const FbError& e) {
            throw FbError(sourceName + " line " + std::to_string(s.line) + ": " + e.message(), e.errorCode(),
                          e.sqlCode());
        }
    }
    if (tx.active()) tx.commit();
}

void runSqlFile(Attachment& att, const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throwLayerError(kErrIoError, "cannot read " + file.string());
    std::ostringstream ss;
    ss << in.rdbuf();
    std::string text = ss.str();
    if (text.rfind("\xEF\xBB\xBF", 0) == 0) text.erase(0, 3); // editors' byte-order mark
    runSqlScript(att, text, file.filename().string());
}

std::vector<fs::path> sqlFilesIn(const fs::path& dir) {
    std::vector<fs::path> files;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(dir, ec))
        if (e.is_regular_file() && e.path().extension() == ".sql") files.push_back(e.path());
    std::sort(files.begin(), files.end());
    return files;
}

void createDatabaseFromSql(const std::string& path, const fs::path& sqlDir, const std::string& user,
                           const std::string& password, bool forcedWrites) {
    ConnectParams params;
    params.database = path;
    params.user = user;
    params.password = password;
    Attachment att;
    att.create(params, 16384, forcedWrites);
    for (const fs::path& f : sqlFilesIn(sqlDir)) runSqlFile(att, f);
}

} // namespace db
