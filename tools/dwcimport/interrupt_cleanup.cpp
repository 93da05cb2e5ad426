#include "tools/dwcimport/interrupt_cleanup.h"

#include <signal.h>
#include <unistd.h>

#include <array>
#include <csignal>
#include <cstring>

namespace tavik {
namespace {

constexpr std::array<int, 4> stopSignals = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

// What the handler removes. It may only call async-signal-safe functions:
// the path is kept in a plain buffer, set while the signals are held.
char watchedPath[4096];
volatile std::sig_atomic_t watching = 0;
struct sigaction previous[stopSignals.size()];

void removeAndStop(int signal)
{
    if (watching)
        ::unlink(watchedPath);
    ::signal(signal, SIG_DFL);
    ::raise(signal);
}

sigset_t stopSet()
{
    sigset_t set;
    sigemptyset(&set);
    for (int signal : stopSignals)
        sigaddset(&set, signal);
    return set;
}

} // namespace

InterruptCleanup::Held::Held()
{
    sigset_t set = stopSet();
    ::sigprocmask(SIG_BLOCK, &set, nullptr);
}

InterruptCleanup::Held::~Held()
{
    sigset_t set = stopSet();
    ::sigprocmask(SIG_UNBLOCK, &set, nullptr);
}

InterruptCleanup::InterruptCleanup()
{
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_handler = removeAndStop;
    sigemptyset(&action.sa_mask);
    for (size_t i = 0; i < stopSignals.size(); ++i) {
        // A signal the program was started to ignore (nohup) stays ignored.
        ::sigaction(stopSignals[i], nullptr, &previous[i]);
        if (previous[i].sa_handler != SIG_IGN)
            ::sigaction(stopSignals[i], &action, nullptr);
    }
}

InterruptCleanup::~InterruptCleanup()
{
    watch("");
    for (size_t i = 0; i < stopSignals.size(); ++i)
        ::sigaction(stopSignals[i], &previous[i], nullptr);
}

void InterruptCleanup::watch(const std::string& path)
{
    Held held;
    watching = 0;
    if (path.empty() || path.size() >= sizeof watchedPath)
        return;
    std::memcpy(watchedPath, path.c_str(), path.size() + 1);
    watching = 1;
}

} // namespace tavik
