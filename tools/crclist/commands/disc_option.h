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

// The place for disc group `group` (from 0) of a --disc given once for all groups or once for
// each of them.
inline const std::string& DiscOfGroup(const std::vector<std::string>& discs, std::size_t group) {
    return discs[discs.size() == 1 ? 0 : group];
}

}  // namespace crclist
