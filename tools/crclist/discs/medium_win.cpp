// The build declares the program's oldest Windows, whose headers lack the seek-penalty query;
// crclist.exe runs on Windows 7 and later, which answer it.
#undef _WIN32_WINNT
#define _WIN32_WINNT 0x0601
#include <windows.h>
#include <winioctl.h>

#include "platform/win_handles.h"
#include "tools/crclist/discs/medium.h"
#include "tools/crclist/text/windows_text.h"

namespace crclist {
namespace {

// Whether the storage under the volume `root` (such as C:\) reports a seek penalty. Wine does
// not answer the query: no penalty then, as for anything the system will not tell.
bool SeekPenalty(const std::wstring& root) {
    if (root.size() < 2 || root[1] != L':') {
        return false;
    }
    const std::wstring volume = L"\\\\.\\" + root.substr(0, 2);
    const win::UniqueHandle handle(
        win::Opened(CreateFileW(volume.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr)));
    if (handle.Get() == nullptr) {
        return false;
    }
    STORAGE_PROPERTY_QUERY query = {};
    query.PropertyId = StorageDeviceSeekPenaltyProperty;
    query.QueryType = PropertyStandardQuery;
    DEVICE_SEEK_PENALTY_DESCRIPTOR penalty = {};
    DWORD returned = 0;
    const bool told =
        DeviceIoControl(handle.Get(), IOCTL_STORAGE_QUERY_PROPERTY, &query, sizeof query, &penalty,
                        sizeof penalty, &returned, nullptr) != 0;
    return told && returned >= sizeof penalty && penalty.IncursSeekPenalty;
}

}  // namespace

Medium SystemMediumOf(const std::string& path) {
    Medium medium;
    std::wstring wide;
    wchar_t root[MAX_PATH + 1] = {};
    if (!ToWide(CP_UTF8, path, &wide) || !GetVolumePathNameW(wide.c_str(), root, MAX_PATH)) {
        return medium;
    }
    if (GetDriveTypeW(root) == DRIVE_CDROM) {
        medium.kind = Medium::Kind::kOptical;
    } else if (SeekPenalty(root)) {
        medium.kind = Medium::Kind::kRotational;
    }
    return medium;
}

}  // namespace crclist
