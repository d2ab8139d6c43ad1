// Putting a list that crclist wrote in place: first read back with the program's own reader,
// which must find exactly what was meant, and checked by lint; only then renamed into place
// (or copied to standard output). Nothing is left behind when any step fails.
#pragma once

#include <string>
#include <vector>

#include "inf/check_list.h"

namespace crclist {

struct PutOutcome {
    bool put = false;
    std::vector<std::string> findings;  // lint's, one line each, in UTF-8
    std::string problem;                // why it was not put in place, in UTF-8
};

// Writes `bytes` to `out` ("-": standard output), replacing an existing file only with
// `replace`. `expected` is what the program must read from it. With `lint`, lint's findings
// are given under the name `out`, and an error among them stops the write.
PutOutcome PutList(const std::string& out, const std::string& bytes, const CheckList& expected,
                   bool replace, bool lint);

}  // namespace crclist
