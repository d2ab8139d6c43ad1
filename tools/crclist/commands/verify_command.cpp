#include "tools/crclist/commands/verify_command.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "tools/crclist/commands/disc_option.h"
#include "tools/crclist/commands/jobs_option.h"
#include "tools/crclist/discs/disc_reader.h"
#include "tools/crclist/list/list_load.h"
#include "tools/crclist/list/list_source.h"
#include "tools/crclist/text/encoding.h"
#include "tools/crclist/verify/installed_path.h"
#include "tools/crclist/verify/stop_signal.h"
#include "tools/crclist/verify/verify_report.h"
#include "tools/crclist/verify/verify_run.h"

namespace crclist {
namespace {

struct VerifyOptions {
    std::vector<std::string> discs;
    bool installed = false;
    bool json = false;
    bool quiet = false;
    bool verbose = false;
    std::string jobs;
    std::string file;
};

// The name that the program reads its list by when it is started from the disc.
constexpr char kListOnDisc[] = "crclist.INF";

// How many entries of `list` the options have verified.
std::size_t EntriesToCheck(const CheckList& list, const VerifyOptions& options) {
    std::size_t entries = options.installed ? list.installedFiles.size() : 0;
    if (!options.discs.empty()) {
        for (const DiscGroup& group : list.discGroups) {
            entries += group.size();
        }
    }
    return entries;
}

// That `load` did not load in full, and how to learn why.
std::string NotLoaded(const ListLoad& load) {
    const std::string shown = ShownSource(load.path);
    const std::string lint =
        load.path == kStandardInput ? "crclist lint - on the same input" : "crclist lint " + shown;
    return "the program does not load the list " + shown + " (run " + lint + " to see why)";
}

// Why a list gave nothing to verify.
std::string NothingToCheck(const ListLoad& load, const VerifyOptions& options) {
    if (!load.loaded) {
        return NotLoaded(load) + ", and no entry of it is read: nothing is verified";
    }
    std::string sections;
    if (!options.discs.empty()) {
        sections = "[CDFILES]";
    }
    if (options.installed) {
        sections += sections.empty() ? "[REG]" : " or [REG]";
    }
    return "the list " + ShownSource(load.path) + " has no " + sections +
           " entry to verify: nothing is verified";
}

int Verify(const VerifyOptions& options) {
    if (options.discs.empty() && !options.installed) {
        return UsageError("verify", "nothing to verify: give --disc DIR, --installed, or both");
    }
    std::size_t jobs = 0;
    if (!TakeJobs("verify", options.jobs, &jobs)) {
        return kExitUsage;
    }
    // Every disc is opened, even when the list has no group for it, so that a mistyped one
    // is told at once.
    OpenedDiscs readers;
    std::string error;
    if (!readers.Open(options.discs, &error, jobs)) {
        return UsageError("verify", error);
    }
    // Without a list, the one at the root of the first disc, as the program reads it when it
    // is started from there.
    ListLoad load;
    if (options.file.empty()) {
        std::string bytes;
        std::string where;
        if (readers.Empty() ||
            !readers.ReaderOfGroup(0).ReadSmallFile(kListOnDisc, &bytes, &where, &error)) {
            return UsageError(
                "verify", readers.Empty() ? "no list: give FILE, or --disc to read its crclist.INF"
                                          : "no list given, and " + error);
        }
        load = LoadListBytes(bytes, where);
    } else if (!LoadListSource(options.file, &load, &error)) {
        return UsageError("verify", error);
    }
    const CheckList& list = load.list;
    const std::size_t groups = list.discGroups.size();
    if (options.installed && !InstalledNamesReadable(list, &error)) {
        return UsageError("verify", error);
    }
    // Nothing verified is never reported as verified.
    if (EntriesToCheck(list, options) == 0) {
        return UsageError("verify", NothingToCheck(load, options));
    }
    if (!DiscsFitGroups(options.discs, groups, &error)) {
        return UsageError("verify", load.loaded ? error : NotLoaded(load) + "; " + error);
    }

    VerifyPlan plan;
    plan.installed = options.installed;
    plan.jobs = jobs;
    for (std::size_t group = 0; !readers.Empty() && group < groups; ++group) {
        plan.discs.push_back(&readers.ReaderOfGroup(group));
    }

    CatchStopSignals();
    ProgressLine progress(stderr, !options.quiet, ListedBytes(list, plan));
    std::unique_ptr<VerifyReport> report =
        options.json ? MakeJsonReport(stdout, load)
                     : MakeTextReport(stdout, load, options.verbose, progress);
    const RunTotals totals = RunVerification(list, plan, *report, progress, &StopSignalled);
    report->Finish(totals);
    if (std::ferror(stdout) || std::fflush(stdout) != 0) {
        Tell("verify", "the report could not be written");
        return kExitUsage;
    }
    if (totals.stopped) {
        return StopExitCode();
    }
    if (totals.tally.Failed() > 0) {
        return kExitFilesFailed;
    }
    return load.Clean() ? kExitOk : kExitListNotClean;
}

}  // namespace

Subcommand AddVerifyCommand(CLI::App& app) {
    auto options = std::make_shared<VerifyOptions>();
    CLI::App* parser = app.add_subcommand(
        "verify",
        "Verify every listed file of the discs and of the installation by size and CRC-32; "
        "exit 0 when all verified and the list loaded cleanly, 1 when a file failed, 2 for a "
        "wrong command line or a list that cannot be read or gives nothing to verify, 3 when "
        "every file verified but the list had faults, 130 or 143 when stopped by Ctrl-C or "
        "SIGTERM");
    AddDiscOption(*parser, options->discs,
                  "where the discs are: ", "; once for all disc groups, or once for each");
    parser->add_flag("--installed", options->installed,
                     "the installed files, at the paths in the title's registry key (Windows)");
    parser->add_flag("--json", options->json, "one JSON document (UTF-8) instead of text");
    parser->add_flag("--quiet", options->quiet, "no progress line on a terminal");
    parser->add_flag("--verbose", options->verbose,
                     "a line for every file, not only failures, and how each disc is read");
    AddJobsOption(*parser, options->jobs);
    parser->add_option("FILE", options->file,
                       "the check list, such as crclist.INF (- reads standard input); without it, "
                       "the crclist.INF at the root of the first --disc (its letter case ignored)");
    return {parser, [options] { return Verify(*options); }};
}

}  // namespace crclist
