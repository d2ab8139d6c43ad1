// The --disc option of make, update and verify. Every place it names is opened by the disc
// readers (files/disc_reader.h), so what such a place may be is told here once for all three.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

namespace crclist {

// What a disc reader opens, as the help of --disc tells it.
constexpr char kDiscPlaces[] =
    "a folder, a drive such as E: on Windows, or (not on Windows) a disc image (.iso, "
    ".cue with its .bin, .ccd with its .img, .mdf) or a drive's device such as /dev/sr0";

// Adds --disc DIR (repeatable) to `parser`, into `discs`; its help is `before`, the kinds of
// place a disc reader opens, then `after`. Each --disc takes one place, so that a list named
// after it is never taken for another disc.
inline void AddDiscOption(CLI::App& parser, std::vector<std::string>& discs,
                          const std::string& before, const std::string& after) {
    parser.add_option("--disc", discs, before + kDiscPlaces + after)
        ->type_name("DIR")
        ->allow_extra_args(false);
}

// Whether the --disc places `discs` fit a list of `groups` disc groups: none, one for all of
// them, or one for each. False, with the reason in `error`, when they do not.
inline bool DiscsFitGroups(const std::vector<std::string>& discs, std::size_t groups,
                           std::string* error) {
    if (discs.size() <= 1 || discs.size() == groups) {
        return true;
    }
    *error = "the list has " + std::to_string(groups) +
             (groups == 1 ? " disc group" : " disc groups") +
             ": give --disc once for all of them, or once for each, in order (it was given " +
             std::to_string(discs.size()) + " times)";
    return false;
}

}  // namespace crclist
