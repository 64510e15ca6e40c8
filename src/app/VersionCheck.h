#pragma once
// The version rule of the converter and the caller's command line.
#include <cstdint>
#include <string>
#include <vector>

// True when version V is at least R. Each text has one to three parts
// separated by '.', missing parts counting 0 (any other count makes the
// version unusable); non-numeric parts count 0. The parts compare as
// numbers, major first, and V must not be all zero.
bool VersionAtLeast(const std::string& V, const std::string& R);
// The major part of a version text (0 when it is not a version).
int VersionMajorOf(const std::string& V);

// The caller protocol: none, or exactly one argument of four comma-separated
// fields: the caller's window number, the message number, the wParam
// (decimal integers) and the intermediate file's path.
struct TCallerArgs {
    enum Kind { None, Caller, Invalid };
    Kind kind = None;
    std::int64_t Wnd = 0;
    std::uint32_t Msg = 0;
    std::int64_t Param = 0;
    std::string File;
};
TCallerArgs ParseCallerArgs(const std::vector<std::string>& args);
