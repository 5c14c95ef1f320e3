#include "support/PrivateDesktop.h"

#include "support/GameFolder.h"

#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

namespace {

// The window manager announces itself on the root window within this time.
constexpr auto WINDOW_MANAGER_WAIT = std::chrono::seconds(10);

// Starts a program that ends when the test's process does; its output is dropped, except that
// the given descriptor stays open for it.
pid_t startProgram(std::vector<const char*> arguments, int keptDescriptor = -1)
{
    arguments.push_back(nullptr);
    const pid_t pid = fork();
    if (pid != 0)
        return pid;
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    for (int descriptor = 0; descriptor < 3; ++descriptor)
        if (descriptor != keptDescriptor)
            close(descriptor);
    execvp(arguments[0], const_cast<char* const*>(arguments.data()));
    _exit(127);
}

} // namespace

PrivateDesktop::PrivateDesktop()
{
    int pipeEnds[2] = {-1, -1};
    if (pipe(pipeEnds) != 0) {
        problem = "no pipe";
        return;
    }
    // Xvfb writes its display number to the descriptor once it takes connections.
    const std::string descriptor = std::to_string(pipeEnds[1]);
    if (startProgram({"Xvfb", "-displayfd", descriptor.c_str(), "-screen", "0", "1024x768x24", "-nolisten", "tcp",
                      "-ac"},
                     pipeEnds[1]) < 0) {
        problem = "Xvfb did not start";
        return;
    }
    close(pipeEnds[1]);
    std::string display;
    char letter = 0;
    while (read(pipeEnds[0], &letter, 1) == 1 && letter != '\n')
        display += letter;
    close(pipeEnds[0]);
    if (display.empty()) {
        problem = "Xvfb gave no display";
        return;
    }
    setenv("DISPLAY", (":" + display).c_str(), 1);
    if (startProgram({"openbox"}) < 0) {
        problem = "openbox did not start";
        return;
    }
    const auto giveUp = std::chrono::steady_clock::now() + WINDOW_MANAGER_WAIT;
    while (runShell("xprop -root _NET_SUPPORTING_WM_CHECK").output.find("window id") == std::string::npos) {
        if (std::chrono::steady_clock::now() > giveUp) {
            problem = "openbox did not take the screen (is it installed?)";
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}
