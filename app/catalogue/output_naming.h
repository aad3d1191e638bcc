// Names of output files: the source's name with the format's extension in the output folder,
// or with "-1", "-2", ... before the extension when that name is taken.
#pragma once

#include <functional>
#include <string>

namespace brenvale {

using TNameTaken = std::function<bool(const std::string& path)>;

// Any entry of that name, dangling links included: writing there would replace something.
bool PathTaken(const std::string& path);

// `path` with its extension replaced by `extension` (".flv") when that is free, otherwise
// the first free one of base-1.flv, base-2.flv, ...
std::string UniqueOutputName(const std::string& path, const std::string& extension,
                             const TNameTaken& taken = PathTaken);

// The output of `source` (surrounding blanks ignored) in `folder`. With `overwrite` an
// existing file of that name is replaced, except the source itself, which is never the output.
std::string OutputPathFor(const std::string& source, const std::string& folder, const std::string& extension,
                          bool overwrite, const TNameTaken& taken = PathTaken);

}  // namespace brenvale
