#include "io/data_file.h"

#include <gtest/gtest.h>
#include <pty.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "io/scratch_dir.h"
#include "io/unique_fd.h"

namespace mvex {
namespace {

using std::string_literals::operator""s;

// `size` bytes that run through every byte value.
std::string patternBytes(size_t size) {
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7 + 3) & 0xFF);
  return bytes;
}

// Reads bytes until `count` is 0 or `limit` bytes came; returns them.
std::string readAll(DataFile& file, size_t limit) {
  std::string bytes;
  char c = 0;
  int count = 1;
  while (bytes.size() < limit && file.readByte(c, count) == 0 && count == 1) bytes += c;
  return bytes;
}

TEST(DataFileTest, EndTestTurnsTrueExactlyAfterTheLastByte) {
  ScratchDir dir;
  for (size_t size : {0, 1, 5, 8191, 8192, 8193, 20000}) {
    SCOPED_TRACE(size);
    const std::string bytes = patternBytes(size);
    ASSERT_TRUE(writeWholeFile(dir.file("in"), bytes));
    DataFile file;
    ASSERT_EQ(0, file.openFile(dir.file("in"), OpenMode::input));
    std::string got;
    for (size_t i = 0; i < size; ++i) {
      ASSERT_FALSE(file.atEnd()) << "before read " << i;
      char c = 0;
      int count = 0;
      ASSERT_EQ(0, file.readByte(c, count));
      ASSERT_EQ(1, count);
      got += c;
    }
    EXPECT_TRUE(file.atEnd());
    EXPECT_EQ(bytes, got);
    char c = 'x';
    int count = 7;
    EXPECT_EQ(0, file.readByte(c, count));
    EXPECT_EQ('\0', c);
    EXPECT_EQ(0, count);
    EXPECT_EQ(0, file.closeFile());
  }
}

TEST(DataFileTest, EndTestHoldsToTheSizeMeasuredAtOpenWhenTheFileGrows) {
  ScratchDir dir;
  ASSERT_TRUE(writeWholeFile(dir.file("in"), "abc"));
  DataFile file;
  ASSERT_EQ(0, file.openFile(dir.file("in"), OpenMode::input));
  ASSERT_TRUE(writeWholeFile(dir.file("in"), "abcdef"));
  EXPECT_EQ("abc", readAll(file, 3));
  EXPECT_TRUE(file.atEnd());
}

TEST(DataFileTest, EndTestTurnsTrueWhenAShrunkenFileGivesNoMoreBytes) {
  ScratchDir dir;
  ASSERT_TRUE(writeWholeFile(dir.file("in"), "0123456789"));
  DataFile file;
  ASSERT_EQ(0, file.openFile(dir.file("in"), OpenMode::input));
  std::filesystem::resize_file(dir.file("in"), 4);
  EXPECT_EQ("0123", readAll(file, 4));
  EXPECT_FALSE(file.atEnd());
  EXPECT_EQ("", readAll(file, 1));
  EXPECT_TRUE(file.atEnd());
}

TEST(DataFileTest, ReadErrorEndsTheReadingInsteadOfNeverReachingTheEnd) {
  // A directory opens for reading and may report a huge length, but gives no bytes.
  ScratchDir dir;
  DataFile file;
  if (file.openFile(dir.path(), OpenMode::input) != 0) GTEST_SKIP() << "directory has no length";
  EXPECT_EQ("", readAll(file, 1));
  EXPECT_TRUE(file.atEnd());
}

TEST(DataFileTest, BackslashInANameActsAsSlash) {
  ScratchDir dir;
  std::filesystem::create_directory(dir.file("sub"));
  ASSERT_TRUE(writeWholeFile(dir.file("sub/in.hex"), "0000:"));
  DataFile file;
  ASSERT_EQ(0, file.openFile(dir.path() + "\\sub\\in.hex", OpenMode::input));
  EXPECT_EQ("0000:", readAll(file, 10));
  EXPECT_EQ(0, file.closeFile());

  ASSERT_EQ(0, file.openFile(dir.path() + "\\sub\\out.hex", OpenMode::output));
  EXPECT_EQ(0, file.writeText("ok"));
  EXPECT_EQ(0, file.closeFile());
  EXPECT_EQ("ok", readWholeFile(dir.file("sub/out.hex")));
}

TEST(DataFileTest, OutputOpenTruncatesAnExistingFileAtOnce) {
  ScratchDir dir;
  ASSERT_TRUE(writeWholeFile(dir.file("out"), "old contents"));
  DataFile file;
  ASSERT_EQ(0, file.openFile(dir.file("out"), OpenMode::output));
  EXPECT_EQ(0u, std::filesystem::file_size(dir.file("out")));
  EXPECT_EQ(0, file.closeFile());
  EXPECT_EQ("", readWholeFile(dir.file("out")));
}

TEST(DataFileTest, WritesTextBytesUnchangedAndLineEndAsOneLf) {
  const struct {
    std::string text;
    bool lineEnd;
    std::string bytes;
  } kCases[] = {
      {"END", true, "\x45\x4E\x44\x0A"},           {"", true, "\x0A"},   {"", false, ""},
      {"a\r\nb\0c\xFF"s, false, "a\r\nb\0c\xFF"s}, {"\r", true, "\r\n"},
  };
  ScratchDir dir;
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.text + (c.lineEnd ? " +LF" : ""));
    DataFile file;
    ASSERT_EQ(0, file.openFile(dir.file("out"), OpenMode::output));
    EXPECT_EQ(0, file.writeText(c.text, c.lineEnd));
    EXPECT_EQ(0, file.closeFile());
    EXPECT_EQ(c.bytes, readWholeFile(dir.file("out")));
  }
}

TEST(DataFileTest, ManySingleByteWritesReachTheFileInOrder) {
  ScratchDir dir;
  const std::string bytes = patternBytes(3 * DataFile::kBufferSize + 17);
  DataFile file;
  ASSERT_EQ(0, file.openFile(dir.file("dump.hex"), OpenMode::output));
  for (char c : bytes) ASSERT_EQ(0, file.writeText(std::string(1, c)));
  ASSERT_EQ(0, file.writeText("END", true));
  EXPECT_EQ(0, file.closeFile());
  EXPECT_EQ(bytes + "END\n", readWholeFile(dir.file("dump.hex")));
}

TEST(DataFileTest, DestroyingAnOpenFileWritesOutItsBuffer) {
  ScratchDir dir;
  {
    DataFile file;
    ASSERT_EQ(0, file.openFile(dir.file("out"), OpenMode::output));
    ASSERT_EQ(0, file.writeText("kept", true));
  }
  EXPECT_EQ("kept\n", readWholeFile(dir.file("out")));
}

TEST(DataFileTest, ClosedFileRefusesEveryOperationWithBadCall) {
  ScratchDir dir;
  ASSERT_TRUE(writeWholeFile(dir.file("in"), "abc"));
  DataFile file;
  ASSERT_EQ(0, file.openFile(dir.file("in"), OpenMode::input));
  EXPECT_EQ(0, file.closeFile());
  EXPECT_EQ(1, file.closeFile());
  EXPECT_FALSE(file.isOpen());
  char c = 'x';
  int count = 7;
  EXPECT_EQ(1, file.readByte(c, count));
  EXPECT_EQ('x', c);
  EXPECT_EQ(7, count);
  EXPECT_EQ(1, file.putBackByte('a'));
  EXPECT_EQ(1, file.writeText("a", true));
  EXPECT_TRUE(file.atEnd());
  // Closed means reusable: the same object opens the file again from its start.
  ASSERT_EQ(0, file.openFile(dir.file("in"), OpenMode::input));
  EXPECT_EQ("abc", readAll(file, 10));
}

TEST(DataFileTest, OpenOnAnOpenFileGivesBadCallAndKeepsItOpen) {
  ScratchDir dir;
  ASSERT_TRUE(writeWholeFile(dir.file("in"), "abc"));
  ASSERT_TRUE(writeWholeFile(dir.file("other"), "keep"));
  DataFile file;
  ASSERT_EQ(0, file.openFile(dir.file("in"), OpenMode::input));
  EXPECT_EQ("a", readAll(file, 1));
  EXPECT_EQ(1, file.openFile(dir.file("other"), OpenMode::output));
  EXPECT_EQ("keep", readWholeFile(dir.file("other")));
  EXPECT_EQ("bc", readAll(file, 10));
}

TEST(DataFileTest, InputOpenFailsOnNamesThatCannotBeReadToAnEnd) {
  ScratchDir dir;
  ASSERT_TRUE(writeWholeFile(dir.file("a"), "abc"));
  int pipeFds[2];
  ASSERT_EQ(0, ::pipe(pipeFds));
  const UniqueFd pipeRead(pipeFds[0]), pipeWrite(pipeFds[1]);
  int master = -1, slave = -1;
  ASSERT_EQ(0, ::openpty(&master, &slave, nullptr, nullptr, nullptr));
  const UniqueFd ptyMaster(master), ptySlave(slave);
  const struct {
    std::string name;
    int result;
  } kCases[] = {
      {dir.file("missing"), 2},       {"", 2},
      {dir.file("a") + "\0b"s, 2},    {"/proc/self/fd/" + std::to_string(pipeRead.get()), 1},
      {::ttyname(ptySlave.get()), 1},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    DataFile file;
    EXPECT_EQ(c.result, file.openFile(c.name, OpenMode::input));
    EXPECT_FALSE(file.isOpen());
  }
}

TEST(DataFileTest, OutputOpenThatCannotWriteFailsInsteadOfOpeningReadOnly) {
  ScratchDir dir;
  std::filesystem::create_directory(dir.file("sub"));
  ASSERT_TRUE(writeWholeFile(dir.file("a"), "abc"));
  const struct {
    std::string name;
  } kCases[] = {
      {dir.file("sub")},
      {dir.file("missing/out")},
      {dir.file("a/out")},
      {dir.file("a") + "\0b"s},
      {""},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    DataFile file;
    EXPECT_EQ(2, file.openFile(c.name, OpenMode::output));
    EXPECT_FALSE(file.isOpen());
  }
  EXPECT_EQ("abc", readWholeFile(dir.file("a")));
  EXPECT_TRUE(std::filesystem::is_directory(dir.file("sub")));
}

TEST(DataFileTest, OutputOpenOfAReadOnlyFileFailsAndKeepsItsContents) {
  if (::geteuid() == 0) GTEST_SKIP() << "root may write a read-only file";
  ScratchDir dir;
  ASSERT_TRUE(writeWholeFile(dir.file("ro"), "abc"));
  ASSERT_EQ(0, ::chmod(dir.file("ro").c_str(), 0444));
  DataFile file;
  EXPECT_EQ(2, file.openFile(dir.file("ro"), OpenMode::output));
  EXPECT_FALSE(file.isOpen());
  EXPECT_EQ("abc", readWholeFile(dir.file("ro")));
}

TEST(DataFileTest, WritingAnInputFileGivesInputOutputAndLeavesItUnchanged) {
  ScratchDir dir;
  ASSERT_TRUE(writeWholeFile(dir.file("in"), "abc"));
  DataFile file;
  ASSERT_EQ(0, file.openFile(dir.file("in"), OpenMode::input));
  EXPECT_EQ(3, file.writeText("x"));
  EXPECT_EQ(3, file.writeText("", true));
  EXPECT_EQ(0, file.writeText(""));
  EXPECT_EQ(0, file.closeFile());
  EXPECT_EQ("abc", readWholeFile(dir.file("in")));
}

TEST(DataFileTest, CloseReportsAWriteOutThatFailed) {
  // /dev/full takes the bytes into the buffer and refuses them when it is written out.
  DataFile file;
  ASSERT_EQ(0, file.openFile("/dev/full", OpenMode::output));
  EXPECT_EQ(0, file.writeText("END", true));
  EXPECT_EQ(3, file.closeFile());
  EXPECT_FALSE(file.isOpen());
}

TEST(DataFileTest, FailedWriteOutIsReportedByThatWriteAndEveryLaterOne) {
  DataFile file;
  ASSERT_EQ(0, file.openFile("/dev/full", OpenMode::output));
  EXPECT_EQ(3, file.writeText(std::string(DataFile::kBufferSize + 1, 'x')));
  EXPECT_EQ(3, file.writeText("y"));
  EXPECT_EQ(3, file.closeFile());
  // The next open starts afresh.
  ScratchDir dir;
  ASSERT_EQ(0, file.openFile(dir.file("out"), OpenMode::output));
  EXPECT_EQ(0, file.writeText("y"));
  EXPECT_EQ(0, file.closeFile());
}

TEST(DataFileTest, GivenBackBytesComeFirstNewestFirstUpToFour) {
  ScratchDir dir;
  ASSERT_TRUE(writeWholeFile(dir.file("in"), ""));
  DataFile file;
  ASSERT_EQ(0, file.openFile(dir.file("in"), OpenMode::input));
  EXPECT_TRUE(file.atEnd());
  for (char c : std::string("abcd")) ASSERT_EQ(0, file.putBackByte(c));
  EXPECT_EQ(3, file.putBackByte('e'));
  EXPECT_FALSE(file.atEnd());
  EXPECT_EQ("dcba", readAll(file, 10));
  EXPECT_TRUE(file.atEnd());
}

TEST(DataFileTest, GivenBackBytesComeBeforeTheRestOfTheFile) {
  ScratchDir dir;
  ASSERT_TRUE(writeWholeFile(dir.file("in"), "123"));
  DataFile file;
  ASSERT_EQ(0, file.openFile(dir.file("in"), OpenMode::input));
  EXPECT_EQ("1", readAll(file, 1));
  ASSERT_EQ(0, file.putBackByte('x'));
  EXPECT_EQ("x23", readAll(file, 10));
}

TEST(DataFileTest, WritingDropsGivenBackBytes) {
  ScratchDir dir;
  DataFile file;
  ASSERT_EQ(0, file.openFile(dir.file("out"), OpenMode::output));
  ASSERT_EQ(0, file.putBackByte('x'));
  EXPECT_EQ(0, file.writeText("a"));
  EXPECT_EQ("", readAll(file, 1));
  EXPECT_FALSE(file.atEnd());
}

TEST(DeleteFileTest, MapsEachFailureToItsNumber) {
  ScratchDir dir;
  ASSERT_TRUE(writeWholeFile(dir.file("a"), "abc"));
  std::filesystem::create_directory(dir.file("sub"));
  ASSERT_TRUE(writeWholeFile(dir.file("sub/f"), "f"));
  const struct {
    std::string name;
    int result;
  } kCases[] = {
      {"", 0},
      {dir.file("missing"), 2},
      {dir.file("a") + "\0b"s, 2},
      {dir.path() + "\\sub\\f", 2},
      {dir.file("a/x"), 1},
      {dir.file("sub"), 1},
      // /proc refuses every removal: EPERM for root, EACCES for anyone else.
      {"/proc/version", ::geteuid() == 0 ? 8 : 3},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.result, deleteFile(c.name));
  }
  EXPECT_EQ("abc", readWholeFile(dir.file("a")));
  EXPECT_EQ("f", readWholeFile(dir.file("sub/f")));
}

TEST(DeleteFileTest, RemovesAnExistingFile) {
  ScratchDir dir;
  ASSERT_TRUE(writeWholeFile(dir.file("mvexterm.tmpbytes"), "x"));
  EXPECT_EQ(0, deleteFile(dir.file("mvexterm.tmpbytes")));
  EXPECT_FALSE(std::filesystem::exists(dir.file("mvexterm.tmpbytes")));
  EXPECT_EQ(2, deleteFile(dir.file("mvexterm.tmpbytes")));
}

}  // namespace
}  // namespace mvex
