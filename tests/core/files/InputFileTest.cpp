#include "core/files/InputFile.h"
#include "core/files/FileError.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <future>
#include <sys/stat.h>
#include <unistd.h>

namespace sonivera {

namespace {

// The message of the CannotOpen error reading `path` throws, or "read N bytes" when it succeeds.
std::string Outcome(const std::string& path) {
    try {
        return "read " + std::to_string(ReadWholeFile(path).size()) + " bytes";
    } catch (const FileError& e) {
        EXPECT_EQ(e.GetKind(), FileError::Kind::CannotOpen);
        EXPECT_EQ(e.Path(), path);
        return e.what();
    }
}

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

} // namespace

TEST(InputFile, NonRegularFilesAreRefusedWithoutWaiting) {
    TempDir dir;
    const std::string fifo = dir.File("pipe.json");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    auto reading = std::async(std::launch::async, [&] { return Outcome(fifo); });
    if (reading.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
        // Waiting for a writer: give it one that writes nothing, so the reader ends.
        close(open(fifo.c_str(), O_WRONLY | O_NONBLOCK));
        ADD_FAILURE() << "opening a FIFO waited for a writer";
        reading.wait();
        return; // a reader that waits on a FIFO would read /dev/zero until memory runs out
    }
    const std::string fifoOutcome = reading.get();
    EXPECT_TRUE(Contains(fifoOutcome, "Cannot open " + fifo + ": not a regular file"))
        << fifoOutcome;
    EXPECT_TRUE(Contains(Outcome("/dev/zero"), "not a regular file"));
    EXPECT_TRUE(Contains(Outcome(dir.Path().string()), "Is a directory"));
    EXPECT_TRUE(Contains(Outcome(dir.File("none")), "No such file or directory"));
}

TEST(InputFile, FilesUpToTheBoundAreReadLargerOnesRefused) {
    TempDir dir;
    const std::string path = dir.File("big.3d");
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT, 0600);
    ASSERT_GE(fd, 0);
    // Sparse: no disk space is used.
    ASSERT_EQ(ftruncate(fd, static_cast<off_t>(kMaxInputFileBytes + 1)), 0);
    close(fd);
    EXPECT_EQ(Outcome(path),
              "Cannot read " + path + ": larger than 256 MiB, the limit for an input file");
    ASSERT_EQ(truncate(path.c_str(), 5), 0);
    EXPECT_EQ(Outcome(path), "read 5 bytes");
}

TEST(InputFile, StreamsAreReadToTheBound) {
    // A pipe with a few bytes reads whole; an endless stream stops just past the bound.
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    ASSERT_EQ(write(ends[1], "{}\n", 3), 3);
    close(ends[1]);
    EXPECT_EQ(ReadWholeStream(ends[0], "standard input").size(), 3u);
    close(ends[0]);

    const int zero = open("/dev/zero", O_RDONLY);
    ASSERT_GE(zero, 0);
    try {
        ReadWholeStream(zero, "standard input");
        ADD_FAILURE() << "an endless stream was read";
    } catch (const FileError& e) {
        EXPECT_STREQ(
            e.what(),
            "Cannot read standard input: larger than 256 MiB, the limit for an input file");
    }
    close(zero);
}

} // namespace sonivera
