#include "tools/crclist/authoring/make_list.h"

#include <algorithm>
#include <cstdio>

#include "tools/crclist/authoring/entry_digest.h"
#include "tools/crclist/authoring/exclude_glob.h"
#include "tools/crclist/list/name_form.h"
#include "tools/crclist/text/encoding.h"
#include "tools/crclist/text/shown_text.h"
#include "tools/crclist/text/utf8.h"

namespace crclist {
namespace {

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
            problem.append(" '").append(EscapedControls(utf8)).append("' holds '");
            problem += EscapedControls(character) + "', which has no Shift-JIS form";
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

bool Excluded(const MakeOptions& options, const DiscFile& file) {
    std::vector<std::string> names;
    for (const std::string& component : file.components) {
        names.push_back(SystemTextInUtf8(component));
    }
    for (const std::string& pattern : options.excludes) {
        if (MatchesExclude(SystemTextInUtf8(pattern), names)) {
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
    for (const std::string& component : listed->sjis) {
        listed->name += (listed->name.empty() ? "" : "\\") + component;
    }
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
    const bool readable =
        disc.ListFiles(options.out == "-" ? std::string() : options.out, &files, &listing);
    for (const std::string& problem : listing) {
        problems->push_back(ShownSystemText(problem));  // they name files in the system's encoding
    }
    if (!readable) {
        return false;
    }
    bool ok = true;
    std::vector<Listed> listed;
    for (const DiscFile& file : files) {
        if (!Excluded(options, file)) {
            listed.push_back({{}, {}, &file});
            ok = ListedName(file, &listed.back(), problems) && ok;
        }
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

bool MakeInstalled(const InstalledFile& file, std::vector<FileEntry>* installed,
                   std::vector<std::string>* problems) {
    FileEntry entry;
    if (!ToSjis(file.valueName, "the registry value name", &entry.name, problems)) {
        return false;
    }
    std::string why;
    if (!EntryNumbers(DigestForEntry(file.path), &entry.size, &entry.crc, &why)) {
        problems->push_back(ShownSystemText(file.path) + " " + why);
        return false;
    }
    installed->push_back(std::move(entry));
    return true;
}

}  // namespace

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
    for (const InstalledFile& installed : options.installed) {
        ok = MakeInstalled(installed, &content->installed, problems) && ok;
    }
    for (std::size_t disc = 0; disc < options.discs.size(); ++disc) {
        content->discs.emplace_back();
        ok = MakeDisc(options, discs.ReaderOfGroup(disc), &content->discs.back(), problems) && ok;
    }
    return ok && problems->empty();
}

}  // namespace crclist
