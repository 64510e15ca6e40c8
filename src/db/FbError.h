#pragma once
// A failure reported by the database server or client library. Carries the
// server's status code (the 335544xxx / 336330xxx families), the SQLCODE
// and the message text (UTF-8). Error reporting reads these three.
#include <stdexcept>
#include <string>

namespace db {

class FbError : public std::runtime_error {
public:
    FbError(std::string message, int errorCode, int sqlCode)
        : std::runtime_error(message), errorCode_(errorCode), sqlCode_(sqlCode) {}

    // The server's status code (first non-zero gds code of the status vector).
    int errorCode() const noexcept { return errorCode_; }
    // The SQLCODE the client library derives from the status vector.
    int sqlCode() const noexcept { return sqlCode_; }
    std::string message() const { return what(); }

private:
    int errorCode_;
    int sqlCode_;
};

} // namespace db
