#pragma once
// Reading of INI-style files (language files) by the rules of the Windows private-profile
// functions: section and key names compared without regard to case, the first matching key
// wins, blanks around the value trimmed, one pair of enclosing double or single quotes
// removed, values cut at 2047 characters, and the key list of a section limited to one
// 16384-character buffer. A missing file, section or key reads as empty.
// The file is decoded like algorithm files (UTF-8 or Windows-1250); values come back as UTF-8.

#include <string>
#include <vector>

class TIniFile {
public:
    explicit TIniFile(const std::string &fileName);

    const std::string &FileName() const { return FFileName; }
    bool Exists() const { return FExists; }

    // The value (UTF-8), or `def` when the file, the section or the key is missing.
    std::string ReadString(const std::string &section, const std::string &key,
                           const std::string &def = "") const;
    // The key names of a section in file order, as the one-buffer key-list read returns them.
    std::vector<std::string> ReadSection(const std::string &section) const;

private:
    struct TEntry {
        std::string Key;        // as written, blanks around it dropped
        std::string Value;      // blanks around it dropped, quotes still on
        bool HasValue = false;  // false for a line without "="
    };
    struct TSection {
        std::string Name;
        std::vector<TEntry> Entries;
    };
    const TSection *FindSection(const std::string &section) const;

    std::string FFileName;
    bool FExists = false;
    std::vector<TSection> FSections;
};
