// What the disc layer lists and reads of a disc, for the tests of images: each file with its
// content's size and CRC, read as verify reads it.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "tools/crclist/discs/disc_reader.h"
#include "tools/crclist/text/encoding.h"

// Each file of `disc`, by its path on the disc in UTF-8 with '/' between folders.
using DiscDigests = std::map<std::string, std::pair<std::uint64_t, std::uint32_t>>;

inline DiscDigests Digests(const std::string& disc) {
    DiscDigests digests;
    std::unique_ptr<crclist::DiscReader> reader;
    std::string error;
    EXPECT_TRUE(crclist::OpenDisc(disc, &reader, &error)) << error;
    if (!reader) {
        return digests;
    }
    std::vector<crclist::DiscFile> files;
    std::vector<std::string> problems;
    EXPECT_TRUE(reader->ListFiles("", nullptr, &files, &problems));
    std::vector<std::string> names;
    for (const crclist::DiscFile& file : files) {
        std::string name;
        for (const std::string& component : file.components) {
            std::string sjis;
            EXPECT_TRUE(Utf8ToSjis(component, &sjis)) << component;
            name += (name.empty() ? "" : "\\") + sjis;
        }
        names.push_back(name);
    }
    struct Collect : crclist::ReadObserver {
        bool WantContent(std::size_t, std::uint64_t) const override { return true; }
        void BytesRead(std::uint64_t) override {}
        bool StopRequested() override { return false; }
        void Done(std::size_t index, const crclist::FileDigest& digest) override {
            EXPECT_EQ(digest.outcome, crclist::FileDigest::Outcome::kRead) << digest.path;
            (*digests)[(*files)[index].path.substr(disc->size() + 1)] = {digest.size, digest.crc};
        }
        DiscDigests* digests;
        const std::vector<crclist::DiscFile>* files;
        const std::string* disc;
    } collect;
    collect.digests = &digests;
    collect.files = &files;
    collect.disc = &disc;
    reader->Read(names, collect);
    return digests;
}
