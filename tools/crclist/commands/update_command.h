// crclist update FILE [--disc DIR]... [--installed NAME=PATH]... [-o OUT]: the sizes and CRCs
// of a list's entries recomputed from the files, every other byte kept.
#pragma once

#include "tools/crclist/commands/subcommand.h"

namespace crclist {

Subcommand AddUpdateCommand(CLI::App& app);

}  // namespace crclist
