#include "tools/crclist/update_command.h"

#include <cstdio>
#include <map>
#include <memory>

#include "tools/crclist/file_measure.h"
#include "tools/crclist/lint_checks.h"
#include "tools/crclist/list_output.h"
#include "tools/crclist/list_update.h"
#include "tools/crclist/list_writer.h"
#include "tools/crclist/listed_names.h"
#include "tools/crclist/text_encoding.h"

namespace crclist {
namespace {

constexpr int kExitFailed = 1;

struct UpdateOptions {
    std::string file;
    std::vector<std::string> discs;
    std::vector<std::string> installed;  // NAME=PATH
    std::string out;
};

std::string ShownSystem(const std::string& text) {
    std::string utf8;
    return SystemToUtf8(text, &utf8) ? utf8 : text;
}

// Where each entry's file is, from the options; the files measured once each.
class Measurer {
  public:
    Measurer(const ListReading& reading, const UpdateOptions& options)
        : reading_(reading), options_(options) {}

    // Adds the installed files of the options: NAME in Shift-JIS, compared without case.
    bool TakeInstalled(std::vector<std::string>* problems) {
        for (const std::string& option : options_.installed) {
            const std::size_t equals = option.find('=');
            std::string sjis;
            std::string utf8;
            if (!SystemToSjis(option.substr(0, equals), &sjis) || !SjisToUtf8Exact(sjis, &utf8)) {
                problems->push_back("the registry value name of --installed " +
                                    ShownSystem(option) + " has no Shift-JIS form");
                continue;
            }
            installed_[FoldCase(utf8)] = {option.substr(equals + 1), false};
        }
        return problems->empty();
    }

    // The update of entry `index`; false when it is not to be updated (`problems` says why
    // when it should have been).
    bool Measure(std::size_t index, EntryUpdate* update, std::vector<std::string>* problems) {
        const ReadEntry& entry = reading_.entries[index];
        const ReadSection& section = reading_.sections[entry.section];
        const std::string shownName = SjisToUtf8(entry.entry.name);
        std::string path;
        if (section.keyword == TokCdFiles) {
            if (options_.discs.empty()) {
                return false;
            }
            const std::string& root =
                options_.discs.size() == 1
                    ? options_.discs[0]
                    : options_.discs[static_cast<std::size_t>(section.ordinal - 1)];
            if (!FindListedFile(root, entry.entry.name, &path)) {
                problems->push_back(shownName + " of [CDFILES] " + std::to_string(section.ordinal) +
                                    " is not found in " + ShownSystem(root));
                return false;
            }
        } else {
            std::string utf8;
            const auto named = installed_.find(
                FoldCase(SjisToUtf8Exact(entry.entry.name, &utf8) ? utf8 : entry.entry.name));
            if (named == installed_.end()) {
                return false;
            }
            named->second.used = true;
            path = named->second.path;
        }
        update->entry = index;
        auto measured = measured_.find(path);
        if (measured == measured_.end()) {
            Result result;
            result.measure = MeasureFile(path, &result.size, &result.crc);
            measured = measured_.emplace(path, result).first;
        }
        const Result& result = measured->second;
        if (result.measure == Measure::kTooLarge) {
            problems->push_back(ShownSystem(path) + " (for " + shownName +
                                ") is over 2147483647 bytes, more than an entry can describe");
            return false;
        }
        if (result.measure != Measure::kOk) {
            problems->push_back(ShownSystem(path) + " (for " + shownName +
                                ") is not found or cannot be read");
            return false;
        }
        update->size = result.size;
        update->crc = result.crc;
        return true;
    }

    // The --installed names that named no entry.
    void Unused(std::vector<std::string>* problems) const {
        for (const std::string& option : options_.installed) {
            std::string sjis;
            std::string utf8;
            if (SystemToSjis(option.substr(0, option.find('=')), &sjis) &&
                SjisToUtf8Exact(sjis, &utf8) && !installed_.at(FoldCase(utf8)).used) {
                problems->push_back("--installed " + ShownSystem(option) +
                                    " names no entry of [REG]");
            }
        }
    }

  private:
    struct Installed {
        std::string path;
        bool used;
    };
    struct Result {
        crclist::Measure measure = crclist::Measure::kCannotRead;
        std::int32_t size = 0;
        std::uint32_t crc = 0;
    };
    const ListReading& reading_;
    const UpdateOptions& options_;
    std::map<std::string, Installed> installed_;
    std::map<std::string, Result> measured_;
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

int Fail(const std::vector<std::string>& problems) {
    for (const std::string& problem : problems) {
        std::fprintf(stderr, "crclist update: %s\n", problem.c_str());
    }
    std::fprintf(stderr, "crclist update: nothing is written\n");
    return kExitFailed;
}

int RunUpdate(const UpdateOptions& options) {
    for (const std::string& installed : options.installed) {
        if (installed.find('=') == std::string::npos) {
            std::fprintf(stderr, "crclist update: --installed takes NAME=PATH\n");
            return kExitUsage;
        }
    }
    ListReading reading;
    if (!ReadList(options.file, &reading)) {
        std::fprintf(stderr, "crclist update: cannot read %s\n", options.file.c_str());
        return kExitUsage;
    }
    if (!reading.loaded) {
        return Fail({"the program does not read " + ShownSystem(options.file) +
                     " in full (crclist lint says why)"});
    }
    const std::size_t groups = reading.list.discGroups.size();
    if (options.discs.size() > 1 && options.discs.size() != groups) {
        std::fprintf(stderr,
                     "crclist update: give --disc once, or once for each of the %zu [CDFILES] "
                     "sections\n",
                     groups);
        return kExitUsage;
    }
    std::vector<std::string> problems;
    Measurer measurer(reading, options);
    std::vector<EntryUpdate> updates;
    if (measurer.TakeInstalled(&problems)) {
        for (std::size_t i = 0; i < reading.entries.size(); ++i) {
            EntryUpdate update;
            if (measurer.Measure(i, &update, &problems)) {
                updates.push_back(update);
            }
        }
        measurer.Unused(&problems);
    }
    std::string bytes;
    std::vector<EntryUpdate> changed;
    std::string problem;
    if (problems.empty() && !ApplyUpdates(reading, updates, &bytes, &changed, &problem)) {
        problems.push_back(problem);
    }
    if (!problems.empty()) {
        return Fail(problems);
    }
    const std::string target = options.out.empty() ? options.file : options.out;
    if (!changed.empty() || !options.out.empty()) {
        if (!PutList("update", target, bytes, UpdatedList(reading, changed), true, false)) {
            return kExitFailed;
        }
    }
    const std::string shownFile = ShownSystem(options.file);
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
    parser->add_option("--disc", options->discs,
                       "the folder where the [CDFILES] entries are: once for all sections, or "
                       "once for each in order");
    parser->add_option("--installed", options->installed,
                       "NAME=PATH: the file of the [REG] entry NAME (repeatable)");
    parser->add_option("-o,--output", options->out,
                       "write the result here instead of replacing FILE");
    return {parser, [options] { return RunUpdate(*options); }};
}

}  // namespace crclist
