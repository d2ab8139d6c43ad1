// What crclist make puts in a new list: the texts it is given and the files of each disc (a
// folder, or natively an image), every name and text in Shift-JIS, the discs' files in a
// fixed order.
#pragma once

#include <string>
#include <vector>

#include "tools/crclist/authoring/entry_digest.h"
#include "tools/crclist/discs/disc_reader.h"
#include "tools/crclist/list/compose_list.h"

namespace crclist {

// The options of crclist make, every text in the system's encoding.
struct MakeOptions {
    std::string out;  // "-": standard output
    std::string title;
    bool hasGame = false;
    std::string game;
    std::vector<std::string> messages;
    std::vector<std::string> discs;    // where each disc is: a folder or an image
    std::vector<std::string> prompts;  // one for each disc; a line feed separates lines
    std::vector<InstalledFile> installed;
    std::vector<std::string> excludes;
    std::size_t jobs = 0;  // at most this many threads read; 0: as many as suit the medium
};

// Fills `content` from the options and the files, the k-th disc read from the reader that
// `discs` opened for options.discs[k]. False, with one problem a culprit (in UTF-8), when a
// text or name has no Shift-JIS form, a name is not valid in the system's encoding, holds a
// backslash or is one that Windows cannot hold (list/name_form.h), or a file cannot be read or
// is over 2147483647 bytes. The number of prompts and discs is the caller's to check.
//
// The files of a disc are listed in the byte order of their Shift-JIS names, folder by
// folder: the names of a folder in byte order, each folder's files at its place in that
// order. So "A.DAT" < "DATA\X.DAT" < "DATA.BIN" < "DATA2\Y" wherever the files lie, and a
// folder and an image made of it give the same list.
bool MakeContent(const MakeOptions& options, const OpenedDiscs& discs, ListContent* content,
                 std::vector<std::string>* problems);

// Warnings about discs that are likely a mistake: the same place given for two discs, which
// then list the same files. (A disc with no files is lint's empty-disc, told as the list is
// written.)
std::vector<std::string> DiscWarnings(const std::vector<std::string>& discs);

// The lines of a prompt: TEXT split at its line feeds, without an empty last line.
std::vector<std::string> PromptLines(const std::string& text);

}  // namespace crclist
