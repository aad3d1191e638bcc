#include "cli/interrupt_signal.h"

#include <atomic>
#include <csignal>

namespace brenvale::cli {
namespace {

std::atomic<int> interrupt_signal{0};
static_assert(std::atomic<int>::is_always_lock_free, "used from a signal handler");

void OnSignal(int signal_number) { interrupt_signal.store(signal_number); }

}  // namespace

void InstallInterruptHandlers() {
    struct sigaction action = {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

int InterruptSignal() { return interrupt_signal.load(); }

}  // namespace brenvale::cli
