#include "tools/crclist/commands/update_command.h"

#include <cstdio>
#include <map>
#include <memory>
#include <optional>

#include "tools/crclist/authoring/entry_digest.h"
#include "tools/crclist/authoring/put_list.h"
#include "tools/crclist/commands/disc_option.h"
#include "tools/crclist/files/disc_reader.h"
#include "tools/crclist/list/compose_list.h"
#include "tools/crclist/list/list_reading.h"
#include "tools/crclist/list/patch_list.h"
#include "tools/crclist/text/encoding.h"
#include "tools/crclist/text/shown_text.h"
#include "tools/crclist/text/windows_names.h"

namespace crclist {
namespace {

struct UpdateOptions {
    std::string file;
    std::vector<std::string> discs;
    std::vector<std::string> installed;  // NAME=PATH
    std::string out;
};

// The key of the NAME of --installed NAME=PATH: the name in Shift-JIS, compared without case.
// False when it has no Shift-JIS form.
bool InstalledKey(const std::string& option, std::string* key) {
    std::string sjis;
    std::string utf8;
    if (!SystemToSjis(option.substr(0, option.find('=')), &sjis) || !SjisToUtf8Exact(sjis, &utf8)) {
        return false;
    }
    *key = FoldCase(utf8);
    return true;
}

// The sizes and CRCs of the entries' files: each disc read once for all the entries looked for
// there, in the order that suits it, and each installed file once.
class Measurer {
  public:
    Measurer(const ListReading& reading, const UpdateOptions& options, const OpenedDiscs& discs)
        : reading_(reading), options_(options), discs_(discs), digests_(reading.entries.size()) {}

    // Adds the installed files of the options: NAME in Shift-JIS, compared without case.
    bool TakeInstalled(std::vector<std::string>* problems) {
        for (const std::string& option : options_.installed) {
            std::string key;
            if (!InstalledKey(option, &key)) {
                problems->push_back("the registry value name of --installed " +
                                    ShownSystemText(option) + " has no Shift-JIS form");
                continue;
            }
            installed_[key] = {option.substr(option.find('=') + 1), false};
        }
        return problems->empty();
    }

    // Reads the file of every entry that the options say where to find.
    void ReadAll() {
        std::map<std::string, Request> byDisc;
        std::map<std::string, FileDigest> byPath;  // the installed files
        for (std::size_t index = 0; index < reading_.entries.size(); ++index) {
            const ReadEntry& entry = reading_.entries[index];
            const ReadSection& section = reading_.sections[entry.section];
            if (section.keyword == TokCdFiles) {
                if (!options_.discs.empty()) {
                    Request& request = byDisc[Disc(section)];
                    request.entries.push_back(index);
                    request.names.push_back(entry.entry.name);
                }
                continue;
            }
            std::string utf8;
            const auto named = installed_.find(
                FoldCase(SjisToUtf8Exact(entry.entry.name, &utf8) ? utf8 : entry.entry.name));
            if (named == installed_.end()) {
                continue;
            }
            named->second.used = true;
            auto digest = byPath.find(named->second.path);
            if (digest == byPath.end()) {
                digest =
                    byPath.emplace(named->second.path, DigestForEntry(named->second.path)).first;
            }
            digests_[index] = digest->second;
        }
        for (const auto& [where, request] : byDisc) {
            EntryDigests digests(request.names.size());
            discs_.Reader(where).Read(request.names, digests);
            for (std::size_t k = 0; k < request.entries.size(); ++k) {
                digests_[request.entries[k]] = digests[k];
            }
        }
    }

    // The update of entry `index`; false when it is not to be updated (`problems` says why
    // when it should have been).
    bool Measure(std::size_t index, EntryUpdate* update, std::vector<std::string>* problems) {
        const std::optional<FileDigest>& digest = digests_[index];
        if (!digest) {
            return false;
        }
        const ReadEntry& entry = reading_.entries[index];
        const ReadSection& section = reading_.sections[entry.section];
        const std::string shownName = SjisToUtf8(entry.entry.name);
        if (section.keyword == TokCdFiles && digest->outcome == FileDigest::Outcome::kMissing) {
            problems->push_back(shownName + " of [CDFILES] " + std::to_string(section.ordinal) +
                                " is not found in " + ShownSystemText(Disc(section)));
            return false;
        }
        update->entry = index;
        std::string why;
        if (!EntryNumbers(*digest, &update->size, &update->crc, &why)) {
            problems->push_back(ShownSystemText(digest->path) + " (for " + shownName + ") " + why);
            return false;
        }
        return true;
    }

    // The --installed names that named no entry.
    void Unused(std::vector<std::string>* problems) const {
        for (const std::string& option : options_.installed) {
            std::string key;
            if (InstalledKey(option, &key) && !installed_.at(key).used) {
                problems->push_back("--installed " + ShownSystemText(option) +
                                    " names no entry of [REG]");
            }
        }
    }

  private:
    struct Installed {
        std::string path;
        bool used;
    };
    // The entries looked for on one disc, with their names.
    struct Request {
        std::vector<std::size_t> entries;
        std::vector<std::string> names;
    };

    // Where the entries of a [CDFILES] section are looked for.
    const std::string& Disc(const ReadSection& section) const {
        return DiscOfGroup(options_.discs, static_cast<std::size_t>(section.ordinal - 1));
    }

    const ListReading& reading_;
    const UpdateOptions& options_;
    const OpenedDiscs& discs_;
    std::map<std::string, Installed> installed_;
    std::vector<std::optional<FileDigest>> digests_;  // by entry; none: not looked for
};

std::string Change(const ListReading& reading, const std::string& file, const EntryUpdate& update) {
    const ReadEntry& entry = reading.entries[update.entry];
    std::string line = file + ":" + reading.Place(reading.tokens[entry.name].start) + ": " +
                       SjisToUtf8(entry.entry.name) + ":";
    if (update.size != entry.entry.size) {
        line += " size " + SizeText(entry.entry.size) + " -> " + SizeText(update.size);
    }
    if (update.crc != entry.entry.crc) {
        line += std::string(update.size != entry.entry.size ? "," : "") + " crc " +
                CrcText(entry.entry.crc) + " -> " + CrcText(update.crc);
    }
    return line;
}

int RunUpdate(const UpdateOptions& options) {
    for (const std::string& installed : options.installed) {
        if (installed.find('=') == std::string::npos) {
            return UsageError("update", "--installed takes NAME=PATH");
        }
    }
    ListReading reading;
    if (!ReadList(options.file, &reading)) {
        return UsageError("update", "cannot read " + options.file);
    }
    if (!reading.loaded) {
        return NothingWritten("update",
                              {"the program does not read " + ShownSystemText(options.file) +
                               " in full (crclist lint says why)"});
    }
    const std::size_t groups = reading.list.discGroups.size();
    std::string error;
    if (!DiscsFitGroups(options.discs, groups, &error)) {
        return UsageError("update", error);
    }
    OpenedDiscs discs;
    if (!discs.Open(options.discs, &error)) {
        return UsageError("update", error);
    }
    std::vector<std::string> problems;
    Measurer measurer(reading, options, discs);
    if (!measurer.TakeInstalled(&problems)) {
        return NothingWritten("update", problems);
    }
    measurer.ReadAll();
    std::vector<EntryUpdate> updates;
    for (std::size_t i = 0; i < reading.entries.size(); ++i) {
        EntryUpdate update;
        if (measurer.Measure(i, &update, &problems)) {
            updates.push_back(update);
        }
    }
    measurer.Unused(&problems);
    if (!problems.empty()) {
        return NothingWritten("update", problems);
    }
    std::string bytes;
    std::vector<EntryUpdate> changed;
    std::string problem;
    if (!ApplyUpdates(reading, updates, &bytes, &changed, &problem)) {
        return NothingWritten("update", {problem});
    }
    if (!changed.empty() || !options.out.empty()) {
        const std::string& target = options.out.empty() ? options.file : options.out;
        if (ToldPut("update", PutList(target, bytes, UpdatedList(reading, changed), true, false)) !=
            kExitOk) {
            return kExitFailed;
        }
    }
    const std::string shownFile = ShownSystemText(options.file);
    for (const EntryUpdate& update : changed) {
        std::printf("%s\n", Change(reading, shownFile, update).c_str());
    }
    return std::fflush(stdout) == 0 ? kExitOk : kExitFailed;
}

}  // namespace

Subcommand AddUpdateCommand(CLI::App& app) {
    auto options = std::make_shared<UpdateOptions>();
    CLI::App* parser = app.add_subcommand(
        "update",
        "Recompute the sizes and CRCs of FILE's entries from the files and keep every other "
        "byte; print one line for each changed entry. Exit 0 when done, 1 when a file is "
        "missing (nothing is written), 2 for wrong arguments");
    parser->add_option("FILE", options->file, "the check list to update")->required();
    AddDiscOption(*parser, options->discs, "where the [CDFILES] entries are: ",
                  "; once for all sections, or once for each in order");
    parser->add_option("--installed", options->installed,
                       "NAME=PATH: the file of the [REG] entry NAME (repeatable)");
    parser->add_option("-o,--output", options->out,
                       "write the result here instead of replacing FILE");
    return {parser, [options] { return RunUpdate(*options); }};
}

}  // namespace crclist
