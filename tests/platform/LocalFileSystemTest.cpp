#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "platform/LocalFileSystem.h"

namespace velmor {
namespace {

class LocalFileSystemTest : public ::testing::Test {
protected:
    std::string PathOf(const char* name) const {
        return QDir(m_dir.path()).filePath(QString::fromUtf8(name)).toStdString();
    }
    void Put(const char* name, const ByteString& bytes) {
        ASSERT_EQ(m_files.Save(PathOf(name), bytes), "");
    }
    ByteString Get(const char* name) const {
        return m_files.Read(PathOf(name), 1 << 20).bytes.value_or("<unreadable>");
    }

    QTemporaryDir m_dir;
    LocalFileSystem m_files;
};

TEST_F(LocalFileSystemTest, ReadTellsEachKindOfFailure) {
    Put("中文 名.txt", "abc");
    Put(".hidden", "");
    QDir(m_dir.path()).mkdir(QStringLiteral("folder"));
    const struct {
        const char* name;
        std::uint64_t limit;
        std::optional<ByteString> bytes;
        bool missing;
        const char* reason;
    } rows[] = {{"中文 名.txt", 3, "abc", false, ""},
                {".hidden", 0, "", false, ""},
                {"中文 名.txt", 2, std::nullopt, false, "文件太大"},
                {"folder", 100, std::nullopt, false, "是文件夹，不是文件"},
                {"gone", 100, std::nullopt, true, "文件不存在"}};
    for (const auto& row : rows) {
        const FileSystem::ReadResult read = m_files.Read(PathOf(row.name), row.limit);
        EXPECT_EQ(read.bytes, row.bytes) << row.name;
        EXPECT_EQ(read.missing, row.missing) << row.name;
        EXPECT_EQ(read.reason, row.reason) << row.name;
    }
    EXPECT_EQ(m_files.Size(PathOf("中文 名.txt")), 3u);
    EXPECT_EQ(m_files.Size(PathOf("folder")), std::nullopt);
}

TEST_F(LocalFileSystemTest, AnUnreadableFileIsNotTakenForEmpty) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root reads every file";
    }
    Put("locked", "secret");
    ::chmod(PathOf("locked").c_str(), 0);
    const FileSystem::ReadResult read = m_files.Read(PathOf("locked"), 100);
    EXPECT_FALSE(read.bytes);
    EXPECT_FALSE(read.missing);
    EXPECT_TRUE(read.reason.starts_with("无法读取")) << read.reason;
}

TEST_F(LocalFileSystemTest, FailedSavesAndCopiesLeaveTheOldFile) {
    Put("a", "old");
    EXPECT_EQ(m_files.Save(PathOf("missing/a"), "x"), "文件夹不存在");
    QDir(m_dir.path()).mkdir(QStringLiteral("folder"));
    EXPECT_EQ(m_files.Save(PathOf("folder"), "x"), "是文件夹，不能写入");
    EXPECT_NE(m_files.Copy(PathOf("gone"), PathOf("a")), "");
    EXPECT_EQ(Get("a"), "old");
}

TEST_F(LocalFileSystemTest, CopyReplacesTheTarget) {
    Put("a", "new");
    Put("a.bak", "older and longer");
    EXPECT_EQ(m_files.Copy(PathOf("a"), PathOf("a.bak")), "");
    EXPECT_EQ(Get("a.bak"), "new");
}

TEST_F(LocalFileSystemTest, ReadOnlyFolderRefusesWrites) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root writes everywhere";
    }
    QDir(m_dir.path()).mkdir(QStringLiteral("ro"));
    Put("ro/kept", "kept");
    ::chmod(PathOf("ro").c_str(), 0555);
    EXPECT_EQ(m_files.Save(PathOf("ro/kept"), "lost?"), "无法写入");
    EXPECT_EQ(Get("ro/kept"), "kept");
    ::chmod(PathOf("ro").c_str(), 0755);
}

}  // namespace
}  // namespace velmor
