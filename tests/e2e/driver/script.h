// Scenario scripts: UTF-8 text, one step per line. A step is a verb followed by words and
// quoted texts; see tests/e2e/README.md for the language.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace e2e {

struct Arg {
    bool quoted = false;
    std::string utf8;   // as written, for reports (raw bytes shown as \xNN)
    std::string cp932;  // what the program must show, for byte comparisons
};

struct Step {
    int line = 0;
    std::string source;  // the line as written, for reports
    std::string verb;
    std::vector<Arg> args;
};

// Parses a whole script. ${NAME} is replaced by variables[NAME] before the line is split.
// On failure `error` names the line and what is wrong with it.
bool ParseScript(const std::string& utf8, const std::map<std::string, std::string>& variables,
                 std::vector<Step>* steps, std::string* error);

}  // namespace e2e
