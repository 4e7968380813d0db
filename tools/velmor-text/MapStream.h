#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/PieceMap.h"
#include "platform/FileBytes.h"

namespace velmor {

// A document streamed through a command's map as it is read: the bytes before the first zero
// byte are read into one buffer that is used again for every step, each step is cut where the
// map may start afresh, mapped and handed out, and the unfinished tail goes in front of the
// next. GBK input is mapped on the reading thread: the map takes no longer than the reading,
// and a thread to read beside it costs more than it saves. For UTF-8 input each step is
// converted to GBK, mapped and converted back, in two pieces on two threads; steps then end
// after a byte below 0x30, which needs a map that may restart there. The result put out is
// exactly the map of the whole document.
class MapStream {
public:
    // put receives the result in order and returns false when it could not be written; the
    // stream then only reads on to the end.
    using Put = std::function<bool(std::string_view)>;
    // stepBytes, when given, replaces the step's size (tests cut the input everywhere).
    MapStream(const PieceMap& map, bool utf8, Put put, std::size_t stepBytes = 0);
    ~MapStream();

    ReadTarget Target();
    // Maps what is left as the end of the document, once the input has ended.
    void Finish();

    // A result piece that is no well-formed UTF-8 (not put out, nor anything after it).
    bool Unencodable() const { return m_unencodable; }
    bool PutFailed() const { return m_putFailed; }

private:
    std::span<char> Room();
    void Filled(std::size_t count);
    // Maps the bytes read so far up to where the map may start afresh, all of them if last,
    // and moves the rest to the front.
    void MapRead(bool last);
    // Maps a step, UTF-8 in two pieces on two threads, and puts the results out in order.
    void MapStep(std::string_view text);
    void MapPiece(std::size_t index, std::string_view piece);
    bool Stopped() const { return m_unencodable || m_putFailed; }
    std::size_t Restart(std::string_view text) const;

    const PieceMap& m_map;
    bool m_utf8;
    Put m_put;
    std::size_t m_stepBytes;
    std::string m_read;
    std::size_t m_used = 0;
    bool m_ended = false;
    bool m_finished = false;
    bool m_unencodable = false;
    bool m_putFailed = false;
    // Bytes after the first zero byte, or after the stream stopped, are read here and dropped.
    std::string m_dropped;
    // A piece of a step (at most two), its buffers kept from step to step: the GBK form of
    // UTF-8 input, the map's result and its UTF-8 form, and the bytes to put out.
    struct Piece {
        Text gbk;
        std::string result;
        std::string resultUtf8;
        std::string_view out;
        bool unencodable = false;
    };
    std::array<Piece, 2> m_pieces;
    class Helper;
    // The thread that maps the second piece of a step of UTF-8 input.
    std::unique_ptr<Helper> m_helper;
};

// Where a map that restarts after a byte below 0x30 may restart in GBK and in UTF-8 alike
// (such a byte is a character of its own in both): after the last such byte, 0 without one.
std::size_t LowByteRestart(std::string_view text);

// Reads the UTF-8 input to its first zero byte or its end, true when it is well-formed (and
// without the euro sign if asked): what a map's Utf8Result asks of input for a well-formed
// result. False also when it cannot be read.
bool IsWellFormedInput(const std::function<bool(const ReadTarget&)>& readInto,
                       bool withoutEuroSign);

}  // namespace velmor
