#include "tools/crclist/authoring/make_list.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "tools/crclist/authoring/entry_digest.h"
#include "tools/crclist/authoring/exclude_glob.h"
#include "tools/crclist/list/name_form.h"
#include "tools/crclist/text/encoding.h"
#include "tools/crclist/text/path_join.h"
#include "tools/crclist/text/shown_text.h"
#include "tools/crclist/text/utf8.h"

namespace crclist {
namespace {

// Whether `code` is a mark that combines with the character before it, as in a decomposed
// name: the accents of Latin letters, and the voiced marks of kana (U+3099, U+309A).
bool IsCombiningMark(std::uint32_t code) {
    return (code >= 0x0300 && code <= 0x036F) || (code >= 0x1AB0 && code <= 0x1AFF) ||
           (code >= 0x1DC0 && code <= 0x1DFF) || (code >= 0x20D0 && code <= 0x20FF) ||
           code == 0x3099 || code == 0x309A || (code >= 0xFE20 && code <= 0xFE2F);
}

// `text` in Shift-JIS; else a problem that names `what` and the character to blame.
bool ToSjis(const std::string& text, const std::string& what, std::string* sjis,
            std::vector<std::string>* problems) {
    if (SystemToSjis(text, sjis)) {
        return true;
    }
    std::string utf8;
    if (!SystemToUtf8(text, &utf8)) {
        problems->push_back(what + " " + ShownSystemText(text) +
                            " is not valid in the system's encoding");
        return false;
    }
    for (std::size_t i = 0; i < utf8.size();) {
        const std::size_t length = DecodeUtf8(utf8, i).length;
        const std::string character = utf8.substr(i, length);
        std::string ignored;
        if (!Utf8ToSjis(character, &ignored)) {
            std::string problem = what;
            problem.append(" '").append(EscapedControls(utf8)).append("' holds ");
            if (IsCombiningMark(DecodeUtf8(utf8, i).code)) {
                problem +=
                    "a decomposed (NFD) character, as macOS writes names, which has no "
                    "Shift-JIS form: rename it in composed form (NFC), such as with "
                    "convmv --nfc";
            } else {
                problem += "'" + EscapedControls(character) + "', which has no Shift-JIS form";
            }
            problems->push_back(std::move(problem));
            return false;
        }
        i += length;
    }
    problems->push_back(what + " '" + EscapedControls(utf8) + "' has no Shift-JIS form");
    return false;
}

struct Listed {
    std::vector<std::string> sjis;  // the components in Shift-JIS, for the order
    std::string name;               // as listed: the components with '\\' between them
    const DiscFile* file;
};

// Whether one of the --exclude patterns (in UTF-8) leaves out the file or folder at
// `components`.
bool Excluded(const std::vector<std::string>& patterns,
              const std::vector<std::string>& components) {
    std::vector<std::string> names;
    names.reserve(components.size());
    for (const std::string& component : components) {
        names.push_back(SystemTextInUtf8(component));
    }
    for (const std::string& pattern : patterns) {
        if (MatchesExclude(pattern, names)) {
            return true;
        }
    }
    return false;
}

// The names of a file in Shift-JIS; false, with a problem, when a name cannot be listed as it
// is: a list that names a file Windows cannot hold (a device name, a '?', a space or a dot at
// the end) would lead the program to another file, to a device or to none.
bool ListedName(const DiscFile& file, Listed* listed, std::vector<std::string>* problems) {
    bool ok = true;
    const std::string shown = ShownSystemText(file.path);
    for (const std::string& component : file.components) {
        std::string sjis;
        ok = ToSjis(component, "the name of " + shown, &sjis, problems) && ok;
        std::string utf8;
        if (SystemToUtf8(component, &utf8) && utf8.find('\\') != std::string::npos) {
            problems->push_back(shown +
                                " holds a backslash in a name, which the program takes for a "
                                "folder separator");
            ok = false;
        }
        listed->sjis.push_back(sjis);
    }
    listed->name = JoinListedName(listed->sjis);
    std::string problem;
    if (ok && WindowsNameProblem(listed->name, &problem) != WindowsNameFault::kNone) {
        problems->push_back(shown + " " + problem);
        ok = false;
    }
    return ok;
}

bool MakeDisc(const MakeOptions& options, DiscReader& disc, DiscGroup* group,
              std::vector<std::string>* problems) {
    std::vector<DiscFile> files;
    std::vector<std::string> listing;
    // What is excluded is not even looked at, so that it may be a broken link.
    std::vector<std::string> patterns;
    for (const std::string& pattern : options.excludes) {
        patterns.push_back(SystemTextInUtf8(pattern));
    }
    const ListingFilter leaveOut = [&patterns](const std::vector<std::string>& components) {
        return Excluded(patterns, components);
    };
    const bool readable =
        disc.ListFiles(options.out == "-" ? std::string() : options.out,
                       options.excludes.empty() ? ListingFilter() : leaveOut, &files, &listing);
    for (const std::string& problem : listing) {
        problems->push_back(ShownSystemText(problem));  // they name files in the system's encoding
    }
    if (readable && !listing.empty()) {
        problems->push_back("--exclude GLOB leaves out what should not be listed, unseen");
    }
    if (!readable) {
        return false;
    }
    bool ok = true;
    std::vector<Listed> listed;
    for (const DiscFile& file : files) {
        listed.push_back({{}, {}, &file});
        ok = ListedName(file, &listed.back(), problems) && ok;
    }
    // The order of the list, whatever the order in which the disc gave its files.
    std::sort(listed.begin(), listed.end(),
              [](const Listed& a, const Listed& b) { return a.sjis < b.sjis; });
    std::vector<std::string> names;
    for (const Listed& item : listed) {
        if (item.file->size > kLargestEntrySize) {
            problems->push_back(ShownSystemText(item.file->path) +
                                " is over 2147483647 bytes, more than an entry can describe");
            ok = false;
        }
        names.push_back(item.name);
    }
    // Nothing is read for a list that will not be written.
    if (!ok || !problems->empty()) {
        return false;
    }
    EntryDigests digests(names.size());
    disc.Read(names, digests);
    for (std::size_t index = 0; index < names.size(); ++index) {
        FileEntry entry;
        entry.name = names[index];
        std::string why;
        if (!EntryNumbers(digests[index], &entry.size, &entry.crc, &why)) {
            problems->push_back(ShownSystemText(listed[index].file->path) + " " + why);
            ok = false;
        }
        group->push_back(std::move(entry));
    }
    return ok;
}

// The REG entries of `files`, all read in one batch.
bool MakeInstalled(const std::vector<InstalledFile>& files, std::size_t jobs,
                   std::vector<FileEntry>* installed, std::vector<std::string>* problems) {
    bool ok = true;
    std::vector<std::string> paths;
    paths.reserve(files.size());
    for (const InstalledFile& file : files) {
        FileEntry entry;
        ok = ToSjis(file.valueName, "the registry value name", &entry.name, problems) && ok;
        installed->push_back(std::move(entry));
        paths.push_back(file.path);
    }
    // Nothing is read for a list that will not be written.
    if (!ok) {
        return false;
    }
    const std::vector<FileDigest> digests = DigestsForEntries(paths, jobs);
    for (std::size_t index = 0; index < files.size(); ++index) {
        FileEntry& entry = (*installed)[index];
        std::string why;
        if (!EntryNumbers(digests[index], &entry.size, &entry.crc, &why)) {
            problems->push_back(ShownSystemText(files[index].path) + " " + why);
            ok = false;
        }
    }
    return ok;
}

}  // namespace

std::vector<std::string> DiscWarnings(const std::vector<std::string>& discs) {
    std::vector<std::string> warnings;
    for (std::size_t later = 1; later < discs.size(); ++later) {
        for (std::size_t first = 0; first < later; ++first) {
            std::error_code ignored;
            if (discs[first] == discs[later] ||
                std::filesystem::equivalent(std::filesystem::u8path(discs[first]),
                                            std::filesystem::u8path(discs[later]), ignored)) {
                warnings.push_back("disc " + std::to_string(later + 1) + " (" +
                                   ShownSystemText(discs[later]) + ") is the place of disc " +
                                   std::to_string(first + 1) +
                                   " too: both list the same files; give each disc its own "
                                   "place");
                break;
            }
        }
    }
    return warnings;
}

std::vector<std::string> PromptLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

bool MakeContent(const MakeOptions& options, const OpenedDiscs& discs, ListContent* content,
                 std::vector<std::string>* problems) {
    *content = ListContent();
    bool ok = ToSjis(options.title, "the title", &content->title, problems);
    content->hasGame = options.hasGame;
    if (options.hasGame) {
        ok = ToSjis(options.game, "the registry key", &content->gameKey, problems) && ok;
    }
    for (const std::string& message : options.messages) {
        content->messageLines.emplace_back();
        ok = ToSjis(message, "the message line", &content->messageLines.back(), problems) && ok;
    }
    for (const std::string& prompt : options.prompts) {
        content->prompts.emplace_back();
        for (const std::string& line : PromptLines(prompt)) {
            content->prompts.back().emplace_back();
            ok = ToSjis(line, "the prompt line", &content->prompts.back().back(), problems) && ok;
        }
    }
    ok = MakeInstalled(options.installed, options.jobs, &content->installed, problems) && ok;
    for (std::size_t disc = 0; disc < options.discs.size(); ++disc) {
        content->discs.emplace_back();
        ok = MakeDisc(options, discs.ReaderOfGroup(disc), &content->discs.back(), problems) && ok;
    }
    return ok && problems->empty();
}

}  // namespace crclist
