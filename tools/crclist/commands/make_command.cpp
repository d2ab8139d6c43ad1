#include "tools/crclist/commands/make_command.h"

#include <cstdio>
#include <memory>

#include "tools/crclist/authoring/make_list.h"
#include "tools/crclist/authoring/put_list.h"
#include "tools/crclist/commands/disc_option.h"
#include "tools/crclist/commands/installed_option.h"
#include "tools/crclist/commands/jobs_option.h"

namespace crclist {
namespace {

struct MakeCommandOptions {
    MakeOptions make;
    std::vector<std::string> installed;  // NAME=PATH
    std::string jobs;
    bool force = false;
};

int RunMake(MakeCommandOptions& options, const CLI::Option* game) {
    MakeOptions& make = options.make;
    make.hasGame = game->count() > 0;
    if (make.prompts.size() != make.discs.size()) {
        return UsageError("make", "give one --prompt for each --disc (there are " +
                                      std::to_string(make.discs.size()) + " --disc and " +
                                      std::to_string(make.prompts.size()) +
                                      " --prompt): the program shows the k-th prompt before the "
                                      "k-th disc");
    }
    if (!TakeInstalledFiles("make", options.installed, &make.installed) ||
        !TakeJobs("make", options.jobs, &make.jobs)) {
        return kExitUsage;
    }
    // A disc that is not there is told before anything is read.
    OpenedDiscs discs;
    std::string error;
    if (!discs.Open(make.discs, &error, make.jobs)) {
        return UsageError("make", error);
    }
    for (const std::string& warning : DiscWarnings(make.discs)) {
        Tell("make", "warning: " + warning);
    }
    ListOutput output;
    if (const int code = TakeListOutput("make", make.out, options.force, &output);
        code != kExitOk) {
        return code;
    }
    ListContent content;
    std::vector<std::string> problems;
    std::string bytes;
    std::string problem;
    if (!MakeContent(make, discs, &content, &problems) || !WriteList(content, &bytes, &problem)) {
        if (!problem.empty()) {
            problems.push_back(problem);
        }
        return NothingWritten("make", problems);
    }
    return ToldPut("make", PutList(output, bytes, ExpectedList(content), true));
}

}  // namespace

Subcommand AddMakeCommand(CLI::App& app) {
    auto options = std::make_shared<MakeCommandOptions>();
    MakeOptions& make = options->make;
    CLI::App* parser = app.add_subcommand(
        "make",
        "Write a new check list from the files of each disc and the installed files. "
        "Exit 0 when it is written, 1 when it is not (a file cannot be listed or read, OUT "
        "exists without --force), 2 for wrong arguments, a --disc that cannot be opened or an "
        "OUT where no list can be written");
    parser
        ->add_option("-o,--output", make.out,
                     "the list to write (- for standard output, in Shift-JIS); a link is "
                     "followed, a device written into")
        ->required();
    parser->add_option("--title", make.title, "the title: captions of windows and messages")
        ->required();
    CLI::Option* game = parser->add_option(
        "--game", make.game, "the registry key below HKEY_CURRENT_USER of the installed title");
    parser->add_option("--message", make.messages, "a line of the menu text (repeatable)");
    AddDiscOption(*parser, make.discs,
                  "where the files of one disc are, in disc order (repeatable): ", "");
    parser->add_option("--prompt", make.prompts,
                       "the prompt shown before the disc of the same place; a line feed "
                       "separates its lines (one for each --disc)");
    parser->add_option("--installed", options->installed,
                       "NAME=PATH: an installed file, found through registry value NAME "
                       "(repeatable)");
    parser->add_option("--exclude", make.excludes,
                       "leave out the disc files that match GLOB (* ? **; without / or \\ it "
                       "matches any name on the path; case ignored)");
    AddJobsOption(*parser, options->jobs);
    parser->add_flag("--force", options->force, "replace OUT when it is a file that exists");
    return {parser, [options, game] { return RunMake(*options, game); }};
}

}  // namespace crclist
