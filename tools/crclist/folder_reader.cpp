#include "tools/crclist/folder_reader.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "tools/crclist/listed_names.h"
#include "tools/crclist/text_encoding.h"

namespace crclist {

void FolderReader::Read(const std::vector<std::string>& names, ReadObserver& observer) {
    std::vector<unsigned char> buffer(kReadSize);
    for (std::size_t index = 0; index < names.size(); ++index) {
        FileDigest digest;
        std::string path;
        if (FindListedFile(root_, names[index], &path)) {
            digest = DigestFile(path, index, observer, buffer);
            if (digest.outcome == FileDigest::Outcome::kStopped) {
                return;
            }
        } else {
            // Not there (only natively: on Windows the system looks when the file is opened).
            // The path says where it was looked for.
            std::string name = SjisToUtf8(names[index]);
            std::replace(name.begin(), name.end(), '\\', '/');
            digest.path = (std::filesystem::path(root_) / name).string();
        }
        observer.Done(index, digest);
    }
}

bool FolderReader::ListFiles(std::vector<std::string>* names) {
    names->clear();
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path root(root_);
    for (fs::recursive_directory_iterator it(root, error), end; !error && it != end;
         it.increment(error)) {
        if (!it->is_regular_file(error)) {
            continue;
        }
        std::string name;
        for (const fs::path& part : it->path().lexically_relative(root)) {
            name += (name.empty() ? "" : "\\") + part.u8string();
        }
        names->push_back(std::move(name));
    }
    std::sort(names->begin(), names->end());
    return !error;
}

}  // namespace crclist
