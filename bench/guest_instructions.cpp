#include "guest_instructions.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#ifdef __linux__
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace bench {

std::vector<std::uint64_t> readMarks(const std::string& path) {
    std::vector<std::uint64_t> marks;
    std::ifstream in(path);
    std::uint64_t count = 0;
    while (in >> count) marks.push_back(count);
    return marks;
}

#ifdef __linux__

namespace {

std::optional<std::string> onPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::stringstream folders(path ? path : "");
    for (std::string folder; std::getline(folders, folder, ':');) {
        const std::string candidate = (folder.empty() ? "." : folder) + "/" + program;
        if (access(candidate.c_str(), X_OK) == 0) return candidate;
    }
    return std::nullopt;
}

std::string ownPath() {
    char path[4096];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    return length > 0 ? std::string(path, static_cast<std::size_t>(length)) : std::string();
}

}  // namespace

GuestRun runCounted(const std::string& arguments) {
    GuestRun run;
    const std::optional<std::string> qemu = onPath("qemu-i386");
    const std::string plugin = VORLIX_INSTRUCTION_MARKS_PLUGIN;
    if (!qemu) {
        run.unavailableBecause = "qemu-i386 is not installed (Debian package qemu-user)";
        return run;
    }
    if (access(plugin.c_str(), R_OK) != 0) {
        run.unavailableBecause = "the counting plugin " + plugin + " has not been built";
        return run;
    }
    const std::string self = ownPath();
    char marks[] = "/tmp/vorlix-bench-marks-XXXXXX";
    const int fd = mkstemp(marks);
    if (self.empty() || fd < 0) {
        run.unavailableBecause = "cannot find this program or make a marks file";
        return run;
    }
    close(fd);

    const std::string command = "'" + *qemu + "' -plugin '" + plugin + ",marks=" + marks + "' '" +
                                self + "' " + arguments + " --guest-counts '" + marks + "'";
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[256];
        while (std::fgets(buffer, sizeof buffer, pipe)) run.output += buffer;
        const int status = pclose(pipe);
        run.available = true;
        run.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128;
    } else {
        run.unavailableBecause = "cannot start qemu-i386";
    }
    unlink(marks);
    return run;
}

#else

GuestRun runCounted(const std::string&) {
    return {false, "guest instructions are counted on Linux only", {}, 0};
}

#endif

}  // namespace bench
