// The --jobs option of make, update and verify: how many threads read at most. "auto", the
// default, lets each disc's medium decide (discs/read_plan.h); 1 reads as one stream.
#pragma once

#include <cstddef>
#include <string>

#include <CLI/CLI.hpp>

#include "tools/crclist/commands/subcommand.h"

namespace crclist {

inline void AddJobsOption(CLI::App& parser, std::string& jobs) {
    parser
        .add_option(
            "--jobs", jobs,
            "how many threads read at most, or auto (the default): auto reads a drive or disk "
            "that seeks as one stream and anything else with every processor; 1 reads "
            "as one stream")
        ->type_name("N");
}

// The number that `text` gives: 0 for auto. False, with the usage error told in the name of
// `command`, for 0, a negative number or anything else.
inline bool TakeJobs(const std::string& command, const std::string& text, std::size_t* jobs) {
    *jobs = 0;
    if (text.empty() || text == "auto") {
        return true;
    }
    std::size_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9' || value > 9999) {
            value = 0;
            break;
        }
        value = value * 10 + static_cast<std::size_t>(c - '0');
    }
    if (value == 0) {
        UsageError(command, "--jobs takes a number of at least 1, or auto, not '" + text + "'");
        return false;
    }
    *jobs = value;
    return true;
}

}  // namespace crclist
