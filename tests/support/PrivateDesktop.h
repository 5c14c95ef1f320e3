#pragma once

#include <sys/types.h>

#include <string>

// An X server of the test's own (Xvfb, 1024 x 768) with Debian's openbox managing its windows:
// desktop fullscreen needs a window manager, and the suite's shared X server has none. Made
// before SDL starts, it points DISPLAY at the new server. Both programs end with the test's
// process (they are told to when their parent goes).
class PrivateDesktop {
public:
    PrivateDesktop();
    PrivateDesktop(const PrivateDesktop&) = delete;
    PrivateDesktop& operator=(const PrivateDesktop&) = delete;

    bool ok() const { return problem.empty(); }
    // Why the desktop could not be made.
    const std::string& failure() const { return problem; }

private:
    std::string problem;
};
