#include "sevenzip32/archive/formats.h"

#include <string.h>

// Formats the engine tries on any content although they have no signature,
// and those it opens by name only; a signature-less format not named here
// sends every file to the engine, so a newer engine never loses an answer.
static const struct {
    LPCSTR name;
    DWORD check;
} kContentFormats[] = {
    {"COFF", SZ_CHECK_COFF},
    {"IHex", SZ_CHECK_IHEX},
    {"lzma", SZ_CHECK_LZMA},
    {"lzma86", SZ_CHECK_LZMA86},
    {"MBR", SZ_CHECK_MBR},
    {"tar", SZ_CHECK_TAR},
    {"Split", 0},
};

// The list pads the name to 8 columns and the extensions to 13.
#define SZ_NAME_COLUMNS 9
#define SZ_EXTENSION_COLUMNS 14

struct Token {
    int column;
    int length;
    LPCSTR text;
};

static bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
}

static int HexValue(char c) {
    return c <= '9' ? c - '0' : c - 'A' + 10;
}

// A signature byte is shown as itself (one character) or in hex (two).
static bool IsSignatureToken(const Token& t) {
    return t.length == 1 || (t.length == 2 && IsHexDigit(t.text[0]) && IsHexDigit(t.text[1])) ||
           (t.length == 2 && t.text[0] == '|' && t.text[1] == '|') ||
           (t.length > 7 && strncmp(t.text, "offset=", 7) == 0);
}

static void AddExtension(SzFormatTable* table, const Token& t) {
    size_t used = strlen(table->extensions);
    if (t.text[0] == '(' || used + t.length + 2 >= sizeof(table->extensions)) {
        return;
    }
    if (used == 0) {
        table->extensions[used++] = ' ';
    }
    for (int i = 0; i < t.length; i++) {
        char c = t.text[i];
        table->extensions[used++] = (c >= 'A' && c <= 'Z') ? static_cast<char>(c | 0x20) : c;
    }
    table->extensions[used] = ' ';
}

static void AddSignatures(SzFormatTable* table, const Token* tokens, int count, bool anywhere) {
    DWORD offset = 0;
    SzSignature* current = NULL;
    for (int i = 0; i < count; i++) {
        const Token& t = tokens[i];
        if (t.length > 7 && strncmp(t.text, "offset=", 7) == 0) {
            offset = strtoul(t.text + 7, NULL, 10);
            continue;
        }
        if (t.length == 2 && t.text[0] == '|') {
            current = NULL;
            continue;
        }
        if (current == NULL) {
            if (table->signatureCount == SZ_MAX_SIGNATURES) {
                table->everyFile = true;
                return;
            }
            current = &table->signatures[table->signatureCount++];
            current->offset = offset;
            current->anywhere = anywhere;
        }
        if (current->length < SZ_SIGNATURE_BYTES) {
            current->bytes[current->length++] =
                t.length == 1 ? static_cast<BYTE>(t.text[0])
                              : static_cast<BYTE>(HexValue(t.text[0]) * 16 + HexValue(t.text[1]));
        }
    }
}

static bool IsNumber(const Token& t) {
    for (int i = 0; i < t.length; i++) {
        if (t.text[i] < '0' || t.text[i] > '9') {
            return false;
        }
    }
    return t.length > 0;
}

// One line: flags, name, extensions, then the signatures. Engines built with
// a separate format library (Debian 13's 7z with 7z.so, the Windows 7z.exe
// with 7z.dll) put the library's number first, and after the flags of a
// format they can write its time precision ("w...0") one space on; the name
// always follows two spaces.
static void ParseLine(SzFormatTable* table, LPCSTR line, LPCSTR end) {
    Token tokens[96];
    int count = 0;
    for (LPCSTR p = line; p < end && count < 96;) {
        while (p < end && *p == ' ') {
            p++;
        }
        LPCSTR start = p;
        while (p < end && *p != ' ') {
            p++;
        }
        if (p > start) {
            tokens[count].column = static_cast<int>(start - line);
            tokens[count].length = static_cast<int>(p - start);
            tokens[count].text = start;
            count++;
        }
    }
    int first = count > 0 && IsNumber(tokens[0]) ? 1 : 0;
    if (count - first < 2) {
        return;
    }
    const Token& flags = tokens[first];
    int at = first + 1;
    if (at + 1 < count && tokens[at].column == flags.column + flags.length + 1) {
        at++;
    }
    const Token& name = tokens[at];
    bool startOnly = memchr(flags.text, 'E', flags.length) || memchr(flags.text, 'P', flags.length);
    bool byNameOnly = memchr(flags.text, 'X', flags.length) != NULL;
    int firstSignatureColumn = name.column +
                               (name.length < SZ_NAME_COLUMNS ? SZ_NAME_COLUMNS : name.length + 1) +
                               SZ_EXTENSION_COLUMNS;
    int signature = count;
    while (signature > at + 1 && IsSignatureToken(tokens[signature - 1])) {
        signature--;
    }
    while (signature < count && tokens[signature].column < firstSignatureColumn) {
        signature++;
    }
    for (int i = at + 1; i < signature; i++) {
        AddExtension(table, tokens[i]);
    }
    AddSignatures(table, tokens + signature, count - signature, !startOnly);
    bool known = false;
    for (const auto& format : kContentFormats) {
        if (static_cast<int>(strlen(format.name)) == name.length &&
            strncmp(format.name, name.text, name.length) == 0) {
            table->checks |= format.check;
            known = true;
        }
    }
    if (signature == count && !byNameOnly && !known) {
        table->everyFile = true;
    }
}

bool SzParseFormats(LPCSTR listing, SzFormatTable* table) {
    ZeroMemory(table, sizeof(*table));
    LPCSTR p = listing != NULL ? strstr(listing, "\nFormats:\n") : NULL;
    if (p == NULL) {
        return false;
    }
    p += 10;
    int formats = 0;
    while (*p == ' ') {
        LPCSTR end = strchr(p, '\n');
        if (end == NULL) {
            end = p + strlen(p);
        }
        ParseLine(table, p, end);
        formats++;
        p = *end == '\n' ? end + 1 : end;
    }
    return formats > 0;
}

static DWORD Read32(const BYTE* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<DWORD>(p[3]) << 24);
}

// An LZMA header: properties below 9*5*5, a dictionary of 2^n or 3*2^n.
static bool LooksLzma(const BYTE* data, DWORD size) {
    if (size < 13 || data[0] >= 225) {
        return false;
    }
    DWORD dictionary = Read32(data + 1);
    while (dictionary > 3 && (dictionary & 1) == 0) {
        dictionary >>= 1;
    }
    return dictionary <= 3 || Read32(data + 1) == 0xFFFFFFFFu;
}

// A tar header whose checksum matches, even without the "ustar" mark.
static bool LooksTar(const BYTE* data, DWORD size) {
    if (size < 512) {
        return false;
    }
    DWORD stored = 0;
    int digits = 0;
    for (int i = 148; i < 156; i++) {
        if (data[i] >= '0' && data[i] <= '7') {
            stored = stored * 8 + (data[i] - '0');
            digits++;
        } else if (digits > 0 || (data[i] != ' ' && data[i] != 0)) {
            break;
        }
    }
    DWORD sum = 0;
    for (int i = 0; i < 512; i++) {
        sum += (i >= 148 && i < 156) ? ' ' : data[i];
    }
    return digits > 0 && sum == stored;
}

// Over-generous on purpose: a wrong yes costs one engine start, a wrong no a
// wrong answer.
static bool PassesContentCheck(DWORD checks, const BYTE* data, DWORD size) {
    DWORD skip = 0;
    while (skip < size && (data[skip] == ' ' || data[skip] == '\r' || data[skip] == '\n')) {
        skip++;
    }
    return ((checks & SZ_CHECK_COFF) && size >= 20 && (data[2] | (data[3] << 8)) < 1024) ||
           ((checks & SZ_CHECK_IHEX) && skip < size && data[skip] == ':') ||
           ((checks & SZ_CHECK_LZMA) && LooksLzma(data, size)) ||
           ((checks & SZ_CHECK_LZMA86) && size > 1 && data[0] <= 1 &&
            LooksLzma(data + 1, size - 1)) ||
           ((checks & SZ_CHECK_MBR) && size >= 512 && data[510] == 0x55 && data[511] == 0xAA) ||
           ((checks & SZ_CHECK_TAR) && LooksTar(data, size));
}

static bool ExtensionListed(const SzFormatTable* table, LPCSTR name) {
    LPCSTR dot = NULL;
    for (LPCSTR p = name; *p != '\0'; p = CharNextA(p)) {
        if (*p == '\\' || *p == '/') {
            dot = NULL;
        } else if (*p == '.') {
            dot = p;
        }
    }
    char wanted[40];
    size_t n = dot != NULL ? strlen(dot + 1) : 0;
    if (n == 0 || n + 3 > sizeof(wanted)) {
        return false;
    }
    wanted[0] = ' ';
    for (size_t i = 0; i < n; i++) {
        char c = dot[1 + i];
        wanted[1 + i] = (c >= 'A' && c <= 'Z') ? static_cast<char>(c | 0x20) : c;
    }
    wanted[n + 1] = ' ';
    wanted[n + 2] = '\0';
    return strstr(table->extensions, wanted) != NULL;
}

static bool SignatureFound(const SzSignature& s, const BYTE* data, DWORD size) {
    if (s.length == 0 || size < s.offset + s.length) {
        return false;
    }
    DWORD last = size - s.length;
    if (!s.anywhere) {
        return memcmp(data + s.offset, s.bytes, s.length) == 0;
    }
    if (last - s.offset >= SZ_SEARCH_WINDOW) {
        last = s.offset + SZ_SEARCH_WINDOW - 1;
    }
    for (DWORD i = s.offset; i <= last;) {
        const BYTE* hit = static_cast<const BYTE*>(memchr(data + i, s.bytes[0], last - i + 1));
        if (hit == NULL) {
            return false;
        }
        if (memcmp(hit, s.bytes, s.length) == 0) {
            return true;
        }
        i = static_cast<DWORD>(hit - data) + 1;
    }
    return false;
}

bool SzCouldOpen(const SzFormatTable* table, LPCSTR name, const BYTE* data, DWORD size) {
    if (table->everyFile || ExtensionListed(table, name) ||
        PassesContentCheck(table->checks, data, size)) {
        return true;
    }
    for (int i = 0; i < table->signatureCount; i++) {
        if (SignatureFound(table->signatures[i], data, size)) {
            return true;
        }
    }
    return false;
}
