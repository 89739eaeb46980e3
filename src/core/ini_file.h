// INI documents: a text parsed into sections of keys, answering lookups with
// the caller's default. Start-up reads "options.ini" beside the data file
// through it. Only the reading side exists so far.
#pragma once

#include <cstddef>

class IniFile {
public:
    struct Key {
        Key* next;
        char* name;
        char* value;
    };
    struct Section {
        Section* next;
        Key* keys;
        char* name;
    };

    // An empty document without a path.
    IniFile() = default;
    // Reads the file (the save-area copy first, else the bundle's) and parses
    // it; a file found in neither place leaves the document empty. The flag
    // makes no difference: the file is read either way.
    IniFile(const char* path, bool read);
    ~IniFile();
    IniFile(const IniFile&) = delete;
    IniFile& operator=(const IniFile&) = delete;

    // Parses a copy of `text` into the document.
    void SetText(const char* text);
    // Parses the loaded text, loading the file first when there is none;
    // false when the file cannot be read.
    bool ReadIniFile();

    // Lookups compare names exactly and take the first match; after a parse
    // later entries of the text stand first.
    Section* GetSection(const char* name) const;
    Key* GetKey(const char* section, const char* key) const;
    // atoi of the value, or the default when the section or key is missing.
    int ReadInt(const char* section, const char* key, int defaultValue) const;
    // The document's own value text, or the default pointer.
    const char* ReadString(const char* section, const char* key, const char* defaultValue) const;

private:
    bool AtEnd() const { return m_position >= m_length; }
    void SkipBlanks();
    Section* ReadSection();
    Key* ReadKey();

    char* m_path = nullptr;
    size_t m_length = 0;
    Section* m_sections = nullptr;
    char* m_text = nullptr;
    size_t m_position = 0;
    int m_line = 0;
    bool m_dirty = false;
};
