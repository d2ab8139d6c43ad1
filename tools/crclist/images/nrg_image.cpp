#include "tools/crclist/images/nrg_image.h"

#include <algorithm>
#include <cstring>

#include "tools/crclist/images/byte_order.h"

namespace crclist {
namespace {

// The chain is a few hundred bytes for a CD; anything far larger is damage.
constexpr std::uint64_t kLargestChain = std::uint64_t{1} << 20;
constexpr std::size_t kChunkHeader = 8;  // its name and the length of its data

// The disc-at-once chunk: a head, then one entry for each track.
constexpr std::size_t kDaoHead = 22;
constexpr std::size_t kDaoFirstTrack = 20;
constexpr std::size_t kDaoLastTrack = 21;
constexpr std::size_t kDaoTrackCommon = 18;  // ISRC, then sector size and mode
constexpr std::size_t kDaoMode = 14;
// The modes of Nero's chunks that are audio.
constexpr std::uint32_t kAudioMode = 7;

bool ReadExactly(const PositionalFile& file, std::uint64_t offset, std::size_t count,
                 std::vector<unsigned char>* bytes) {
    return file.ReadBytes(offset, count, bytes) && bytes->size() == count;
}

// Where the chain of chunks begins, and where the footer that points at it does.
bool FindChain(const PositionalFile& file, std::uint64_t* chain, std::uint64_t* footer) {
    std::vector<unsigned char> tail;
    if (file.Size() < 12 || !ReadExactly(file, file.Size() - 12, 12, &tail)) {
        return false;
    }
    if (std::memcmp(tail.data(), "NER5", 4) == 0) {
        *chain = BigEndian(tail.data() + 4, 8);
        *footer = file.Size() - 12;
        return true;
    }
    if (std::memcmp(tail.data() + 4, "NERO", 4) == 0) {
        *chain = BigEndian(tail.data() + 8, 4);
        *footer = file.Size() - 8;
        return true;
    }
    return false;
}

// Disc-at-once: each track's index 0, index 1 and end, as offsets of 4 (DAOI) or 8 (DAOX)
// bytes.
bool ParseDao(const unsigned char* data, std::size_t size, std::size_t width,
              std::vector<NeroTrack>* tracks) {
    if (size < kDaoHead) {
        return false;
    }
    const int first = data[kDaoFirstTrack];
    const int last = data[kDaoLastTrack];
    const std::size_t entry = kDaoTrackCommon + 3 * width;
    const std::size_t count = last >= first ? static_cast<std::size_t>(last - first + 1) : 0;
    if (count == 0 || kDaoHead + count * entry > size) {
        return false;
    }
    for (std::size_t track = 0; track < count; ++track) {
        const unsigned char* at = data + kDaoHead + track * entry;
        NeroTrack found;
        found.audio = at[kDaoMode] == kAudioMode;
        found.start = BigEndian(at + kDaoTrackCommon + width, width);
        found.end = BigEndian(at + kDaoTrackCommon + 2 * width, width);
        tracks->push_back(found);
    }
    return true;
}

// Track-at-once: each track's start, length and mode, in entries of 20 (ETNF) or 32 (ETN2)
// bytes whose offsets take 4 or 8.
bool ParseEtn(const unsigned char* data, std::size_t size, std::size_t width,
              std::vector<NeroTrack>* tracks) {
    const std::size_t entry = width == 4 ? 20 : 32;
    if (size == 0 || size % entry != 0) {
        return false;
    }
    for (std::size_t at = 0; at < size; at += entry) {
        NeroTrack found;
        found.start = BigEndian(data + at, width);
        found.end = found.start + BigEndian(data + at + width, width);
        found.audio = BigEndian(data + at + 2 * width, 4) == kAudioMode;
        tracks->push_back(found);
    }
    return true;
}

}  // namespace

bool IsNeroImage(const PositionalFile& file) {
    std::uint64_t chain = 0;
    std::uint64_t footer = 0;
    return FindChain(file, &chain, &footer);
}

bool ReadNeroTracks(const PositionalFile& file, std::vector<NeroTrack>* tracks,
                    std::string* error) {
    tracks->clear();
    std::uint64_t chain = 0;
    std::uint64_t footer = 0;
    std::vector<unsigned char> bytes;
    if (!FindChain(file, &chain, &footer) || chain >= footer || footer - chain > kLargestChain ||
        !ReadExactly(file, chain, static_cast<std::size_t>(footer - chain), &bytes)) {
        *error = "its chain of chunks cannot be read";
        return false;
    }
    std::vector<NeroTrack> dao;
    std::vector<NeroTrack> etn;
    for (std::size_t at = 0;;) {
        if (at + kChunkHeader > bytes.size()) {
            *error = "its chain of chunks ends before END!";
            return false;
        }
        const std::string name(reinterpret_cast<const char*>(&bytes[at]), 4);
        const std::uint64_t size = BigEndian(&bytes[at + 4], 4);
        const unsigned char* data = &bytes[at + kChunkHeader];
        if (name == "END!") {
            break;
        }
        if (size > bytes.size() - at - kChunkHeader) {
            *error = "its chunk " + name + " goes on past the chain";
            return false;
        }
        const auto length = static_cast<std::size_t>(size);
        bool read = true;
        if (name == "DAOI" || name == "DAOX") {
            read = ParseDao(data, length, name == "DAOI" ? 4 : 8, &dao);
        } else if (name == "ETNF" || name == "ETN2") {
            read = ParseEtn(data, length, name == "ETNF" ? 4 : 8, &etn);
        }
        if (!read) {
            *error = "its chunk " + name + " cannot be read";
            return false;
        }
        at += kChunkHeader + length;
    }
    *tracks = dao.empty() ? etn : dao;
    if (tracks->empty()) {
        *error = "names no track";
        return false;
    }
    for (const NeroTrack& track : *tracks) {
        if (track.start > track.end || track.end > chain) {
            *error = "has a track that lies outside the image";
            return false;
        }
    }
    return true;
}

}  // namespace crclist
