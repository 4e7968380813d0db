#include "BatchRunner.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <set>
#include <sstream>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "InputDocument.h"
#include "MapStream.h"
#include "core/CodePage936.h"
#include "core/DocumentEncoding.h"
#include "core/FixedTime.h"
#include "core/MemoryEditor.h"
#include "core/MenuLayout.h"
#include "core/PieceMap.h"
#include "core/Random.h"
#include "core/ResultSizeLimit.h"
#include "core/Services.h"
#include "platform/CurlHttpClient.h"
#include "platform/DesktopOpener.h"
#include "platform/DocumentFile.h"
#include "platform/FileBytes.h"
#include "platform/FileStart.h"
#include "platform/JsScriptHost.h"
#include "platform/LocalFileSystem.h"
#include "platform/OpenCcConverter.h"
#include "platform/SystemClock.h"
#include "platform/SystemMemoryBudget.h"
#include "platform/SystemSecureRandom.h"

namespace velmor {

namespace {

constexpr const char* kFilesSubmenu = "多文件";
constexpr const char* kVelmorVersion = VELMOR_VERSION;

template <typename Number>
bool ReadNumber(std::string_view digits, Number& value) {
    if (digits.empty() || digits.front() == '-' || digits.front() == '+') {
        return false;
    }
    const auto [end, failure] =
        std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return failure == std::errc() && end == digits.data() + digits.size();
}

constexpr const char* kSynopsis = "velmor-text [OPTIONS] COMMAND [STEP ...]";

constexpr const char* kOptions[] = {"--in",     "--out", "--utf8", "--encoding",
                                    "--answer", "--now", "--tick"};

bool IsOption(std::string_view name) {
    return std::find(std::begin(kOptions), std::end(kOptions), name) != std::end(kOptions);
}

// Steps are NAME, NAME=VALUE or press=NAME; no control name starts with a dash.
bool IsOptionAfterCommand(std::string_view argument) {
    const std::string_view name = argument.substr(0, argument.find('='));
    return IsOption(name) || argument == "-h" || argument == "--help" || argument == "--version";
}

void PrintHelp(std::ostream& out) {
    out << "usage: " << kSynopsis << "\n"
        << "Runs one menu command of the editor on a document and writes the result.\n"
        << "\n"
        << "Options (before COMMAND):\n"
        << "  --in FILE          read the document from FILE (default: standard input)\n"
        << "  --out FILE         write the result to FILE, replacing it only once complete\n"
        << "                     (default: standard output)\n"
        << "  --encoding auto|gbk|utf-8|utf-8-bom|utf-16le|utf-16be\n"
        << "                     the encoding the document is read and written in (default\n"
        << "                     gbk); auto recognises it by its byte-order mark or strict\n"
        << "                     UTF-8 validity (else GBK) and writes the same back; a result\n"
        << "                     the encoding cannot hold is not written (exit status 1)\n"
        << "  --utf8             short for --encoding utf-8\n"
        << "  --answer yes|no|cancel\n"
        << "                     the answer to every question the command asks (default cancel)\n"
        << "  --now \"YYYY-MM-DD HH:MM:SS\"\n"
        << "                     the current local date and time the command sees\n"
        << "  --tick N           the millisecond tick count that seeding reads\n"
        << "  -h, --help         show this help and exit\n"
        << "  --version          show the version and exit\n"
        << "\n"
        << "COMMAND is a menu caption without its access key (到大写, 基本替换, 插入序号文本).\n"
        << "STEP is NAME=VALUE (set a control), NAME (click a radio button), select=NAME:INDEX\n"
        << "or press=NAME (press a button); without press= the action button is pressed once.\n"
        << "\n"
        << "Exit status: 0 the command ran, 1 a file could not be read or written, 2 usage "
           "error.\n";
}

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

// Exactly "YYYY-MM-DD HH:MM:SS" naming a real moment.
std::optional<DateTime> ParseNow(std::string_view text) {
    if (text.size() != 19 || text[4] != '-' || text[7] != '-' || text[10] != ' ' ||
        text[13] != ':' || text[16] != ':') {
        return std::nullopt;
    }
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    if (!ReadNumber(text.substr(0, 4), year) || !ReadNumber(text.substr(5, 2), month) ||
        !ReadNumber(text.substr(8, 2), day) || !ReadNumber(text.substr(11, 2), hour) ||
        !ReadNumber(text.substr(14, 2), minute) || !ReadNumber(text.substr(17, 2), second)) {
        return std::nullopt;
    }
    static const int daysInMonth[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 100 || month < 1 || month > 12 || hour > 23 || minute > 59 || second > 59) {
        return std::nullopt;
    }
    const int lastDay = daysInMonth[month - 1] + (month == 2 && IsLeapYear(year) ? 1 : 0);
    if (day < 1 || day > lastDay) {
        return std::nullopt;
    }
    return MakeDateTime(year, month, day, hour, minute, second);
}

const MenuEntry* FindSubmenu(const std::vector<MenuEntry>& entries, std::string_view caption) {
    for (const MenuEntry& entry : entries) {
        if (entry.kind == MenuEntry::Kind::Submenu) {
            if (entry.caption == caption) {
                return &entry;
            }
            if (const MenuEntry* found = FindSubmenu(entry.children, caption)) {
                return found;
            }
        }
    }
    return nullptr;
}

// The batch window's tabs, found in the menu under "多文件", work on files only.
bool WorksOnFilesOnly(const Command& command) {
    const MenuEntry* files = FindSubmenu(MainMenuLayout(), kFilesSubmenu);
    if (files == nullptr) {
        return false;
    }
    for (const MenuEntry& entry : files->children) {
        if (entry.kind == MenuEntry::Kind::Command && entry.caption == command.caption) {
            return true;
        }
    }
    return false;
}

std::string OneLine(const std::string& text) {
    std::string line;
    for (char c : text) {
        if (c == '\r') {
            line += "\\r";
        } else if (c == '\n') {
            line += "\\n";
        } else {
            line += c;
        }
    }
    return line;
}

std::optional<ByteString> ReadAll(std::istream& in) {
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (in.bad()) {
        return std::nullopt;
    }
    return std::move(bytes).str();
}

bool IsDeviceOrPipe(const std::string& path) {
    std::error_code error;
    const std::filesystem::file_type type = std::filesystem::status(path, error).type();
    return !error &&
           (type == std::filesystem::file_type::character ||
            type == std::filesystem::file_type::block || type == std::filesystem::file_type::fifo);
}

std::string CannotHold(FileEncoding encoding) {
    return std::string("cannot write the result as ") + EncodingName(encoding) +
           ": it holds bytes that are no GBK character";
}

// The same atomic save as the editor, so a failed run leaves the old file whole and --out may
// name the --in file. A device or a pipe (/dev/null, a FIFO) has no old content to keep and
// cannot be replaced by a file: it is written directly.
bool WriteOutput(const std::string& path, const ByteString& bytes) {
    if (IsDeviceOrPipe(path)) {
        return WriteFileBytes(path, {bytes});
    }
    return SaveDocumentBytes(path, bytes);
}

int UsageError(std::ostream& err, const std::string& reason) {
    err << "velmor-text: " << reason << '\n';
    return kExitUsage;
}

int FileError(std::ostream& err, const std::string& reason) {
    err << "velmor-text: " << reason << '\n';
    return kExitFileError;
}

using Reader = std::function<bool(const ReadTarget&)>;

// Positions in the text are counted in int.
constexpr std::uint64_t kLargestText = INT_MAX;

}  // namespace

const PieceMap* MapOfRun(const Command& command, const std::vector<BatchStep>& steps) {
    if (!command.pieceMap) {
        return nullptr;
    }
    if (command.dialog == nullptr) {
        return command.pieceMap(nullptr);
    }
    if (std::any_of(steps.begin(), steps.end(),
                    [](const BatchStep& step) { return step.kind == BatchStep::Kind::Press; })) {
        return nullptr;
    }
    MemoryEditor editor;
    Services services;
    CommandContext context{editor, services};
    DialogSession session(*command.dialog, context);
    if (!ApplySteps(session, steps, false).empty()) {
        return nullptr;
    }
    return command.pieceMap(&session.Fields());
}

namespace {

// Standard input when no descriptor reader is given: the whole-input function or the stream.
Reader StandardInputReader(BatchStreams& streams) {
    if (streams.readInputInto) {
        return streams.readInputInto;
    }
    return [&streams](const ReadTarget& target) {
        std::optional<ByteString> whole;
        if (streams.readInput) {
            whole = streams.readInput();
            if (!whole) {
                return false;
            }
        }
        for (std::size_t at = 0;;) {
            const std::span<char> room = target.room(0);
            std::size_t count = 0;
            if (whole) {
                count = std::min(room.size(), whole->size() - at);
                std::memcpy(room.data(), whole->data() + at, count);
                at += count;
            } else if (!room.empty()) {
                streams.in.read(room.data(), static_cast<std::streamsize>(room.size()));
                count = static_cast<std::size_t>(streams.in.gcount());
                if (streams.in.bad()) {
                    return false;
                }
            }
            target.filled(count);
            if (count == 0) {
                return true;
            }
        }
    };
}

// Reads the input to its end, dropping it: whether it can be read.
bool Drain(const Reader& read) {
    std::string scratch(std::size_t{1} << 16, '\0');
    return read({[&scratch](std::size_t) { return std::span<char>(scratch); }, [](std::size_t) {}});
}

// The run streamed through the command's map, where the result, the messages (none) and the
// exit status are provably those of the whole-document run; nothing (before anything is read
// or written) where they might not be. A growing map needs the input's size to stay within the
// size limit the command would apply; a result that may be no well-formed UTF-8 goes only to a
// file replaced once complete, or comes from UTF-8 input read once before and found to give a
// well-formed result.
std::optional<int> RunStreamed(const BatchOptions& options, const Command& command,
                               BatchStreams& streams) {
    const bool utf8 = options.encoding == FileEncoding::Utf8;
    if (!utf8 && options.encoding != FileEncoding::Gbk) {
        return std::nullopt;
    }
    const PieceMap* map = MapOfRun(command, options.steps);
    if (map == nullptr || (utf8 && !map->restartsAfterLowByte)) {
        return std::nullopt;
    }
    struct stat input {};
    const bool regularInput = !options.inPath.empty() &&
                              ::stat(options.inPath.c_str(), &input) == 0 && S_ISREG(input.st_mode);
    constexpr std::size_t kProbe = 3 << 20;
    if (map->bound(kProbe) > kProbe) {
        // The limit as the command finds it with the document held: a GBK text is at most
        // twice as long as its UTF-8 form.
        if (!regularInput) {
            return std::nullopt;
        }
        const std::uint64_t text = static_cast<std::uint64_t>(input.st_size) * (utf8 ? 2 : 1);
        const SystemMemoryBudget memory(kLargestText);
        const std::uint64_t available = memory.AvailableBytes();
        if (map->bound(static_cast<std::size_t>(text)) >
            MaxResultBytesFor(available > text ? available - text : 0, memory.LargestText())) {
            return std::nullopt;
        }
    }
    const bool toFile = !options.outPath.empty() && !IsDeviceOrPipe(options.outPath);
    struct stat output {};
    if (toFile && ::stat(options.outPath.c_str(), &output) == 0 && S_ISREG(output.st_mode) &&
        output.st_nlink > 1) {
        return std::nullopt;  // written in place, where it may be the very input
    }
    using Utf8Result = PieceMap::Utf8Result;
    if (utf8 && map->utf8Result != Utf8Result::Ascii && !toFile &&
        (!regularInput || map->utf8Result == Utf8Result::Unknown ||
         !IsWellFormedInput(
             [&options](const ReadTarget& target) { return ReadFileInto(options.inPath, target); },
             map->utf8Result == Utf8Result::WellFormedWithoutEuroSign))) {
        return std::nullopt;
    }

    const std::string inName = options.inPath.empty() ? "standard input" : options.inPath;
    int descriptor = -1;
    if (!options.inPath.empty()) {
        descriptor = ::open(options.inPath.c_str(), O_RDONLY | O_CLOEXEC);
        if (descriptor < 0) {
            return FileError(streams.err, "cannot read " + inName);
        }
    }
    const Reader read = descriptor >= 0 ? Reader([descriptor](const ReadTarget& target) {
        return ReadDescriptorInto(descriptor, target);
    })
                                        : StandardInputReader(streams);
    bool readable = true;
    bool unencodable = false;
    bool putFailed = false;
    bool ran = false;
    const auto run = [&](MapStream::Put put) {
        ran = true;
        MapStream stream(*map, utf8, std::move(put));
        readable = read(stream.Target());
        if (readable) {
            stream.Finish();
        }
        unencodable = stream.Unencodable();
        putFailed = stream.PutFailed();
        return readable && !unencodable && !putFailed;
    };
    bool written = true;
    if (options.outPath.empty()) {
        run([&streams](std::string_view piece) {
            streams.out.write(piece.data(), static_cast<std::streamsize>(piece.size()));
            return static_cast<bool>(streams.out);
        });
        streams.out.flush();
        written = static_cast<bool>(streams.out);
    } else if (!toFile) {
        const int out =
            ::open(options.outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        written = out >= 0;
        if (written) {
            run([out](std::string_view piece) { return WriteAllBytes(out, piece); });
            written = ::close(out) == 0;
        }
    } else {
        // Never in place: the size is not known before, and the file may be the input.
        ReplaceOptions replace;
        replace.inPlace = false;
        written =
            ReplaceFile(
                options.outPath, 0,
                [&run](int out, const ByteProgress&) {
                    return run([out](std::string_view piece) { return WriteAllBytes(out, piece); });
                },
                replace)
                .empty();
    }
    if (!ran) {
        readable = Drain(read);
    }
    if (descriptor >= 0) {
        ::close(descriptor);
    }
    if (!readable) {
        return FileError(streams.err, "cannot read " + inName);
    }
    if (unencodable) {
        return FileError(streams.err, CannotHold(FileEncoding::Utf8));
    }
    if (putFailed || !written) {
        return FileError(streams.err,
                         "cannot write " + (options.outPath.empty() ? std::string("standard output")
                                                                    : options.outPath));
    }
    return kExitRan;
}

}  // namespace

std::optional<BatchOptions> ParseBatchArguments(const std::vector<std::string>& arguments,
                                                std::string& error) {
    BatchOptions options;
    std::set<std::string> given;
    std::size_t i = 0;
    for (; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "-h" || argument == "--help" || argument == "--version") {
            options.request = argument == "--version" ? BatchOptions::Request::Version
                                                      : BatchOptions::Request::Help;
            return options;
        }
        if (!argument.starts_with("--")) {
            break;
        }
        std::string name = argument;
        std::optional<std::string> value;
        if (const std::size_t equals = argument.find('='); equals != std::string::npos) {
            name = argument.substr(0, equals);
            value = argument.substr(equals + 1);
        }
        if (IsOption(name) && !given.insert(name).second) {
            error = name + " is given twice";
            return std::nullopt;
        }
        if (name == "--utf8") {
            if (value) {
                error = "--utf8 takes no value";
                return std::nullopt;
            }
            options.encoding = FileEncoding::Utf8;
            continue;
        }
        if (!IsOption(name)) {
            error = "unknown option " + name;
            return std::nullopt;
        }
        if (!value) {
            if (i + 1 == arguments.size()) {
                error = name + " needs a value";
                return std::nullopt;
            }
            value = arguments[++i];
        }
        if (name == "--in" || name == "--out") {
            if (value->empty()) {
                error = name + " needs a file name";
                return std::nullopt;
            }
            (name == "--in" ? options.inPath : options.outPath) = *value;
        } else if (name == "--encoding") {
            if (*value == "auto") {
                options.encoding = std::nullopt;
            } else if (const std::optional<FileEncoding> encoding = EncodingOfOptionName(*value)) {
                options.encoding = *encoding;
            } else {
                error = "--encoding takes auto, gbk, utf-8, utf-8-bom, utf-16le or utf-16be, not " +
                        *value;
                return std::nullopt;
            }
        } else if (name == "--answer") {
            if (*value == "yes") {
                options.answer = MessageAnswer::Yes;
            } else if (*value == "no") {
                options.answer = MessageAnswer::No;
            } else if (*value == "cancel") {
                options.answer = MessageAnswer::Cancel;
            } else {
                error = "--answer takes yes, no or cancel, not " + *value;
                return std::nullopt;
            }
        } else if (name == "--now") {
            options.now = ParseNow(*value);
            if (!options.now) {
                error = "--now takes a date and time as \"YYYY-MM-DD HH:MM:SS\", not " + *value;
                return std::nullopt;
            }
        } else {
            std::uint32_t tick = 0;
            if (!ReadNumber(*value, tick)) {
                error = "--tick takes a millisecond count from 0 to 4294967295, not " + *value;
                return std::nullopt;
            }
            options.tick = tick;
        }
    }
    if (given.contains("--utf8") && given.contains("--encoding")) {
        error = "--utf8 is short for --encoding utf-8: give one of them";
        return std::nullopt;
    }
    if (i == arguments.size()) {
        error = std::string("no command given (usage: ") + kSynopsis + ")";
        return std::nullopt;
    }
    options.command = arguments[i++];
    for (; i < arguments.size(); ++i) {
        if (IsOptionAfterCommand(arguments[i])) {
            error = arguments[i] + ": options go before the command";
            return std::nullopt;
        }
        std::optional<BatchStep> step = ParseStep(arguments[i], error);
        if (!step) {
            return std::nullopt;
        }
        options.steps.push_back(std::move(*step));
    }
    return options;
}

int RunBatch(const std::vector<std::string>& arguments, const CommandRegistry& registry,
             BatchStreams streams) {
    std::string error;
    const std::optional<BatchOptions> options = ParseBatchArguments(arguments, error);
    if (!options) {
        return UsageError(streams.err, error);
    }
    if (options->request == BatchOptions::Request::Help) {
        PrintHelp(streams.out);
        return kExitRan;
    }
    if (options->request == BatchOptions::Request::Version) {
        streams.out << "velmor-text " << kVelmorVersion << '\n';
        return kExitRan;
    }
    const Command* command = registry.FindByName(options->command);
    if (command == nullptr) {
        return UsageError(streams.err, "unknown command " + options->command);
    }
    if (command->windowOnly) {
        return UsageError(streams.err,
                          options->command + " acts on the window only and is not offered here");
    }
    if (!command->IsImplemented()) {
        return UsageError(streams.err, options->command + " is not available yet");
    }
    if (command->dialog == nullptr && !options->steps.empty()) {
        return UsageError(streams.err, options->command + " has no dialog to take steps");
    }

    const bool usesDocument = !WorksOnFilesOnly(*command);
    if (usesDocument) {
        if (const std::optional<int> status = RunStreamed(*options, *command, streams)) {
            return *status;
        }
    }
    const std::string inName = options->inPath.empty() ? "standard input" : options->inPath;
    Text text;
    FileEncoding encoding = options->encoding.value_or(FileEncoding::Gbk);
    if (usesDocument) {
        // GBK and UTF-8 are converted as they arrive; the others need the whole input first
        // (recognition reads all of it, UTF-16 is refused by its size).
        const bool streamed =
            options->encoding == FileEncoding::Gbk || options->encoding == FileEncoding::Utf8;
        InputDocument document(options->encoding == FileEncoding::Utf8);
        ByteString whole;
        bool tooLarge = false;
        const auto add = [&](std::string_view piece, std::size_t fileSize) {
            if (streamed) {
                document.Add(piece, fileSize);
                return;
            }
            tooLarge = tooLarge ||
                       IsTooLargeForUtf16(whole, whole.size() + piece.size(), options->encoding);
            if (!tooLarge) {
                AppendPiece(whole, piece, fileSize);
            }
        };
        if (!streamed && !options->inPath.empty()) {
            const std::optional<FileStart> start = ReadFileStart(options->inPath, 3);
            if (start && IsTooLargeForUtf16(start->bytes, start->size, options->encoding)) {
                return FileError(streams.err, "cannot read " + inName + ": UTF-16 over 1 GB");
            }
        }
        bool read = true;
        if (streamed && !options->inPath.empty()) {
            read = ReadFileInto(options->inPath, document.Target());
        } else if (!options->inPath.empty()) {
            read = ReadFilePieces(options->inPath, add);
        } else if (streamed && streams.readInputInto) {
            read = streams.readInputInto(document.Target());
        } else if (streams.readInputInto) {
            read = ReadPiecesThrough(streams.readInputInto, add);
        } else {
            std::optional<ByteString> bytes =
                streams.readInput ? streams.readInput() : ReadAll(streams.in);
            read = bytes.has_value();
            if (read) {
                add(*bytes, 0);
            }
        }
        if (!read) {
            return FileError(streams.err, "cannot read " + inName);
        }
        if (streamed) {
            text = document.Finish();
        } else {
            if (tooLarge) {
                return FileError(streams.err, "cannot read " + inName + ": UTF-16 over 1 GB");
            }
            encoding = options->encoding.value_or(RecogniseEncoding(whole));
            text = DecodeDocument(std::move(whole), encoding, GbkCut::Dropped).text;
        }
    }

    MemoryEditor editor(std::move(text));
    editor.SetDefaultAnswer(options->answer);
    const SystemClock systemClock;
    const FixedClock fixedClock(options->now.value_or(DateTime{}));
    const SystemTickSource systemTicks;
    const FixedTickSource fixedTicks(options->tick.value_or(0));
    RandomGenerator random(options->tick ? static_cast<const TickSource&>(fixedTicks)
                                         : static_cast<const TickSource&>(systemTicks));
    const OpenCcConverter chinese;
    const SystemSecureRandom secureRandom;
    LocalFileSystem files;
    CurlHttpClient http;
    // Scripts are written but never started from the command line.
    NoDesktopShell shell;
    const JsScriptHostFactory scripts;
    const SystemMemoryBudget memory(kLargestText);
    Services services;
    services.clock = options->now ? static_cast<const Clock*>(&fixedClock) : &systemClock;
    services.random = &random;
    services.chinese = &chinese;
    // A fixed tick makes every draw reproducible, so such runs keep to the generator.
    services.secureRandom = options->tick ? nullptr : &secureRandom;
    services.files = &files;
    services.http = &http;
    services.shell = &shell;
    services.scripts = &scripts;
    services.memory = &memory;
    CommandContext context{editor, services};

    if (command->dialog != nullptr) {
        DialogSession session(*command->dialog, context);
        if (command->supportNotice) {
            editor.SupportNoticeStep();
        }
        if (std::string reason = ApplySteps(session, options->steps); !reason.empty()) {
            return UsageError(streams.err, reason);
        }
    } else {
        CommandRegistry::RunDirect(*command, context);
    }

    for (const MemoryEditor::Message& message : editor.Messages()) {
        streams.err << OneLine(message.title) << ' ' << OneLine(message.text) << '\n';
    }
    if (!usesDocument) {
        return kExitRan;
    }
    Text result = editor.TakeText();
    const std::string cannotHold = CannotHold(encoding);
    if (options->outPath.empty()) {
        const auto write = [&streams](std::string_view piece) {
            streams.out.write(piece.data(), static_cast<std::streamsize>(piece.size()));
        };
        if (encoding == FileEncoding::Gbk) {
            write(result);
        } else if (encoding == FileEncoding::Utf8) {
            // UTF-8 goes out piece by piece as it is made, never held whole.
            if (!CanEncodeDocument(result, encoding)) {
                return FileError(streams.err, cannotHold);
            }
            GbkToUtf8PiecesInParallel(result, write);
        } else {
            const std::optional<ByteString> output = EncodeDocument(result, encoding);
            if (!output) {
                return FileError(streams.err, cannotHold);
            }
            write(*output);
        }
        streams.out.flush();
        if (!streams.out) {
            return FileError(streams.err, "cannot write standard output");
        }
        return kExitRan;
    }
    std::optional<ByteString> output = encoding == FileEncoding::Gbk
                                           ? std::optional<ByteString>(std::move(result))
                                           : EncodeDocument(result, encoding);
    if (!output) {
        return FileError(streams.err, cannotHold);
    }
    if (!WriteOutput(options->outPath, *output)) {
        return FileError(streams.err, "cannot write " + options->outPath);
    }
    return kExitRan;
}

}  // namespace velmor
