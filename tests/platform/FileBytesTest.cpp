#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <optional>
#include <thread>
#include <utility>

#include "../support/FileSizeLimit.h"
#include "platform/FileBytes.h"

namespace velmor {
namespace {

using namespace std::string_literals;
using test::FileSizeLimit;

class FileBytesTest : public ::testing::Test {
protected:
    std::string PathOf(const char* name) const {
        return QDir(m_dir.path()).filePath(QString::fromUtf8(name)).toStdString();
    }

    static ByteString Content(const std::string& path) {
        QFile file(QString::fromStdString(path));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path;
        return file.readAll().toStdString();
    }

    static void Put(const std::string& path, const ByteString& bytes) {
        QFile file(QString::fromStdString(path));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes.data(), qint64(bytes.size()));
    }

    QTemporaryDir m_dir;
};

TEST_F(FileBytesTest, ReadsEveryByte) {
    const ByteString bytes = "A\0B\x1A\xD6\xD0\r\n\xFF"s + std::string(200000, 'z');
    Put(PathOf("all.bin"), bytes);
    EXPECT_EQ(ReadFileBytes(PathOf("all.bin")), bytes);
    Put(PathOf("中文名.txt"), "x");
    EXPECT_EQ(ReadFileBytes(PathOf("中文名.txt")), "x");
}

// A file another program writes while it is read: whatever it holds when the reading reaches
// its end is read, never the size it had at the start nor bytes it no longer holds.
TEST_F(FileBytesTest, AFileThatGrowsOrShrinksWhileReadIsReadAsItEnds) {
    const ByteString start = std::string(4 << 20, 'a') + "\xD6\xD0";
    for (const bool grow : {true, false}) {
        const std::string path = PathOf(grow ? "grows.txt" : "shrinks.txt");
        Put(path, start);
        ByteString read;
        bool changed = false;
        ASSERT_TRUE(ReadFilePieces(path, [&](std::string_view piece, std::size_t) {
            read += piece;
            if (!std::exchange(changed, true)) {
                if (grow) {
                    QFile file(QString::fromStdString(path));
                    ASSERT_TRUE(file.open(QIODevice::Append));
                    file.write(QByteArray(3 << 20, 'b'));
                } else {
                    ASSERT_EQ(::truncate(path.c_str(), 2 << 20), 0);
                }
            }
        }));
        EXPECT_EQ(read.size(), Content(path).size()) << grow;
        EXPECT_TRUE(read == Content(path)) << grow;
    }
}

TEST_F(FileBytesTest, ReadsFilesAroundTheReadStepAndPipesOfUnknownSize) {
    for (const std::size_t size : {std::size_t{1} << 20, (std::size_t{1} << 20) - 1,
                                   (std::size_t{1} << 20) + 1, (std::size_t{3} << 20) + 7}) {
        ByteString bytes(size, '\0');
        for (std::size_t i = 0; i < size; ++i) {
            bytes[i] = static_cast<char>(i * 7 % 253);
        }
        Put(PathOf("step.bin"), bytes);
        EXPECT_EQ(TryReadFileBytes(PathOf("step.bin")), bytes) << size;
    }
    // A pipe reports no size: the buffer grows as the bytes come.
    const std::string fifo = PathOf("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const ByteString sent = std::string((std::size_t{3} << 20) + 5, 'p') + "end";
    std::thread writer([&] { Put(fifo, sent); });
    const std::optional<ByteString> received = TryReadFileBytes(fifo);
    writer.join();
    EXPECT_EQ(received, sent);
}

TEST_F(FileBytesTest, ReadFailuresGiveEmptyBytesAndTryReadTellsThemApart) {
    Put(PathOf("empty.txt"), "");
    EXPECT_EQ(ReadFileBytes(""), "");
    EXPECT_EQ(ReadFileBytes(PathOf("missing.txt")), "");
    EXPECT_EQ(ReadFileBytes(m_dir.path().toStdString()), "");
    EXPECT_FALSE(TryReadFileBytes("").has_value());
    EXPECT_FALSE(TryReadFileBytes(PathOf("missing.txt")).has_value());
    ASSERT_TRUE(TryReadFileBytes(PathOf("empty.txt")).has_value());
    EXPECT_EQ(*TryReadFileBytes(PathOf("empty.txt")), "");
}

TEST_F(FileBytesTest, WriteCreatesOrEmptiesAndWritesThePartsInOrder) {
    const std::string path = PathOf("out.txt");
    EXPECT_TRUE(WriteFileBytes(path, {"head\r\n", "\0mid"s, "tail"}));
    EXPECT_EQ(Content(path), "head\r\n\0midtail"s);
    EXPECT_TRUE(WriteFileBytes(path, {"x"}));
    EXPECT_EQ(Content(path), "x");
    EXPECT_TRUE(WriteFileBytes(path, {}));
    EXPECT_EQ(Content(path), "");
}

TEST_F(FileBytesTest, WriteFailuresReturnFalse) {
    EXPECT_FALSE(WriteFileBytes("", {"x"}));
    EXPECT_FALSE(WriteFileBytes(PathOf("no/such/folder.txt"), {"x"}));
    EXPECT_FALSE(WriteFileBytes(m_dir.path().toStdString(), {"x"}));
    FileSizeLimit limit(1000);
    EXPECT_FALSE(WriteFileBytes(PathOf("big.txt"), {std::string(5000, 'b')}));
}

TEST_F(FileBytesTest, SaveReplacesTheFileAndKeepsItsPermissions) {
    const std::string path = PathOf("doc.txt");
    Put(path, std::string(5000, 'o'));
    ASSERT_EQ(chmod(path.c_str(), 0640), 0);
    EXPECT_TRUE(SaveDocumentBytes(path, "new\nLF only"));
    EXPECT_EQ(Content(path), "new\nLF only");
    EXPECT_TRUE(SaveDocumentBytes(path, {"new\n", "", "LF only"}));
    EXPECT_EQ(Content(path), "new\nLF only");
    struct stat info {};
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files).size(), 1) << "no temporary file left";
}

TEST_F(FileBytesTest, SavingAnEmptyDocumentCreatesAnEmptyFile) {
    const std::string path = PathOf("empty.txt");
    EXPECT_TRUE(SaveDocumentBytes(path, ""));
    ASSERT_TRUE(QFile::exists(QString::fromStdString(path)));
    EXPECT_EQ(Content(path), "");
}

TEST_F(FileBytesTest, AFailedSaveLeavesTheOldFileWhole) {
    const std::string path = PathOf("keep.txt");
    Put(path, "old content");
    {
        FileSizeLimit limit(4096);
        EXPECT_FALSE(SaveDocumentBytes(path, std::string(100000, 'n')));
        const std::string part(3000, 'p');
        EXPECT_FALSE(SaveDocumentBytes(path, {part, part}));
    }
    EXPECT_EQ(Content(path), "old content");
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files).size(), 1) << "no temporary file left";
    EXPECT_FALSE(SaveDocumentBytes("", "x"));
    EXPECT_FALSE(SaveDocumentBytes(PathOf("missing/doc.txt"), "x"));
    EXPECT_FALSE(SaveDocumentBytes(m_dir.path().toStdString(), "x"));
}

TEST_F(FileBytesTest, SaveInAReadOnlyFolderFailsWithoutTouchingTheFile) {
    if (geteuid() == 0) {
        GTEST_SKIP() << "root writes into read-only folders";
    }
    const QString folder = m_dir.path() + QStringLiteral("/ro");
    ASSERT_TRUE(QDir().mkdir(folder));
    const std::string path = (folder + QStringLiteral("/doc.txt")).toStdString();
    Put(path, "old");
    ASSERT_EQ(chmod(folder.toLocal8Bit().constData(), 0555), 0);
    EXPECT_FALSE(SaveDocumentBytes(path, "new"));
    EXPECT_EQ(Content(path), "old");
    chmod(folder.toLocal8Bit().constData(), 0755);
}

}  // namespace
}  // namespace velmor
