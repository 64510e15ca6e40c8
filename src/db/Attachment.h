#pragma once
// A connection to one database (RAII: detached when the object goes away).
//
// Database names: a plain path opens the file with the embedded engine in
// this process (no server); "host:path" connects to the Firebird server on
// host (host may carry a port as "host/port:path"). Paths are UTF-8.
// Attachments speak SJIS_0208 (CP932 on the wire) and dialect 3; this layer
// converts text to and from UTF-8.
#include <memory>
#include <string>
#include <vector>

namespace Firebird {
class IAttachment;
}

namespace db {

class Statement;
class Transaction;

struct ConnectParams {
    std::string database;   // path, or host:path
    std::string user;       // user_name
    std::string password;   // password
    std::string charset = "SJIS_0208"; // lc_ctype
    std::string role;       // optional sql_role_name
};

// "host:path" -> host, path; a plain path -> empty host. A single letter
// before the colon (a Windows drive) is not a host.
void splitDatabaseName(const std::string& name, std::string& host, std::string& path);
// host empty -> path; else host + ":" + path.
std::string joinDatabaseName(const std::string& host, const std::string& path);

// Transactions and statements made on an attachment may outlive it: they
// then report "database not attached" instead of touching freed handles.
class Attachment {
public:
    Attachment() = default;
    explicit Attachment(const ConnectParams& params) { connect(params); }
    ~Attachment();
    Attachment(const Attachment&) = delete;
    Attachment& operator=(const Attachment&) = delete;

    // Attaches; an open connection is closed first. Throws FbError.
    void connect(const ConnectParams& params);
    // Creates the database file (default character set SJIS_0208, dialect 3)
    // and stays attached to it. pageSize 0 takes the engine's default.
    // forcedWrites false leaves writes to the system's cache (fast, for
    // scratch databases such as test fixtures; a crash may corrupt them).
    void create(const ConnectParams& params, int pageSize = 0, bool forcedWrites = true);
    // Detaches; no-op when not connected. Active transactions of this
    // attachment are rolled back first; statements prepared on it are
    // prepared again when next executed on a new connection.
    void disconnect() noexcept;
    // Drops (deletes) the attached database; afterwards not connected.
    void dropDatabase();

    bool connected() const { return handle_ != nullptr; }
    const ConnectParams& params() const { return params_; }
    Firebird::IAttachment* handle() const { return handle_; }
    // The server's id of this attachment (CURRENT_CONNECTION).
    long long attachmentId();
    // Changes with every connect, so that statements notice a new connection.
    unsigned long long generation() const { return generation_; }

private:
    friend class Transaction;
    friend class Statement;
    void attachOrCreate(const ConnectParams& params, bool create, int pageSize, bool forcedWrites);

    Firebird::IAttachment* handle_ = nullptr;
    ConnectParams params_;
    unsigned long long generation_ = 0;
    // Live transactions and statements on this attachment, so that going
    // away leaves none of them pointing here.
    std::vector<Transaction*> transactions_;
    std::vector<Statement*> statements_;
};

} // namespace db
