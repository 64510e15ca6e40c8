#pragma once
// Starting a child program (the database command-line tools) and waiting for
// it. The child gets this process's environment plus the given variables;
// its standard output and error go to a file when one is named, else they
// are inherited.
#include <string>
#include <utility>
#include <vector>

namespace platform {

struct ProcessCommand {
    std::string program;                                   // a path, or a name looked up in PATH
    std::vector<std::string> args;                         // without the program itself
    std::vector<std::pair<std::string, std::string>> env;  // added or replaced variables
    std::string workingDir;                                // empty: this process's
    std::string outputFile;                                // empty: inherit stdout and stderr
};

class ChildProcess {
public:
    ChildProcess() = default;
    ~ChildProcess(); // waits for a child that is still running
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // False (with the reason) when the program could not be started.
    bool start(const ProcessCommand& command, std::string* error = nullptr);
    // True while the child runs; polls without blocking.
    bool running();
    // Blocks until the child ends; returns exitCode().
    int wait();
    // The exit status once ended: the exit code, or 128 + the signal number
    // when a signal ended it; -1 before that or when nothing was started.
    int exitCode() const { return exitCode_; }
    // Asks a running child to end (SIGTERM).
    void terminate();
    int pid() const { return pid_; }

private:
    void reap(int status);
    int pid_ = -1;
    int exitCode_ = -1;
};

// Starts the program and waits for it, pumping events every pollMs
// milliseconds (see AppEvents.h). Returns the exit status, or -1 when the
// program could not be started.
int runProcess(const ProcessCommand& command, std::string* error = nullptr, int pollMs = 50);

} // namespace platform
