// INI documents: a text parsed into sections of keys, answering lookups with
// the caller's default, changed in memory and written back whole in one
// fixed layout. Start-up reads "options.ini" beside the data file through it.
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

    // Sets (or creates, at the front) the key; a null value stores "". The
    // section "SYSTEM_COMMAND" stores nothing: its key "INI_FILE_FLUSH" with
    // the value "NOW" writes the document at once. False for a null name and
    // for a name the written text could not give back (a key name holding
    // "=" or a line end, or with blanks or comment marks at its ends, or
    // starting with "["; a section name holding "]").
    bool SetKey(const char* section, const char* key, const char* value);
    // Remove the entry; true when it existed.
    bool DeleteKey(const char* section, const char* key);
    bool DeleteSection(const char* section);
    // The document's text, each value quoted so that reading it back gives
    // the same value, as a new zero-terminated block the caller frees with
    // ZQ_Free. When the document is dirty and has a path, the text is first
    // written to that save-area file (atomically) and the flag cleared.
    char* WriteIniFile();
    bool IsDirty() const { return m_dirty; }

private:
    bool AtEnd() const { return m_position >= m_length; }
    void SkipBlanks();
    Section* ReadSection();
    Key* ReadKey();
    void SkipLine();

    char* m_path = nullptr;
    size_t m_length = 0;
    Section* m_sections = nullptr;
    char* m_text = nullptr;
    size_t m_position = 0;
    int m_line = 0;
    bool m_dirty = false;
};
