#include "bench/resident_size.h"

#include <fstream>
#include <string>

namespace brenvale::bench {
namespace {

// A "Name: value kB" line of /proc/self/status; 0 when missing.
long StatusKilobytes(const std::string& name) {
    std::ifstream status("/proc/self/status");
    std::string key;
    long value = 0;
    while (status >> key) {
        if (key == name) {
            status >> value;
            return value;
        }
        status.ignore(1 << 12, '\n');
    }
    return 0;
}

}  // namespace

long ResidentKilobytes() { return StatusKilobytes("VmRSS:"); }

long PeakResidentKilobytes() { return StatusKilobytes("VmHWM:"); }

}  // namespace brenvale::bench
