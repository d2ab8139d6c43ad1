#include "tools/crclist/images/image_track.h"

#include <algorithm>
#include <cctype>
#include <limits>
#include <vector>

#include "tools/crclist/images/ccd_sheet.h"
#include "tools/crclist/images/cue_sheet.h"
#include "tools/crclist/images/nrg_image.h"
#include "tools/crclist/images/sector_layout.h"
#include "tools/crclist/text/path_join.h"

namespace crclist {
namespace {

constexpr std::uint64_t kToTheEnd = std::numeric_limits<std::uint64_t>::max();
constexpr std::uint32_t kRawSectorSize = 2352;
// Sheets are a few kilobytes; an image is never this small and free of zero bytes.
constexpr std::uint64_t kLargestSheet = std::uint64_t{1} << 20;
constexpr char kUnknownLayout[] =
    " has an unknown sector layout: no ISO 9660 or UDF volume in 2048-byte sectors, nor in raw "
    "sectors of 2352 or 2448 bytes, nor in MODE2 sectors of 2336";

// The last name of `path`, after its folder.
std::string NameOf(const std::string& path) {
    return path.substr(FolderOfPath(path).size());
}

// The name without its extension, and the extension in lower case with its dot.
std::string StemOf(const std::string& path) {
    const std::string name = NameOf(path);
    const auto dot = name.rfind('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

std::string LowerExtension(const std::string& path) {
    std::string extension = NameOf(path).substr(StemOf(path).size());
    for (char& c : extension) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return extension;
}

// The whole of `file` as text, when it is small and free of zero bytes as a sheet is; `text`
// holds its head, read already, and the rest is read only when the head passes.
bool ReadSheetText(const PositionalFile& file, std::string* text) {
    if (file.Size() > kLargestSheet || text->find('\0') != std::string::npos) {
        return false;
    }
    if (text->size() < file.Size()) {
        std::vector<unsigned char> whole;
        if (!file.ReadBytes(0, static_cast<std::size_t>(file.Size()), &whole)) {
            return false;
        }
        text->assign(whole.begin(), whole.end());
    }
    return text->find('\0') == std::string::npos;
}

// The layout of the sectors from `start` to `end` of `file`, the image at `path`.
bool DetectLayout(const std::string& path, const PositionalFile& file, std::uint64_t start,
                  std::uint64_t end, SectorLayout* layout, std::string* error) {
    if (!DetectSectorLayout(file, start, end, layout)) {
        *error = path + kUnknownLayout;
        return false;
    }
    return true;
}

// Opens the track that lies from `start` to `end` in the file at `path`.
bool OpenTrack(const std::string& path, std::uint64_t start, std::uint64_t end,
               PositionalFile* file, SectorLayout* layout, std::string* error) {
    FileFailure failure;
    if (!file->Open(path, PositionalFile::Accept::kFileOrDrive, &failure)) {
        *error = path + " cannot be opened: " + failure.reason;
        return false;
    }
    return DetectLayout(path, *file, start, std::min(end, file->Size()), layout, error);
}

// Where a track ends that `next` follows in the same file, in sectors of `size` bytes: where
// the pregap of `next` begins, else `next` itself.
template <typename Track>
std::uint64_t EndBefore(const Track& next, std::uint32_t size) {
    return static_cast<std::uint64_t>(next.pregap >= 0 ? next.pregap : next.start) * size;
}

bool OpenCueTrack(const std::string& sheet, const std::string& text, const FileBeside& find,
                  PositionalFile* file, SectorLayout* layout, std::string* error) {
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
    if (!find(FolderOfPath(sheet), data->file, &path)) {
        *error = sheet + " names " + data->file + " for track " + number + ", which is not there";
        return false;
    }
    // The track ends where the next one in the same file begins, its pregap included.
    std::uint64_t end = kToTheEnd;
    const auto next = data + 1;
    if (next != tracks.end() && next->file == data->file) {
        end = EndBefore(*next, size);
    }
    return OpenTrack(path, static_cast<std::uint64_t>(data->start) * size, end, file, layout,
                     error);
}

bool OpenCcdTrack(const std::string& sheet, const std::string& text, const FileBeside& find,
                  PositionalFile* file, SectorLayout* layout, std::string* error) {
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
    const std::string image = StemOf(sheet) + ".img";
    std::string path;
    if (!find(FolderOfPath(sheet), image, &path)) {
        *error = sheet + " has no image " + image + " beside it";
        return false;
    }
    std::uint64_t end = kToTheEnd;
    const auto next = data + 1;
    if (next != tracks.end()) {
        end = EndBefore(*next, kRawSectorSize);
    }
    return OpenTrack(path, static_cast<std::uint64_t>(data->start) * kRawSectorSize, end, file,
                     layout, error);
}

// The first data track of the Nero image open as `file`.
bool OpenNeroTrack(const std::string& path, const PositionalFile& file, SectorLayout* layout,
                   std::string* error) {
    std::vector<NeroTrack> tracks;
    std::string why;
    if (!ReadNeroTracks(file, &tracks, &why)) {
        *error = path + " is a Nero image that cannot be read: " + why;
        return false;
    }
    const auto data = std::find_if(tracks.begin(), tracks.end(),
                                   [](const NeroTrack& track) { return !track.audio; });
    if (data == tracks.end()) {
        *error = path + " holds an audio CD: it has no data track";
        return false;
    }
    return DetectLayout(path, file, data->start, data->end, layout, error);
}

}  // namespace

bool OpenDataTrack(const std::string& path, const FileBeside& findBeside, PositionalFile* file,
                   SectorLayout* layout, std::string* error) {
    // The file is opened once, and its head read once: on an optical drive every request that
    // goes back costs a seek.
    PositionalFile& named = *file;
    FileFailure failure;
    if (!named.Open(path, PositionalFile::Accept::kFileOrDrive, &failure)) {
        *error = path + " cannot be opened: " + failure.reason;
        return false;
    }
    const std::string extension = LowerExtension(path);
    std::vector<unsigned char> head;
    if (!named.ReadBytes(
            0, static_cast<std::size_t>(std::min<std::uint64_t>(kLayoutHeadBytes, named.Size())),
            &head)) {
        *error = path + " cannot be read";
        return false;
    }
    std::string text(head.begin(), head.end());
    if (text.compare(0, 8, "MComprHD") == 0 || extension == ".chd") {
        *error = path +
                 " is a CHD image, which is not read: convert it with chdman extractcd -i "
                 "IMAGE.chd -o IMAGE.cue, and give the .cue";
        return false;
    }
    // A Nero image is known by its footer, at the other end of the file: looked for only when
    // the name or nothing else says what it is.
    if (extension == ".nrg" && IsNeroImage(named)) {
        return OpenNeroTrack(path, named, layout, error);
    }
    if (text.compare(0, 16, "MEDIA DESCRIPTOR") == 0 || extension == ".mds") {
        // The .mdf beside it is read by its sync pattern alone.
        const std::string image = StemOf(path) + ".mdf";
        std::string found;
        if (!findBeside(FolderOfPath(path), image, &found)) {
            *error = path + " has no image " + image + " beside it";
            return false;
        }
        return OpenTrack(found, 0, kToTheEnd, file, layout, error);
    }
    if (ReadSheetText(named, &text)) {
        if (extension == ".ccd" || LooksLikeCcdSheet(text)) {
            return OpenCcdTrack(path, text, findBeside, file, layout, error);
        }
        return OpenCueTrack(path, text, findBeside, file, layout, error);
    }
    if (DetectSectorLayout(head, 0, named.Size(), layout)) {
        return true;
    }
    if (IsNeroImage(named)) {
        return OpenNeroTrack(path, named, layout, error);
    }
    *error = path + kUnknownLayout;
    return false;
}

}  // namespace crclist
