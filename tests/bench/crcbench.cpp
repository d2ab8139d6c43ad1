// crcbench [MiB]: the throughput of the CRC-32 loop over a buffer in memory, and of the
// whole verification (reads, CRC, progress steps with a pump that returns at once) over a
// temporary file of the same size. The file is usually in the page cache, so the second
// figure is the loop's cost, not the disk's.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "engine/crc32.h"
#include "engine/verify.h"

namespace {

class NoProgress : public ProgressView {
  public:
    void SetPosition(std::int32_t) override {}
    bool IsStopRequested() const override { return false; }
};

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

}  // namespace

int main(int argc, char** argv) {
    const long mebibytes = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 256;
    if (mebibytes <= 0 || mebibytes > 2047) {
        std::fprintf(stderr, "usage: crcbench [MiB, 1 to 2047]\n");
        return 2;
    }
    const std::size_t size = static_cast<std::size_t>(mebibytes) << 20;
    std::vector<std::uint8_t> data(size);
    std::mt19937 random(12345);
    for (auto& byte : data) {
        byte = static_cast<std::uint8_t>(random());
    }
    CrcTable table{};
    BuildCrcTable(table);

    auto start = std::chrono::steady_clock::now();
    const std::uint32_t crc = ComputeCrc(table, data.data(), data.size());
    const double memorySeconds = Seconds(start);
    std::printf("CRC loop over memory: %ld MiB in %.3f s, %.0f MB/s (crc %08X)\n", mebibytes,
                memorySeconds, static_cast<double>(size) / memorySeconds / 1e6,
                static_cast<unsigned>(crc));

    const std::filesystem::path path =
        std::filesystem::temp_directory_path() /
        ("sumwarden-crcbench-" + std::to_string(std::random_device{}()) + ".bin");
    std::FILE* file = std::fopen(path.string().c_str(), "wb");
    if (file == nullptr || std::fwrite(data.data(), 1, size, file) != size) {
        std::fprintf(stderr, "cannot write %s\n", path.string().c_str());
        if (file != nullptr) {
            std::fclose(file);
        }
        return 1;
    }
    std::fclose(file);

    NoProgress progress;
    start = std::chrono::steady_clock::now();
    const bool verified = VerifyFile(table, path.string().c_str(), static_cast<std::int32_t>(size),
                                     crc, progress, nullptr);
    const double fileSeconds = Seconds(start);
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
    std::printf("VerifyFile over a file: %ld MiB in %.3f s, %.0f MB/s (%s)\n", mebibytes,
                fileSeconds, static_cast<double>(size) / fileSeconds / 1e6,
                verified ? "verified" : "FAILED");
    return verified ? 0 : 1;
}
