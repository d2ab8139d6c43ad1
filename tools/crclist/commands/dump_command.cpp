#include "tools/crclist/commands/dump_command.h"

#include <cstdio>
#include <memory>
#include <string>

#include "tools/crclist/list/dump_list.h"
#include "tools/crclist/text/console.h"

namespace crclist {

Subcommand AddDumpCommand(CLI::App& app) {
    auto file = std::make_shared<std::string>();
    CLI::App* parser = app.add_subcommand(
        "dump",
        "Print what the program reads from FILE as JSON (UTF-8); exit 0 whether or "
        "not it loads, 2 when FILE cannot be read");
    parser->add_option("FILE", *file, "the check list, such as crclist.INF; - reads standard input")
        ->required();
    return {parser, [file] {
                ListLoad load;
                std::string problem;
                if (!LoadListSource(*file, &load, &problem)) {
                    return UsageError("dump", problem);
                }
                return WriteText(stdout, DumpList(load)) ? kExitOk : kExitFailed;
            }};
}

}  // namespace crclist
