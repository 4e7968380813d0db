#include "core/FileEncoding.h"

#include "core/ByteBlocks.h"
#include "core/Utf8.h"

namespace velmor {

namespace {

struct EncodingNames {
    FileEncoding encoding;
    const char* shown;
    const char* option;
    std::string_view mark;
};

constexpr EncodingNames kNames[] = {
    {FileEncoding::Gbk, "GBK", "gbk", {}},
    {FileEncoding::Utf8, "UTF-8", "utf-8", {}},
    {FileEncoding::Utf8Bom, "UTF-8 BOM", "utf-8-bom", "\xEF\xBB\xBF"},
    {FileEncoding::Utf16Le, "UTF-16LE", "utf-16le", "\xFF\xFE"},
    {FileEncoding::Utf16Be, "UTF-16BE", "utf-16be", "\xFE\xFF"},
};

const EncodingNames& NamesOf(FileEncoding encoding) {
    return kNames[static_cast<int>(encoding)];
}

bool HasHighByte(std::string_view bytes) {
    std::size_t i = 0;
    for (; i + kBlockBytes <= bytes.size(); i += kBlockBytes) {
        if (HighByteMask(bytes.data() + i) != 0) {
            return true;
        }
    }
    for (; i < bytes.size(); ++i) {
        if (static_cast<unsigned char>(bytes[i]) >= 0x80) {
            return true;
        }
    }
    return false;
}

}  // namespace

const char* EncodingName(FileEncoding encoding) {
    return NamesOf(encoding).shown;
}

const char* EncodingOptionName(FileEncoding encoding) {
    return NamesOf(encoding).option;
}

std::optional<FileEncoding> EncodingOfOptionName(std::string_view name) {
    for (const EncodingNames& names : kNames) {
        if (name == names.option) {
            return names.encoding;
        }
    }
    return std::nullopt;
}

std::string_view ByteOrderMark(FileEncoding encoding) {
    return NamesOf(encoding).mark;
}

FileEncoding RecogniseEncoding(std::string_view bytes) {
    for (FileEncoding encoding :
         {FileEncoding::Utf8Bom, FileEncoding::Utf16Le, FileEncoding::Utf16Be}) {
        if (bytes.starts_with(ByteOrderMark(encoding))) {
            return encoding;
        }
    }
    // Validity, not statistics: GBK Chinese of even a few characters is practically never
    // valid UTF-8, since the leads of the commonest characters (B0–BF) start no UTF-8 one.
    if (IsWellFormedUtf8(bytes) && HasHighByte(bytes)) {
        return FileEncoding::Utf8;
    }
    return FileEncoding::Gbk;
}

}  // namespace velmor
