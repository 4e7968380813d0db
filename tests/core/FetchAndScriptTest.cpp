#include <gtest/gtest.h>

#include "../support/MemoryFileSystem.h"
#include "core/CommandRegistry.h"
#include "core/MemoryEditor.h"
#include "files/FetchPage.h"

namespace velmor {
namespace {

// Answers every request with one result and remembers the addresses asked for.
class FakeHttp : public HttpClient {
public:
    Result result;
    std::vector<std::string> addresses;
    Result Get(const std::string& address, const ProgressCallback&) override {
        addresses.push_back(address);
        return result;
    }
};

struct AddressRow {
    Text field;
    Text fetched;
    bool fetchable;
};

class FetchAddressTable : public ::testing::TestWithParam<AddressRow> {};

TEST_P(FetchAddressTable, PrefixesOnlyWhatDoesNotStartWithLowerCaseHttp) {
    const AddressRow& row = GetParam();
    EXPECT_EQ(FetchAddress(row.field), row.fetched);
    EXPECT_EQ(IsFetchableAddress(FetchAddress(row.field)), row.fetchable);
}

INSTANTIATE_TEST_SUITE_P(Fetch, FetchAddressTable,
                         ::testing::Values(AddressRow{"example.com/a/b", "http://example.com/a/b",
                                                      true},
                                           AddressRow{"https://x.cn/", "https://x.cn/", true},
                                           AddressRow{"http://x.cn/", "http://x.cn/", true},
                                           AddressRow{"HTTP://x.cn/", "http://HTTP://x.cn/", true},
                                           AddressRow{"httpbin.org/get", "httpbin.org/get", false},
                                           AddressRow{"", "http://", true},
                                           AddressRow{"ftp://x", "http://ftp://x", true},
                                           AddressRow{"httpx://x", "httpx://x", false}));

struct FetchRun {
    FetchRun() : session(FetchPageDefinition(), context) { services.http = &http; }
    FakeHttp http;
    MemoryEditor editor{"old text"};
    Services services;
    CommandContext context{editor, services};
    DialogSession session;
};

TEST(Fetch, TheBodyUpToItsFirstZeroByteBecomesTheDocument) {
    FetchRun run;
    run.http.result.body = ByteString("<p>\xD6\xD0</p>\0tail", 14);
    run.session.SetEditText("编辑框1", "example.com");
    run.session.Press("按钮1");
    EXPECT_EQ(run.http.addresses, (std::vector<std::string>{"http://example.com"}));
    EXPECT_EQ(run.editor.ReadText(), "<p>\xD6\xD0</p>");
    EXPECT_EQ(run.editor.ChangeNotifications(), 1);
    EXPECT_TRUE(run.editor.Messages().empty());
}

TEST(Fetch, AnEmptyBodyEmptiesTheDocument) {
    FetchRun run;
    run.http.result.body = ByteString();
    run.session.Press("按钮1");
    EXPECT_EQ(run.editor.ReadText(), "");
}

TEST(Fetch, AFailureKeepsTheDocumentAndSaysWhy) {
    FetchRun run;
    run.http.result.reason = "超时";
    run.session.SetEditText("编辑框1", "example.com");
    run.session.Press("按钮1");
    EXPECT_EQ(run.editor.ReadText(), "old text");
    ASSERT_EQ(run.editor.Messages().size(), 1u);
    EXPECT_EQ(run.editor.Messages()[0].kind, MessageKind::Error);
    EXPECT_EQ(run.editor.Messages()[0].text, "获取网页失败：超时");
}

TEST(Fetch, AnUnservedSchemeIsRefusedWithoutARequest) {
    FetchRun run;
    run.session.SetEditText("编辑框1", "httpbin.org");
    run.session.Press("按钮1");
    EXPECT_TRUE(run.http.addresses.empty());
    EXPECT_EQ(run.editor.ReadText(), "old text");
    EXPECT_EQ(run.editor.Messages().back().text, "获取网页失败：只能获取 http 或 https 网址");
}

class FakeShell : public DesktopShell {
public:
    Outcome outcome = Outcome::Opened;
    std::vector<std::string> opened;
    Outcome Open(const std::string& path) override {
        opened.push_back(path);
        return outcome;
    }
};

struct ScriptRun {
    explicit ScriptRun(Text text) : editor(std::move(text)) {
        services.files = &files;
        services.shell = &shell;
    }
    void Run(const char* name) {
        static const CommandRegistry registry = BuildCommandRegistry();
        const Command* command = registry.FindByName(name);
        ASSERT_NE(command, nullptr);
        EXPECT_FALSE(command->supportNotice);
        CommandRegistry::RunDirect(*command, context);
    }
    MemoryFileSystem files;
    FakeShell shell;
    MemoryEditor editor;
    Services services;
    CommandContext context{editor, services};
};

TEST(Script, TheDocumentBytesGoToTheTemporaryDirectoryAndAreOpened) {
    const struct {
        const char* command;
        Text text;
        const char* path;
    } rows[] = {{"运行VBS", "MsgBox \"\xD6\xD0\"\r\nx", "/run/script1/ls.vbs"},
                {"运行BAT", "echo off\r\n", "/run/script1/ls.bat"},
                {"运行BAT", "", "/run/script1/ls.bat"}};
    for (const auto& row : rows) {
        ScriptRun run(row.text);
        run.Run(row.command);
        EXPECT_EQ(run.files.files[row.path], row.text);
        EXPECT_EQ(run.shell.opened, (std::vector<std::string>{row.path}));
        EXPECT_TRUE(run.editor.Messages().empty());
    }
}

TEST(Script, EachRunWritesAFolderOfItsOwnAndBothScriptsStay) {
    ScriptRun run("x");
    run.Run("运行VBS");
    run.Run("运行BAT");
    run.Run("运行BAT");
    EXPECT_TRUE(run.files.files.contains("/run/script1/ls.vbs"));
    EXPECT_TRUE(run.files.files.contains("/run/script2/ls.bat"));
    EXPECT_EQ(run.shell.opened.back(), "/run/script3/ls.bat");
}

TEST(Script, WithoutAProgramTheUserLearnsWhereTheScriptIs) {
    ScriptRun run("x");
    run.shell.outcome = DesktopShell::Outcome::NoProgram;
    run.Run("运行VBS");
    ASSERT_EQ(run.editor.Messages().size(), 1u);
    EXPECT_EQ(run.editor.Messages()[0].kind, MessageKind::Information);
    EXPECT_EQ(run.editor.Messages()[0].text,
              "脚本已保存到 /run/script1/ls.vbs，但没有与之关联的程序可以运行它。");
}

TEST(Script, AnUnwrittenScriptIsNotRun) {
    ScriptRun run("new");
    run.files.unwritable = {"/run/script1/ls.bat"};
    run.Run("运行BAT");
    EXPECT_TRUE(run.shell.opened.empty());
    EXPECT_EQ(run.editor.Messages().back().kind, MessageKind::Error);
    EXPECT_EQ(run.editor.Messages().back().text,
              "脚本文件未能写入：/run/script1/ls.bat（无法写入）");
}

}  // namespace
}  // namespace velmor
