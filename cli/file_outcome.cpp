#include "cli/file_outcome.h"

#include <algorithm>

namespace brenvale::cli {

void PrintOutcomes(const std::vector<TFileOutcome>& outcomes, std::ostream& out) {
    for (const TFileOutcome& file : outcomes) {
        switch (file.Outcome) {
        case TOutcome::Done:
            out << "Done: " << file.Source << " -> " << file.Output << '\n';
            break;
        case TOutcome::Fail:
            out << "Fail: " << file.Source << ": " << file.Reason << '\n';
            break;
        case TOutcome::Abort:
        case TOutcome::Pending:
            out << "Abort: " << file.Source << '\n';
            break;
        }
    }
}

bool AllDone(const std::vector<TFileOutcome>& outcomes) {
    return std::all_of(outcomes.begin(), outcomes.end(),
                       [](const TFileOutcome& file) { return file.Outcome == TOutcome::Done; });
}

}  // namespace brenvale::cli
