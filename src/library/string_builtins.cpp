// String built-ins. Characters decode by the UTF-8 rules of library/utf8.h;
// results are built in growable strings, never in fixed buffers, so no
// script-chosen width, count or position can write past an allocation.
#include "library/string_builtins.h"

#include <clocale>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <cwctype>
#include <string>

#include "core/arguments.h"
#include "core/error.h"
#include "core/memory_manager.h"
#include "core/real_to_int.h"
#include "core/ref_string.h"
#include "core/value_text.h"
#include "core/zq_rvalue.h"
#include "library/library_builtins.h"
#include "core/utf8.h"

namespace {

// The first argument, or undefined when the call passed none.
const RValue& First(const RValue* args, int argc) {
    static const RValue kUndefined = RValue_Undefined();
    return argc > 0 ? args[0] : kUndefined;
}

// A string argument's text; a missing text reads as the empty string.
const char* Text(const RValue* args, int index) {
    const char* text = ZQGetString(args, index);
    return text != nullptr ? text : "";
}

void SetString(RValue& result, const char* text) {
    ZQCreateString(&result, text);
}
void SetString(RValue& result, const std::string& text) {
    ZQCreateString(&result, text.c_str());
}
void SetReal(RValue& result, double v) {
    ZQSetResultReal(result, v);
}

// The code at p and the pointer past it; the caller has checked *p != 0.
uint16_t Next(const char*& p) {
    return utf8_extract_char(&p);
}

void AppendCode(std::string& out, uint16_t code) {
    char bytes[3];
    char* cursor = bytes;
    utf8_add_char(&cursor, code);
    out.append(bytes, static_cast<size_t>(cursor - bytes));
}

// Re-encodes the characters of [from, to) (malformed input comes out
// re-encoded, as the character walks have always written it).
void AppendReencoded(std::string& out, const char* from, const char* to) {
    while (from < to && *from != 0) AppendCode(out, Next(from));
}

// printf into a text sized by a first pass over the same arguments.
__attribute__((format(printf, 1, 2))) std::string Format(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    int length = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    std::string text;
    if (length > 0) {
        text.resize(static_cast<size_t>(length) + 1);
        std::vsnprintf(text.data(), text.size(), format, again);
        text.resize(static_cast<size_t>(length));
    }
    va_end(again);
    return text;
}

void F_Real(RValue& r, CInstance*, CInstance*, int argc, RValue* a) {
    const RValue& arg = First(a, argc);
    if (arg.Kind() == VALUE_REAL) {
        SetReal(r, arg.val);
        return;
    }
    SetReal(r, REAL_RValue_Ex(&arg));
}
void F_Int64(RValue& r, CInstance*, CInstance*, int argc, RValue* a) {
    const RValue& arg = First(a, argc);
    int64_t v = INT64_RValue(&arg);
    r.v64 = v;
    r.flags = 0;
    r.kind = VALUE_INT64;
}
void F_Ptr(RValue& r, CInstance*, CInstance*, int argc, RValue* a) {
    const RValue& arg = First(a, argc);
    intptr_t v = PTR_RValue(&arg);
    r.ptr = reinterpret_cast<void*>(v);
    r.flags = 0;
    r.kind = VALUE_PTR;
}
void F_String(RValue& r, CInstance*, CInstance*, int argc, RValue* a) {
    const RValue& arg = First(a, argc);
    char* text = Value_ToText(&arg);
    SetString(r, text != nullptr ? text : "");
    ZQ_Free(text);
}

// A string argument comes back unchanged. Otherwise the number is printed
// fixed-point with width total + decimals and precision decimals; a negative
// width left-justifies (as "%-7.2f" does), a negative precision counts as 0,
// and the text is sized by a first formatting pass, so any width fits.
void F_StringFormat(RValue& r, CInstance*, CInstance*, int argc, RValue* a) {
    const RValue& arg = First(a, argc);
    if (arg.kind == VALUE_STRING) {
        COPY_RValue(&r, &arg);
        return;
    }
    double value = ZQGetReal(a, 0);
    int64_t total = ZQGetInt32(a, 1);
    int64_t decimals = ZQGetInt32(a, 2);
    // Bounds that keep the printf arguments in int range and the text in a
    // size a game can use; beyond them a script gets the widest text allowed.
    constexpr int64_t kMaxWidth = 1 << 20;
    int64_t width = total + decimals;
    if (width > kMaxWidth) width = kMaxWidth;
    if (width < -kMaxWidth) width = -kMaxWidth;
    if (decimals < 0) decimals = 0;
    if (decimals > 1000) decimals = 1000;
    int w = static_cast<int>(width);
    int p = static_cast<int>(decimals);
    SetString(r, Format("%*.*f", w, p, value));
}

// One character: up to 0x7F one byte (so 0 is the empty string and a
// negative code keeps its low 7 bits), up to 0x7FF two bytes, else three
// bytes from bits 12-15, 6-11 and 0-5.
void F_Chr(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    int32_t code = ZQGetInt32(a, 0);
    char bytes[4] = {};
    if (code <= 0x7F) {
        bytes[0] = static_cast<char>(code & 0x7F);
    } else if (code <= 0x7FF) {
        bytes[0] = static_cast<char>(0xC0 | (code >> 6 & 0x1F));
        bytes[1] = static_cast<char>(0x80 | (code & 0x3F));
    } else {
        bytes[0] = static_cast<char>(0xE0 | (code >> 12 & 0x0F));
        bytes[1] = static_cast<char>(0x80 | (code >> 6 & 0x3F));
        bytes[2] = static_cast<char>(0x80 | (code & 0x3F));
    }
    SetString(r, bytes);
}
void F_AnsiChar(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    char bytes[2] = {static_cast<char>(ZQGetInt32(a, 0) & 0xFF), 0};
    SetString(r, bytes);
}
void F_Ord(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    SetReal(r, ZQVTL_ord(ZQGetString(a, 0)));
}
void F_StringLength(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    SetReal(r, utf8_strlen(Text(a, 0)));
}
void F_StringByteLength(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    SetReal(r, static_cast<double>(std::strlen(Text(a, 0))));
}

// Position from 1 of the first occurrence; 0 when absent or either is empty.
void F_StringPos(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    const char* needle = Text(a, 0);
    const char* haystack = Text(a, 1);
    if (*needle == 0 || *haystack == 0) {
        SetReal(r, 0.0);
        return;
    }
    const char* found = utf8_strstr(haystack, needle);
    if (found == nullptr) {
        SetReal(r, 0.0);
        return;
    }
    int position = 1;
    for (const char* p = haystack; p < found && *p != 0; Next(p)) ++position;
    SetReal(r, position);
}

// Characters [index, index + count) copied byte for byte; the walk stops at
// the end of the text or at a character whose code is 0.
void F_StringCopy(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    const char* text = Text(a, 0);
    int64_t index = ZQGetInt32(a, 1);
    int64_t count = ZQGetInt32(a, 2);
    const char* start = String_SkipCharacters(text, index - 1);
    const char* end = start;
    for (int64_t taken = 0; taken < count && *end != 0; ++taken) {
        const char* p = end;
        if (Next(p) == 0) break;
        end = p;
    }
    SetString(r, std::string(start, static_cast<size_t>(end - start)));
}

// The character at index (index <= 1: the first), or null past the end.
const char* CharacterAt(const char* text, int32_t index) {
    const char* p = String_SkipCharacters(text, static_cast<int64_t>(index) - 1);
    return *p != 0 ? p : nullptr;
}
void F_StringCharAt(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    const char* text = Text(a, 0);
    const char* p = CharacterAt(text, ZQGetInt32(a, 1));
    std::string out;
    if (p != nullptr) AppendCode(out, Next(p));
    SetString(r, out);
}
void F_StringOrdAt(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    const char* text = Text(a, 0);
    const char* p = CharacterAt(text, ZQGetInt32(a, 1));
    SetReal(r, p != nullptr ? Next(p) : -1.0);
}
void F_StringByteAt(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    const char* text = Text(a, 0);
    SetReal(r, ZQVTL_StringByteAt(text, ZQGetInt32(a, 1)));
}
void F_StringSetByteAt(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    std::string text = Text(a, 0);
    int32_t position = ZQGetInt32(a, 1);
    int32_t byte = ZQGetInt32(a, 2);
    if (position < 1 || static_cast<size_t>(position) > text.size()) {
        Error_Show_Action("string_set_byte_at : index beyond end of string", false);
    } else {
        text[static_cast<size_t>(position) - 1] = static_cast<char>(byte & 0xFF);
    }
    SetString(r, text.c_str()); // a zero byte cuts the string there
}

void F_StringDelete(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    const char* text = Text(a, 0);
    int32_t index = ZQGetInt32(a, 1);
    int32_t count = ZQGetInt32(a, 2);
    const char* at = String_SkipCharacters(text, static_cast<int64_t>(index) - 1);
    if (count <= 0 || index < 1 || *at == 0) {
        SetString(r, text);
        return;
    }
    const char* after = String_SkipCharacters(at, count);
    std::string out;
    AppendReencoded(out, text, at);
    AppendReencoded(out, after, after + std::strlen(after));
    SetString(r, out);
}

void F_StringInsert(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    std::string inserted = Text(a, 0);
    const char* text = Text(a, 1);
    int32_t index = ZQGetInt32(a, 2);
    const char* at = String_SkipCharacters(text, static_cast<int64_t>(index) - 1);
    std::string out;
    AppendReencoded(out, text, at);
    out += inserted;
    AppendReencoded(out, at, at + std::strlen(at));
    SetString(r, out);
}

// Case mapping in the user's environment locale, for this thread only (the
// process locale stays "C" for every other text routine).
template <bool kUpper>
void ChangeCase(RValue& r, const char* text) {
    locale_t userLocale = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(nullptr));
    if (userLocale == static_cast<locale_t>(nullptr))
        userLocale = newlocale(LC_CTYPE_MASK, "C", static_cast<locale_t>(nullptr));
    std::string out;
    for (const char* p = text; *p != 0;) {
        uint16_t code = Next(p);
        wint_t c = code;
        if (userLocale != static_cast<locale_t>(nullptr)) {
            if (kUpper && iswlower_l(c, userLocale)) c = towupper_l(c, userLocale);
            if (!kUpper && iswupper_l(c, userLocale)) c = towlower_l(c, userLocale);
        }
        // A mapping that leaves the 16-bit range keeps the character.
        AppendCode(out, c <= 0xFFFF ? static_cast<uint16_t>(c) : code);
    }
    if (userLocale != static_cast<locale_t>(nullptr)) freelocale(userLocale);
    SetString(r, out);
}
void F_StringLower(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    ChangeCase<false>(r, Text(a, 0));
}
void F_StringUpper(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    ChangeCase<true>(r, Text(a, 0));
}

// The result's size is checked before anything is allocated: a count whose
// result would not fit a 32-bit string length reports and gives "".
void F_StringRepeat(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    const char* text = Text(a, 0);
    int64_t count = ZQGetInt32(a, 1);
    size_t length = std::strlen(text);
    if (count <= 0 || length == 0) {
        SetString(r, "");
        return;
    }
    if (static_cast<uint64_t>(count) * length > 0x7FFFFFFEu) {
        Error_Show_Action("string_repeat : result too long", false);
        SetString(r, "");
        return;
    }
    std::string out;
    out.reserve(static_cast<size_t>(count) * length);
    for (int64_t i = 0; i < count; ++i) out.append(text, length);
    SetString(r, out);
}

template <class Keep>
void Filter(RValue& r, const char* text, Keep keep) {
    std::string out;
    for (const char* p = text; *p != 0;) {
        uint16_t code = Next(p);
        if (code < 0x80 && keep(static_cast<char>(code))) out += static_cast<char>(code);
    }
    SetString(r, out);
}
bool IsLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
void F_StringLetters(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    Filter(r, Text(a, 0), IsLetter);
}
void F_StringDigits(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    Filter(r, Text(a, 0), IsDigit);
}
void F_StringLettersDigits(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    Filter(r, Text(a, 0), [](char c) { return IsLetter(c) || IsDigit(c); });
}

// Replaces the first (or every non-overlapping) occurrence, left to right;
// replacement text is never scanned again.
void Replace(RValue& r, RValue* a, bool all) {
    std::string source = Text(a, 0);
    std::string pattern = Text(a, 1);
    std::string replacement = Text(a, 2);
    if (source.empty() || pattern.empty()) {
        SetString(r, source);
        return;
    }
    int patternLength = utf8_strlen(pattern.c_str());
    std::string out;
    const char* rest = source.c_str();
    for (const char* p = rest; *p != 0;) {
        if (utf8_strncmp(p, pattern.c_str(), patternLength) != 0) {
            Next(p);
            continue;
        }
        out.append(rest, static_cast<size_t>(p - rest));
        out += replacement;
        rest = String_SkipCharacters(p, patternLength);
        if (!all) break;
        p = rest;
    }
    out += rest;
    SetString(r, out);
}
void F_StringReplace(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    Replace(r, a, false);
}
void F_StringReplaceAll(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    Replace(r, a, true);
}

// Occurrences with overlaps: after a match the scan restarts one byte after
// its start, so "aa" occurs twice in "aaa" and "" once per byte.
void F_StringCount(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    std::string pattern = Text(a, 0);
    const char* text = Text(a, 1);
    int count = 0;
    for (const char* p = text; *p != 0;) {
        const char* match = utf8_strstr(p, pattern.c_str());
        if (match == nullptr) break;
        ++count;
        p = match + 1;
    }
    SetReal(r, count);
}

// "#" becomes carriage return and line feed unless a backslash stands right
// before it; then the "#" is kept and so is the backslash.
void F_StringHashToNewline(RValue& r, CInstance*, CInstance*, int argc, RValue* a) {
    const RValue& arg = First(a, argc);
    const char* text = arg.Kind() == VALUE_STRING
                           ? (arg.pRefString != nullptr ? arg.pRefString->Get() : nullptr)
                           : ZQGetString(a, 0);
    if (text == nullptr) text = "";
    std::string out;
    bool escaped = false;
    for (const char* p = text; *p != 0;) {
        uint16_t code = Next(p);
        if (code == '\\') {
            out += '\\';
            escaped = true;
        } else if (code == '#') {
            if (escaped)
                out += '#';
            else
                out += "\r\n";
            escaped = false;
        } else {
            AppendCode(out, code);
            escaped = false;
        }
    }
    SetString(r, out);
}

const LibraryBuiltinRow kStrings[] = {
    {"real", F_Real},
    {"string", F_String},
    {"int64", F_Int64},
    {"ptr", F_Ptr},
    {"string_format", F_StringFormat},
    {"chr", F_Chr},
    {"ansi_char", F_AnsiChar},
    {"ord", F_Ord},
    {"string_length", F_StringLength},
    {"string_pos", F_StringPos},
    {"string_copy", F_StringCopy},
    {"string_char_at", F_StringCharAt},
    {"string_ord_at", F_StringOrdAt},
    {"string_byte_length", F_StringByteLength},
    {"string_byte_at", F_StringByteAt},
    {"string_set_byte_at", F_StringSetByteAt},
    {"string_delete", F_StringDelete},
    {"string_insert", F_StringInsert},
    {"string_lower", F_StringLower},
    {"string_upper", F_StringUpper},
    {"string_repeat", F_StringRepeat},
    {"string_letters", F_StringLetters},
    {"string_digits", F_StringDigits},
    {"string_lettersdigits", F_StringLettersDigits},
    {"string_replace", F_StringReplace},
    {"string_replace_all", F_StringReplaceAll},
    {"string_count", F_StringCount},
    {"string_hash_to_newline", F_StringHashToNewline},
};

} // namespace

const char* String_SkipCharacters(const char* text, int64_t count) {
    const char* p = text;
    for (int64_t i = 0; i < count && *p != 0; ++i) Next(p);
    return p;
}

char* ZQVTL_string(const ZQRValue& value) {
    return Value_ToText(&value);
}

int ZQVTL_ord(const char* text) {
    if (text == nullptr || *text == 0) return 0;
    return utf8_get_char(text);
}

// The byte at position (from 1; below 1 the first, past the end the last) as
// a signed 8-bit number. An empty text has no byte to give and answers 0.
double ZQVTL_StringByteAt(const char* text, int position) {
    if (text == nullptr) return 0.0;
    size_t length = std::strlen(text);
    if (length == 0) return 0.0;
    size_t index = position <= 1 ? 0 : static_cast<size_t>(position) - 1;
    if (index >= length) index = length - 1;
    return static_cast<int8_t>(text[index]);
}

char* UTF8ToASCII(const char* text) {
    if (text == nullptr || *text == 0) return nullptr;
    std::string out;
    for (const char* p = text; *p != 0;) {
        uint16_t code = Next(p);
        if (code < 0x80) out += static_cast<char>(code);
    }
    return ZQStrDup(out.c_str());
}

std::span<const LibraryBuiltinRow> StringBuiltins() {
    return kStrings;
}
