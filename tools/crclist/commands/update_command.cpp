#include "tools/crclist/commands/update_command.h"

#include <cstdio>
#include <memory>

#include "tools/crclist/authoring/put_list.h"
#include "tools/crclist/authoring/update_list.h"
#include "tools/crclist/commands/disc_option.h"
#include "tools/crclist/commands/installed_option.h"
#include "tools/crclist/commands/jobs_option.h"
#include "tools/crclist/text/console.h"
#include "tools/crclist/text/shown_text.h"

namespace crclist {
namespace {

struct UpdateOptions {
    std::string file;
    std::vector<std::string> discs;
    std::vector<std::string> installed;  // NAME=PATH
    std::string out;
    std::string jobs;
    bool force = false;
};

// Where the updated list goes: OUT, or FILE itself, which must then be a file to replace.
// The exit code when it cannot go there, else kExitOk.
int FindOutput(const UpdateOptions& options, ListOutput* output) {
    if (!options.out.empty()) {
        return TakeListOutput("update", options.out, options.force, output);
    }
    std::string problem;
    if (!FindListOutput(options.file, output, &problem)) {
        return UsageError("update", problem);
    }
    if (!output->Replaces()) {
        return UsageError("update", output->shown +
                                        " is not a file that can be rewritten in place: give "
                                        "-o OUT for the updated list");
    }
    return kExitOk;
}

// Tells the entries that no place was given for, so that a forgotten option is not taken for
// a list that is up to date.
void TellUnplaced(std::size_t count, const std::string& section, const std::string& remedy) {
    if (count > 0) {
        Tell("update", std::to_string(count) + " " + section +
                           (count == 1 ? " entry is" : " entries are") + " not updated: " + remedy);
    }
}

int RunUpdate(const UpdateOptions& options) {
    if (options.discs.empty() && options.installed.empty()) {
        return UsageError("update",
                          "nothing to update: give --disc DIR for the [CDFILES] entries, "
                          "--installed NAME=PATH for the [REG] entries, or both");
    }
    if (options.file == "-") {
        return UsageError("update",
                          "update rewrites a file: give the list's path, not - (standard input)");
    }
    std::vector<InstalledFile> installed;
    std::size_t jobs = 0;
    if (!TakeInstalledFiles("update", options.installed, &installed) ||
        !TakeJobs("update", options.jobs, &jobs)) {
        return kExitUsage;
    }
    ListReading reading;
    std::string error;
    if (!ReadList(options.file, &reading, &error)) {
        return UsageError("update", error);
    }
    const std::string shownFile = ShownSystemText(options.file);
    if (!reading.loaded) {
        return NothingWritten(
            "update", {"the program does not read " + shownFile + " in full: run crclist lint " +
                       shownFile + " to see why"});
    }
    if (!DiscsFitGroups(options.discs, reading.list.discGroups.size(), &error)) {
        return UsageError("update", error);
    }
    ListOutput output;
    if (const int code = FindOutput(options, &output); code != kExitOk) {
        return code;
    }
    OpenedDiscs discs;
    if (!discs.Open(options.discs, &error, jobs)) {
        return UsageError("update", error);
    }
    ListUpdate update;
    std::vector<std::string> problems;
    if (!UpdateList(reading, discs, installed, jobs, &update, &problems)) {
        return NothingWritten("update", problems);
    }
    if (!update.changed.empty() || !options.out.empty()) {
        if (ToldPut("update", PutList(output, update.bytes, update.expected, false)) != kExitOk) {
            return kExitFailed;
        }
    }
    TellUnplaced(update.unplacedDiscEntries, "[CDFILES]", "give --disc DIR for them");
    TellUnplaced(update.unplacedInstalledEntries, "[REG]", "give --installed NAME=PATH for each");
    std::string changes;
    for (const EntryUpdate& change : update.changed) {
        changes += DescribeChange(reading, shownFile, change) + "\n";
    }
    // A list written to standard output keeps it to itself.
    return WriteText(output.standardOutput ? stderr : stdout, changes) ? kExitOk : kExitFailed;
}

}  // namespace

Subcommand AddUpdateCommand(CLI::App& app) {
    auto options = std::make_shared<UpdateOptions>();
    CLI::App* parser = app.add_subcommand(
        "update",
        "Recompute the sizes and CRCs of FILE's entries from the files and keep every other "
        "byte; print one line for each changed entry. Exit 0 when done, 1 when the list cannot "
        "be updated or OUT exists without --force (nothing is written), 2 for wrong arguments, "
        "a list that cannot be read, or an OUT where no list can be written");
    parser->add_option("FILE", options->file, "the check list to update")->required();
    AddDiscOption(*parser, options->discs, "where the [CDFILES] entries are: ",
                  "; once for all sections, or once for each in order");
    parser->add_option("--installed", options->installed,
                       "NAME=PATH: the file of the [REG] entry NAME (repeatable)");
    parser->add_option("-o,--output", options->out,
                       "write the result here instead of replacing FILE (- for standard output)");
    parser->add_flag("--force", options->force, "replace OUT when it is a file that exists");
    AddJobsOption(*parser, options->jobs);
    return {parser, [options] { return RunUpdate(*options); }};
}

}  // namespace crclist
