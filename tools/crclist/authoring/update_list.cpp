#include "tools/crclist/authoring/update_list.h"

#include <map>
#include <optional>

#include "tools/crclist/list/compose_list.h"
#include "tools/crclist/text/encoding.h"
#include "tools/crclist/text/shown_text.h"
#include "tools/crclist/text/windows_names.h"

namespace crclist {
namespace {

// The key of a value name given on the command line: its Shift-JIS form, or, when it has none,
// its own bytes, which a list saved in another encoding may hold as they are.
std::string InstalledKey(const std::string& valueName) {
    std::string sjis;
    return RegistryValueKey(SystemToSjis(valueName, &sjis) ? sjis : valueName);
}

// The sizes and CRCs of the entries' files: each disc read once for all the entries looked for
// there, in the order that suits it, and each installed file once.
class Measurer {
  public:
    Measurer(const ListReading& reading, const OpenedDiscs& discs,
             const std::vector<InstalledFile>& installed, std::size_t jobs)
        : reading_(reading),
          discs_(discs),
          files_(installed),
          jobs_(jobs),
          digests_(reading.entries.size()) {}

    // Takes the installed files by their value names.
    void TakeInstalled() {
        for (const InstalledFile& file : files_) {
            installed_[InstalledKey(file.valueName)] = {file.path, false};
        }
    }

    // Reads the file of every entry that there is a place for.
    void ReadAll() {
        std::map<std::string, Request> byDisc;  // by where the disc is
        // The installed files, each read once, by its path; the entries that take each.
        std::map<std::string, std::vector<std::size_t>> byPath;
        for (std::size_t index = 0; index < reading_.entries.size(); ++index) {
            const ReadEntry& entry = reading_.entries[index];
            const ReadSection& section = reading_.sections[entry.section];
            if (section.keyword == TokCdFiles) {
                if (!discs_.Empty()) {
                    Request& request = byDisc[discs_.WhereOfGroup(Group(section))];
                    request.group = Group(section);
                    request.entries.push_back(index);
                    request.names.push_back(entry.entry.name);
                }
                continue;
            }
            const auto named = installed_.find(RegistryValueKey(entry.entry.name));
            if (named == installed_.end()) {
                continue;
            }
            named->second.used = true;
            byPath[named->second.path].push_back(index);
        }
        std::vector<std::string> paths;
        paths.reserve(byPath.size());
        for (const auto& item : byPath) {
            paths.push_back(item.first);
        }
        const std::vector<FileDigest> installed = DigestsForEntries(paths, jobs_);
        std::size_t next = 0;
        for (const auto& item : byPath) {
            for (const std::size_t entry : item.second) {
                digests_[entry] = installed[next];
            }
            ++next;
        }
        for (const auto& [where, request] : byDisc) {
            EntryDigests digests(request.names.size());
            discs_.ReaderOfGroup(request.group).Read(request.names, digests);
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
        const std::string shownName = ShownListText(entry.entry.name);
        if (section.keyword == TokCdFiles && digest->outcome == FileDigest::Outcome::kMissing) {
            problems->push_back(
                shownName + " of [CDFILES] " + std::to_string(section.ordinal) + " in " +
                ShownSystemText(discs_.WhereOfGroup(Group(section))) + ": " +
                (digest->reason.empty() ? "not found" : ShownSystemText(digest->reason)));
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

    // Counts the entries that were not looked for, by kind.
    void CountUnplaced(ListUpdate* update) const {
        for (std::size_t index = 0; index < digests_.size(); ++index) {
            if (!digests_[index]) {
                const ReadSection& section = reading_.sections[reading_.entries[index].section];
                ++(section.keyword == TokCdFiles ? update->unplacedDiscEntries
                                                 : update->unplacedInstalledEntries);
            }
        }
    }

    // The installed files whose names named no entry.
    void Unused(std::vector<std::string>* problems) const {
        for (const InstalledFile& file : files_) {
            if (!installed_.at(InstalledKey(file.valueName)).used) {
                problems->push_back("--installed " + ShownSystemText(file.Option()) +
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
        std::size_t group = 0;  // one of the groups on the disc
        std::vector<std::size_t> entries;
        std::vector<std::string> names;
    };

    static std::size_t Group(const ReadSection& section) {
        return static_cast<std::size_t>(section.ordinal - 1);
    }

    const ListReading& reading_;
    const OpenedDiscs& discs_;
    const std::vector<InstalledFile>& files_;
    const std::size_t jobs_;
    std::map<std::string, Installed> installed_;
    std::vector<std::optional<FileDigest>> digests_;  // by entry; none: not looked for
};

}  // namespace

bool UpdateList(const ListReading& reading, const OpenedDiscs& discs,
                const std::vector<InstalledFile>& installed, std::size_t jobs, ListUpdate* update,
                std::vector<std::string>* problems) {
    Measurer measurer(reading, discs, installed, jobs);
    measurer.TakeInstalled();
    measurer.ReadAll();
    measurer.CountUnplaced(update);
    std::vector<EntryUpdate> updates;
    for (std::size_t i = 0; i < reading.entries.size(); ++i) {
        EntryUpdate entry;
        if (measurer.Measure(i, &entry, problems)) {
            updates.push_back(entry);
        }
    }
    measurer.Unused(problems);
    if (!problems->empty()) {
        return false;
    }
    std::string problem;
    if (!ApplyUpdates(reading, updates, &update->bytes, &update->changed, &problem)) {
        problems->push_back(problem);
        return false;
    }
    update->expected = UpdatedList(reading, update->changed);
    return true;
}

std::string DescribeChange(const ListReading& reading, const std::string& shownFile,
                           const EntryUpdate& update) {
    const ReadEntry& entry = reading.entries[update.entry];
    std::string line = shownFile + ":" + reading.Place(reading.tokens[entry.name].start) + ": " +
                       ShownListText(entry.entry.name) + ":";
    if (update.size != entry.entry.size) {
        line += " size " + SizeText(entry.entry.size) + " -> " + SizeText(update.size);
    }
    if (update.crc != entry.entry.crc) {
        line += std::string(update.size != entry.entry.size ? "," : "") + " crc " +
                CrcText(entry.entry.crc) + " -> " + CrcText(update.crc);
    }
    return line;
}

}  // namespace crclist
