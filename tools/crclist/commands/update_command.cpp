#include "tools/crclist/commands/update_command.h"

#include <cstdio>
#include <memory>

#include "tools/crclist/authoring/put_list.h"
#include "tools/crclist/authoring/update_list.h"
#include "tools/crclist/commands/disc_option.h"
#include "tools/crclist/commands/installed_option.h"
#include "tools/crclist/text/console.h"
#include "tools/crclist/text/shown_text.h"

namespace crclist {
namespace {

struct UpdateOptions {
    std::string file;
    std::vector<std::string> discs;
    std::vector<std::string> installed;  // NAME=PATH
    std::string out;
};

int RunUpdate(const UpdateOptions& options) {
    std::vector<InstalledFile> installed;
    if (!TakeInstalledFiles("update", options.installed, &installed)) {
        return kExitUsage;
    }
    ListReading reading;
    std::string error;
    if (!ReadList(options.file, &reading, &error)) {
        return UsageError("update", error);
    }
    if (!reading.loaded) {
        return NothingWritten("update",
                              {"the program does not read " + ShownSystemText(options.file) +
                               " in full (crclist lint says why)"});
    }
    if (!DiscsFitGroups(options.discs, reading.list.discGroups.size(), &error)) {
        return UsageError("update", error);
    }
    OpenedDiscs discs;
    if (!discs.Open(options.discs, &error)) {
        return UsageError("update", error);
    }
    ListUpdate update;
    std::vector<std::string> problems;
    if (!UpdateList(reading, discs, installed, &update, &problems)) {
        return NothingWritten("update", problems);
    }
    if (!update.changed.empty() || !options.out.empty()) {
        const std::string& target = options.out.empty() ? options.file : options.out;
        if (ToldPut("update", PutList(target, update.bytes, update.expected, true, false)) !=
            kExitOk) {
            return kExitFailed;
        }
    }
    const std::string shownFile = ShownSystemText(options.file);
    std::string changes;
    for (const EntryUpdate& change : update.changed) {
        changes += DescribeChange(reading, shownFile, change) + "\n";
    }
    return WriteText(stdout, changes) ? kExitOk : kExitFailed;
}

}  // namespace

Subcommand AddUpdateCommand(CLI::App& app) {
    auto options = std::make_shared<UpdateOptions>();
    CLI::App* parser = app.add_subcommand(
        "update",
        "Recompute the sizes and CRCs of FILE's entries from the files and keep every other "
        "byte; print one line for each changed entry. Exit 0 when done, 1 when a file is "
        "missing (nothing is written), 2 for wrong arguments");
    parser->add_option("FILE", options->file, "the check list to update")->required();
    AddDiscOption(*parser, options->discs, "where the [CDFILES] entries are: ",
                  "; once for all sections, or once for each in order");
    parser->add_option("--installed", options->installed,
                       "NAME=PATH: the file of the [REG] entry NAME (repeatable)");
    parser->add_option("-o,--output", options->out,
                       "write the result here instead of replacing FILE");
    return {parser, [options] { return RunUpdate(*options); }};
}

}  // namespace crclist
