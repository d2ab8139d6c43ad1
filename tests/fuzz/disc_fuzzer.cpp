// The disc-image layer on arbitrary bytes: the sheet parsers on the input as text, and the
// input opened as a disc (a plain or raw image, or a sheet), listed and every file read to
// its end. Damaged directories and sheets must never crash it or make it loop, and a disc
// that opens must report each file it is asked for exactly once.
//
// An input that starts with a byte other than zero and holds a zero byte is a sheet and its
// image: the text before the first zero is written as disc.cue (disc.ccd when it begins as
// CloneCD's do) and the bytes after it as disc.img beside it. Any other input is an image, and
// so is one that ends with a Nero footer, whatever its first byte: a mutation of a Nero seed
// stays a Nero image.
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/fuzz/fuzz_scratch.h"
#include "tools/crclist/discs/disc_reader.h"
#include "tools/crclist/images/ccd_sheet.h"
#include "tools/crclist/images/cue_sheet.h"
#include "tools/crclist/text/encoding.h"

namespace {

std::string& Folder() {
    static std::string folder;
    return folder;
}

// Every input starts from an empty folder: what one left must not change the next.
void ClearFolder() {
    for (const char* name : {"disc", "disc.cue", "disc.ccd", "disc.img"}) {
        std::remove((Folder() + "/" + name).c_str());
    }
}

void RemoveFolder() {
    ClearFolder();
    ::rmdir(Folder().c_str());
}

void WriteFile(const std::string& name, const std::string& bytes) {
    const std::string path = Folder() + "/" + name;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    fuzz::Require(file != nullptr, "cannot create a scratch file");
    fuzz::Require(bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size(),
                  "cannot write a scratch file");
    fuzz::Require(std::fclose(file) == 0, "cannot close a scratch file");
}

// Wants every file whole, and counts what it is told.
class Reading : public crclist::ReadObserver {
  public:
    explicit Reading(std::size_t count) : done_(count, 0) {}
    bool WantContent(std::size_t index, std::uint64_t /*size*/) const override {
        fuzz::Require(index < done_.size(), "a file outside the request");
        return true;
    }
    void BytesRead(std::uint64_t /*count*/) override {}
    bool StopRequested() override { return false; }
    void Done(std::size_t index, const crclist::FileDigest& /*digest*/) override {
        fuzz::Require(index < done_.size() && done_[index]++ == 0, "a file reported twice");
    }
    bool AllDone() const {
        for (const int done : done_) {
            if (done != 1) {
                return false;
            }
        }
        return true;
    }

  private:
    std::vector<int> done_;
};

// Whether `input` ends as a Nero image does: "NER5" and a 64-bit offset, or "NERO" and a 32-bit
// one.
bool EndsWithNeroFooter(const std::string& input) {
    return (input.size() >= 12 && input.compare(input.size() - 12, 4, "NER5") == 0) ||
           (input.size() >= 8 && input.compare(input.size() - 8, 4, "NERO") == 0);
}

void ReadDisc(const std::string& where) {
    std::unique_ptr<crclist::DiscReader> reader;
    std::string error;
    if (!crclist::OpenDisc(where, &reader, &error)) {
        fuzz::Require(!error.empty(), "a disc refused without a reason");
        return;
    }
    std::vector<crclist::DiscFile> files;
    std::vector<std::string> problems;
    fuzz::Require(reader->ListFiles("", nullptr, &files, &problems),
                  "an opened image that cannot list");
    std::vector<std::string> names;
    for (const crclist::DiscFile& file : files) {
        std::string name;
        for (const std::string& component : file.components) {
            std::string sjis;
            name += (name.empty() ? "" : "\\") + (Utf8ToSjis(component, &sjis) ? sjis : component);
        }
        names.push_back(name);
    }
    names.emplace_back("CRCLIST.INF");
    Reading reading(names.size());
    reader->Read(names, reading);
    fuzz::Require(reading.AllDone(), "a file not reported");
    std::string bytes;
    std::string found_at;
    reader->ReadSmallFile("crclist.INF", &bytes, &found_at, &error);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
    fuzz::FuzzerName() = "disc_fuzzer";
    const char* temporary = std::getenv("TMPDIR");
    std::string pattern =
        std::string(temporary != nullptr && *temporary != '\0' ? temporary : "/tmp") +
        "/disc_fuzzer_XXXXXX";
    fuzz::Require(::mkdtemp(&pattern[0]) != nullptr, "cannot make the scratch folder");
    Folder() = pattern;
    std::atexit(RemoveFolder);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    std::vector<crclist::CueTrack> cue;
    std::vector<crclist::CcdTrack> ccd;
    std::string error;
    crclist::ParseCueSheet(input, &cue, &error);
    crclist::ParseCcdSheet(input, &ccd, &error);

    ClearFolder();  // new files each time: see WriteScratch
    const auto zero = input.find('\0');
    if (!input.empty() && input[0] != '\0' && zero != std::string::npos &&
        !EndsWithNeroFooter(input)) {
        const std::string sheet = input.substr(0, zero);
        const std::string name = crclist::LooksLikeCcdSheet(sheet) ? "disc.ccd" : "disc.cue";
        WriteFile(name, sheet);
        WriteFile("disc.img", input.substr(zero + 1));
        ReadDisc(Folder() + "/" + name);
    } else {
        WriteFile("disc", input);
        ReadDisc(Folder() + "/disc");
    }
    return 0;
}
