#include "platform/RegistryFile.h"

#include <QDir>
#include <QFileInfo>
#include <filesystem>
#include <optional>
#include <vector>

#include "core/CodePage936.h"
#include "platform/FileBytes.h"

namespace velmor {

namespace {

constexpr std::string_view kRoot = "HKEY_CURRENT_USER\\";

struct Line {
    std::string raw;
    // Set for value lines; "" names the default value.
    std::optional<std::string> name;
};

struct Key {
    std::string path;
    std::string header;
    std::vector<Line> lines;
};

// The file's own format is kept on rewrite: byte-order mark, line ends, final line end.
struct Document {
    std::vector<Line> preamble;
    std::vector<Key> keys;
    bool byteOrderMark = false;
    std::string lineEnd = "\n";
    bool finalLineEnd = true;
};

// Larger files are not settings this program wrote; reading one could exhaust memory.
constexpr std::uintmax_t kMaximumFileSize = 16u << 20;

char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (AsciiLower(a[i]) != AsciiLower(b[i])) {
            return false;
        }
    }
    return true;
}

// "Software\x\" and "Software\x" name the same key, as in the registry.
std::string NormalizeKey(std::string_view path) {
    while (!path.empty() && path.front() == '\\') {
        path.remove_prefix(1);
    }
    while (!path.empty() && path.back() == '\\') {
        path.remove_suffix(1);
    }
    return std::string(path);
}

// Length of the well-formed UTF-8 sequence at text[i], 0 when there is none.
std::size_t Utf8SequenceLength(std::string_view text, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (i + length > text.size()) {
        return 0;
    }
    for (std::size_t k = 1; k < length; ++k) {
        const unsigned char c = byte(i + k);
        if (c < (k == 1 ? low : 0x80) || c > (k == 1 ? high : 0xBF)) {
            return 0;
        }
    }
    return length;
}

void AppendHex(std::string& out, unsigned char c) {
    static const char digits[] = "0123456789ABCDEF";
    out += "\\x";
    out += digits[c >> 4];
    out += digits[c & 0x0F];
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    c = AsciiLower(c);
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

// Reads a quoted UTF-8 string at text[pos]; on success pos is just past the closing quote.
bool ReadQuoted(std::string_view text, std::size_t& pos, std::string& out) {
    if (pos >= text.size() || text[pos] != '"') {
        return false;
    }
    out.clear();
    for (std::size_t i = pos + 1; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"') {
            pos = i + 1;
            return true;
        }
        if (c != '\\') {
            out += c;
            continue;
        }
        if (++i >= text.size()) {
            return false;
        }
        switch (text[i]) {
            case 'r':
                out += '\r';
                break;
            case 'n':
                out += '\n';
                break;
            case 't':
                out += '\t';
                break;
            case 'x': {
                const int hi = i + 1 < text.size() ? HexValue(text[i + 1]) : -1;
                const int lo = i + 2 < text.size() ? HexValue(text[i + 2]) : -1;
                if (hi < 0 || lo < 0) {
                    return false;
                }
                out += static_cast<char>(hi * 16 + lo);
                i += 2;
                break;
            }
            default:
                out += text[i];
                break;
        }
    }
    return false;
}

std::string QuoteUtf8(std::string_view utf8) {
    std::string out = "\"";
    for (std::size_t i = 0; i < utf8.size();) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (c == '\\' || c == '"') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c < 0x20 || c == 0x7F) {
            AppendHex(out, c);
        } else if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (const std::size_t length = Utf8SequenceLength(utf8, i); length > 0) {
            out.append(utf8.substr(i, length));
            i += length;
            continue;
        } else {
            // A byte the codec passed through unconverted keeps the file valid UTF-8.
            AppendHex(out, c);
        }
        ++i;
    }
    out += '"';
    return out;
}

std::string_view TrimLine(std::string_view line) {
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) {
        line.remove_suffix(1);
    }
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) {
        line.remove_prefix(1);
    }
    return line;
}

struct ValueLine {
    std::string name;          // "" for the default value
    std::optional<Text> data;  // nothing when the value is not a string
};

// A "name"=... or @=... line, or nothing for any other line.
std::optional<ValueLine> ParseValueLine(std::string_view line) {
    line = TrimLine(line);
    std::size_t pos = 0;
    ValueLine value;
    if (!line.empty() && line[0] == '@') {
        pos = 1;
    } else if (!ReadQuoted(line, pos, value.name)) {
        return std::nullopt;
    }
    while (pos < line.size() && line[pos] == ' ') {
        ++pos;
    }
    if (pos >= line.size() || line[pos] != '=') {
        return std::nullopt;
    }
    ++pos;
    while (pos < line.size() && line[pos] == ' ') {
        ++pos;
    }
    std::string utf8;
    if (ReadQuoted(line, pos, utf8) && pos == line.size()) {
        value.data = Utf8ToGbk(utf8);
    }
    return value;
}

std::optional<std::string> ValueName(std::string_view line) {
    auto value = ParseValueLine(line);
    return value ? std::optional<std::string>(std::move(value->name)) : std::nullopt;
}

std::optional<std::string> KeyPathOfHeader(std::string_view line) {
    line = TrimLine(line);
    if (line.size() < 2 || line.front() != '[' || line.back() != ']') {
        return std::nullopt;
    }
    std::string_view path = line.substr(1, line.size() - 2);
    if (path.size() >= kRoot.size() && SameName(path.substr(0, kRoot.size()), kRoot)) {
        path.remove_prefix(kRoot.size());
    }
    return NormalizeKey(path);
}

Document Parse(std::string_view rest) {
    Document document;
    std::vector<Line>* target = &document.preamble;
    if (rest.substr(0, 3) == "\xEF\xBB\xBF") {
        rest.remove_prefix(3);
        document.byteOrderMark = true;
    }
    if (const std::size_t firstEnd = rest.find('\n');
        firstEnd != std::string_view::npos && firstEnd > 0 && rest[firstEnd - 1] == '\r') {
        document.lineEnd = "\r\n";
    }
    document.finalLineEnd = rest.empty() || rest.back() == '\n';
    while (!rest.empty()) {
        const std::size_t end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (auto path = KeyPathOfHeader(line)) {
            document.keys.push_back({std::move(*path), std::string(line), {}});
            target = &document.keys.back().lines;
            continue;
        }
        target->push_back({std::string(line), ValueName(line)});
    }
    return document;
}

std::string Serialize(const Document& document) {
    std::string out = document.byteOrderMark ? "\xEF\xBB\xBF" : "";
    const auto add = [&](const std::string& line) { out += line + document.lineEnd; };
    for (const Line& line : document.preamble) {
        add(line.raw);
    }
    for (const Key& key : document.keys) {
        add(key.header);
        for (const Line& line : key.lines) {
            add(line.raw);
        }
    }
    if (!document.finalLineEnd && out.ends_with(document.lineEnd)) {
        out.resize(out.size() - document.lineEnd.size());
    }
    return out;
}

// A missing file is an empty store. Nothing when the file is there but must not be touched:
// unreadable, not a regular file (a pipe would block, a device never end) or too large, so
// that a rewrite never replaces settings that were not read.
std::optional<Document> Load(const QString& path) {
    const std::string local = path.toStdString();
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(local, error);
    if (status.type() == std::filesystem::file_type::not_found) {
        return Document{};
    }
    if (error || status.type() != std::filesystem::file_type::regular ||
        std::filesystem::file_size(local, error) > kMaximumFileSize || error) {
        return std::nullopt;
    }
    const std::optional<ByteString> bytes = TryReadFileBytes(local);
    if (!bytes || bytes->size() > kMaximumFileSize) {
        return std::nullopt;
    }
    return Parse(*bytes);
}

}  // namespace

std::string QuoteRegistryValue(const Text& value) {
    return QuoteUtf8(GbkToUtf8(value));
}

bool UnquoteRegistryValue(std::string_view quoted, Text& value) {
    std::size_t pos = 0;
    std::string utf8;
    if (!ReadQuoted(quoted, pos, utf8)) {
        return false;
    }
    value = Utf8ToGbk(utf8);
    return true;
}

RegistryFile::RegistryFile(QString path) : m_path(std::move(path)) {}

QString RegistryFile::DefaultLocation() {
    const QString overridden = qEnvironmentVariable("VELMOR_SETTINGS_FILE");
    if (!overridden.isEmpty()) {
        return overridden;
    }
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    // Relative values are to be ignored by the base-directory rules.
    if (base.isEmpty() || QDir::isRelativePath(base)) {
        base = QDir::homePath() + QStringLiteral("/.config");
    }
    return base + QStringLiteral("/velmor/registry.reg");
}

Text RegistryFile::ReadString(const std::string& keyPath, const std::string& valueName) const {
    const std::optional<Document> loaded = Load(m_path);
    if (!loaded) {
        return Text();
    }
    const Document& document = *loaded;
    const std::string wanted = NormalizeKey(keyPath);
    Text found;
    for (const Key& key : document.keys) {
        if (!SameName(key.path, wanted)) {
            continue;
        }
        // Later lines win, as when a registry export is imported.
        for (const Line& line : key.lines) {
            if (line.name && SameName(*line.name, valueName)) {
                found = ParseValueLine(line.raw)->data.value_or(Text());
            }
        }
    }
    return found;
}

void RegistryFile::WriteString(const std::string& keyPath, const std::string& valueName,
                               const Text& value) {
    std::optional<Document> loaded = Load(m_path);
    if (!loaded) {
        return;
    }
    Document& document = *loaded;
    const std::string wanted = NormalizeKey(keyPath);
    const std::string raw = (valueName.empty() ? std::string("@") : QuoteUtf8(valueName)) + "=" +
                            QuoteRegistryValue(value);

    // The line a read would take is rewritten in place; duplicates of it are dropped.
    Key* lastKey = nullptr;
    Line* current = nullptr;
    for (Key& key : document.keys) {
        if (!SameName(key.path, wanted)) {
            continue;
        }
        lastKey = &key;
        for (Line& line : key.lines) {
            if (line.name && SameName(*line.name, valueName)) {
                current = &line;
            }
        }
    }
    if (current != nullptr) {
        current->raw = raw;
        for (Key& key : document.keys) {
            if (SameName(key.path, wanted)) {
                std::erase_if(key.lines, [&](const Line& line) {
                    return &line != current && line.name && SameName(*line.name, valueName);
                });
            }
        }
    } else {
        if (lastKey == nullptr) {
            std::vector<Line>& before =
                document.keys.empty() ? document.preamble : document.keys.back().lines;
            if (!before.empty() && !TrimLine(before.back().raw).empty()) {
                before.push_back({});
            }
            document.keys.push_back({wanted, "[" + std::string(kRoot) + wanted + "]", {}});
            lastKey = &document.keys.back();
        }
        // Before the blank lines that close the key, so the file stays tidy.
        auto at = lastKey->lines.end();
        while (at != lastKey->lines.begin() && TrimLine((at - 1)->raw).empty()) {
            --at;
        }
        lastKey->lines.insert(at, {raw, valueName});
    }

    QDir().mkpath(QFileInfo(m_path).absolutePath());
    SaveDocumentBytes(m_path.toStdString(), Serialize(document));
}

}  // namespace velmor
