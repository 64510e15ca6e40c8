#include "platform/Process.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/AppEvents.h"

extern char** environ;

namespace platform {

ChildProcess::~ChildProcess() {
    if (pid_ > 0 && exitCode_ < 0) wait();
}

bool ChildProcess::start(const ProcessCommand& command, std::string* error) {
    if (pid_ > 0 && exitCode_ < 0) {
        if (error) *error = "a child is still running";
        return false;
    }
    pid_ = -1;
    exitCode_ = -1;

    std::vector<std::string> argStore{command.program};
    argStore.insert(argStore.end(), command.args.begin(), command.args.end());
    std::vector<char*> argv;
    for (auto& a : argStore) argv.push_back(a.data());
    argv.push_back(nullptr);

    std::map<std::string, std::string> vars;
    std::vector<std::string> order;
    for (char** e = environ; e && *e; ++e) {
        std::string kv(*e);
        size_t eq = kv.find('=');
        if (eq == std::string::npos) continue;
        std::string k = kv.substr(0, eq);
        if (!vars.count(k)) order.push_back(k);
        vars[k] = kv.substr(eq + 1);
    }
    for (const auto& [k, v] : command.env) {
        if (!vars.count(k)) order.push_back(k);
        vars[k] = v;
    }
    std::vector<std::string> envStore;
    for (const auto& k : order) envStore.push_back(k + "=" + vars[k]);
    std::vector<char*> envp;
    for (auto& e : envStore) envp.push_back(e.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!command.outputFile.empty()) {
        posix_spawn_file_actions_addopen(&actions, 1, command.outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_adddup2(&actions, 1, 2);
    }
    if (!command.workingDir.empty()) posix_spawn_file_actions_addchdir_np(&actions, command.workingDir.c_str());

    pid_t pid = -1;
    int rc = command.program.find('/') == std::string::npos
                 ? posix_spawnp(&pid, command.program.c_str(), &actions, nullptr, argv.data(), envp.data())
                 : posix_spawn(&pid, command.program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        if (error) *error = command.program + ": " + std::strerror(rc);
        return false;
    }
    pid_ = pid;
    return true;
}

void ChildProcess::reap(int status) {
    if (WIFEXITED(status))
        exitCode_ = WEXITSTATUS(status);
    else if (WIFSIGNALED(status))
        exitCode_ = 128 + WTERMSIG(status);
    else
        exitCode_ = 255;
}

bool ChildProcess::running() {
    if (pid_ <= 0 || exitCode_ >= 0) return false;
    int status = 0;
    pid_t r = ::waitpid(pid_, &status, WNOHANG);
    if (r == 0) return true;
    if (r == pid_) reap(status);
    else exitCode_ = 255; // lost track of it
    return false;
}

int ChildProcess::wait() {
    if (pid_ <= 0 || exitCode_ >= 0) return exitCode_;
    int status = 0;
    pid_t r;
    do {
        r = ::waitpid(pid_, &status, 0);
    } while (r < 0 && errno == EINTR);
    if (r == pid_) reap(status);
    else exitCode_ = 255;
    return exitCode_;
}

void ChildProcess::terminate() {
    if (pid_ > 0 && exitCode_ < 0) ::kill(pid_, SIGTERM);
}

int runProcess(const ProcessCommand& command, std::string* error, int pollMs) {
    ChildProcess child;
    if (!child.start(command, error)) return -1;
    while (child.running()) waitMs(pollMs);
    return child.exitCode();
}

} // namespace platform
