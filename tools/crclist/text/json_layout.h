// The layout of crclist's JSON documents: an object of plain values on one line, every other
// object and every array one member a line, indented by two spaces. It keeps a check list
// readable and its diffs small, and the output of `crclist dump` stable for scripts that
// compare it byte for byte.
#pragma once

#include <string>

#include <nlohmann/json.hpp>

// `value` laid out as above, ending in a line feed. Strings must be UTF-8; a byte that is not
// is written as U+FFFD.
std::string LayoutJson(const nlohmann::ordered_json& value);
