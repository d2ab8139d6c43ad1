// The checks behind crclist lint, each family in a file of its own. Each adds its findings to
// the list it is given, in any order; Lint sorts them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/crclist/list/lint.h"

namespace crclist {

class Findings {
  public:
    void Error(std::int32_t offset, const char* code, std::string text) {
        items_.push_back({offset, Severity::kError, code, std::move(text)});
    }
    void Warning(std::int32_t offset, const char* code, std::string text) {
        items_.push_back({offset, Severity::kWarning, code, std::move(text)});
    }
    std::vector<Diagnostic>& Items() { return items_; }

  private:
    std::vector<Diagnostic> items_;
};

// lint_file_checks.cpp: empty file, utf8-bom, invalid-byte, end-mark, cut-word.
void CheckBytesAndTokens(const ListReading& reading, Findings& findings);
// lint_fault_checks.cpp: syntax and pass-limit, where reading stops.
void CheckFault(const ListReading& reading, Findings& findings);
// lint_entry_checks.cpp: size-form, crc-form, name-form, long-path, duplicate-name.
void CheckEntries(const ListReading& reading, Findings& findings);
// lint_value_checks.cpp: punctuation-value, replaced, not-sjis.
void CheckValues(const ListReading& reading, Findings& findings);
// lint_list_checks.cpp: no-prompt, too-few-prompts, unused-prompt, empty-disc, no-title,
// title-length, reg-without-game.
void CheckWholeList(const ListReading& reading, Findings& findings);

// lint_text.cpp: how texts of the file appear in a finding.
// A Shift-JIS text as UTF-8 in quotes, control characters escaped, long texts shortened.
std::string Shown(const std::string& sjis);
std::string ShownUtf8(const std::string& utf8);
// One byte, such as 0x40 ('@').
std::string ShownByte(std::uint8_t byte);
// "[CDFILES]", or "[CDFILES] section 2" when the file has more than one.
std::string SectionName(const ListReading& reading, std::size_t section);
std::string KeywordName(std::int32_t keyword);

}  // namespace crclist
