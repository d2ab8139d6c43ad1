// The program's reader run by the tool: a list loaded as the program loads it, with the
// complaints that the program would show the player while reading it, and the program's
// lexer on a few bytes. The complaints are the message boxes of the reader, collected by the
// headless user interface that the tool links instead of showing them.
#pragma once

#include <string>
#include <vector>

#include "inf/check_list.h"
#include "inf/inf_observer.h"
#include "inf/token.h"

namespace crclist {

struct ListLoad {
    std::string path;  // in the system's encoding, as given
    CheckList list;
    bool loaded = false;                  // what LoadInfFile returned
    std::vector<std::string> complaints;  // the texts of its boxes (invalid bytes), Shift-JIS
    // Loaded, and without a complaint that the program would show the player.
    bool Clean() const { return loaded && complaints.empty(); }
};

// Loads the list at `path` with LoadInfFile, the program's own reading of a file.
ListLoad LoadList(const std::string& path);
// Loads a list that was read from `path` some other way (from a disc image, standard input)
// with LoadInfBytes, telling `observer` when one is given.
ListLoad LoadListBytes(const std::string& bytes, const std::string& path,
                       InfObserver* observer = nullptr);

// Loads the list at `source` (list_source.h: a path, or "-" for standard input) with
// LoadInfBytes. False, with what is wrong in `problem`, when it cannot be read at all.
bool LoadListSource(const std::string& source, ListLoad* load, std::string* problem);

// The tokens that the program's lexer reads from `bytes`, the end token last; none for no
// bytes. Its complaints about invalid tokens are not wanted here and are dropped.
std::vector<Token> LexTokens(const std::string& bytes);

}  // namespace crclist
