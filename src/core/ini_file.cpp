// INI parsing: a section header, then keys, each put at the front of its
// list, so that a later duplicate answers lookups. Malformed lines never
// stop the parse except a section header without its closing bracket.
#include "core/ini_file.h"

#include <cstdlib>
#include <cstring>

#include "core/load_save.h"
#include "core/memory_manager.h"
#include "core/ref_string.h"

namespace {

bool IsBlank(char c) {
    return c == '\t' || c == '\n' || c == '\r' || c == ' ';
}

bool IsLineEnd(char c) {
    return c == '\n' || c == '\r';
}

} // namespace

IniFile::IniFile(const char* path, bool) {
    if (path != nullptr) m_path = ZQStrNDup(path, std::strlen(path));
    ReadIniFile();
}

IniFile::~IniFile() {
    for (Section* s = m_sections; s != nullptr;) {
        for (Key* k = s->keys; k != nullptr;) {
            Key* next = k->next;
            ZQ_Free(k->name);
            ZQ_Free(k->value);
            ZQ_Free(k);
            k = next;
        }
        Section* next = s->next;
        ZQ_Free(s->name);
        ZQ_Free(s);
        s = next;
    }
    ZQ_Free(m_path);
    ZQ_Free(m_text);
}

void IniFile::SetText(const char* text) {
    ZQ_Free(m_text);
    m_length = text != nullptr ? std::strlen(text) : 0;
    m_text = ZQStrNDup(text != nullptr ? text : "", m_length);
    ReadIniFile();
}

// Tab, line ends, space and comments (";" or "#" to the line end).
void IniFile::SkipBlanks() {
    while (!AtEnd()) {
        const char c = m_text[m_position];
        if (c == ';' || c == '#') {
            while (!AtEnd() && !IsLineEnd(m_text[m_position])) ++m_position;
        } else if (IsBlank(c)) {
            if (IsLineEnd(c)) ++m_line;
            ++m_position;
        } else {
            return;
        }
    }
}

void IniFile::SkipLine() {
    while (!AtEnd() && !IsLineEnd(m_text[m_position])) ++m_position;
}

// Everything up to the next "[" is passed over; the name runs to the next
// "]" untrimmed. Null at the end of the text or without a closing bracket.
IniFile::Section* IniFile::ReadSection() {
    SkipBlanks();
    while (!AtEnd() && m_text[m_position] != '[') ++m_position;
    if (AtEnd()) return nullptr;
    const size_t start = ++m_position;
    while (!AtEnd() && m_text[m_position] != ']') ++m_position;
    if (AtEnd()) return nullptr;
    auto* section = static_cast<Section*>(ZQ_Alloc(sizeof(Section)));
    if (section == nullptr) return nullptr;
    section->name = ZQStrNDup(m_text + start, m_position - start);
    ++m_position;
    return section;
}

// A key "name = value". The name runs to the "=" of its own line, less
// trailing blanks and comment marks; a line without "=" is passed over whole,
// so it can neither join the next line's name nor swallow a section header.
// An empty value or one that is only a comment drops the key.
IniFile::Key* IniFile::ReadKey() {
    SkipBlanks();
    if (AtEnd() || m_text[m_position] == '[') return nullptr;
    const size_t nameStart = m_position;
    size_t lineEnd = m_position;
    while (lineEnd < m_length && !IsLineEnd(m_text[lineEnd]) && m_text[lineEnd] != '=') ++lineEnd;
    if (lineEnd >= m_length || m_text[lineEnd] != '=') {
        SkipLine();
        return nullptr;
    }
    const char* equals = m_text + lineEnd;
    size_t nameEnd = lineEnd;
    while (nameEnd > nameStart &&
           (IsBlank(m_text[nameEnd - 1]) || m_text[nameEnd - 1] == ';' || m_text[nameEnd - 1] == '#'))
        --nameEnd;
    m_position = static_cast<size_t>(equals - m_text) + 1;

    // Blanks after "="; crossing a line end drops the key.
    const int lineBefore = m_line;
    SkipBlanks();
    if (m_line != lineBefore || AtEnd()) return nullptr;

    size_t valueStart = m_position;
    size_t valueEnd;
    const char quote = m_text[m_position];
    if (quote == '"' || quote == '\'') {
        valueStart = ++m_position;
        while (!AtEnd() && m_text[m_position] != quote && !IsLineEnd(m_text[m_position])) ++m_position;
        valueEnd = m_position;
        while (!AtEnd() && !IsLineEnd(m_text[m_position])) ++m_position;
    } else {
        while (!AtEnd() && !IsLineEnd(m_text[m_position]) && m_text[m_position] != ';' &&
               m_text[m_position] != '#')
            ++m_position;
        valueEnd = m_position;
        while (valueEnd > valueStart && (m_text[valueEnd - 1] == ' ' || m_text[valueEnd - 1] == '\t'))
            --valueEnd;
    }
    auto* key = static_cast<Key*>(ZQ_Alloc(sizeof(Key)));
    if (key == nullptr) return nullptr;
    key->name = ZQStrNDup(m_text + nameStart, nameEnd - nameStart);
    key->value = ZQStrNDup(m_text + valueStart, valueEnd - valueStart);
    return key;
}

bool IniFile::ReadIniFile() {
    if (m_text == nullptr) {
        if (m_path == nullptr) return false;
        int length = 0;
        m_text = LoadSave::SaveFileExists(m_path) ? LoadSave::ReadSaveFile(m_path, &length)
                                                  : LoadSave::ReadBundleFile(m_path, &length);
        if (m_text == nullptr) return false;
        m_length = static_cast<size_t>(length);
    }
    m_position = 0;
    m_line = 0;
    if (m_length > 2 && std::memcmp(m_text, "\xEF\xBB\xBF", 3) == 0) m_position = 3;

    Section* current = ReadSection();
    if (current != nullptr) {
        current->next = m_sections;
        m_sections = current;
    }
    while (current != nullptr) {
        const size_t before = m_position;
        if (Key* key = ReadKey()) {
            key->next = current->keys;
            current->keys = key;
            continue;
        }
        if (AtEnd()) break;
        if (m_text[m_position] == '[') {
            current = ReadSection();
            if (current == nullptr) break;
            current->next = m_sections;
            m_sections = current;
        } else if (m_position == before) {
            break; // cannot happen: a key read always moves on
        }
    }
    ZQ_Free(m_text);
    m_text = nullptr;
    m_length = 0;
    return true;
}

IniFile::Section* IniFile::GetSection(const char* name) const {
    if (name == nullptr) return nullptr;
    for (Section* s = m_sections; s != nullptr; s = s->next)
        if (s->name != nullptr && std::strcmp(s->name, name) == 0) return s;
    return nullptr;
}

IniFile::Key* IniFile::GetKey(const char* section, const char* key) const {
    Section* s = GetSection(section);
    if (s == nullptr || key == nullptr) return nullptr;
    for (Key* k = s->keys; k != nullptr; k = k->next)
        if (k->name != nullptr && std::strcmp(k->name, key) == 0) return k;
    return nullptr;
}

int IniFile::ReadInt(const char* section, const char* key, int defaultValue) const {
    const Key* k = GetKey(section, key);
    return k != nullptr && k->value != nullptr ? std::atoi(k->value) : defaultValue;
}

const char* IniFile::ReadString(const char* section, const char* key, const char* defaultValue) const {
    const Key* k = GetKey(section, key);
    return k != nullptr && k->value != nullptr ? k->value : defaultValue;
}

namespace {

bool KeyNameIsWritable(const char* name) {
    const size_t n = std::strlen(name);
    if (std::strpbrk(name, "=\r\n") != nullptr) return false;
    if (n == 0) return true;
    const auto edge = [](char c) { return IsBlank(c) || c == ';' || c == '#'; };
    return name[0] != '[' && !edge(name[0]) && !edge(name[n - 1]);
}

// The quote the value is written in: double unless the value holds one, then
// single; a value holding both is written in double quotes with its double
// quotes turned single (it cannot be written back whole, but it cannot end
// early and let the rest of the line be read as something else either).
char QuoteFor(const char* value) {
    if (std::strchr(value, '"') == nullptr) return '"';
    if (std::strchr(value, '\'') == nullptr) return '\'';
    return '"';
}

void FreeKey(IniFile::Key* k) {
    ZQ_Free(k->name);
    ZQ_Free(k->value);
    ZQ_Free(k);
}

} // namespace

bool IniFile::SetKey(const char* section, const char* key, const char* value) {
    m_dirty = true;
    if (section != nullptr && std::strcmp(section, "SYSTEM_COMMAND") == 0) {
        if (key != nullptr && value != nullptr && std::strcmp(key, "INI_FILE_FLUSH") == 0 &&
            std::strcmp(value, "NOW") == 0)
            ZQ_Free(WriteIniFile());
        return true;
    }
    if (section == nullptr || key == nullptr) return false;
    if (std::strchr(section, ']') != nullptr || !KeyNameIsWritable(key)) return false;
    Section* s = GetSection(section);
    if (s == nullptr) {
        s = static_cast<Section*>(ZQ_Alloc(sizeof(Section)));
        if (s == nullptr) return false;
        s->keys = nullptr;
        s->name = ZQStrNDup(section, std::strlen(section));
        s->next = m_sections;
        m_sections = s;
    }
    Key* k = GetKey(section, key);
    if (k == nullptr) {
        k = static_cast<Key*>(ZQ_Alloc(sizeof(Key)));
        if (k == nullptr) return false;
        k->name = ZQStrNDup(key, std::strlen(key));
        k->value = nullptr;
        k->next = s->keys;
        s->keys = k;
    }
    char* copy = ZQStrNDup(value != nullptr ? value : "", value != nullptr ? std::strlen(value) : 0);
    ZQ_Free(k->value);
    k->value = copy;
    return true;
}

bool IniFile::DeleteKey(const char* section, const char* key) {
    Section* s = GetSection(section);
    if (s == nullptr || key == nullptr) return false;
    for (Key** link = &s->keys; *link != nullptr; link = &(*link)->next) {
        Key* k = *link;
        if (k->name == nullptr || std::strcmp(k->name, key) != 0) continue;
        *link = k->next;
        FreeKey(k);
        m_dirty = true;
        return true;
    }
    return false;
}

bool IniFile::DeleteSection(const char* section) {
    if (section == nullptr) return false;
    for (Section** link = &m_sections; *link != nullptr; link = &(*link)->next) {
        Section* s = *link;
        if (s->name == nullptr || std::strcmp(s->name, section) != 0) continue;
        *link = s->next;
        for (Key* k = s->keys; k != nullptr;) {
            Key* next = k->next;
            FreeKey(k);
            k = next;
        }
        ZQ_Free(s->name);
        ZQ_Free(s);
        m_dirty = true;
        return true;
    }
    return false;
}

char* IniFile::WriteIniFile() {
    size_t length = 0;
    for (const Section* s = m_sections; s != nullptr; s = s->next) {
        length += std::strlen(s->name) + 4;
        for (const Key* k = s->keys; k != nullptr; k = k->next)
            length += std::strlen(k->name) + std::strlen(k->value) + 5;
    }
    auto* text = static_cast<char*>(ZQ_Alloc(length + 1));
    if (text == nullptr) return nullptr;
    char* out = text;
    const auto put = [&out](const char* bytes) {
        const size_t n = std::strlen(bytes);
        std::memcpy(out, bytes, n);
        out += n;
    };
    for (const Section* s = m_sections; s != nullptr; s = s->next) {
        *out++ = '[';
        put(s->name);
        put("]\r\n");
        for (const Key* k = s->keys; k != nullptr; k = k->next) {
            put(k->name);
            *out++ = '=';
            const char quote = QuoteFor(k->value);
            *out++ = quote;
            for (const char* v = k->value; *v != '\0'; ++v) {
                // A line end would end the value and start a line of its own.
                if (IsLineEnd(*v))
                    *out++ = ' ';
                else
                    *out++ = *v == quote ? '\'' : *v;
            }
            *out++ = quote;
            put("\r\n");
        }
    }
    *out = '\0';
    if (m_dirty && m_path != nullptr && LoadSave::WriteFile(m_path, text, static_cast<int>(out - text)))
        m_dirty = false;
    return text;
}
