#include "platform/RegistryFile.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace velmor {
namespace {

const std::string kTime = "Software\\Zelbra 记事本\\time";
const std::string kRecent = "Software\\Zelbra 记事本\\常用文件";

class RegistryFileTest : public ::testing::Test {
protected:
    QString PathOf(const char* name) const { return m_dir.filePath(QString::fromUtf8(name)); }

    std::string Contents(const QString& path) const {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return file.readAll().toStdString();
    }

    void WriteFile(const QString& path, const std::string& contents) const {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(contents.data(), static_cast<qint64>(contents.size()));
    }

    QTemporaryDir m_dir;
};

TEST_F(RegistryFileTest, MissingFileReadsEmpty) {
    RegistryFile store(PathOf("none/registry.reg"));
    EXPECT_EQ(store.ReadString(kTime, ""), "");
    EXPECT_EQ(store.ReadString(kRecent, "1"), "");
}

TEST_F(RegistryFileTest, WritesTheRegistryLayoutInUtf8) {
    const QString path = PathOf("sub/dir/registry.reg");
    RegistryFile store(path);
    store.WriteString(kTime, "",
                      "2017\xC4\xEA"
                      "3\xD4\xC2"
                      "5\xC8\xD5");  // 2017年3月5日 in GBK
    store.WriteString(kRecent, "1", "/home/u/a.txt");
    EXPECT_EQ(Contents(path),
              "[HKEY_CURRENT_USER\\Software\\Zelbra 记事本\\time]\n"
              "@=\"2017年3月5日\"\n"
              "\n"
              "[HKEY_CURRENT_USER\\Software\\Zelbra 记事本\\常用文件]\n"
              "\"1\"=\"/home/u/a.txt\"\n");
}

// Every value must come back byte for byte: Chinese text, escapes, control bytes and bytes
// that are not well-formed GBK.
TEST_F(RegistryFileTest, RoundTripsValues) {
    const std::vector<Text> values = {
        "",
        "\xD6\xD0\xCE\xC4\xC2\xB7\xBE\xB6",  // 中文路径
        "C:\\dir\\\"quoted\"",
        "tab\there\r\nline\nend\x01\x1F\x7F",
        "lone lead at end \x81",
        "\x80\xFF\x81\x20\xA1",
        "x=\"y\"]\n[HKEY_CURRENT_USER\\evil]",
    };
    RegistryFile store(PathOf("registry.reg"));
    for (std::size_t i = 0; i < values.size(); ++i) {
        store.WriteString(kRecent, std::to_string(i), values[i]);
    }
    RegistryFile reread(PathOf("registry.reg"));
    for (std::size_t i = 0; i < values.size(); ++i) {
        EXPECT_EQ(reread.ReadString(kRecent, std::to_string(i)), values[i]) << i;
    }
    EXPECT_EQ(reread.ReadString("Software\\evil", ""), "");
}

TEST_F(RegistryFileTest, EscapesAsInARegistryExport) {
    EXPECT_EQ(QuoteRegistryValue("C:\\a \"b\""), "\"C:\\\\a \\\"b\\\"\"");
    EXPECT_EQ(QuoteRegistryValue("\r\n\t\x01"), "\"\\r\\n\\t\\x01\"");
    // Bytes the codec cannot convert keep the file valid UTF-8.
    EXPECT_EQ(QuoteRegistryValue("\xFF"), "\"\\xFF\"");
    Text value;
    ASSERT_TRUE(UnquoteRegistryValue("\"a\\\\b\\\"c\\x41\"", value));
    EXPECT_EQ(value, "a\\b\"cA");
    EXPECT_FALSE(UnquoteRegistryValue("\"unterminated", value));
    EXPECT_FALSE(UnquoteRegistryValue("\"bad \\x4\"", value));
}

TEST_F(RegistryFileTest, KeepsUnknownKeysValuesLinesAndLineEnds) {
    const QString path = PathOf("registry.reg");
    WriteFile(path,
              "Windows Registry Editor Version 5.00\r\n"
              "\r\n"
              "[HKEY_CURRENT_USER\\Software\\Other]\r\n"
              "\"keep\"=\"me\"\r\n"
              "; a comment\r\n"
              "\r\n"
              "[HKEY_CURRENT_USER\\Software\\Zelbra 记事本\\常用文件]\r\n"
              "\"1\"=\"/old.txt\"\r\n"
              "\"count\"=dword:00000003\r\n");
    RegistryFile store(path);
    store.WriteString(kRecent, "1", "/new.txt");
    store.WriteString(kRecent, "2", "");
    EXPECT_EQ(Contents(path),
              "Windows Registry Editor Version 5.00\r\n"
              "\r\n"
              "[HKEY_CURRENT_USER\\Software\\Other]\r\n"
              "\"keep\"=\"me\"\r\n"
              "; a comment\r\n"
              "\r\n"
              "[HKEY_CURRENT_USER\\Software\\Zelbra 记事本\\常用文件]\r\n"
              "\"1\"=\"/new.txt\"\r\n"
              "\"count\"=dword:00000003\r\n"
              "\"2\"=\"\"\r\n");
    EXPECT_EQ(store.ReadString("Software\\Other", "keep"), "me");
}

TEST_F(RegistryFileTest, NonStringValuesReadEmptyAndAreReplacedByStrings) {
    const QString path = PathOf("registry.reg");
    WriteFile(path,
              "[HKEY_CURRENT_USER\\Software\\Zelbra 记事本\\常用文件]\n"
              "\"1\"=dword:00000001\n"
              "\"2\"=hex:41,42\n"
              "\"3\"=\"ok\" trailing\n");
    RegistryFile store(path);
    EXPECT_EQ(store.ReadString(kRecent, "1"), "");
    EXPECT_EQ(store.ReadString(kRecent, "2"), "");
    EXPECT_EQ(store.ReadString(kRecent, "3"), "");
    store.WriteString(kRecent, "1", "/a.txt");
    EXPECT_EQ(store.ReadString(kRecent, "1"), "/a.txt");
}

TEST_F(RegistryFileTest, KeysAndNamesMatchLikeTheRegistry) {
    RegistryFile store(PathOf("registry.reg"));
    store.WriteString(kTime + "\\", "", "d");
    EXPECT_EQ(store.ReadString(kTime, ""), "d");
    EXPECT_EQ(store.ReadString("SOFTWARE\\zelbra 记事本\\TIME", ""), "d");
    store.WriteString("software\\ZELBRA 记事本\\Time", "", "e");
    EXPECT_EQ(store.ReadString(kTime, ""), "e");
    EXPECT_EQ(Contents(PathOf("registry.reg")).find("\"d\""), std::string::npos);
}

TEST_F(RegistryFileTest, WriteIsAtomicAndLeavesNoTemporaryFile) {
    const QString path = PathOf("registry.reg");
    RegistryFile store(path);
    store.WriteString(kRecent, "1", "/a.txt");
    store.WriteString(kRecent, "2", "/b.txt");
    const QStringList entries = QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden);
    EXPECT_EQ(entries, QStringList{QStringLiteral("registry.reg")});
}

TEST_F(RegistryFileTest, FailedWriteIsIgnored) {
    // The folder of the file is a regular file, so nothing can be created there.
    const QString blocker = PathOf("blocker");
    WriteFile(blocker, "not a folder");
    RegistryFile store(blocker + QStringLiteral("/registry.reg"));
    store.WriteString(kRecent, "1", "/a.txt");
    EXPECT_EQ(store.ReadString(kRecent, "1"), "");
    EXPECT_EQ(Contents(blocker), "not a folder");
}

TEST_F(RegistryFileTest, TargetThatCannotBeReplacedKeepsItsContents) {
    // A folder in place of the file: reading gives nothing, writing cannot replace it.
    const QString path = PathOf("registry.reg");
    ASSERT_TRUE(QDir().mkpath(path + QStringLiteral("/inside")));
    RegistryFile store(path);
    store.WriteString(kRecent, "1", "/a.txt");
    EXPECT_EQ(store.ReadString(kRecent, "1"), "");
    EXPECT_TRUE(QFileInfo(path + QStringLiteral("/inside")).isDir());
}

TEST_F(RegistryFileTest, LocationFollowsTheEnvironment) {
    const QByteArray savedOverride = qgetenv("VELMOR_SETTINGS_FILE");
    const QByteArray savedConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("VELMOR_SETTINGS_FILE", "/tmp/x/settings.reg");
    EXPECT_EQ(RegistryFile::DefaultLocation(), QStringLiteral("/tmp/x/settings.reg"));
    qunsetenv("VELMOR_SETTINGS_FILE");
    qputenv("XDG_CONFIG_HOME", "/tmp/config");
    EXPECT_EQ(RegistryFile::DefaultLocation(), QStringLiteral("/tmp/config/velmor/registry.reg"));
    qputenv("XDG_CONFIG_HOME", "relative");
    EXPECT_EQ(RegistryFile::DefaultLocation(),
              QDir::homePath() + QStringLiteral("/.config/velmor/registry.reg"));
    qputenv("VELMOR_SETTINGS_FILE", savedOverride);
    if (savedConfig.isEmpty()) {
        qunsetenv("XDG_CONFIG_HOME");
    } else {
        qputenv("XDG_CONFIG_HOME", savedConfig);
    }
}

}  // namespace
}  // namespace velmor
