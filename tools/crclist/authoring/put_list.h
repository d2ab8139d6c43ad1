// Putting a list that crclist wrote in place: first read back with the program's own reader,
// which must find exactly what was meant, and checked by lint; only then renamed into place,
// or written into standard output or a device. Nothing is left behind when any step fails.
#pragma once

#include <string>
#include <vector>

#include "inf/check_list.h"
#include "tools/crclist/authoring/atomic_file.h"

namespace crclist {

// Where a command's list goes: standard output, or the place at a path.
struct ListOutput {
    std::string shown;  // how findings and messages name it, in UTF-8
    bool standardOutput = false;
    OutputPlace place;  // without standardOutput

    // Whether putting the list there replaces a file, which a command does only when told.
    bool Replaces() const { return !standardOutput && place.kind == OutputPlace::Kind::kFile; }
};

// Where `out` ("-": standard output) puts a list. False, with what is wrong and what to do in
// `problem` (UTF-8), when no list can be written there.
bool FindListOutput(const std::string& out, ListOutput* output, std::string* problem);

struct PutOutcome {
    bool put = false;
    std::vector<std::string> findings;  // lint's, one line each, in UTF-8
    std::string problem;                // why it was not put in place, in UTF-8
};

// Writes `bytes` to `output`; a file there is replaced (the caller has asked whether it may).
// `expected` is what the program must read from it. With `lint`, lint's findings are given
// under the output's name, and an error among them stops the write.
PutOutcome PutList(const ListOutput& output, const std::string& bytes, const CheckList& expected,
                   bool lint);

}  // namespace crclist
