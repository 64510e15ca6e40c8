#include "db/Service.h"

#include "db/FbApi.h"
#include "db/Statement.h"
#include "db/Transaction.h"

#include <ibase.h>

#include <cstring>

using namespace Firebird;

namespace db {

namespace {

class Spb {
public:
    explicit Spb(unsigned kind) {
        Status st;
        b_ = fbCall([&] { return util()->getXpbBuilder(&st, kind, nullptr, 0); });
    }
    ~Spb() { b_->dispose(); }
    Spb(const Spb&) = delete;
    Spb& operator=(const Spb&) = delete;
    void tag(unsigned char t) {
        Status st;
        fbCall([&] { b_->insertTag(&st, t); });
    }
    void str(unsigned char t, const std::string& v) {
        Status st;
        fbCall([&] { b_->insertString(&st, t, v.c_str()); });
    }
    void num(unsigned char t, int v) {
        Status st;
        fbCall([&] { b_->insertInt(&st, t, v); });
    }
    const unsigned char* data() {
        Status st;
        return fbCall([&] { return b_->getBuffer(&st); });
    }
    unsigned length() {
        Status st;
        return fbCall([&] { return b_->getBufferLength(&st); });
    }

private:
    IXpbBuilder* b_ = nullptr;
};

unsigned short rdU16(const unsigned char* p) { return static_cast<unsigned short>(p[0] | (p[1] << 8)); }
unsigned rdU32(const unsigned char* p) {
    return static_cast<unsigned>(p[0]) | (static_cast<unsigned>(p[1]) << 8) | (static_cast<unsigned>(p[2]) << 16) |
           (static_cast<unsigned>(p[3]) << 24);
}

} // namespace

ServiceManager::ServiceManager(const std::string& host, const std::string& user, const std::string& password) {
    Spb spb(IXpbBuilder::SPB_ATTACH);
    if (!user.empty()) spb.str(isc_spb_user_name, user);
    if (!password.empty()) spb.str(isc_spb_password, password);
    spb.tag(isc_spb_utf8_filename);
    const std::string name = host.empty() ? "service_mgr" : host + ":service_mgr";
    Status st;
    svc_ = fbCall([&] { return provider()->attachServiceManager(&st, name.c_str(), spb.length(), spb.data()); });
}

ServiceManager::~ServiceManager() {
    if (!svc_) return;
    Status st;
    try {
        svc_->detach(&st);
    } catch (const FbException&) {
        svc_->release();
    }
}

void ServiceManager::start(const unsigned char* spb, unsigned length) {
    Status st;
    fbCall([&] { svc_->start(&st, length, spb); });
}

void ServiceManager::drain(const ServiceLineFn& onLine) {
    const unsigned char items[] = {isc_info_svc_line};
    std::vector<unsigned char> buf(16384);
    Status st;
    for (;;) {
        fbCall([&] { svc_->query(&st, 0, nullptr, sizeof items, items, static_cast<unsigned>(buf.size()), buf.data()); });
        bool more = false;
        const unsigned char* p = buf.data();
        const unsigned char* end = p + buf.size();
        while (p < end && *p != isc_info_end) {
            const unsigned char item = *p++;
            if (item == isc_info_svc_line) {
                const unsigned short len = rdU16(p);
                p += 2;
                if (len > 0) {
                    more = true;
                    if (onLine) onLine(serverTextToUtf8(std::string(reinterpret_cast<const char*>(p), len)));
                }
                p += len;
            } else if (item == isc_info_truncated || item == isc_info_svc_timeout || item == isc_info_data_not_ready) {
                more = true;
            } else {
                break;
            }
        }
        if (!more) break;
    }
}

void ServiceManager::backup(const std::string& database, const std::string& backupFile, const BackupOptions& o,
                            const ServiceLineFn& onLine) {
    Spb spb(IXpbBuilder::SPB_START);
    spb.tag(isc_action_svc_backup);
    spb.str(isc_spb_dbname, database);
    spb.str(isc_spb_bkp_file, backupFile);
    int opts = 0;
    if (o.ignoreLimbo) opts |= isc_spb_bkp_ignore_limbo;
    if (o.noGarbageCollect) opts |= isc_spb_bkp_no_garbage_collect;
    if (o.nonTransportable) opts |= isc_spb_bkp_non_transportable;
    spb.num(isc_spb_options, opts);
    if (o.verbose) spb.tag(isc_spb_verbose);
    start(spb.data(), spb.length());
    drain(onLine);
}

void ServiceManager::restore(const std::string& backupFile, const std::string& database, const RestoreOptions& o,
                             const ServiceLineFn& onLine) {
    Spb spb(IXpbBuilder::SPB_START);
    spb.tag(isc_action_svc_restore);
    spb.str(isc_spb_bkp_file, backupFile);
    spb.str(isc_spb_dbname, database);
    int opts = o.replace ? isc_spb_res_replace : isc_spb_res_create;
    if (o.deactivateIndexes) opts |= isc_spb_res_deactivate_idx;
    spb.num(isc_spb_options, opts);
    if (o.pageSize > 0) spb.num(isc_spb_res_page_size, o.pageSize);
    if (o.pageBuffers > 0) spb.num(isc_spb_res_buffers, o.pageBuffers);
    if (o.verbose) spb.tag(isc_spb_verbose);
    start(spb.data(), spb.length());
    drain(onLine);
}

std::vector<std::string> ServiceManager::validate(const std::string& database, const ValidateOptions& o) {
    Spb spb(IXpbBuilder::SPB_START);
    spb.tag(isc_action_svc_repair);
    spb.str(isc_spb_dbname, database);
    int opts = isc_spb_rpr_validate_db;
    if (o.full) opts |= isc_spb_rpr_full;
    if (o.ignoreChecksums) opts |= isc_spb_rpr_ignore_checksum;
    spb.num(isc_spb_options, opts);
    start(spb.data(), spb.length());
    std::vector<std::string> lines;
    drain([&](const std::string& l) { lines.push_back(l); });
    return lines;
}

std::vector<std::string> ServiceManager::attachedDatabases() {
    const unsigned char items[] = {isc_info_svc_svr_db_info};
    std::vector<unsigned char> buf(65536);
    Status st;
    fbCall([&] { svc_->query(&st, 0, nullptr, sizeof items, items, static_cast<unsigned>(buf.size()), buf.data()); });
    std::vector<std::string> dbs;
    const unsigned char* p = buf.data();
    const unsigned char* end = p + buf.size();
    if (p < end && *p == isc_info_svc_svr_db_info) {
        ++p;
        while (p < end && *p != isc_info_flag_end && *p != isc_info_end) {
            const unsigned char item = *p++;
            if (item == isc_spb_dbname) {
                const unsigned short len = rdU16(p);
                p += 2;
                dbs.push_back(serverTextToUtf8(std::string(reinterpret_cast<const char*>(p), len)));
                p += len;
            } else if (item == isc_spb_num_att || item == isc_spb_num_db) {
                rdU32(p);
                p += 4;
            } else {
                break;
            }
        }
    }
    return dbs;
}

std::vector<AttachmentInfo> otherAttachments(const ConnectParams& params) {
    Attachment att(params);
    Transaction tx(att);
    TxScope scope(tx);
    Statement q(tx,
                // The monitoring texts are Unicode: read their UTF-8 bytes as
                // they are, so that a process path outside SJIS_0208 cannot
                // fail the query.
                "SELECT MON$ATTACHMENT_ID, CAST(MON$USER AS VARCHAR(93) CHARACTER SET OCTETS), "
                "CAST(MON$REMOTE_PROCESS AS VARCHAR(765) CHARACTER SET OCTETS), MON$REMOTE_PID, "
                "CAST(MON$REMOTE_PROTOCOL AS VARCHAR(30) CHARACTER SET OCTETS) "
                "FROM MON$ATTACHMENTS "
                "WHERE MON$ATTACHMENT_ID <> CURRENT_CONNECTION AND COALESCE(MON$SYSTEM_FLAG, 0) = 0");
    q.execute();
    std::vector<AttachmentInfo> r;
    while (q.fetch()) {
        AttachmentInfo a;
        a.id = q.asInt64(0);
        a.user = q.asString(1);
        while (!a.user.empty() && a.user.back() == ' ') a.user.pop_back();
        a.process = q.asString(2);
        a.pid = q.asInt64(3);
        a.protocol = q.asString(4);
        r.push_back(std::move(a));
    }
    return r;
}

} // namespace db
