#pragma once
// Access to the client library's object interface for the units of this
// folder, and the conversion of its failures into db::FbError.
#include "db/FbError.h"

#include <firebird/Interface.h>

#include <string>

namespace db {

Firebird::IMaster* master();
Firebird::IUtil* util();
// The dispatcher (the provider that picks the remote or the embedded engine
// by the connection string). Owned here; never released by callers.
Firebird::IProvider* provider();

// Builds an FbError from a failed status: first gds code, SQLCODE, text.
FbError makeFbError(const Firebird::IStatus* status);
[[noreturn]] void throwFbError(const Firebird::IStatus* status);
// An error raised by this layer itself (a misuse or a conversion), with a gds
// code of the client library's own families.
[[noreturn]] void throwLayerError(int gdsCode, const std::string& message);

// gds codes this layer raises itself.
inline constexpr int kErrConversion = 335544334; // conversion error from string
inline constexpr int kErrDsqlError = 335544569;  // dynamic SQL error
inline constexpr int kErrNoCursor = 335544577;   // no open cursor / not a select
inline constexpr int kErrIoError = 335544344;    // I/O error on a file

// A throwing status wrapper that disposes its status.
class Status {
public:
    Status() : wrapper_(master()->getStatus()) {}
    ~Status() { wrapper_.dispose(); }
    Status(const Status&) = delete;
    Status& operator=(const Status&) = delete;
    Firebird::ThrowStatusWrapper* operator&() { return &wrapper_; }
    Firebird::ThrowStatusWrapper* get() { return &wrapper_; }

private:
    Firebird::ThrowStatusWrapper wrapper_;
};

// Runs f, turning the client library's exception into FbError.
template <class F>
auto fbCall(F&& f) -> decltype(f()) {
    try {
        return f();
    } catch (const Firebird::FbException& e) {
        throwFbError(e.getStatus());
    }
}

// Text from the server (CP932 through our attachments, sometimes UTF-8 for
// file names) to UTF-8, never throwing.
std::string serverTextToUtf8(const std::string& text);

} // namespace db
