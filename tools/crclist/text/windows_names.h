// A check list's disc names as Windows takes them: '\' (or '/') between folders, the
// Shift-JIS name in the system's encoding, and the letter case ignored.
#pragma once

#include <string>
#include <vector>

namespace crclist {

// The components of a listed name, in UTF-8, as Windows resolves a relative path: empty and
// "." components dropped, ".." taking back the one before it (never above the root), and
// trailing spaces and dots cut from each component. False when the name is not Shift-JIS.
bool SplitListedName(const std::string& sjisName, std::vector<std::string>* components);

// `utf8` with every lower-case letter that Shift-JIS can hold (Latin, full-width Latin,
// Greek, Cyrillic, Roman numerals) made upper-case: two names that Windows takes for the same
// compare equal after it. Bytes that are not UTF-8 pass through unchanged.
std::string FoldCase(const std::string& utf8);

// The key by which Windows tells registry value names apart: the Shift-JIS `name` with its
// letter case ignored. A name that is not valid Shift-JIS is compared by its bytes (their case
// ignored as well), never equal to one that is.
std::string RegistryValueKey(const std::string& name);

// The listed `sjisName` in UTF-8 with one '/' between folders, every byte that is not
// Shift-JIS replaced: where a file that was not found was looked for, in a reader's messages.
// As Windows reads the name behind a drive root, a run of separators is one, and one at
// either end goes: \DATA\\X\ is DATA/X.
std::string ListedNameAsPath(const std::string& sjisName);

}  // namespace crclist
