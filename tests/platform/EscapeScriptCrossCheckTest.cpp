#include <gtest/gtest.h>

#include <random>

#include "../support/RandomText.h"
#include "codec/EscapeConversion.h"
#include "platform/JsScriptHost.h"

namespace velmor {
namespace {

// The four conversions as script functions; the engine's own unescape and parseInt are the
// independent reading of the escapes.
constexpr const char* kScript = R"(
function to16on(s) {
    var units = [];
    for (var i = 0; i < s.length; i++) {
        var h = s.charCodeAt(i).toString(16);
        while (h.length < 4) h = "0" + h;
        units.push(h);
    }
    return "\\u" + units.join("\\u");
}
function to16un(s) { return unescape(s.replace(/\\/g, "%")); }
function to10on(s) {
    var units = [];
    for (var i = 0; i < s.length; i++) units.push(s.charCodeAt(i));
    return "&#" + units.join(";&#") + ";";
}
function to10un(s) {
    return s.replace(/&#(x)?([^&]{1,5});?/g, function (m, x, digits) {
        return String.fromCharCode(parseInt(digits, x ? 16 : 10));
    });
}
)";

// Text rich in escapes and near-escapes. No piece lets a surrogate code unit be decoded on
// its own, since the two sides need not agree on how such a unit is written back.
Text RandomEscapeText(std::mt19937& random) {
    static const Text pieces[] = {"%u4e2d",
                                  "%u0041",
                                  "\\u00e9",
                                  "%41",
                                  "%4",
                                  "%u12",
                                  "&#65;",
                                  "&#x4e2d;",
                                  "&#x",
                                  "&#",
                                  "&#20013",
                                  "&#-1;",
                                  "&#99999;",
                                  "&#0x41",
                                  "&#x0x41",
                                  "&# 66",
                                  "&#\xA1\xA1"
                                  "7",
                                  "1",
                                  "9",
                                  "a",
                                  "F",
                                  "x",
                                  "X",
                                  ";",
                                  "&",
                                  "%",
                                  "\\",
                                  "u",
                                  " ",
                                  "\xD6\xD0",
                                  "+",
                                  "\r\n",
                                  "\xA3\xAC"};
    Text text;
    const int length = static_cast<int>(random() % 16);
    for (int k = 0; k < length; ++k) {
        text += pieces[random() % std::size(pieces)];
    }
    return text;
}

TEST(EscapeScriptCrossCheck, DirectConversionsEqualTheScriptFunctions) {
    const JsScriptHostFactory factory;
    std::unique_ptr<ScriptHost> host = factory.Create();
    ASSERT_NE(host, nullptr);
    ASSERT_TRUE(host->ExecuteStatement(kScript));
    for (const Text& input :
         {Text("&#65;BC"), Text("\\u4e2d%41"), Text("&#1234") + EncodeCodePoint(0x1F600),
          Text("&#xd83d") + EncodeCodePoint(0x1F600) + "Z"}) {
        EXPECT_EQ(EscapeConvert(input, "to10un"), host->RunProcedure("to10un", input));
        EXPECT_EQ(EscapeConvert(input, "to16un"), host->RunProcedure("to16un", input));
    }
    EXPECT_EQ(host->RunProcedure("to10un", "&#65;BC"), "A");
    std::mt19937 random(54);
    for (int round = 0; round < 1500; ++round) {
        const Text text = test::RandomValidText(random, static_cast<int>(random() % 12));
        const Text escapes = RandomEscapeText(random);
        for (const char* name : {"to16on", "to10on"}) {
            ASSERT_EQ(EscapeConvert(text, name), host->RunProcedure(name, text))
                << name << " " << ::testing::PrintToString(text);
        }
        for (const char* name : {"to16un", "to10un"}) {
            ASSERT_EQ(EscapeConvert(escapes, name), host->RunProcedure(name, escapes))
                << name << " " << ::testing::PrintToString(escapes);
            const Text encoded = *EscapeConvert(text, name == Text("to16un") ? "to16on" : "to10on");
            ASSERT_EQ(EscapeConvert(encoded, name), host->RunProcedure(name, encoded))
                << name << " " << ::testing::PrintToString(encoded);
        }
    }
}

}  // namespace
}  // namespace velmor
