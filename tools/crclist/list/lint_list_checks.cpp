// Findings about the list as a whole: prompts against discs, discs without files, the title,
// and installed files without the registry key that finds them.
#include "tools/crclist/list/lint_checks.h"

namespace crclist {
namespace {

// The exit question of the program's main window has room for this much of the title.
constexpr std::size_t kLongestTitle = 225;

// Where the `ordinal`-th section with `keyword` begins; -1 when there is none.
std::int32_t SectionStart(const ListReading& reading, std::int32_t keyword, int ordinal) {
    for (const ReadSection& section : reading.sections) {
        if (section.keyword == keyword && section.ordinal == ordinal) {
            return reading.tokens[section.bracket].start;
        }
    }
    return -1;
}

void CheckPrompts(const ListReading& reading, Findings& findings) {
    const std::size_t groups = reading.list.discGroups.size();
    const std::size_t prompts = reading.list.drivePrompts.size();
    if (groups > 0 && prompts == 0) {
        findings.Error(SectionStart(reading, TokCdFiles, 1), "no-prompt",
                       "the list has [CDFILES] sections but no [DRIVEINFO]: the CD/DVD check "
                       "stops at once with its message that the information file is wrong");
    } else if (prompts < groups) {
        findings.Error(SectionStart(reading, TokCdFiles, static_cast<int>(prompts) + 1),
                       "too-few-prompts",
                       "this disc has no [DRIVEINFO] of its own (" + std::to_string(prompts) +
                           " for " + std::to_string(groups) +
                           " discs): the CD/DVD check stops before it reads any file, with its "
                           "message that [DRIVEINFO] sections are missing");
    } else if (prompts > groups) {
        findings.Warning(
            SectionStart(reading, TokDriveInfo, static_cast<int>(groups) + 1), "unused-prompt",
            "this [DRIVEINFO] belongs to no [CDFILES] section (" + std::to_string(prompts) +
                " for " + std::to_string(groups) + " discs): it is never shown");
    }
}

// An empty disc group passes every check, whatever is on the disc: most likely a folder that
// was empty, or whose files were all excluded, when the list was made.
void CheckEmptyDiscs(const ListReading& reading, Findings& findings) {
    for (std::size_t section = 0; section < reading.sections.size(); ++section) {
        const ReadSection& read = reading.sections[section];
        if (read.keyword == TokCdFiles &&
            reading.list.discGroups[static_cast<std::size_t>(read.ordinal - 1)].empty()) {
            findings.Warning(reading.tokens[read.bracket].start, "empty-disc",
                             SectionName(reading, section) +
                                 " has no entries: the CD/DVD check asks for disc " +
                                 std::to_string(read.ordinal) +
                                 " and checks nothing on it (list its files, or drop the disc)");
        }
    }
}

void CheckTitle(const ListReading& reading, Findings& findings) {
    std::int32_t at = SectionStart(reading, TokTitle, 1);
    for (const ReadValue& value : reading.values) {
        if (reading.sections[value.section].keyword == TokTitle) {
            at = reading.tokens[value.token].start;
        }
    }
    const std::string& title = reading.list.title;
    if (title.empty()) {
        findings.Warning(at < 0 ? 0 : at, "no-title",
                         "the list has no title, or an empty one: the captions of the program's "
                         "windows and messages are empty");
    } else if (title.size() > kLongestTitle) {
        findings.Warning(at, "title-length",
                         "the title is " + std::to_string(title.size()) + " bytes, over " +
                             std::to_string(kLongestTitle) +
                             ": the program's exit question cuts it");
    }
}

}  // namespace

void CheckWholeList(const ListReading& reading, Findings& findings) {
    // A list that does not load is judged by where it stops; what it then lacks follows from that.
    if (!reading.loaded) {
        return;
    }
    CheckPrompts(reading, findings);
    CheckEmptyDiscs(reading, findings);
    CheckTitle(reading, findings);
    if (!reading.list.installedFiles.empty() && reading.list.gameKey.empty()) {
        findings.Warning(SectionStart(reading, TokReg, 1), "reg-without-game",
                         "the list has [REG] entries but no [GAME] key: the program looks their "
                         "values up in HKEY_CURRENT_USER itself");
    }
}

}  // namespace crclist
