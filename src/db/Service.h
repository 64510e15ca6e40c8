#pragma once
// The server's service manager: backup, restore, validation and the list of
// attached databases.
//
// An empty host uses the embedded engine of this process ("service_mgr");
// otherwise "host:service_mgr" on a Firebird server. Database and backup
// paths are the server's paths, UTF-8.
//
// Note: the embedded service manager lists no attached databases (not even
// this process's); to see who has a local file attached, use
// otherAttachments() below (MON$ATTACHMENTS).
#include "db/Attachment.h"

#include <functional>
#include <string>
#include <vector>

namespace Firebird {
class IService;
}

namespace db {

struct BackupOptions {
    bool ignoreLimbo = true;
    bool noGarbageCollect = true;
    bool nonTransportable = true;
    bool verbose = true;
};

struct RestoreOptions {
    bool replace = true;          // replace an existing file (else create only)
    bool deactivateIndexes = false;
    int pageSize = 16384;         // 0: as in the backup
    int pageBuffers = 4096;       // 0: default
    bool verbose = true;
};

struct ValidateOptions {
    bool full = true;
    bool ignoreChecksums = true;
};

// One output line of a running service (UTF-8). Called as lines arrive.
using ServiceLineFn = std::function<void(const std::string& line)>;

class ServiceManager {
public:
    // Attaches to the service manager. Throws FbError.
    ServiceManager(const std::string& host, const std::string& user, const std::string& password);
    ~ServiceManager();
    ServiceManager(const ServiceManager&) = delete;
    ServiceManager& operator=(const ServiceManager&) = delete;

    void backup(const std::string& database, const std::string& backupFile, const BackupOptions& options = {},
                const ServiceLineFn& onLine = {});
    void restore(const std::string& backupFile, const std::string& database, const RestoreOptions& options = {},
                 const ServiceLineFn& onLine = {});
    // Returns the validation's output lines (blank lines included); no
    // non-blank line means nothing was found.
    std::vector<std::string> validate(const std::string& database, const ValidateOptions& options = {});
    // Paths of the databases a server has attached (empty for the embedded
    // engine, see above).
    std::vector<std::string> attachedDatabases();

private:
    void start(const unsigned char* spb, unsigned length);
    // Drains output lines; errors of the service arrive as FbError.
    void drain(const ServiceLineFn& onLine);

    Firebird::IService* svc_ = nullptr;
};

struct AttachmentInfo {
    long long id = 0;
    std::string user;
    std::string process;  // remote process name (UTF-8)
    long long pid = 0;    // remote process id
    std::string protocol; // remote protocol, empty for embedded
};

// Attaches to the database (connect params as for Attachment) and lists the
// user attachments other than the one made for the query (this process's
// other attachments included; the engine's own excluded). Embedded
// attachments carry no process name or id.
std::vector<AttachmentInfo> otherAttachments(const ConnectParams& params);

} // namespace db
