// The outcome of one input file, as the final report lists it.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace brenvale::cli {

enum class TOutcome { Pending, Done, Fail, Abort };

struct TFileOutcome {
    std::string Source;
    std::string Output;  // set once the output was added
    TOutcome Outcome = TOutcome::Pending;
    std::string Reason;  // for Fail
};

// "Done: SRC -> OUT", "Fail: SRC: reason" or "Abort: SRC", one line per file.
void PrintOutcomes(const std::vector<TFileOutcome>& outcomes, std::ostream& out);
bool AllDone(const std::vector<TFileOutcome>& outcomes);

}  // namespace brenvale::cli
