#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include <unistd.h>

#include "BatchRunner.h"
#include "InputDocument.h"
#include "MapStream.h"
#include "core/CodePage936.h"
#include "core/DocumentEncoding.h"
#include "core/MemoryEditor.h"
#include "core/Utf8.h"

namespace velmor {
namespace {

// UTF-8 pieces, the well-formed ones first: letters, 中, 😀, é, the full-width A, the
// ideographic space, ☆, the euro sign and two characters whose codes end in a letter (81 61
// and 81 41); then a cut sequence and stray bytes.
constexpr std::size_t kWellFormedPieces = 11;
std::string RandomInput(std::mt19937& random, std::size_t length, bool wellFormed = false) {
    static const std::string kPieces[] = {"ab",           "\xE4\xB8\xAD", "\xF0\x9F\x98\x80",
                                          "\xC3\xA9",     "\xEF\xBC\xA1", "\xE3\x80\x80",
                                          "\xE2\x98\x86", "\r\n",         "\xE2\x82\xAC",
                                          "\xE4\xB9\xA4", "\xE4\xB8\x84", "\xE4\xB8",
                                          "\x80",         "\xFF",         "\xD6\xD0"};
    std::uniform_int_distribution<std::size_t> pick(
        0, (wellFormed ? kWellFormedPieces : std::size(kPieces)) - 1);
    std::string text;
    while (text.size() < length) {
        text += kPieces[pick(random)];
    }
    return text;
}

// Feeds input in pieces of random sizes, as reading a pipe would.
Text Build(const std::string& input, bool utf8, std::mt19937& random) {
    InputDocument document(utf8);
    std::uniform_int_distribution<std::size_t> size(0, 7);
    for (std::size_t at = 0; at < input.size();) {
        const std::size_t take = std::min(size(random), input.size() - at);
        document.Add(std::string_view(input).substr(at, take), 0);
        at += take;
    }
    return document.Finish();
}

TEST(InputDocument, PiecesGiveWhatTheWholeInputGives) {
    std::mt19937 random(6);
    for (int k = 0; k < 400; ++k) {
        std::string input = RandomInput(random, static_cast<std::size_t>(k % 60));
        if (k % 5 == 0 && !input.empty()) {
            input.insert(input.size() / 2, 1, '\0');
        }
        const std::string beforeZero = input.substr(0, input.find('\0'));
        ASSERT_EQ(Build(input, true, random), Utf8ToGbk(beforeZero))
            << testing::PrintToString(input);
        ASSERT_EQ(Build(input, false, random), beforeZero) << testing::PrintToString(input);
    }
}

TEST(InputDocument, AFileSizeHintOnlyReserves) {
    InputDocument document(true);
    document.Add("\xE4\xB8", 1000);
    document.Add(
        "\xAD"
        "a",
        1000);
    EXPECT_EQ(document.Finish(),
              "\xD6\xD0"
              "a");
}

// GBK pieces around the edges of the maps: characters of two and four bytes, pairs the
// half-width map changes, a trail byte that is a letter, stray and lone lead bytes, and runs
// without a byte below 0x80.
std::string RandomGbk(std::mt19937& random, std::size_t length) {
    static const std::string kPieces[] = {"ab",
                                          "Zq",
                                          "\xD6\xD0",
                                          "\xA3\xC1",
                                          "\xA1\xA1",
                                          "\xA1\xEF",
                                          "\x81\x30\x81\x30",
                                          "\x81\x61",
                                          "\x80",
                                          "\xFF",
                                          "\xA3",
                                          "\r\n",
                                          "\xB0\xA1\xB0\xA1",
                                          "~ "};
    std::uniform_int_distribution<std::size_t> pick(0, std::size(kPieces) - 1);
    std::string text;
    while (text.size() < length) {
        text += kPieces[pick(random)];
    }
    return text;
}

// The command on the whole document in the in-memory editor, as the menu runs it.
Text WholeDocument(const Command& command, const std::vector<BatchStep>& steps, Text text) {
    MemoryEditor editor(std::move(text));
    Services services;
    CommandContext context{editor, services};
    if (command.dialog != nullptr) {
        DialogSession session(*command.dialog, context);
        EXPECT_EQ(ApplySteps(session, steps), "");
    } else {
        CommandRegistry::RunDirect(command, context);
    }
    EXPECT_TRUE(editor.Messages().empty());
    return editor.TakeText();
}

struct Streamed {
    std::string out;
    bool unencodable;
};

// Streams input read in pieces of random sizes, in steps of stepBytes.
Streamed Stream(const PieceMap& map, bool utf8, const std::string& input, std::size_t stepBytes,
                std::mt19937& random) {
    Streamed streamed;
    MapStream stream(
        map, utf8,
        [&streamed](std::string_view piece) {
            streamed.out += piece;
            return true;
        },
        stepBytes);
    const ReadTarget target = stream.Target();
    std::uniform_int_distribution<std::size_t> size(0, 9);
    for (std::size_t at = 0; at < input.size();) {
        const std::span<char> room = target.room(0);
        const std::size_t take = std::min({size(random), input.size() - at, room.size()});
        std::memcpy(room.data(), input.data() + at, take);
        target.filled(take);
        at += take;
    }
    stream.Finish();
    streamed.unencodable = stream.Unencodable();
    return streamed;
}

std::string BeforeZero(const std::string& input) {
    return input.substr(0, input.find('\0'));
}

std::string WithZero(std::string input, std::mt19937& random) {
    if (!input.empty()) {
        input.insert(random() % input.size(), 1, '\0');
    }
    return input;
}

// Every streamed command, steps of every small size cutting the input everywhere: the streamed
// result is the whole document's, converted from and to UTF-8 too, where the result is no
// UTF-8 the refusal; a zero byte ends the document.
TEST(MapStream, StepsGiveWhatTheWholeDocumentGives) {
    const CommandRegistry registry = BuildCommandRegistry();
    const std::vector<std::vector<std::string>> runs = {
        {"到大写"},
        {"到小写"},
        {"到半角"},
        {"编码/解码"},
        {"编码/解码", "组合框_编解码方式=十六进制"}};
    std::mt19937 random(8);
    for (const std::vector<std::string>& run : runs) {
        const Command& command = *registry.FindByName(run[0]);
        std::vector<BatchStep> steps;
        for (std::size_t i = 1; i < run.size(); ++i) {
            std::string error;
            steps.push_back(*ParseStep(run[i], error));
        }
        const PieceMap* map = MapOfRun(command, steps);
        ASSERT_NE(map, nullptr) << run[0];
        for (int k = 0; k < 400; ++k) {
            SCOPED_TRACE(run.back() + " round " + std::to_string(k));
            const std::size_t step = 1 + static_cast<std::size_t>(k % 13);
            std::string input = RandomGbk(random, static_cast<std::size_t>(k % 90));
            if (k % 5 == 0) {
                input = WithZero(input, random);
            }
            ASSERT_EQ(Stream(*map, false, input, step, random).out,
                      WholeDocument(command, steps, BeforeZero(input)))
                << testing::PrintToString(input);
            if (!map->restartsAfterLowByte) {
                continue;
            }
            std::string utf8 = RandomInput(random, static_cast<std::size_t>(k % 70), k % 3 == 0);
            if (k % 5 == 1) {
                utf8 = WithZero(utf8, random);
            }
            const Text whole = WholeDocument(command, steps, Utf8ToGbk(BeforeZero(utf8)));
            const bool encodable = CanEncodeDocument(whole, FileEncoding::Utf8);
            const Streamed streamed = Stream(*map, true, utf8, step, random);
            ASSERT_EQ(streamed.unencodable, !encodable) << testing::PrintToString(utf8);
            if (encodable) {
                ASSERT_EQ(streamed.out, GbkToUtf8(whole)) << testing::PrintToString(utf8);
            }
            const std::string text = BeforeZero(utf8);
            using Utf8Result = PieceMap::Utf8Result;
            if (IsWellFormedUtf8(text) &&
                (map->utf8Result == Utf8Result::WellFormed ||
                 (map->utf8Result == Utf8Result::WellFormedWithoutEuroSign &&
                  text.find("\xE2\x82\xAC") == std::string::npos))) {
                ASSERT_TRUE(encodable) << testing::PrintToString(utf8);
            }
        }
    }
}

TEST(MapStream, OnlyOneEncodingPassIsAMap) {
    const CommandRegistry registry = BuildCommandRegistry();
    const Command& codec = *registry.FindByName("编码/解码");
    const auto map = [&codec](std::vector<std::string> arguments) {
        std::vector<BatchStep> steps;
        for (const std::string& argument : arguments) {
            std::string error;
            steps.push_back(*ParseStep(argument, error));
        }
        return MapOfRun(codec, steps);
    };
    EXPECT_NE(map({"编辑框_处理次数=1"}), nullptr);
    EXPECT_EQ(map({"编辑框_处理次数=2"}), nullptr);
    EXPECT_EQ(map({"编辑框_处理次数=0"}), nullptr);
    EXPECT_EQ(map({"单选框_解密"}), nullptr);
    EXPECT_EQ(map({"组合框_编解码方式=RC4"}), nullptr);
    EXPECT_EQ(map({"press=按钮1"}), nullptr);
    EXPECT_EQ(map({"编辑框_没有=1"}), nullptr);
    EXPECT_EQ(MapOfRun(*registry.FindByName("到全角"), {}), nullptr);
}

TEST(MapStream, AUtf8InputIsCheckedToItsFirstZeroByte) {
    const auto check = [](const std::string& input, bool withoutEuroSign = true) {
        return IsWellFormedInput(
            [&input](const ReadTarget& target) {
                for (std::size_t at = 0;;) {
                    const std::span<char> room = target.room(0);
                    const std::size_t take = std::min(room.size(), input.size() - at);
                    std::memcpy(room.data(), input.data() + at, take);
                    target.filled(take);
                    at += take;
                    if (take == 0) {
                        return true;
                    }
                }
            },
            withoutEuroSign);
    };
    EXPECT_TRUE(check("a\xE4\xB8\xAD"));
    EXPECT_TRUE(check(""));
    EXPECT_TRUE(check(std::string("a\0\xFF", 3)));
    EXPECT_FALSE(check("a\xFF"));
    EXPECT_FALSE(check("a\xE4\xB8"));
    EXPECT_FALSE(check("x\xE2\x82\xAC"));
    EXPECT_TRUE(check("x\xE2\x82\xAC", false));
    // A megabyte and more: the check goes on across its buffer's edge.
    std::string large(std::size_t{1} << 20, 'a');
    EXPECT_TRUE(check(large.substr(0, large.size() - 1) + "\xE4\xB8\xAD"));
    EXPECT_FALSE(check(large.substr(0, large.size() - 1) + "\xE2\x82\xAC"));
}

struct RunOutcome {
    int status;
    std::string out;
    std::string err;
};

RunOutcome RunTool(const CommandRegistry& registry, std::vector<std::string> arguments,
                   const std::string& input = "") {
    std::istringstream in(input);
    std::ostringstream out;
    std::ostringstream err;
    const int status = RunBatch(arguments, registry, {in, out, err});
    return {status, out.str(), err.str()};
}

std::string FileText(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

// Documents of several steps through the runner, from standard input, a file, to standard
// output and to a file, GBK and UTF-8 (with and without the euro sign, which can make a
// half-width result no UTF-8): the whole document's bytes or refusal every way. A UTF-8 result
// that cannot be written leaves nothing, and an old output file whole.
TEST(StreamedRun, WritesWhatTheWholeDocumentGivesEveryWay) {
    const CommandRegistry registry = BuildCommandRegistry();
    const auto directory =
        std::filesystem::temp_directory_path() / ("velmor-stream-" + std::to_string(::getpid()));
    std::filesystem::create_directories(directory);
    std::mt19937 random(3);
    std::string withoutEuro = RandomInput(random, 1300000, true);
    for (std::size_t at = 0; (at = withoutEuro.find("\xE2\x82\xAC", at)) != std::string::npos;) {
        withoutEuro.replace(at, 3, "\xE4\xB8\xAD");
    }
    const std::pair<bool, std::string> inputs[] = {{false, RandomGbk(random, 1300000)},
                                                   {true, withoutEuro},
                                                   {true, RandomInput(random, 1300000, true)}};
    const std::string inPath = (directory / "in").string();
    const std::string outPath = (directory / "out").string();
    const std::vector<std::vector<std::string>> runs = {
        {"到大写"}, {"到半角"}, {"编码/解码"}, {"编码/解码", "组合框_编解码方式=十六进制"}};
    for (const auto& [fromUtf8, input] : inputs) {
        std::ofstream(inPath, std::ios::binary) << input;
        for (const std::vector<std::string>& run : runs) {
            SCOPED_TRACE(run.back() + (fromUtf8 ? " from UTF-8" : ""));
            const Command& command = *registry.FindByName(run[0]);
            std::vector<BatchStep> steps;
            for (std::size_t i = 1; i < run.size(); ++i) {
                std::string error;
                steps.push_back(*ParseStep(run[i], error));
            }
            const Text whole = WholeDocument(command, steps, fromUtf8 ? Utf8ToGbk(input) : input);
            const bool refused = fromUtf8 && !CanEncodeDocument(whole, FileEncoding::Utf8);
            const std::string expected = refused ? "" : fromUtf8 ? GbkToUtf8(whole) : whole;
            const int status = refused ? kExitFileError : kExitRan;
            const auto with = [&](std::vector<std::string> more) {
                if (fromUtf8) {
                    more.insert(more.begin(), "--utf8");
                }
                more.insert(more.end(), run.begin(), run.end());
                return more;
            };
            const RunOutcome piped = RunTool(registry, with({}), input);
            EXPECT_EQ(piped.status, status) << piped.err;
            EXPECT_TRUE(piped.out == expected) << "from standard input";
            const RunOutcome fromFile = RunTool(registry, with({"--in", inPath}));
            EXPECT_EQ(fromFile.status, status) << fromFile.err;
            EXPECT_TRUE(fromFile.out == expected) << "from a file";
            std::ofstream(outPath, std::ios::binary) << "old";
            const RunOutcome toFile = RunTool(registry, with({"--in", inPath, "--out", outPath}));
            EXPECT_EQ(toFile.status, status) << toFile.err;
            EXPECT_TRUE(FileText(outPath) == (refused ? "old" : expected)) << "to a file";
        }
    }

    // A stray byte past the first steps: nothing on standard output, the old file kept.
    std::ofstream(inPath, std::ios::binary) << withoutEuro << "\xFF";
    std::ofstream(outPath, std::ios::binary) << "old";
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"--utf8", "--in", inPath, "到大写"},
          std::vector<std::string>{"--utf8", "--in", inPath, "--out", outPath, "到大写"}}) {
        const RunOutcome refused = RunTool(registry, arguments);
        EXPECT_EQ(refused.status, kExitFileError);
        EXPECT_EQ(refused.out, "");
        EXPECT_EQ(refused.err,
                  "velmor-text: cannot write the result as UTF-8: it holds bytes that are no GBK "
                  "character\n");
    }
    EXPECT_EQ(FileText(outPath), "old");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(directory), {}), 2);

    // A file with a second link is written in place by the whole-document run, never
    // replaced by a stream that does not know its size first.
    const std::string link = (directory / "link").string();
    std::filesystem::create_hard_link(outPath, link);
    ReplaceOptions streamed;
    streamed.inPlace = false;
    EXPECT_NE(ReplaceFile(
                  outPath, 0, [](int, const ByteProgress&) { return true; }, streamed),
              "");
    EXPECT_EQ(FileText(link), "old");
    EXPECT_EQ(RunTool(registry, {"--out", outPath, "到大写"}, "new").status, kExitRan);
    EXPECT_EQ(FileText(link), "NEW");
    std::filesystem::remove_all(directory);
}

}  // namespace
}  // namespace velmor
