// The file list kept between runs of the program, in the user's state folder
// ($XDG_STATE_HOME/brenvale/file-list.json, ~/.local/state when the variable is not set): every
// change of the list is written at once, whole, under a temporary name that replaces the last
// file only when complete, so a kill at any moment leaves the last list or the new one.
// Window thread only.
#pragma once

#include <vector>

#include <QString>

#include "app/catalogue/source_row.h"

namespace brenvale {

struct TStoredRow {
    QString Path;
    bool Checked = true;
    // "Done", "Fail", "Abort", "Error" (the probe could not open the file) or empty: a row
    // that was converting when the program ended comes back with none.
    QString Outcome;
    QString Details;  // why it failed, or how the conversion went
    QString Output;  // the output its last job wrote; empty before
    bool Described = false;  // the probe opened the file and `Source` holds what it found
    TSourceRow Source;
};

QString StoredListPath();
// False when the list could not be written (the old one stays).
bool WriteStoredList(const std::vector<TStoredRow>& rows);
// Empty when there is no list or it cannot be read.
std::vector<TStoredRow> ReadStoredList();

}  // namespace brenvale
