#pragma once

#include <QString>

#include "core/Services.h"

namespace velmor {

// The registry under HKEY_CURRENT_USER kept as a UTF-8 text file in the layout of a
// registry export: "[HKEY_CURRENT_USER\key]" lines, then "name"="value" or @="value" lines.
// Values are stored as UTF-8 (converted from and back to GBK without loss) with \\, \", \r,
// \n, \t and \xHH escapes. Key paths and value names are matched ignoring ASCII case.
class RegistryFile : public SettingsStore {
public:
    explicit RegistryFile(QString path);

    // $VELMOR_SETTINGS_FILE, else $XDG_CONFIG_HOME (or ~/.config) + "/velmor/registry.reg".
    static QString DefaultLocation();

    const QString& Path() const { return m_path; }

    // A missing or unreadable file, a missing value or one that is not a string: empty. A path
    // that is not a regular file (a pipe, a device) or a file over 16 MiB is not read at all.
    Text ReadString(const std::string& keyPath, const std::string& valueName) const override;
    // Rewrites the whole file atomically, keeping every other key, value and line and the
    // file's byte-order mark, line ends and final line end; a failure leaves the old file as
    // it was and is otherwise ignored. A file that exists but cannot be read is never written.
    void WriteString(const std::string& keyPath, const std::string& valueName,
                     const Text& value) override;

private:
    QString m_path;
};

// The escaped, quoted form of a value as it appears in the file ("C:\\a" for C:\a).
std::string QuoteRegistryValue(const Text& value);
// Reads a quoted value starting at its opening quote; false when it is not one.
bool UnquoteRegistryValue(std::string_view quoted, Text& value);

}  // namespace velmor
