// The patterns of make --exclude, matched against a file's path relative to its disc folder.
// Letter case is ignored, as Windows ignores it. '*' is any run of characters within one
// folder or file name, '?' one character, and a part "**" any number of folders. A pattern
// with '/' or '\' is matched against the whole path; one without is matched against each
// name on the path, so that "*.bak" leaves out every .bak file and "CVS" every CVS folder.
#pragma once

#include <string>
#include <vector>

namespace crclist {

// `pattern` and `components` in UTF-8 (a byte that is not is compared as itself).
bool MatchesExclude(const std::string& pattern, const std::vector<std::string>& components);

}  // namespace crclist
