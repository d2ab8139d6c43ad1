// libarchive, loaded when the first disc image is opened rather than when crclist starts.
// Linking it brings in a dozen libraries (ICU, libxml2, the compressors) whose loading costs
// about 8 ms on every run, about what reading 80 MiB from the page cache takes, also for runs
// that read only folders.
#pragma once

#include <archive.h>
#include <archive_entry.h>

#include <string>

namespace crclist {

struct ArchiveLibrary {
    decltype(&archive_read_new) readNew;
    decltype(&archive_read_support_format_iso9660) supportIso9660;
    decltype(&archive_read_open_fd) openFd;
    decltype(&archive_read_next_header) nextHeader;
    decltype(&archive_read_data_block) dataBlock;
    decltype(&archive_error_string) errorString;
    decltype(&archive_read_free) readFree;
    decltype(&archive_entry_pathname_utf8) pathnameUtf8;
    decltype(&archive_entry_pathname) pathname;
    decltype(&archive_entry_filetype) filetype;
    decltype(&archive_entry_size) size;
    decltype(&archive_entry_hardlink) hardlink;
    decltype(&archive_entry_nlink) nlink;
};

// The library's functions, loaded once; null when it cannot be loaded, with the reason in
// `error`.
const ArchiveLibrary* LoadArchiveLibrary(std::string* error);

}  // namespace crclist
