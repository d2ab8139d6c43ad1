#include "tools/crclist/images/image_track.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <limits>
#include <vector>

#include "tools/crclist/discs/folder_lookup.h"
#include "tools/crclist/images/ccd_sheet.h"
#include "tools/crclist/images/cue_sheet.h"
#include "tools/crclist/images/sector_layout.h"
#include "tools/crclist/text/encoding.h"

namespace crclist {
namespace {

constexpr std::uint64_t kToTheEnd = std::numeric_limits<std::uint64_t>::max();
constexpr std::uint32_t kRawSectorSize = 2352;
// Sheets are a few kilobytes; an image is never this small and free of zero bytes.
constexpr std::uint64_t kLargestSheet = std::uint64_t{1} << 20;

std::string LowerExtension(const std::string& path) {
    std::string extension = std::filesystem::path(path).extension().string();
    for (char& c : extension) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return extension;
}

bool ReadBytes(const ImageFile& file, std::uint64_t offset, std::size_t count, std::string* bytes) {
    std::vector<unsigned char> buffer(count);
    std::size_t got = 0;
    if (!file.ReadAt(offset, count, buffer.data(), &got)) {
        return false;
    }
    bytes->assign(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(got));
    return true;
}

bool IsNeroImage(const ImageFile& file) {
    std::string tail;
    return file.Size() >= 12 && ReadBytes(file, file.Size() - 12, 12, &tail) &&
           (tail.compare(0, 4, "NER5") == 0 || tail.compare(4, 4, "NERO") == 0);
}

// The file that a sheet beside it names, found as Windows would find it: the name as it is,
// else with its letter case ignored. Sheets written on Windows hold Shift-JIS names.
bool FindBeside(const std::string& sheet, const std::string& name, std::string* path) {
    const std::filesystem::path folder = std::filesystem::path(sheet).parent_path();
    const std::string exact = (folder / name).string();
    struct stat info;
    if (::stat(exact.c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
        *path = exact;
        return true;
    }
    std::string sjis;
    if (!Utf8ToSjis(name, &sjis)) {
        sjis = name;
    }
    return FolderLookup(folder.empty() ? "." : folder.string()).Find(sjis, path);
}

// Opens the track that lies from `start` to `end` in the file at `path`.
bool OpenTrack(const std::string& path, std::uint64_t start, std::uint64_t end, ImageFile* file,
               SectorLayout* layout, std::string* error) {
    std::string why;
    if (!file->Open(path, &why)) {
        *error = path + " cannot be opened: " + why;
        return false;
    }
    if (!DetectSectorLayout(*file, start, std::min(end, file->Size()), layout)) {
        *error = path +
                 " has an unknown sector layout: no ISO 9660 or UDF volume in 2048-byte sectors, "
                 "nor in raw sectors of 2352 or 2448 bytes";
        return false;
    }
    return true;
}

bool OpenCueTrack(const std::string& sheet, const std::string& text, ImageFile* file,
                  SectorLayout* layout, std::string* error) {
    std::vector<CueTrack> tracks;
    std::string why;
    if (!ParseCueSheet(text, &tracks, &why)) {
        *error = sheet + " is no disc image, nor a cue sheet that can be read: " + why;
        return false;
    }
    const auto data = std::find_if(tracks.begin(), tracks.end(),
                                   [](const CueTrack& track) { return track.mode != "AUDIO"; });
    if (data == tracks.end()) {
        *error = sheet + " describes an audio CD: it has no data track";
        return false;
    }
    const std::string number = std::to_string(data->number);
    const std::uint32_t size = CueSectorSize(data->mode);
    if (size == 0 || data->fileType != "BINARY") {
        *error = sheet + ": track " + number + " is " + data->mode + " in a " + data->fileType +
                 " file, which is not read (MODE1 or MODE2 in a BINARY file is)";
        return false;
    }
    std::string path;
    if (!FindBeside(sheet, data->file, &path)) {
        *error = sheet + " names " + data->file + " for track " + number + ", which is not there";
        return false;
    }
    // The track ends where the next one in the same file begins, its pregap included.
    std::uint64_t end = kToTheEnd;
    const auto next = data + 1;
    if (next != tracks.end() && next->file == data->file) {
        end = static_cast<std::uint64_t>(next->pregap >= 0 ? next->pregap : next->start) * size;
    }
    return OpenTrack(path, static_cast<std::uint64_t>(data->start) * size, end, file, layout,
                     error);
}

bool OpenCcdTrack(const std::string& sheet, const std::string& text, ImageFile* file,
                  SectorLayout* layout, std::string* error) {
    std::vector<CcdTrack> tracks;
    std::string why;
    if (!ParseCcdSheet(text, &tracks, &why)) {
        *error = sheet + " is no CloneCD control file that can be read: " + why;
        return false;
    }
    const auto data = std::find_if(tracks.begin(), tracks.end(),
                                   [](const CcdTrack& track) { return track.mode != 0; });
    if (data == tracks.end()) {
        *error = sheet + " describes an audio CD: it has no data track";
        return false;
    }
    const std::string image = std::filesystem::path(sheet).stem().string() + ".img";
    std::string path;
    if (!FindBeside(sheet, image, &path)) {
        *error = sheet + " has no image " + image + " beside it";
        return false;
    }
    std::uint64_t end = kToTheEnd;
    const auto next = data + 1;
    if (next != tracks.end()) {
        end = static_cast<std::uint64_t>(next->pregap >= 0 ? next->pregap : next->start) *
              kRawSectorSize;
    }
    return OpenTrack(path, static_cast<std::uint64_t>(data->start) * kRawSectorSize, end, file,
                     layout, error);
}

}  // namespace

bool OpenDataTrack(const std::string& path, ImageFile* file, SectorLayout* layout,
                   std::string* error) {
    ImageFile named;
    std::string why;
    if (!named.Open(path, &why)) {
        *error = path + " cannot be opened: " + why;
        return false;
    }
    const std::string extension = LowerExtension(path);
    std::string head;
    if (!ReadBytes(named, 0, 16, &head)) {
        *error = path + " cannot be read";
        return false;
    }
    if (head.compare(0, 8, "MComprHD") == 0 || extension == ".chd") {
        *error = path +
                 " is a CHD image, which is not read: convert it with chdman extractcd -i "
                 "IMAGE.chd -o IMAGE.cue, and give the .cue";
        return false;
    }
    if (IsNeroImage(named) || extension == ".nrg") {
        *error = path +
                 " is a Nero image (NRG), which is not read: convert it to an .iso, or to a .cue "
                 "with its .bin";
        return false;
    }
    if (head.compare(0, 16, "MEDIA DESCRIPTOR") == 0 || extension == ".mds") {
        // The .mdf beside it is read by its sync pattern alone.
        const std::string image = std::filesystem::path(path).stem().string() + ".mdf";
        std::string found;
        if (!FindBeside(path, image, &found)) {
            *error = path + " has no image " + image + " beside it";
            return false;
        }
        return OpenTrack(found, 0, kToTheEnd, file, layout, error);
    }
    std::string text;
    if (named.Size() <= kLargestSheet && ReadBytes(named, 0, named.Size(), &text) &&
        text.find('\0') == std::string::npos) {
        if (extension == ".ccd" || LooksLikeCcdSheet(text)) {
            return OpenCcdTrack(path, text, file, layout, error);
        }
        return OpenCueTrack(path, text, file, layout, error);
    }
    return OpenTrack(path, 0, kToTheEnd, file, layout, error);
}

}  // namespace crclist
