// `tavlin` as users, desktop entries and key bindings run it. A desktop's Alt+Space binding
// runs `tavlin --toggle` at every press, and links run `tavlin URL`: when Tavlin already
// runs, this small program hands those to it over the instance's socket and ends, having
// loaded nothing but libc. Everything else (no argument, --help, --version, --bind-hot-key,
// any other option, or no instance answering) is the Qt program's: this one replaces
// itself with it (same process, same arguments), so exit statuses and messages are that
// program's own. The Qt program lives at TAVLIN_PROGRAM, relative to this launcher's
// folder, and gets this launcher's path in TAVLIN_LAUNCHER: the command it writes into
// key bindings and autostart entries.

#include "platform/linux/process/InstanceClient.h"
#include "platform/linux/process/LaunchArguments.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

#ifndef TAVLIN_PROGRAM
#error "TAVLIN_PROGRAM: the Qt program's path relative to the launcher's folder"
#endif

namespace {

using tavlin::platform::InstanceClient;
using tavlin::platform::LaunchArguments;

// As long as a start of the Qt program waits for the instance to take its arguments.
constexpr int forwardTimeoutMs = 5000;

// Hands the arguments to the running instance; false when there is none to hand them
// to, else this process's exit status in `status`.
bool handOver(const LaunchArguments& request, int& status) {
    char directory[PATH_MAX];
    char socketPath[PATH_MAX];
    if (!InstanceClient::existingDirectory(directory, sizeof directory)) return false;
    const int written = std::snprintf(socketPath, sizeof socketPath, "%s/instance.socket", directory);
    if (written < 0 || static_cast<std::size_t>(written) >= sizeof socketPath) return false;

    const std::size_t count = request.count();
    const char** arguments = static_cast<const char**>(std::malloc(count * sizeof(const char*)));
    std::size_t* lengths = static_cast<std::size_t*>(std::malloc(count * sizeof(std::size_t)));
    if (!arguments || !lengths) return false;
    for (std::size_t i = 0; i < count; ++i) {
        arguments[i] = request.at(i);
        lengths[i] = std::strlen(arguments[i]);
    }
    const auto delivery = InstanceClient::deliver(socketPath, arguments, lengths, count, forwardTimeoutMs);
    std::free(arguments);
    std::free(lengths);
    switch (delivery) {
    case InstanceClient::Delivery::noInstance: return false;
    case InstanceClient::Delivery::delivered: status = 0; return true;
    case InstanceClient::Delivery::tooLong:
        std::fprintf(stderr, "tavlin: too long: the arguments come to more than the %zu bytes the running instance takes\n",
                     InstanceClient::maxMessageBytes);
        break;
    case InstanceClient::Delivery::noAnswer:
        std::fputs("tavlin: the running instance did not answer\n", stderr);
        break;
    case InstanceClient::Delivery::untrusted:
        std::fprintf(stderr, "tavlin: %s is not this user's own; nothing handed over\n", socketPath);
        break;
    }
    status = 1;
    return true;
}

} // namespace

int main(int argc, char** argv) {
    const LaunchArguments request = LaunchArguments::read(argc - 1, argv + 1);
    // As the Qt program does: a lone --toggle goes over before anything else is looked
    // at; URLs only from a start that has a display, else the program says why not.
    const char* display = std::getenv("DISPLAY");
    const bool loneToggle = request.toggle() && request.urlCount() == 0;
    int status = 0;
    if (request.forwardable() && (loneToggle || (display && *display)) && handOver(request, status)) return status;

    char self[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0) {
        std::fprintf(stderr, "tavlin: can't find the launcher's own path: %s\n", std::strerror(errno));
        return 1;
    }
    self[length] = '\0';
    char program[PATH_MAX];
    const char* slash = std::strrchr(self, '/');
    const int written = std::snprintf(program, sizeof program, "%.*s/%s", static_cast<int>(slash - self), self,
                                      TAVLIN_PROGRAM);
    if (written < 0 || static_cast<std::size_t>(written) >= sizeof program) {
        std::fputs("tavlin: the program's path is too long\n", stderr);
        return 1;
    }
    // The program's own argv[0] stays the command as typed (its usage names it so).
    if (setenv("TAVLIN_LAUNCHER", self, 1) != 0) return 1;
    execv(program, argv);
    std::fprintf(stderr, "tavlin: can't run %s: %s\n", program, std::strerror(errno));
    return 1;
}
