#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <chrono>
#include <cstdlib>
#include <future>

#include "../support/SecondUser.h"
#include "platform/FileBytes.h"
#include "platform/LocalFileSystem.h"
#include "platform/ScriptFolder.h"

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

    mode_t ModeOf(const char* name) const {
        struct stat status {};
        ::lstat(PathOf(name).c_str(), &status);
        return status.st_mode & 07777;
    }
    int Entries() const {
        return static_cast<int>(
            QDir(m_dir.path())
                .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot | QDir::System)
                .size());
    }

    QTemporaryDir m_dir;
    LocalFileSystem m_files;
};

TEST_F(LocalFileSystemTest, OnlyRegularFilesAreReadAndNeverByAWaitingCall) {
    ASSERT_EQ(::mkfifo(PathOf("pipe").c_str(), 0600), 0);
    const struct {
        std::string path;
        bool copy;
    } rows[] = {
        {PathOf("pipe"), false}, {PathOf("pipe"), true}, {"/dev/zero", false}, {"/dev/zero", true}};
    for (const auto& row : rows) {
        auto reason = std::async(std::launch::async, [&] {
            return row.copy ? m_files.Copy(row.path, PathOf("copy"))
                            : m_files.Read(row.path, 1 << 20).reason;
        });
        if (reason.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
            ADD_FAILURE() << row.path << " is still being read";
            // Lets the reader go: a writer appears and leaves at once.
            ::close(::open(row.path.c_str(), O_WRONLY | O_NONBLOCK));
        }
        EXPECT_EQ(reason.get(), "不是普通文件，未处理") << row.path << (row.copy ? " copied" : "");
    }
    EXPECT_EQ(m_files.Size(PathOf("pipe")), std::nullopt);
    EXPECT_FALSE(QFile::exists(PathOf("copy").c_str()));
}

TEST_F(LocalFileSystemTest, BackupsKeepTheModeAndOwnerOfTheOriginal) {
    Put("private", "secret");
    Put("private.bak", "older");
    ::chmod(PathOf("private").c_str(), 0600);
    ::chmod(PathOf("private.bak").c_str(), 0644);
    const bool asRoot = ::geteuid() == 0;
    if (asRoot) {
        ASSERT_EQ(::chown(PathOf("private").c_str(), test::kNobody, test::kNobody), 0);
    }
    EXPECT_EQ(m_files.Copy(PathOf("private"), PathOf("private.bak")), "");
    EXPECT_EQ(Get("private.bak"), "secret");
    EXPECT_EQ(ModeOf("private.bak"), 0600u);
    struct stat status {};
    ::stat(PathOf("private.bak").c_str(), &status);
    EXPECT_EQ(status.st_uid, asRoot ? test::kNobody : ::geteuid());
}

TEST_F(LocalFileSystemTest, PlantedLinksAreReplacedNeverWrittenThrough) {
    Put("victim", "mine");
    Put("n_1.txt", "old piece");
    // The names a piece's or a backup's working file used to take, and the targets themselves.
    for (const char* link : {"n_1.txt.velmor-part", "n_2.txt", "n.txt.bak"}) {
        ASSERT_EQ(::symlink(PathOf("victim").c_str(), PathOf(link).c_str()), 0) << link;
    }
    Put("n.txt", "content");
    EXPECT_EQ(m_files.SavePiece(PathOf("n_1.txt"), "piece 1"), "");
    EXPECT_EQ(m_files.SavePiece(PathOf("n_2.txt"), "piece 2"), "");
    EXPECT_EQ(m_files.Copy(PathOf("n.txt"), PathOf("n.txt.bak")), "");
    EXPECT_EQ(Get("victim"), "mine");
    EXPECT_EQ(Get("n_1.txt"), "piece 1");
    EXPECT_EQ(Get("n_2.txt"), "piece 2");
    EXPECT_EQ(Get("n.txt.bak"), "content");
    EXPECT_FALSE(QFileInfo(PathOf("n_2.txt").c_str()).isSymLink());
    EXPECT_EQ(Entries(), 6);  // no working file left behind
}

TEST_F(LocalFileSystemTest, HardLinksKeepSharingTheFile) {
    Put("a", "old");
    ASSERT_EQ(::link(PathOf("a").c_str(), PathOf("b").c_str()), 0);
    EXPECT_EQ(m_files.Save(PathOf("a"), "new and longer"), "");
    EXPECT_TRUE(SaveDocumentBytes(PathOf("b"), "newer"));
    EXPECT_EQ(Get("a"), "newer");
    struct stat status {};
    ::stat(PathOf("a").c_str(), &status);
    EXPECT_EQ(status.st_nlink, 2u);
    EXPECT_EQ(Entries(), 2);
}

// A cancel within a read, save or copy: the read gives nothing, a save or a backup leaves the
// old file whole and no working file; a file written in place for its hard links is written
// to its end first.
TEST_F(LocalFileSystemTest, AStopOnTheWayLeavesTheOldFile) {
    const ByteString big(3 << 20, 'n');
    Put("a", "old");
    Put("a.bak", "older");
    Put("big", big);
    std::uint64_t told = 0;
    const ByteProgress stopAfterAMebibyte = [&](std::uint64_t bytes) {
        told += bytes;
        return told < (1u << 20);
    };
    const FileSystem::ReadResult read = m_files.Read(PathOf("big"), 1 << 30, stopAfterAMebibyte);
    EXPECT_FALSE(read.bytes);
    EXPECT_EQ(told, 1u << 20);
    told = 0;
    EXPECT_NE(m_files.Save(PathOf("a"), big, stopAfterAMebibyte), "");
    told = 0;
    EXPECT_NE(m_files.Copy(PathOf("big"), PathOf("a.bak"), stopAfterAMebibyte), "");
    EXPECT_EQ(Get("a"), "old");
    EXPECT_EQ(Get("a.bak"), "older");
    EXPECT_EQ(Entries(), 3);

    ASSERT_EQ(::link(PathOf("a").c_str(), PathOf("b").c_str()), 0);
    told = 0;
    EXPECT_EQ(m_files.Save(PathOf("a"), big, stopAfterAMebibyte), "");
    EXPECT_EQ(told, big.size());
    EXPECT_EQ(m_files.Read(PathOf("b"), 1 << 30).bytes, big);
}

// The file's own mode forbids writing it, though its folder allows replacing it.
TEST_F(LocalFileSystemTest, AFileTheUserCannotWriteIsLeftUntouched) {
    Put("ro.txt", "kept");
    ::chmod(PathOf("ro.txt").c_str(), 0444);
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(m_dir.path().toUtf8().constData(), test::kNobody, test::kNobody), 0);
        ASSERT_EQ(::chown(PathOf("ro.txt").c_str(), test::kNobody, test::kNobody), 0);
    }
    const std::string path = PathOf("ro.txt");
    const int failed = test::RunAsOrdinaryUser([&] {
        LocalFileSystem files;
        int bits = 0;
        bits |= files.Save(path, "lost?") == "文件不可写（只读或无权限），文件未改动" ? 0 : 1;
        bits |= files.SavePiece(path, "lost?").empty() ? 2 : 0;
        bits |= SaveDocumentBytes(path, "lost?") ? 4 : 0;
        bits |= files.Read(path, 100).bytes == ByteString("kept") ? 0 : 8;
        return bits;
    });
    EXPECT_EQ(failed, 0) << "checks failed as an ordinary user (bit mask)";
    EXPECT_EQ(Get("ro.txt"), "kept");
    EXPECT_EQ(Entries(), 1);
}

// Scripts as another user on the same machine would meet them in a shared temporary folder.
class ScriptFolderTest : public LocalFileSystemTest {
protected:
    ScriptFolderTest() {
        ::chmod(m_dir.path().toUtf8().constData(), 01777);
        m_tmp = getenv("TMPDIR") ? std::optional<std::string>(getenv("TMPDIR")) : std::nullopt;
        m_runtime = getenv("XDG_RUNTIME_DIR")
                        ? std::optional<std::string>(getenv("XDG_RUNTIME_DIR"))
                        : std::nullopt;
        ::setenv("TMPDIR", m_dir.path().toUtf8().constData(), 1);
        ::unsetenv("XDG_RUNTIME_DIR");
    }
    ~ScriptFolderTest() override {
        Restore("TMPDIR", m_tmp);
        Restore("XDG_RUNTIME_DIR", m_runtime);
    }
    static void Restore(const char* name, const std::optional<std::string>& value) {
        if (value) {
            ::setenv(name, value->c_str(), 1);
        } else {
            ::unsetenv(name);
        }
    }

    std::optional<std::string> m_tmp;
    std::optional<std::string> m_runtime;
};

TEST_F(ScriptFolderTest, EachScriptGetsAFreshFolderOnlyThisUserEnters) {
    Put("victim", "mine");
    ASSERT_EQ(::symlink(PathOf("victim").c_str(), PathOf("ls.vbs").c_str()), 0);
    std::string first;
    std::string second;
    EXPECT_EQ(m_files.SaveScript("ls.vbs", "MsgBox 1", first), "");
    EXPECT_EQ(m_files.SaveScript("ls.vbs", "MsgBox 2", second), "");
    EXPECT_NE(first, second);
    EXPECT_EQ(Get("victim"), "mine");
    for (const auto& [path, content] :
         {std::pair(first, "MsgBox 1"), std::pair(second, "MsgBox 2")}) {
        EXPECT_EQ(m_files.Read(path, 100).bytes, ByteString(content));
        EXPECT_TRUE(path.starts_with(m_dir.path().toStdString() + "/velmor-script-")) << path;
        struct stat folder {};
        ASSERT_EQ(
            ::lstat(QFileInfo(QString::fromStdString(path)).path().toUtf8().constData(), &folder),
            0);
        EXPECT_TRUE(S_ISDIR(folder.st_mode));
        EXPECT_EQ(folder.st_mode & 07777, 0700u);
        EXPECT_EQ(folder.st_uid, ::geteuid());
    }
    // An unusable temporary folder is an error, never the root of the disk.
    ::setenv("TMPDIR", PathOf("gone").c_str(), 1);
    std::string path;
    EXPECT_NE(m_files.SaveScript("ls.bat", "x", path), "");
    EXPECT_FALSE(QFile::exists(QStringLiteral("/ls.bat")));
}

TEST_F(ScriptFolderTest, AnotherUserCanNeitherPlantNorChangeTheScript) {
    const std::string shared = m_dir.path().toStdString();
    const std::string victim = PathOf("victim");
    Put("victim", "mine");
    // The other user plants a link and a file anyone may write, as it could in /tmp.
    const std::optional<int> planted = test::RunAsNobody([&] {
        return ::symlink(victim.c_str(), (shared + "/ls.vbs").c_str()) == 0 &&
                       ::close(::open((shared + "/ls.bat").c_str(), O_CREAT | O_WRONLY, 0666)) == 0
                   ? 0
                   : 1;
    });
    if (!planted) {
        GTEST_SKIP() << "needs root to act as a second local user (nobody)";
    }
    ASSERT_EQ(planted, 0);
    std::string vbs;
    std::string bat;
    EXPECT_EQ(m_files.SaveScript("ls.vbs", "MsgBox 1", vbs), "");
    EXPECT_EQ(m_files.SaveScript("ls.bat", "echo 1", bat), "");
    EXPECT_EQ(Get("victim"), "mine");
    const std::optional<int> changed = test::RunAsNobody([&] {
        return ::open(vbs.c_str(), O_WRONLY) < 0 && ::open(bat.c_str(), O_RDONLY) < 0 ? 0 : 1;
    });
    EXPECT_EQ(changed, 0) << "the other user reached the script";
    EXPECT_EQ(m_files.Read(bat, 100).bytes, ByteString("echo 1"));
}

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
