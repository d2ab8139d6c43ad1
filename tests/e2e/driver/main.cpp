// e2e_driver: drives the real program under Wine through a scenario script.
//
//   e2e_driver.exe --exe PATH --cwd DIR [--shots DIR] [--timeout SECONDS]
//                  [--set NAME=VALUE]... SCRIPT
//
// Paths may be Unix paths (/tmp/...); they are turned into Z: paths. Exit code 0 when every
// step passed, 1 when a step failed, 2 when the command line or the script is wrong.
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "report.h"
#include "runner.h"
#include "script.h"
#include "text.h"

namespace {

struct ArgvDeleter {
    void operator()(LPWSTR* argv) const { LocalFree(argv); }
};
struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// Wine maps Z: to the Unix root, so /tmp/x is Z:\tmp\x.
std::string WindowsPath(const std::string& utf8) {
    std::string path = utf8;
    if (!path.empty() && path[0] == '/') {
        path = "Z:" + path;
    }
    for (char& c : path) {
        if (c == '/')
            c = '\\';
    }
    return e2e::Utf8ToAnsi(path);
}

bool ReadWhole(const std::string& path, std::string* content) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (file == nullptr) {
        return false;
    }
    char buffer[4096];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) {
        content->append(buffer, got);
    }
    return true;
}

int Usage(const std::string& why) {
    e2e::Say("e2e_driver: " + why);
    e2e::Say(
        "usage: e2e_driver.exe --exe PATH --cwd DIR [--shots DIR] [--timeout SECONDS] "
        "[--set NAME=VALUE]... SCRIPT");
    return 2;
}

}  // namespace

int main() {
    int argc = 0;
    std::unique_ptr<LPWSTR, ArgvDeleter> argv(CommandLineToArgvW(GetCommandLineW(), &argc));
    if (argv == nullptr) {
        return Usage("cannot read the command line");
    }
    e2e::Settings settings;
    std::map<std::string, std::string> variables;
    std::string scriptPath;
    for (int i = 1; i < argc; ++i) {
        std::string arg = e2e::WideToUtf8(argv.get()[i]);
        std::string value = i + 1 < argc ? e2e::WideToUtf8(argv.get()[i + 1]) : std::string();
        bool hasValue = i + 1 < argc;
        if (arg == "--exe" && hasValue) {
            settings.exe = WindowsPath(value);
        } else if (arg == "--cwd" && hasValue) {
            settings.folder = WindowsPath(value);
        } else if (arg == "--shots" && hasValue) {
            settings.shotFolder = WindowsPath(value);
        } else if (arg == "--timeout" && hasValue) {
            settings.timeoutMs = static_cast<DWORD>(std::atoi(value.c_str())) * 1000;
        } else if (arg == "--set" && hasValue && value.find('=') != std::string::npos) {
            variables[value.substr(0, value.find('='))] = value.substr(value.find('=') + 1);
        } else if (!arg.empty() && arg[0] != '-' && scriptPath.empty()) {
            scriptPath = WindowsPath(arg);
            continue;
        } else {
            return Usage("unexpected argument " + e2e::Quote(arg));
        }
        ++i;
    }
    if (settings.exe.empty() || scriptPath.empty()) {
        return Usage("--exe and a script are needed");
    }
    std::string content;
    if (!ReadWhole(scriptPath, &content)) {
        return Usage("cannot read the script " + scriptPath);
    }
    std::vector<e2e::Step> steps;
    std::string error;
    if (!e2e::ParseScript(content, variables, &steps, &error)) {
        e2e::Say("e2e_driver: " + scriptPath + ", " + error);
        return 2;
    }
    e2e::Runner runner(settings);
    return runner.Run(steps) ? 0 : 1;
}
