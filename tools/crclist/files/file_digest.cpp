#include "tools/crclist/files/file_digest.h"

#include "tools/crclist/files/fast_crc.h"
#include "tools/crclist/files/sequential_file.h"

namespace crclist {

FileDigest DigestFile(const std::string& path, std::size_t index, ReadObserver& observer,
                      std::vector<unsigned char>& buffer) {
    FileDigest digest;
    digest.path = path;
    SequentialFile file;
    if (!file.Open(path) || !file.Size(&digest.size)) {
        return digest;  // kMissing: what the program calls a file that fails to open
    }
    if (!observer.WantContent(index, digest.size)) {
        digest.outcome = FileDigest::Outcome::kNotRead;
        return digest;
    }
    std::uint32_t crc = 0;
    std::uint64_t done = 0;
    for (;;) {
        if (observer.StopRequested()) {
            digest.outcome = FileDigest::Outcome::kStopped;
            return digest;
        }
        std::size_t got = 0;
        if (!file.Read(buffer.data(), buffer.size(), &got)) {
            digest.outcome = FileDigest::Outcome::kReadError;
            return digest;
        }
        if (got == 0) {
            break;
        }
        crc = FastCrc32(crc, buffer.data(), got);
        done += got;
        observer.BytesRead(got);
        if (done > digest.size) {
            // It grows while it is read. Reading on could take for ever (a log being written);
            // what it holds now is its size.
            std::uint64_t now = 0;
            digest.size = file.Size(&now) && now > done ? now : done;
            digest.outcome = FileDigest::Outcome::kChanged;
            return digest;
        }
    }
    if (done < digest.size) {
        digest.size = done;  // it shrank while it was read
        digest.outcome = FileDigest::Outcome::kChanged;
        return digest;
    }
    digest.crc = crc;
    digest.outcome = FileDigest::Outcome::kRead;
    return digest;
}

}  // namespace crclist
