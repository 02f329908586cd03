// Helpers are spawned with posix_spawn and watched in short waits, so a stop request is seen
// within a few tens of milliseconds even while a helper searches a large image folder.
#include "posix/helper_process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <sstream>

#include "posix/descriptor_wait.h"
#include "posix/stop_signals.h"

extern char** environ;

namespace wrigglet::posix {

namespace {

constexpr std::chrono::milliseconds Watch{50};

bool Executable(const std::string& path) { return access(path.c_str(), X_OK) == 0; }

// The child starts with no blocked signals and the stop signals' default actions: the program
// keeps them blocked outside its waits, and a helper must still die of them.
pid_t Spawn(const std::vector<std::string>& arguments, int output) {
    std::vector<char*> argv;
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, output, STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigemptyset(&none);
    const sigset_t defaults = StopSignalSet();
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    pid_t child = -1;
    if (posix_spawn(&child, argv[0], &actions, &attributes, argv.data(), environ) != 0) child = -1;
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    return child;
}

// Reads until the helper closes its output; false when a stop came first.
bool ReadAll(int input, std::string& text, const StopRequest& stop) {
    char buffer[4096];
    for (;;) {
        if (StopDue(stop)) return false;
        pollfd watch{input, POLLIN, 0};
        if (WaitForDescriptors({&watch, 1}, std::chrono::steady_clock::now() + Watch, nullptr) <= 0) continue;
        const ssize_t got = read(input, buffer, sizeof buffer);
        if (got <= 0) return true;
        text.append(buffer, static_cast<size_t>(got));
    }
}

// The helper's exit status, or nothing when a stop came first (the helper is then killed).
std::optional<int> AwaitExit(pid_t child, bool stopped, const StopRequest& stop) {
    int status = 0;
    for (;;) {
        if (stopped || StopDue(stop)) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            return std::nullopt;
        }
        if (waitpid(child, &status, WNOHANG) == child) return status;
        usleep(static_cast<useconds_t>(std::chrono::microseconds(Watch).count()));
    }
}

}  // namespace

std::string FindHelper(const std::string& name, const std::vector<std::string>& moreFolders) {
    std::vector<std::string> folders;
    std::istringstream path(std::getenv("PATH") ? std::getenv("PATH") : "");
    for (std::string folder; std::getline(path, folder, ':');)
        if (!folder.empty()) folders.push_back(folder);
    folders.insert(folders.end(), moreFolders.begin(), moreFolders.end());
    for (const std::string& folder : folders)
        if (Executable(folder + "/" + name)) return folder + "/" + name;
    return "";
}

std::optional<std::string> RunHelper(const std::vector<std::string>& arguments, const StopRequest& stop) {
    int ends[2];
    if (arguments.empty() || pipe2(ends, O_CLOEXEC) != 0) return std::nullopt;
    const pid_t child = Spawn(arguments, ends[1]);
    close(ends[1]);
    if (child < 0) {
        close(ends[0]);
        return std::nullopt;
    }
    std::string text;
    const bool complete = ReadAll(ends[0], text, stop);
    close(ends[0]);
    const std::optional<int> status = AwaitExit(child, !complete, stop);
    if (!status || !WIFEXITED(*status) || WEXITSTATUS(*status) != 0) return std::nullopt;
    return text;
}

}  // namespace wrigglet::posix
