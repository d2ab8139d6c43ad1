#include "tools/crclist/list/list_reading.h"

#include <algorithm>

#include "tools/crclist/list/list_load.h"
#include "tools/crclist/list/list_source.h"

namespace crclist {
namespace {

class RecordingObserver : public InfObserver {
  public:
    explicit RecordingObserver(ListReading& reading) : reading_(reading) {}

    void OnToken(const Token& token, std::int32_t start, std::int32_t end) override {
        reading_.tokens.push_back({token, start, end});
    }
    void OnSectionOpened(std::int32_t keyword) override {
        ReadSection section;
        section.keyword = keyword;
        section.bracket = Last() - 1;
        section.ordinal = ++reading_.sectionCounts[keyword];
        reading_.sections.push_back(section);
    }
    void OnValue() override { reading_.values.push_back({OpenSection(), Last()}); }
    void OnEntry(const FileEntry& entry) override {
        const std::size_t crc = Last();
        reading_.entries.push_back({OpenSection(), crc - 4, crc - 2, crc, entry});
    }
    void OnFault(InfFault fault) override {
        reading_.faulted = true;
        reading_.fault = fault;
    }

  private:
    std::size_t Last() const { return reading_.tokens.size() - 1; }
    std::size_t OpenSection() const { return reading_.sections.size() - 1; }

    ListReading& reading_;
};

}  // namespace

std::string ListReading::Source(std::size_t index) const {
    const ReadToken& token = tokens[index];
    const std::int32_t end = token.end < token.start ? token.start : token.end;
    return bytes.substr(static_cast<std::size_t>(token.start),
                        static_cast<std::size_t>(end - token.start));
}

std::string ListReading::Place(std::int32_t offset) const {
    const auto line = std::upper_bound(lineStarts.begin(), lineStarts.end(), offset);
    const std::int32_t lineStart = line == lineStarts.begin() ? 0 : *(line - 1);
    return std::to_string(line - lineStarts.begin()) + ":" + std::to_string(offset - lineStart + 1);
}

bool ReadList(const std::string& source, ListReading* reading, std::string* problem) {
    *reading = ListReading();
    if (!ReadListSource(source, &reading->bytes, &reading->tooLarge, problem)) {
        return false;
    }
    reading->lineStarts.push_back(0);
    for (std::size_t i = 0; i < reading->bytes.size(); ++i) {
        if (reading->bytes[i] == '\n') {
            reading->lineStarts.push_back(static_cast<std::int32_t>(i + 1));
        }
    }
    if (reading->tooLarge) {
        return true;
    }
    // The complaints about invalid tokens are in the record as the tokens themselves.
    RecordingObserver observer(*reading);
    ListLoad load = LoadListBytes(reading->bytes, source, &observer);
    reading->loaded = load.loaded;
    reading->list = std::move(load.list);
    return true;
}

bool IsPunctuation(std::int32_t kind) {
    return (kind >= TokPlus && kind <= TokComma) || (kind >= TokEqual && kind <= TokGreaterEqual);
}

bool IsKeyword(std::int32_t kind) {
    return kind >= TokDriveInfo && kind <= TokMessage;
}

}  // namespace crclist
