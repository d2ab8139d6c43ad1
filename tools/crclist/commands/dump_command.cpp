#include "tools/crclist/commands/dump_command.h"

#include <cstdio>
#include <memory>
#include <string>

#include <nlohmann/json.hpp>

#include "tools/crclist/list/list_load.h"
#include "tools/crclist/text/encoding.h"
#include "tools/crclist/text/json_layout.h"

namespace crclist {
namespace {

using Json = nlohmann::ordered_json;

Json Entries(const std::vector<FileEntry>& entries) {
    Json array = Json::array();
    for (const FileEntry& entry : entries) {
        array.push_back(
            {{"name", SjisToUtf8(entry.name)}, {"size", entry.size}, {"crc", entry.crc}});
    }
    return array;
}

Json Texts(const std::vector<std::string>& texts) {
    Json array = Json::array();
    for (const std::string& text : texts) {
        array.push_back(SjisToUtf8(text));
    }
    return array;
}

Json Dump(const ListLoad& load) {
    const CheckList& list = load.list;
    Json groups = Json::array();
    for (const DiscGroup& group : list.discGroups) {
        groups.push_back(Entries(group));
    }
    Json document = Json::object();
    document["loaded"] = load.loaded;
    document["title"] = SjisToUtf8(list.title);
    document["gameKey"] = SjisToUtf8(list.gameKey);
    document["installedFiles"] = Entries(list.installedFiles);
    document["discGroups"] = std::move(groups);
    document["messageLines"] = Texts(list.messageLines);
    document["drivePrompts"] = Texts(list.drivePrompts);
    document["messages"] = Texts(load.complaints);
    return document;
}

}  // namespace

Subcommand AddDumpCommand(CLI::App& app) {
    auto file = std::make_shared<std::string>();
    CLI::App* parser = app.add_subcommand(
        "dump",
        "Print what the program reads from FILE as JSON (UTF-8); exit 0 whether or "
        "not it loads");
    parser->add_option("FILE", *file, "the check list, such as crclist.INF")->required();
    return {parser, [file] {
                const std::string json = LayoutJson(Dump(LoadList(*file)));
                std::fwrite(json.data(), 1, json.size(), stdout);
                return std::fflush(stdout) == 0 ? kExitOk : kExitFailed;
            }};
}

}  // namespace crclist
