#include "tools/crclist/list/list_load.h"

#include "inf/inf_lexer.h"
#include "platform/ui_headless.h"
#include "tools/crclist/list/list_source.h"

namespace crclist {

ListLoad LoadList(const std::string& path) {
    ListLoad load;
    load.path = path;
    const platform::MessageCollector boxes;
    load.loaded = load.list.LoadInfFile(path.c_str());
    load.complaints = boxes.Texts();
    return load;
}

ListLoad LoadListBytes(const std::string& bytes, const std::string& path, InfObserver* observer) {
    ListLoad load;
    load.path = path;
    const platform::MessageCollector boxes;
    load.loaded = load.list.LoadInfBytes(bytes, observer);
    load.complaints = boxes.Texts();
    return load;
}

bool LoadListSource(const std::string& source, ListLoad* load, std::string* problem) {
    std::string bytes;
    bool tooLarge = false;
    if (!ReadListSource(source, &bytes, &tooLarge, problem)) {
        return false;
    }
    // A list too large for the program's block loads as one that cannot be read: not at all.
    *load = LoadListBytes(bytes, source);
    return true;
}

std::vector<Token> LexTokens(const std::string& bytes) {
    const platform::MessageCollector dropped;
    InfLexer lexer;
    std::vector<Token> tokens;
    if (!lexer.OpenBytes(bytes)) {
        return tokens;
    }
    do {
        tokens.push_back(lexer.Next());
    } while (tokens.back().kind != TokEnd);
    return tokens;
}

}  // namespace crclist
