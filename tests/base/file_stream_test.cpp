// The buffered file stream against an in-memory model under random seeks, reads and
// writes with several window sizes; access by mode; failures that must reach the
// caller (a full disk, the 4 GiB limit, a file cut short behind the stream).
#include "base/file_stream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <random>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

#include "base/error_codes.h"
#include "base/file_stream_test_hooks.h"
#include "tests/base/temp_folder.h"

namespace {

constexpr uint64_t kLimit = 0xFFFFFFFF;

// What the stream must behave like: a byte vector and a position.
struct Model {
    std::vector<uint8_t> bytes;
    uint64_t position = 0;

    uint32_t Seek(int32_t offset, uint16_t whence)
    {
        const int64_t base = whence == 0 ? 0 : whence == 1 ? int64_t(position) : int64_t(bytes.size());
        const int64_t target = whence == 2 ? base - offset : base + offset;
        position = uint64_t(std::clamp<int64_t>(target, 0, kLimit));
        return uint32_t(position);
    }
    std::vector<uint8_t> Read(uint32_t count)
    {
        if (position >= bytes.size())
            return {};
        const size_t n = std::min<size_t>(count, bytes.size() - position);
        std::vector<uint8_t> out(bytes.begin() + position, bytes.begin() + position + n);
        position += n;
        return out;
    }
    void Write(const std::vector<uint8_t>& data)
    {
        if (data.empty())
            return;
        if (position + data.size() > bytes.size())
            bytes.resize(position + data.size(), 0);  // a gap before the data is zeros
        std::copy(data.begin(), data.end(), bytes.begin() + position);
        position += data.size();
    }
};

// Replays random operations on a stream and the model with one window size, reopening
// the stream now and then so that what reached the disk is checked too.
void RunAgainstModel(uint32_t window, uint32_t seed)
{
    SCOPED_TRACE("window " + std::to_string(window));
    TempFolder temp;
    std::mt19937 random(seed);
    Model model;
    for (int i = 0; i < 300; ++i)
        model.bytes.push_back(uint8_t(random()));
    temp.Write("f", std::string(model.bytes.begin(), model.bytes.end()));
    const _tagPTzFILE path = temp.Record("f");
    _tagPTzIOSTREAM* stream = PTzFileStreamCreate_1(&path, 1, window);
    ASSERT_NE(stream, nullptr);
    const auto pick = [&](uint32_t limit) { return uint32_t(random() % (limit + 1)); };
    for (int step = 0; step < 3000; ++step) {
        switch (pick(9)) {
        case 0:
        case 1: {
            // Targets from a little before the start to a little past the end.
            const auto whence = uint16_t(pick(2));
            const int64_t target = int64_t(pick(uint32_t(model.bytes.size()) + 60)) - 20;
            const int64_t size = int64_t(model.bytes.size());
            const auto offset =
                int32_t(whence == 0 ? target : whence == 1 ? target - int64_t(model.position) : size - target);
            ASSERT_EQ(PTzIOStreamSeek(stream, offset, whence), model.Seek(offset, whence)) << step;
            break;
        }
        case 2:
        case 3:
        case 4:
        case 5: {
            const uint32_t count = pick(3 * window + 8);
            std::vector<uint8_t> got(count + 1, 0xEE);
            const std::vector<uint8_t> expected = model.Read(count);
            ASSERT_EQ(PTzIOStreamRead(stream, got.data(), count), expected.size()) << step;
            ASSERT_TRUE(std::equal(expected.begin(), expected.end(), got.begin())) << step;
            ASSERT_EQ(got[expected.size()], 0xEE) << "wrote past the count at step " << step;
            break;
        }
        case 6:
        case 7:
        case 8: {
            std::vector<uint8_t> data(pick(3 * window + 8));
            for (auto& byte : data)
                byte = uint8_t(random() | 1);  // never zero, so a missing gap fill shows
            ASSERT_EQ(PTzIOStreamWrite(stream, data.data(), uint32_t(data.size())), data.size())
                << step << " error " << PTzGetLastError();
            model.Write(data);
            break;
        }
        case 9: {
            ASSERT_EQ(PTzFileStreamDestory(stream), 1) << step;
            ASSERT_EQ(temp.Read("f"), std::string(model.bytes.begin(), model.bytes.end())) << step;
            stream = PTzFileStreamCreate_1(&path, 1, window);
            ASSERT_NE(stream, nullptr);
            model.position = 0;
            break;
        }
        }
        uint32_t high = 7;
        ASSERT_EQ(PTzIOStreamSize(stream, &high), model.bytes.size()) << step;
        ASSERT_EQ(high, 0u);
    }
    ASSERT_EQ(PTzFileStreamDestory(stream), 1);
    EXPECT_EQ(temp.Read("f"), std::string(model.bytes.begin(), model.bytes.end()));
}

TEST(FileStream, MatchesTheModelForEveryWindowSize)
{
    uint32_t seed = 1;
    for (uint32_t window : {1u, 3u, 16u, 100u, 4096u})
        RunAgainstModel(window, seed++);
}

TEST(FileStream, ReadOfATenByteFile)
{
    TempFolder temp;
    temp.Write("ten", "0123456789");
    const _tagPTzFILE path = temp.Record("ten");
    _tagPTzIOSTREAM* stream = PTzFileStreamCreate(&path, 2);
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(PTzIOStreamSeek(stream, 0, 2), 10u);
    EXPECT_EQ(PTzIOStreamSeek(stream, 4, 0), 4u);
    char buffer[20] = {};
    EXPECT_EQ(PTzIOStreamRead(stream, buffer, 20), 6u);
    EXPECT_STREQ(buffer, "456789");
    EXPECT_EQ(PTzFileStreamDestory(stream), 1);
}

TEST(FileStream, ASmallWriteLeavesASmallFile)
{
    TempFolder temp;
    temp.Write("empty", "");
    const _tagPTzFILE path = temp.Record("empty");
    _tagPTzIOSTREAM* stream = PTzFileStreamCreate(&path, 3);
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(PTzIOStreamWrite(stream, "abc", 3), 3u);
    EXPECT_EQ(PTzFileStreamDestory(stream), 1);
    EXPECT_EQ(temp.Read("empty"), "abc");
}

TEST(FileStream, ModesAllowTheirTransfersOnly)
{
    TempFolder temp;
    temp.Write("f", "data");
    const _tagPTzFILE path = temp.Record("f");
    char buffer[4];

    _tagPTzIOSTREAM* reader = PTzFileStreamCreate(&path, 2);
    ASSERT_NE(reader, nullptr);
    EXPECT_EQ(PTzIOStreamWrite(reader, "xx", 2), 0u);
    EXPECT_EQ(PTzGetLastError(), PTzERR_BAD_ARGUMENT);
    EXPECT_EQ(PTzFileStreamDestory(reader), 1);

    _tagPTzIOSTREAM* writer = PTzFileStreamCreate(&path, 3);
    ASSERT_NE(writer, nullptr);
    EXPECT_EQ(PTzIOStreamRead(writer, buffer, 4), 0u);
    EXPECT_EQ(PTzFileStreamDestory(writer), 1);

    _tagPTzIOSTREAM* both = PTzFileStreamCreate(&path, 1);
    ASSERT_NE(both, nullptr);
    EXPECT_EQ(PTzIOStreamWrite(both, "DA", 2), 2u);
    EXPECT_EQ(PTzIOStreamRead(both, buffer, 2), 2u);
    EXPECT_EQ(std::string(buffer, 2), "ta");
    EXPECT_EQ(PTzFileStreamDestory(both), 1);
    EXPECT_EQ(temp.Read("f"), "DAta");

    for (uint32_t mode : {0u, 4u}) {
        EXPECT_EQ(PTzFileStreamCreate(&path, mode), nullptr);
        EXPECT_EQ(PTzGetLastError(), PTzERR_BAD_ARGUMENT);
    }
    EXPECT_EQ(PTzFileStreamCreate_1(&path, 1, 0), nullptr);
    EXPECT_EQ(PTzGetLastError(), PTzERR_BAD_ARGUMENT);
}

TEST(FileStream, OpensOnlyAnExistingRegularFileNoOneHolds)
{
    TempFolder temp;
    const _tagPTzFILE missing = temp.Record("missing");
    EXPECT_EQ(PTzFileStreamCreate(&missing, 1), nullptr);
    EXPECT_EQ(PTzGetLastError(), ENOENT);

    ASSERT_EQ(mkfifo(temp.Item("fifo").c_str(), 0600), 0);
    const _tagPTzFILE fifo = temp.Record("fifo");
    EXPECT_EQ(PTzFileStreamCreate(&fifo, 2), nullptr);
    EXPECT_EQ(PTzFileStreamCreateEx(&fifo, 2), nullptr);

    temp.Write("held", "x");
    const _tagPTzFILE held = temp.Record("held");
    _tagPTzIOSTREAM* first = PTzFileStreamCreate(&held, 2);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(PTzFileStreamCreate(&held, 2), nullptr);
    EXPECT_EQ(PTzGetLastError(), EWOULDBLOCK);
    EXPECT_EQ(PTzFileStreamCreateEx(&held, 2), nullptr);
    PTzFileStreamDestory(first);
}

TEST(FileStream, CreateExMakesTheFileAndItsFolders)
{
    TempFolder temp;
    const _tagPTzFILE path = temp.Record("x/y/new");
    _tagPTzIOSTREAM* stream = PTzFileStreamCreateEx(&path, 3);
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(PTzIOStreamWrite(stream, "hello", 5), 5u);
    EXPECT_EQ(PTzFileStreamDestory(stream), 1);
    EXPECT_EQ(temp.Read("x/y/new"), "hello");
}

TEST(FileStream, AFullDiskFailsTheWritesAndTheDestroy)
{
    // Bytes held in the window: the write-back at destroy fails.
    _tagPTzIOSTREAM* stream = PTzTestFileStreamOverDescriptor(open("/dev/full", O_WRONLY | O_CLOEXEC), 3, 16);
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(PTzIOStreamWrite(stream, "0123456789", 10), 10u);
    PTzSetLastError(0);
    EXPECT_EQ(PTzFileStreamDestory(stream), 0);
    EXPECT_EQ(PTzGetLastError(), ENOSPC);

    // A write that moves the window comes back short, and the stream stays failed.
    stream = PTzTestFileStreamOverDescriptor(open("/dev/full", O_WRONLY | O_CLOEXEC), 3, 16);
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(PTzIOStreamWrite(stream, "0123456789", 10), 10u);
    EXPECT_EQ(PTzIOStreamWrite(stream, "0123456789", 10), 6u);
    EXPECT_EQ(PTzIOStreamWrite(stream, "0", 1), 0u);
    EXPECT_EQ(PTzGetLastError(), ENOSPC);
    EXPECT_EQ(PTzFileStreamDestory(stream), 0);

    // A write larger than the window fills the window, and fails when it moves on.
    stream = PTzTestFileStreamOverDescriptor(open("/dev/full", O_WRONLY | O_CLOEXEC), 3, 16);
    ASSERT_NE(stream, nullptr);
    const std::vector<uint8_t> big(100, 1);
    EXPECT_EQ(PTzIOStreamWrite(stream, big.data(), 100), 16u);
    EXPECT_EQ(PTzGetLastError(), ENOSPC);
    EXPECT_EQ(PTzFileStreamDestory(stream), 0);

    // Nothing written: setting the end of the file fails all the same.
    stream = PTzTestFileStreamOverDescriptor(open("/dev/full", O_WRONLY | O_CLOEXEC), 3, 16);
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(PTzFileStreamDestory(stream), 0);
    EXPECT_NE(PTzGetLastError(), 0);
}

TEST(FileStream, RefusesAFileOf4GiB)
{
    TempFolder temp;
    temp.Write("big", "");
    ASSERT_EQ(truncate(temp.Item("big").c_str(), off_t(1) << 32), 0);
    const _tagPTzFILE path = temp.Record("big");
    EXPECT_EQ(PTzFileStreamCreate(&path, 2), nullptr);
    EXPECT_EQ(PTzGetLastError(), EFBIG);

    ASSERT_EQ(truncate(temp.Item("big").c_str(), off_t(kLimit)), 0);
    _tagPTzIOSTREAM* stream = PTzFileStreamCreate(&path, 2);
    ASSERT_NE(stream, nullptr);
    uint32_t high = 7;
    EXPECT_EQ(PTzIOStreamSize(stream, &high), kLimit);
    EXPECT_EQ(high, 0u);
    EXPECT_EQ(PTzFileStreamDestory(stream), 1);
}

TEST(FileStream, WritesStopShortOf4GiBInsteadOfWrapping)
{
    TempFolder temp;
    temp.Write("f", "");
    const _tagPTzFILE path = temp.Record("f");
    _tagPTzIOSTREAM* stream = PTzFileStreamCreate_1(&path, 3, 64);
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(PTzIOStreamSeek(stream, INT32_MAX, 0), uint32_t(INT32_MAX));
    EXPECT_EQ(PTzIOStreamSeek(stream, INT32_MAX, 1), 0xFFFFFFFEu);
    EXPECT_EQ(PTzIOStreamSeek(stream, 100, 1), 0xFFFFFFFFu);  // positions stop there too
    EXPECT_EQ(PTzIOStreamSeek(stream, 16, 2), 0u);        // size 0 minus 16
    EXPECT_EQ(PTzIOStreamSeek(stream, INT32_MAX, 0), uint32_t(INT32_MAX));
    EXPECT_EQ(PTzIOStreamSeek(stream, INT32_MAX - 14, 1), 0xFFFFFFF0u);
    const std::vector<uint8_t> data(32, 0xAB);
    EXPECT_EQ(PTzIOStreamWrite(stream, data.data(), 32), 15u);
    EXPECT_EQ(PTzGetLastError(), EFBIG);
    EXPECT_EQ(PTzIOStreamSize(stream, nullptr), kLimit);
    EXPECT_EQ(PTzFileStreamDestory(stream), 1);

    struct stat info {};
    ASSERT_EQ(stat(temp.Item("f").c_str(), &info), 0);
    EXPECT_EQ(uint64_t(info.st_size), kLimit);
    const int fd = open(temp.Item("f").c_str(), O_RDONLY | O_CLOEXEC);
    char head[16];
    EXPECT_EQ(pread(fd, head, 16, 0), 16);
    close(fd);
    EXPECT_EQ(std::string(head, 16), std::string(16, '\0'));
}

TEST(FileStream, AFileCutShortBehindTheStreamGivesShortReads)
{
    TempFolder temp;
    temp.Write("f", std::string(100, 'z'));
    const _tagPTzFILE path = temp.Record("f");
    _tagPTzIOSTREAM* stream = PTzFileStreamCreate_1(&path, 2, 16);
    ASSERT_NE(stream, nullptr);
    char buffer[40];
    EXPECT_EQ(PTzIOStreamRead(stream, buffer, 10), 10u);
    ASSERT_EQ(truncate(temp.Item("f").c_str(), 20), 0);  // the lock is advisory
    PTzIOStreamSeek(stream, 50, 0);
    EXPECT_EQ(PTzIOStreamRead(stream, buffer, 30), 0u);
    PTzIOStreamSeek(stream, 15, 0);
    std::fill(std::begin(buffer), std::end(buffer), 'E');
    EXPECT_EQ(PTzIOStreamRead(stream, buffer, 10), 5u);
    EXPECT_EQ(std::string(buffer, 6), "zzzzzE");
    EXPECT_EQ(PTzFileStreamDestory(stream), 1);
}

// Large reads go straight into the caller's buffer, between small ones served from what
// was read ahead, interleaved with writes: the stream still matches the model.
TEST(FileStream, LargeReadsBetweenSmallReadsAndWritesMatchTheModel)
{
    constexpr uint32_t kWindow = 65536;
    TempFolder temp;
    Model model;
    for (uint32_t i = 0; i < 5 * kWindow + 77; ++i)
        model.bytes.push_back(uint8_t(i * 131 + (i >> 9)));
    temp.Write("f", std::string(model.bytes.begin(), model.bytes.end()));
    const _tagPTzFILE path = temp.Record("f");
    _tagPTzIOSTREAM* stream = PTzFileStreamCreate_1(&path, 1, kWindow);
    ASSERT_NE(stream, nullptr);
    const std::vector<uint8_t> patch(10, 0xA5);
    // (count, 0) reads; (0, 1) writes the patch; the last read runs past the end.
    const std::vector<std::pair<uint32_t, int>> steps = {
        {1, 0}, {kWindow, 0}, {1, 0}, {kWindow / 4, 0}, {3, 0}, {0, 1}, {kWindow, 0}, {0, 1},
        {2, 0}, {kWindow * 2 + 5, 0}, {kWindow / 4 - 1, 0}, {kWindow, 0}, {kWindow * 3, 0}};
    for (size_t i = 0; i < steps.size(); ++i) {
        if (steps[i].second) {
            ASSERT_EQ(PTzIOStreamWrite(stream, patch.data(), uint32_t(patch.size())), patch.size()) << i;
            model.Write(patch);
            continue;
        }
        const uint32_t count = steps[i].first;
        std::vector<uint8_t> got(count + 1, 0xEE);
        const std::vector<uint8_t> expected = model.Read(count);
        ASSERT_EQ(PTzIOStreamRead(stream, got.data(), count), expected.size()) << i;
        ASSERT_TRUE(std::equal(expected.begin(), expected.end(), got.begin())) << i;
        ASSERT_EQ(got[expected.size()], 0xEE) << "wrote past the count at step " << i;
        ASSERT_EQ(PTzIOStreamSeek(stream, 0, 1), model.position) << i;
    }
    ASSERT_EQ(PTzFileStreamDestory(stream), 1);
    EXPECT_EQ(temp.Read("f"), std::string(model.bytes.begin(), model.bytes.end()));
}

TEST(FileStream, ALargeReadStartsWithTheWindowsUnsavedBytes)
{
    TempFolder temp;
    temp.Write("f", std::string(300000, 'o'));
    const _tagPTzFILE path = temp.Record("f");
    _tagPTzIOSTREAM* stream = PTzFileStreamCreate_1(&path, 1, 65536);
    ASSERT_NE(stream, nullptr);
    ASSERT_EQ(PTzIOStreamWrite(stream, std::string(100, 'n').data(), 100), 100u);
    PTzIOStreamSeek(stream, 0, 0);
    std::string got(200000, '?');
    ASSERT_EQ(PTzIOStreamRead(stream, got.data(), 200000), 200000u);
    EXPECT_EQ(got, std::string(100, 'n') + std::string(199900, 'o'));
    EXPECT_EQ(PTzFileStreamDestory(stream), 1);
    EXPECT_EQ(temp.Read("f"), std::string(100, 'n') + std::string(299900, 'o'));
}

TEST(FileStream, ALargeReadOfAFileCutShortStopsAtItsNewEnd)
{
    TempFolder temp;
    temp.Write("f", std::string(300000, 'z'));
    const _tagPTzFILE path = temp.Record("f");
    _tagPTzIOSTREAM* stream = PTzFileStreamCreate_1(&path, 2, 65536);
    ASSERT_NE(stream, nullptr);
    std::string got(200001, 'E');
    ASSERT_EQ(PTzIOStreamRead(stream, got.data(), 10), 10u);
    ASSERT_EQ(truncate(temp.Item("f").c_str(), 100000), 0);  // the lock is advisory
    PTzIOStreamSeek(stream, 70000, 0);
    EXPECT_EQ(PTzIOStreamRead(stream, got.data(), 200000), 30000u);
    EXPECT_EQ(got.substr(0, 30001), std::string(30000, 'z') + "E");
    EXPECT_EQ(PTzIOStreamSeek(stream, 0, 1), 100000u);
    EXPECT_EQ(PTzIOStreamRead(stream, got.data(), 200000), 0u);
    EXPECT_EQ(PTzFileStreamDestory(stream), 1);
}

}  // namespace
