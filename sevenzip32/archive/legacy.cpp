#include "sevenzip32/archive/legacy.h"

#include <string.h>
#include <strsafe.h>
#include <wchar.h>

#include "sevenzip32/archive/zip.h"
#include "sevenzip32/base/args.h"
#include "sevenzip32/base/names.h"

#define SZ_ZIP_UTF8_FLAG 0x0800
#define SZ_ZIP_UNICODE_PATH_FIELD 0x7075
#define SZ_NAME_BYTES (MAX_PATH * 3)

static bool NeedsDecoding(const BYTE* name, DWORD length) {
    for (DWORD i = 0; i < length; i++) {
        if (name[i] >= 0x80 || name[i] == '\\') {
            return true;
        }
    }
    return false;
}

// Info-ZIP's Unicode path field gives the engine the real name already.
static bool HasUnicodePath(const BYTE* extra, DWORD length) {
    for (DWORD i = 0; i + 4 <= length; i += 4 + SzLe16(extra + i + 2)) {
        if (SzLe16(extra + i) == SZ_ZIP_UNICODE_PATH_FIELD) {
            return true;
        }
    }
    return false;
}

static void AddName(SzArgs* names, const BYTE* name, DWORD length) {
    char raw[SZ_NAME_BYTES];
    ZeroMemory(raw, sizeof(raw));
    memcpy(raw, name, length);
    SzArgsAdd(names, raw);
}

// Collects the names stored without the UTF-8 flag that need decoding; false
// when there are none (or the file is no readable ZIP).
static bool ReadLegacyNames(LPCSTR archive, SzArgs* names) {
    SzArgsInit(names);
    HANDLE file = CreateFileA(archive, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD size = 0;
    DWORD entries = 0;
    BYTE* directory = SzReadZipDirectory(file, &size, &entries);
    CloseHandle(file);
    for (DWORD at = 0, n = 0; directory != NULL && n < entries && at + 46 <= size; n++) {
        const BYTE* entry = directory + at;
        DWORD nameLength = SzLe16(entry + 28);
        DWORD extraLength = SzLe16(entry + 30);
        if (memcmp(entry, "PK\x01\x02", 4) != 0 || at + 46 + nameLength + extraLength > size) {
            break;
        }
        const BYTE* name = entry + 46;
        if (!(SzLe16(entry + 8) & SZ_ZIP_UTF8_FLAG) && NeedsDecoding(name, nameLength) &&
            !HasUnicodePath(name + nameLength, extraLength) && nameLength < SZ_NAME_BYTES) {
            AddName(names, name, nameLength);
        }
        at += 46 + nameLength + extraLength + SzLe16(entry + 32);
    }
    if (directory != NULL) {
        HeapFree(GetProcessHeap(), 0, directory);
    }
    return names->count > 0;
}

static bool IsTrailByte(BYTE b) {
    return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC);
}

void SzDecodeLegacyName(const BYTE* raw, int rawBytes, LPSTR utf8, int utf8Bytes) {
    ZeroMemory(utf8, utf8Bytes);
    int used = 0;
    for (int i = 0; i < rawBytes && used + 8 < utf8Bytes;) {
        BYTE b = raw[i];
        WCHAR wide[2] = {0, 0};
        int take = IsDBCSLeadByteEx(932, b) && i + 1 < rawBytes && IsTrailByte(raw[i + 1]) ? 2 : 1;
        bool plain = b >= 0x20 && b < 0x7F && b != '\\';
        if (!plain && (b >= 0x80) &&
            MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, reinterpret_cast<LPCSTR>(raw + i), take,
                                wide, 1) == 1) {
            used += WideCharToMultiByte(CP_UTF8, 0, wide, 1, utf8 + used, utf8Bytes - used - 1,
                                        NULL, NULL);
            i += take;
        } else if (plain || b == '/') {
            utf8[used++] = static_cast<char>(b);
            i++;
        } else {
            StringCchPrintfA(utf8 + used, utf8Bytes - used, "%%%02X", b);
            used += 3;
            i++;
        }
    }
}

bool SzHasLegacyNames(LPCSTR archive) {
    SzArgs names;
    bool any = ReadLegacyNames(archive, &names);
    SzArgsFree(&names);
    return any;
}

// Replaces every occurrence of one raw name (without a folder's '/').
static LPSTR ReplaceName(LPSTR text, LPCSTR raw, int rawLength) {
    char decoded[SZ_NAME_BYTES * 2];
    SzDecodeLegacyName(reinterpret_cast<const BYTE*>(raw), rawLength, decoded, sizeof(decoded));
    size_t decodedLength = strlen(decoded);
    size_t hits = 0;
    for (LPCSTR p = text; (p = strstr(p, raw)) != NULL && rawLength > 0; p += rawLength) {
        hits++;
    }
    if (hits == 0 || rawLength == 0) {
        return text;
    }
    size_t size = strlen(text) + hits * decodedLength + 1;
    LPSTR out = static_cast<LPSTR>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, size));
    if (out == NULL) {
        return text;
    }
    LPSTR w = out;
    for (LPCSTR p = text;;) {
        LPCSTR hit = strstr(p, raw);
        size_t before = hit != NULL ? static_cast<size_t>(hit - p) : strlen(p);
        memcpy(w, p, before);
        w += before;
        if (hit == NULL) {
            break;
        }
        memcpy(w, decoded, decodedLength);
        w += decodedLength;
        p = hit + rawLength;
    }
    HeapFree(GetProcessHeap(), 0, text);
    return out;
}

LPSTR SzDecodeLegacyText(LPCSTR archive, LPCSTR text) {
    SzArgs names;
    if (!ReadLegacyNames(archive, &names)) {
        return NULL;
    }
    size_t length = strlen(text);
    LPSTR out = static_cast<LPSTR>(HeapAlloc(GetProcessHeap(), 0, length + 1));
    if (out != NULL) {
        memcpy(out, text, length + 1);
    }
    // Longest first, so that a folder's name never cuts into its files' names.
    LPCSTR* order =
        static_cast<LPCSTR*>(HeapAlloc(GetProcessHeap(), 0, names.count * sizeof(LPCSTR)));
    LPCSTR raw = names.text;
    for (int n = 0; order != NULL && n < names.count; n++, raw += strlen(raw) + 1) {
        int at = n;
        while (at > 0 && strlen(order[at - 1]) < strlen(raw)) {
            order[at] = order[at - 1];
            at--;
        }
        order[at] = raw;
    }
    for (int n = 0; order != NULL && out != NULL && n < names.count; n++) {
        int rawLength = static_cast<int>(strlen(order[n]));
        rawLength -= order[n][rawLength - 1] == '/' ? 1 : 0;
        char name[SZ_NAME_BYTES];
        ZeroMemory(name, sizeof(name));
        memcpy(name, order[n], rawLength);
        out = ReplaceName(out, name, rawLength);
    }
    if (order != NULL) {
        HeapFree(GetProcessHeap(), 0, order);
    }
    SzArgsFree(&names);
    return out;
}

static int HexDigit(WCHAR c) {
    return c >= L'0' && c <= L'9' ? c - L'0' : c >= L'A' && c <= L'F' ? c - L'A' + 10 : -1;
}

void SzLegacyLeaf(LPCWSTR leaf, bool legacy, LPWSTR out) {
    ZeroMemory(out, MAX_PATH * sizeof(WCHAR));
    StringCchCopyW(out, MAX_PATH, leaf);
    if (!legacy || wcschr(leaf, L'%') == NULL) {
        return;
    }
    // The host walk wrote each byte Windows cannot hold as %XX and kept the
    // rest as UTF-8: back to the stored bytes, then read as code page 932.
    BYTE raw[MAX_PATH * 3];
    int used = 0;
    for (LPCWSTR p = leaf; *p != L'\0' && used + 4 < static_cast<int>(sizeof(raw));) {
        int high = p[0] == L'%' ? HexDigit(p[1]) : -1;
        int low = high >= 0 ? HexDigit(p[2]) : -1;
        if (low >= 0) {
            raw[used++] = static_cast<BYTE>(high * 16 + low);
            p += 3;
            continue;
        }
        used += WideCharToMultiByte(CP_UTF8, 0, p, 1, reinterpret_cast<LPSTR>(raw + used),
                                    static_cast<int>(sizeof(raw)) - used, NULL, NULL);
        p++;
    }
    // Bytes that are UTF-8 were escaped only for a character Windows forbids:
    // they are no legacy name.
    if (MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, reinterpret_cast<LPCSTR>(raw), used,
                            NULL, 0) > 0) {
        return;
    }
    char utf8[MAX_PATH * 3];
    WCHAR decoded[MAX_PATH];
    ZeroMemory(decoded, sizeof(decoded));
    SzDecodeLegacyName(raw, used, utf8, sizeof(utf8));
    if (MultiByteToWideChar(CP_UTF8, 0, utf8, -1, decoded, MAX_PATH - 1) > 0 &&
        SzLeafIsSafe(decoded)) {
        StringCchCopyW(out, MAX_PATH, decoded);
    }
}
