#include "tools/crclist/list/dump_list.h"

#include <nlohmann/json.hpp>

#include "tools/crclist/text/encoding.h"
#include "tools/crclist/text/json_layout.h"
#include "tools/crclist/text/shown_text.h"

namespace crclist {
namespace {

using Json = nlohmann::ordered_json;

Json Entries(const std::vector<FileEntry>& entries) {
    Json array = Json::array();
    for (const FileEntry& entry : entries) {
        array.push_back(
            {{"name", SjisToUtf8(entry.name)}, {"size", entry.size}, {"crc", CrcText(entry.crc)}});
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

std::string DumpList(const ListLoad& load) {
    return LayoutJson(Dump(load));
}

}  // namespace crclist
