// crclist dump: what the program reads from a list, as one JSON document in UTF-8.
#pragma once

#include <string>

#include "tools/crclist/list/list_load.h"

namespace crclist {

// The document: whether it loaded, every field of the check list, and the complaints of its
// reading, laid out as text/json_layout.h lays out every document of the tool.
std::string DumpList(const ListLoad& load);

}  // namespace crclist
