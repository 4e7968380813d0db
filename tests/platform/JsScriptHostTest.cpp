#include <gtest/gtest.h>

#include <chrono>

#include "core/CodePage936.h"
#include "platform/JsScriptHost.h"

namespace velmor {
namespace {

Text G(const std::string& utf8) {
    return Utf8ToGbk(utf8);
}

class JsScriptHostTest : public ::testing::Test {
protected:
    static const JsScriptHostFactory& Factory() {
        static const JsScriptHostFactory factory;
        return factory;
    }
    std::unique_ptr<ScriptHost> m_host = Factory().Create();
};

TEST_F(JsScriptHostTest, ChineseLiteralsReachTheEngineAsCharacters) {
    ASSERT_TRUE(m_host->ExecuteStatement(
        G("function tag(s) { return s + '：中文'; }\nfunction size() { return '中文'.length; }")));
    EXPECT_EQ(m_host->RunProcedure("tag", G("文本")), G("文本：中文"));
    EXPECT_EQ(m_host->RunProcedure("size"), "2");
}

TEST_F(JsScriptHostTest, FailuresGiveFalseOrTheEmptyText) {
    ASSERT_TRUE(
        m_host->ExecuteStatement("function boom() { throw new Error('x'); }\n"
                                 "function raw() { throw 5; }\n"
                                 "var notAFunction = 3;"));
    EXPECT_EQ(m_host->RunProcedure("missing", "a"), "");
    EXPECT_EQ(m_host->RunProcedure("notAFunction"), "");
    EXPECT_EQ(m_host->RunProcedure("boom"), "");
    EXPECT_EQ(m_host->RunProcedure("raw"), "");
    EXPECT_FALSE(m_host->ExecuteStatement("function ("));
    EXPECT_FALSE(m_host->ExecuteStatement("throw 1;"));
    EXPECT_EQ(m_host->Eval("nosuchname + 1"), "");
    EXPECT_EQ(m_host->Eval("undefined"), "");
    EXPECT_EQ(m_host->Eval("1 + 2"), "3");
    // An earlier failure leaves no trace on the next call.
    EXPECT_TRUE(m_host->ExecuteStatement("var ok = 1;"));
}

TEST_F(JsScriptHostTest, PassesSixSlotsWithTextsAndIntegers) {
    ASSERT_TRUE(m_host->ExecuteStatement(
        "function join(a, b, c, d, e, f) {"
        "  return [a, b, c, d, e, f].map(function (x) { return typeof x + ':' + x; }).join(',');"
        "}"));
    EXPECT_EQ(m_host->RunProcedure("join", "1", "2"),
              "string:1,string:2,string:,string:,string:,string:");
    EXPECT_EQ(m_host->RunProcedure("join", "a", 5, "c"),
              "string:a,number:5,string:c,string:,string:,string:");
    EXPECT_EQ(m_host->RunProcedure("join", "a", -5, 7, "d"),
              "string:a,number:-5,number:7,string:d,string:,string:");
}

TEST_F(JsScriptHostTest, ResultStopsBeforeAZeroCharacter) {
    ASSERT_TRUE(m_host->ExecuteStatement("function z() { return 'ab\\u0000cd'; }"));
    EXPECT_EQ(m_host->RunProcedure("z"), "ab");
}

TEST_F(JsScriptHostTest, TimeoutInterruptsARunawayCallAndTheHostGoesOn) {
    EXPECT_EQ(m_host->Timeout(), ScriptHost::kNoTimeout);
    EXPECT_EQ(m_host->Timeout(200), 200);
    ASSERT_TRUE(m_host->ExecuteStatement("function spin() { for (;;) {} }"));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(m_host->RunProcedure("spin"), "");
    EXPECT_FALSE(m_host->ExecuteStatement("while (true) {}"));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
    EXPECT_EQ(m_host->Eval("6 * 7"), "42");
}

TEST_F(JsScriptHostTest, SettingsKeepTheirValues) {
    EXPECT_EQ(m_host->Language(0), "JScript");
    EXPECT_EQ(m_host->Language(1), "JScript");
    EXPECT_EQ(m_host->Language(9), "JScript");
    EXPECT_EQ(m_host->State(), 0);
    EXPECT_EQ(m_host->State(1), 1);
    EXPECT_EQ(m_host->State(), 1);
    EXPECT_FALSE(m_host->AllowUI(false));
    EXPECT_FALSE(m_host->AllowUI());
    EXPECT_EQ(m_host->SitehWnd(1234), 1234);
    EXPECT_EQ(m_host->SitehWnd(), 1234);
}

TEST_F(JsScriptHostTest, CopiesShareTheEngineAndResetDiscardsTheCode) {
    const auto copy = m_host->Copy();
    ASSERT_TRUE(copy->AddCode("function twice(s) { return s + s; }"));
    EXPECT_EQ(m_host->RunProcedure("twice", "ab"), "abab");
    m_host->Timeout(500);
    EXPECT_EQ(copy->Timeout(500), 500);
    m_host->Reset();
    EXPECT_EQ(copy->RunProcedure("twice", "ab"), "");
    EXPECT_EQ(copy->Eval("typeof twice"), "undefined");
}

}  // namespace
}  // namespace velmor
