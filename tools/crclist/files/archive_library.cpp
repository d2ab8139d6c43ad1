#include "tools/crclist/files/archive_library.h"

#include <dlfcn.h>

namespace crclist {
namespace {

template <typename Function>
bool Bind(void* library, const char* name, Function* function) {
    *function = reinterpret_cast<Function>(::dlsym(library, name));
    return *function != nullptr;
}

bool Load(ArchiveLibrary* functions, std::string* reason) {
    // The run-time library of Debian's libarchive13, or the development link to it.
    void* library = ::dlopen("libarchive.so.13", RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        library = ::dlopen("libarchive.so", RTLD_NOW | RTLD_LOCAL);
    }
    if (library == nullptr) {
        const char* text = ::dlerror();
        *reason = text != nullptr ? text : "libarchive.so.13 cannot be loaded";
        return false;
    }
    // Kept loaded until the process ends: the functions are used to the last.
    const bool bound =
        Bind(library, "archive_read_new", &functions->readNew) &&
        Bind(library, "archive_read_support_format_iso9660", &functions->supportIso9660) &&
        Bind(library, "archive_read_open_fd", &functions->openFd) &&
        Bind(library, "archive_read_next_header", &functions->nextHeader) &&
        Bind(library, "archive_read_data_block", &functions->dataBlock) &&
        Bind(library, "archive_error_string", &functions->errorString) &&
        Bind(library, "archive_read_free", &functions->readFree) &&
        Bind(library, "archive_entry_pathname_utf8", &functions->pathnameUtf8) &&
        Bind(library, "archive_entry_pathname", &functions->pathname) &&
        Bind(library, "archive_entry_filetype", &functions->filetype) &&
        Bind(library, "archive_entry_size", &functions->size) &&
        Bind(library, "archive_entry_hardlink", &functions->hardlink) &&
        Bind(library, "archive_entry_nlink", &functions->nlink);
    if (!bound) {
        *reason = "libarchive lacks a function that crclist needs";
    }
    return bound;
}

}  // namespace

const ArchiveLibrary* LoadArchiveLibrary(std::string* error) {
    static ArchiveLibrary functions{};
    static std::string reason;
    static const bool loaded = Load(&functions, &reason);
    if (!loaded) {
        *error = "libarchive, which reads disc images, cannot be loaded: " + reason;
        return nullptr;
    }
    return &functions;
}

}  // namespace crclist
