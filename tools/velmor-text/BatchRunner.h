#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "BatchSteps.h"
#include "core/CommandRegistry.h"
#include "core/DateTime.h"
#include "core/EditorAccess.h"
#include "core/FileEncoding.h"
#include "core/PieceMap.h"
#include "platform/FileBytes.h"

namespace velmor {

inline constexpr int kExitRan = 0;
inline constexpr int kExitFileError = 1;
inline constexpr int kExitUsage = 2;

// The command line of one run.
struct BatchOptions {
    // -h/--help or --version: print and exit, nothing else is read.
    enum class Request { Run, Help, Version };
    Request request = Request::Run;
    std::string inPath;   // empty: standard input
    std::string outPath;  // empty: standard output
    // The encoding the document is read and written in; nullopt (auto): recognised on
    // reading, and written in the encoding recognised.
    std::optional<FileEncoding> encoding = FileEncoding::Gbk;
    MessageAnswer answer = MessageAnswer::Cancel;
    std::optional<DateTime> now;
    std::optional<std::uint32_t> tick;
    std::string command;  // the caption without its access-key prefix
    std::vector<BatchStep> steps;
};

// Reads [OPTIONS] COMMAND [STEP ...]; options come before COMMAND, as --name VALUE or
// --name=VALUE, each at most once. Returns nothing and sets error on a usage error.
std::optional<BatchOptions> ParseBatchArguments(const std::vector<std::string>& arguments,
                                                std::string& error);

// Where a run reads and writes when it is not given files.
struct BatchStreams {
    std::istream& in;
    std::ostream& out;
    std::ostream& err;
    // Reads standard input when set, instead of in; nothing means it could not be read.
    std::function<std::optional<ByteString>()> readInput = {};
    // Reads standard input straight into a target, before readInput; false when it could not
    // be read.
    std::function<bool(const ReadTarget&)> readInputInto = {};
};

// The map a run of command with these steps applies, or nullptr: a direct command's own, or a
// dialog command's with the fields its action button would be pressed with. A press= step, or
// a step that fails, leaves the run to the whole document, which reports it in its place.
const PieceMap* MapOfRun(const Command& command, const std::vector<BatchStep>& steps);

// Runs one command of registry as the command line asks and returns the exit status: 0 when
// the command ran, 2 for a usage error (one line on err, nothing written), 1 when the input
// or output cannot be read or written. Messages go to err as "title text" lines.
int RunBatch(const std::vector<std::string>& arguments, const CommandRegistry& registry,
             BatchStreams streams);

}  // namespace velmor
