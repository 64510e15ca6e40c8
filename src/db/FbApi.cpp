#include "db/FbApi.h"

#include "db/EmbeddedRoot.h"
#include "platform/TextCodec.h"

#include <ibase.h>

#include <mutex>
#include <vector>

namespace db {

namespace {

bool isValidUtf8(const std::string& s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        std::size_t len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (len == 0 || i + len > s.size()) return false;
        for (std::size_t k = 1; k < len; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        i += len;
    }
    return true;
}

} // namespace

Firebird::IMaster* master() {
    static Firebird::IMaster* m = [] {
        // The client library reads its root at first use; make sure it is
        // ours before that happens.
        ensureEmbeddedRoot();
        return Firebird::fb_get_master_interface();
    }();
    return m;
}

Firebird::IUtil* util() { return master()->getUtilInterface(); }

Firebird::IProvider* provider() {
    static Firebird::IProvider* p = master()->getDispatcher();
    return p;
}

std::string serverTextToUtf8(const std::string& text) {
    if (isValidUtf8(text)) return text;
    std::string out;
    if (platform::tryFromCp932(text, out)) return out;
    out.clear();
    for (char c : text) out += static_cast<unsigned char>(c) < 0x80 ? c : '?';
    return out;
}

FbError makeFbError(const Firebird::IStatus* status) {
    const intptr_t* errors = status->getErrors();
    int code = 0;
    for (const intptr_t* p = errors; *p != isc_arg_end;) {
        if (*p == isc_arg_gds && p[1] != 0) {
            code = static_cast<int>(p[1]);
            break;
        }
        p += (*p == isc_arg_cstring) ? 3 : 2;
    }
    // isc_sqlcode walks an ISC_STATUS vector; intptr_t and ISC_STATUS are
    // the same width on this platform.
    static_assert(sizeof(intptr_t) == sizeof(ISC_STATUS));
    const int sqlCode = static_cast<int>(isc_sqlcode(reinterpret_cast<const ISC_STATUS*>(errors)));
    std::vector<char> buf(2048);
    util()->formatStatus(buf.data(), static_cast<unsigned>(buf.size()),
                         const_cast<Firebird::IStatus*>(status));
    return FbError(serverTextToUtf8(buf.data()), code, sqlCode);
}

void throwFbError(const Firebird::IStatus* status) { throw makeFbError(status); }

void throwLayerError(int gdsCode, const std::string& message) {
    int sqlCode = -901;
    if (gdsCode == kErrConversion) sqlCode = -413;
    else if (gdsCode == kErrDsqlError) sqlCode = -104;
    else if (gdsCode == kErrNoCursor) sqlCode = -504;
    throw FbError(message, gdsCode, sqlCode);
}

} // namespace db
