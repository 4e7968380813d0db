#include <gtest/gtest.h>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QTemporaryDir>
#include <chrono>
#include <future>

#include "platform/RegistryFile.h"

// The settings store never replaces settings it could not read, never blocks or exhausts
// memory on a path that is not a settings file, and rewrites a file in its own format.

namespace velmor {
namespace {

const std::string kTime = "Software\\Zelbra 记事本\\time";
const std::string kRecent = "Software\\Zelbra 记事本\\常用文件";

const std::string kSettings =
    "[HKEY_CURRENT_USER\\Software\\Zelbra 记事本\\time]\n"
    "@=\"2017年3月5日\"\n"
    "\n"
    "[HKEY_CURRENT_USER\\Software\\Zelbra 记事本\\常用文件]\n"
    "\"1\"=\"/home/u/a.txt\"\n";

std::string Contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string("(none)");
}

void Put(const QString& path, const std::string& contents) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(contents.data(), static_cast<qint64>(contents.size()));
}

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size()) {
        text.replace(at, from.size(), to);
    }
    return text;
}

class SettingsFileSafety : public ::testing::Test {
protected:
    QString PathOf(const char* name) const { return m_dir.filePath(QString::fromUtf8(name)); }
    QTemporaryDir m_dir;
};

// Root reads every file, so the unreadable file is tried as an ordinary user.
class AsOrdinaryUser {
public:
    explicit AsOrdinaryUser(const QString& folder) {
        if (geteuid() != 0) {
            return;
        }
        const passwd* nobody = getpwnam("nobody");
        if (nobody == nullptr) {
            return;
        }
        const QByteArray local = folder.toLocal8Bit();
        chown(local.constData(), nobody->pw_uid, nobody->pw_gid);
        m_switched = setegid(nobody->pw_gid) == 0 && seteuid(nobody->pw_uid) == 0;
    }
    ~AsOrdinaryUser() {
        if (m_switched) {
            seteuid(0);
            setegid(0);
        }
    }
    bool Usable() const { return m_switched || geteuid() != 0; }

private:
    bool m_switched = false;
};

TEST_F(SettingsFileSafety, AFileThatCannotBeReadIsNeitherReadNorReplaced) {
    const QString path = PathOf("registry.reg");
    std::string after;
    std::string read;
    {
        AsOrdinaryUser user(m_dir.path());
        if (!user.Usable()) {
            GTEST_SKIP() << "no ordinary user to switch to";
        }
        Put(path, kSettings);
        ASSERT_EQ(chmod(path.toLocal8Bit().constData(), 0200), 0);
        RegistryFile store(path);
        read = store.ReadString(kRecent, "1");
        store.WriteString(kTime, "", "2020年1月1日");
        chmod(path.toLocal8Bit().constData(), 0600);
        after = Contents(path);
    }
    EXPECT_EQ(read, "");
    EXPECT_EQ(after, kSettings) << "the first-use write must not wipe the recent files";
}

TEST_F(SettingsFileSafety, SpecialFilesAreIgnoredWithoutBlocking) {
    const QString fifo = PathOf("fifo.reg");
    ASSERT_EQ(mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    const QString device = PathOf("zero.reg");
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), device));
    const QString folder = PathOf("folder.reg");
    ASSERT_TRUE(QDir().mkpath(folder));

    for (const QString& path : {fifo, device, folder}) {
        // Opening a pipe without a writer would wait for ever; give it a bounded time.
        auto run = std::async(std::launch::async, [path] {
            RegistryFile store(path);
            store.WriteString(kTime, "", "x");
            return store.ReadString(kTime, "");
        });
        ASSERT_EQ(run.wait_for(std::chrono::seconds(5)), std::future_status::ready)
            << path.toStdString() << " blocked";
        EXPECT_EQ(run.get(), "") << path.toStdString();
    }
    struct stat info {};
    ASSERT_EQ(lstat(fifo.toLocal8Bit().constData(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode)) << "the pipe was replaced";
    ASSERT_EQ(lstat(device.toLocal8Bit().constData(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode)) << "the link to the device was replaced";
}

TEST_F(SettingsFileSafety, AFileOverSixteenMebibytesIsIgnored) {
    const QString path = PathOf("huge.reg");
    const std::string huge = kSettings + std::string((16u << 20) + 1, '\n');
    Put(path, huge);
    RegistryFile store(path);
    EXPECT_EQ(store.ReadString(kRecent, "1"), "");
    store.WriteString(kTime, "", "x");
    EXPECT_EQ(QFileInfo(path).size(), static_cast<qint64>(huge.size()));
}

// Each row: the file before, and a rewrite that changes one value must keep its format.
TEST_F(SettingsFileSafety, ARewriteKeepsTheFilesFormat) {
    const std::string bom = "\xEF\xBB\xBF";
    const std::string changed = Replace(kSettings, "/home/u/a.txt", "/b.txt");
    const std::string noFinal = kSettings.substr(0, kSettings.size() - 1);
    const std::string changedNoFinal = changed.substr(0, changed.size() - 1);
    struct Row {
        const char* name;
        std::string before;
        std::string after;
    };
    const Row rows[] = {
        {"LF", kSettings, changed},
        {"CR LF", Replace(kSettings, "\n", "\r\n"), Replace(changed, "\n", "\r\n")},
        {"byte-order mark", bom + kSettings, bom + changed},
        {"mark and CR LF", bom + Replace(kSettings, "\n", "\r\n"),
         bom + Replace(changed, "\n", "\r\n")},
        {"no final line end", noFinal, changedNoFinal},
        {"CR LF, no final line end", Replace(noFinal, "\n", "\r\n"),
         Replace(changedNoFinal, "\n", "\r\n")},
    };
    for (const Row& row : rows) {
        const QString path = PathOf("format.reg");
        Put(path, row.before);
        RegistryFile store(path);
        EXPECT_EQ(store.ReadString(kRecent, "1"), "/home/u/a.txt") << row.name;
        store.WriteString(kRecent, "1", "/b.txt");
        EXPECT_EQ(Contents(path), row.after) << row.name;
    }
}

TEST_F(SettingsFileSafety, ANewValueInACrLfFileGetsCrLf) {
    const QString path = PathOf("new.reg");
    Put(path, Replace(kSettings, "\n", "\r\n"));
    RegistryFile store(path);
    store.WriteString(kRecent, "2", "/c.txt");
    const std::string after = Contents(path);
    EXPECT_NE(after.find("\"2\"=\"/c.txt\"\r\n"), std::string::npos) << after;
    EXPECT_EQ(Replace(after, "\r\n", "").find('\n'), std::string::npos) << "a lone LF crept in";
}

}  // namespace
}  // namespace velmor
