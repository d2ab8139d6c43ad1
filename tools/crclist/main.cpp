// crclist: shows what the program reads from an information file.
//   crclist dump FILE   prints the check list of FILE as one JSON object (UTF-8)
// The exit code is 0 whether or not the file loads; 2 for wrong arguments.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "inf/check_list.h"
#include "platform/ui_recorded.h"
#include "tools/crclist/json_writer.h"
#include "tools/crclist/sjis_to_utf8.h"

namespace {

std::string Text(const std::string& sjis) {
    return JsonString(SjisToUtf8(sjis));
}

std::string Entry(const FileEntry& entry) {
    return "{\"name\": " + Text(entry.name) + ", \"size\": " + std::to_string(entry.size) +
           ", \"crc\": " + std::to_string(entry.crc) + "}";
}

// An array with one element a line, indented under its key.
std::string Array(const std::vector<std::string>& elements, const std::string& indent) {
    if (elements.empty()) {
        return "[]";
    }
    std::string out = "[\n";
    for (std::size_t i = 0; i < elements.size(); ++i) {
        out += indent + "  " + elements[i] + (i + 1 < elements.size() ? ",\n" : "\n");
    }
    return out + indent + "]";
}

std::string Entries(const std::vector<FileEntry>& entries, const std::string& indent) {
    std::vector<std::string> elements;
    for (const FileEntry& entry : entries)
        elements.push_back(Entry(entry));
    return Array(elements, indent);
}

std::string Texts(const std::vector<std::string>& texts) {
    std::vector<std::string> elements;
    for (const std::string& text : texts)
        elements.push_back(Text(text));
    return Array(elements, "  ");
}

std::string Dump(const CheckList& list, bool loaded) {
    std::vector<std::string> groups;
    for (const DiscGroup& group : list.discGroups)
        groups.push_back(Entries(group, "    "));
    std::vector<std::string> messages;
    for (const auto& message : platform::testing::Messages())
        messages.push_back(message.text);

    std::string out = "{\n";
    out += std::string("  \"loaded\": ") + (loaded ? "true" : "false") + ",\n";
    out += "  \"title\": " + Text(list.title) + ",\n";
    out += "  \"gameKey\": " + Text(list.gameKey) + ",\n";
    out += "  \"installedFiles\": " + Entries(list.installedFiles, "  ") + ",\n";
    out += "  \"discGroups\": " + Array(groups, "  ") + ",\n";
    out += "  \"messageLines\": " + Texts(list.messageLines) + ",\n";
    out += "  \"drivePrompts\": " + Texts(list.drivePrompts) + ",\n";
    out += "  \"messages\": " + Texts(messages) + "\n";
    return out + "}\n";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 || std::strcmp(argv[1], "dump") != 0) {
        std::fprintf(stderr, "usage: crclist dump FILE\n");
        return 2;
    }
#ifdef _WIN32
    // The same bytes on every platform: no CR added before each line feed.
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    CheckList list;
    const bool loaded = list.LoadInfFile(argv[2]);
    const std::string json = Dump(list, loaded);
    std::fwrite(json.data(), 1, json.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}
