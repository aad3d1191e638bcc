#include "bench/converter_jobs.h"

#include <atomic>
#include <cstdio>

#include "common/main_thread.h"

namespace brenvale::bench {

bool LoadQuietly(TConverter& converter) {
    if (!converter.LoadLibraries("")) {
        std::fprintf(stderr, "%s\n", converter.LastError().c_str());
        return false;
    }
    converter.SetLogLevel(TLogLevel::llQuiet);
    return true;
}

bool RunJobsToTheEnd(TConverter& converter, std::chrono::milliseconds interval,
                     const std::function<void()>& each_wait) {
    std::atomic<bool> ended{false};
    std::atomic<bool> finished{false};
    converter.SetOnTerminate([&](int job, bool job_finished, bool, const std::string&) {
        if (job >= 0) finished = job_finished;
        else ended = true;
    });
    converter.StartJobs(1);
    while (!ended) {
        WaitServingMainThread([&] { return ended.load(); }, interval);
        if (each_wait) each_wait();
    }
    return finished;
}

}  // namespace brenvale::bench
