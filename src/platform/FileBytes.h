#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/Services.h"
#include "core/Text.h"

namespace velmor {

// Paths here are file-system paths in UTF-8. A file is opened, used and closed within one call.

// The whole content of the file; the empty byte string when the path is empty or the file
// cannot be read.
ByteString ReadFileBytes(const std::string& path);
// As ReadFileBytes, but tells a failure (nullopt) from an empty file.
std::optional<ByteString> TryReadFileBytes(const std::string& path);

// Receives what is read in pieces of up to a megabyte, in order, with the size of the file
// when it is a regular file (0 otherwise) as a hint for reserving room.
using PieceSink = std::function<void(std::string_view piece, std::size_t fileSize)>;
// Reads the file, or an open descriptor up to end of file, handing each piece to piece as it
// comes; false when opening or reading fails (pieces already handed over stay handed over).
bool ReadFilePieces(const std::string& path, const PieceSink& piece);
bool ReadDescriptorPieces(int descriptor, const PieceSink& piece);
// Where a reader puts what it reads when the bytes are to live in a buffer of the caller's:
// room(fileSize) gives the place for the next bytes (fileSize as for PieceSink), filled(count)
// says how many of them were read there. Nothing is copied on the way.
struct ReadTarget {
    std::function<std::span<char>(std::size_t fileSize)> room;
    std::function<void(std::size_t count)> filled;
};
// As ReadFilePieces and ReadDescriptorPieces, reading straight into the target.
bool ReadFileInto(const std::string& path, const ReadTarget& target);
bool ReadDescriptorInto(int descriptor, const ReadTarget& target);
// Runs a reader of a target with a target of its own buffer, handing each piece read to piece.
bool ReadPiecesThrough(const std::function<bool(const ReadTarget&)>& readInto,
                       const PieceSink& piece);
// Appends a piece to bytes, reserving with the hint so that a whole file is one allocation
// that is never zero-filled first.
void AppendPiece(std::string& bytes, std::string_view piece, std::size_t fileSize);

// Creates the file or empties an existing one and writes the parts one after another; false,
// without a message, when the path is empty or anything fails (every byte count is checked).
bool WriteFileBytes(const std::string& path, std::initializer_list<std::string_view> parts);

// Saves a document so that no half-written file is ever left: the bytes go to a temporary
// file in the same folder, are written in full and synced, and only then replace the target
// (an existing file keeps its permissions; a symbolic link keeps pointing at the file it
// names). False, with any old file whole and no temporary file left, when the path is empty,
// names something that is not a regular file or a file this user may not write, or anything
// fails. A file with several hard links is written in place so that every link keeps it.
bool SaveDocumentBytes(const std::string& path, std::string_view bytes);
// The same for a document held in parts, written one after another: no whole copy is made.
bool SaveDocumentBytes(const std::string& path, const std::vector<std::string_view>& parts);

// How ReplaceFile treats the file it replaces.
struct ReplaceOptions {
    // A symbolic link at the path keeps pointing at the file it names; otherwise the link
    // itself is replaced and nothing is ever written through it.
    bool followLink = true;
    // Waits for the disk to hold the data before the new file takes the old one's place.
    bool sync = true;
    // A file with several hard links is written in place; without this it is refused, for a
    // writer that cannot tell its size first or reads the very file as it writes.
    bool inPlace = true;
    // The mode and (where allowed) owner the new file gets; the old file's, or the usual
    // mode for a new file, when absent.
    std::optional<unsigned> mode;
    std::optional<std::pair<unsigned, unsigned>> owner;
    // Handed to the writer. A stop drops the new file and leaves the old one; a file written in
    // place is written to its end whatever progress answers, since half of it would be lost.
    ByteProgress progress;
};
// Writes the content (write(descriptor, progress) puts exactly size bytes there, through the
// same checked writes as every writer here, telling progress as it goes and giving up when it
// answers false) and only then lets it replace the file at path; a
// file this user may not write, a folder or a device is refused untouched. A file with
// several hard links is written in place after room for it is reserved, so a full disk
// refuses it before any byte changes. Returns the empty reason on success, else a short
// UTF-8 reason for the user.
using ContentWriter = std::function<bool(int descriptor, const ByteProgress& progress)>;
std::string ReplaceFile(const std::string& path, std::uint64_t size, const ContentWriter& write,
                        const ReplaceOptions& options);
// The checked write of every writer here: every byte or false. With progress, the bytes go
// a mebibyte at a time, each told to progress, and false comes back once it answers false.
bool WriteAllBytes(int descriptor, std::string_view bytes, const ByteProgress& progress = {});

// The write(2) every writer here goes through; tests swap it to inject short writes and
// failures. Passing nullptr restores the system's.
using WriteCall = long (*)(int descriptor, const void* data, std::size_t count);
void SetWriteCallForTesting(WriteCall call);

}  // namespace velmor
