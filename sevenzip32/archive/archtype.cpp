#include "sevenzip32/archive/archtype.h"

#include <string.h>
#include <strsafe.h>

#include "sevenzip32/engine/engine.h"
#include "sevenzip32/engine/locate.h"
#include "sevenzip32/archive/formats.h"
#include "sevenzip32/archive/zip.h"
#include "sevenzip32/base/names.h"
#include "sevenzip32/engine/pathmap.h"

// CRC-32 as both formats use it.
static DWORD SzCrc32(const BYTE* data, size_t count, DWORD crc) {
    crc = ~crc;
    for (size_t i = 0; i < count; i++) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; bit++) {
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
    }
    return ~crc;
}

// The 7z end header is read whole to check its CRC; larger ones are trusted
// to the start header's CRC alone.
#define SZ_MAX_CHECKED_HEADER (16u * 1024u * 1024u)

static bool Sound7z(HANDLE file, ULONGLONG fileSize, const BYTE* start) {
    if (fileSize < 32 || start[6] != 0 || SzLe32(start + 8) != SzCrc32(start + 12, 20, 0)) {
        return false;
    }
    ULONGLONG offset = SzLe64(start + 12);
    ULONGLONG size = SzLe64(start + 20);
    if (offset > fileSize || size > fileSize || 32 + offset + size > fileSize) {
        return false;
    }
    if (size == 0 || size > SZ_MAX_CHECKED_HEADER) {
        return true;
    }
    BYTE* header = static_cast<BYTE*>(HeapAlloc(GetProcessHeap(), 0, static_cast<SIZE_T>(size)));
    if (header == NULL) {
        return true;
    }
    bool ok = SzReadAt(file, 32 + offset, header, static_cast<DWORD>(size)) &&
              SzCrc32(header, static_cast<size_t>(size), 0) == SzLe32(start + 28);
    HeapFree(GetProcessHeap(), 0, header);
    return ok;
}

// The central directory lies where the end record says, before that record,
// and begins with a directory entry.
static bool SoundZip(HANDLE file, ULONGLONG fileSize) {
    SzZipEnd end;
    if (!SzFindZipEnd(file, fileSize, &end)) {
        return false;
    }
    if (!end.sized) {
        return true; // ZIP64 marks without a ZIP64 record: the engine will judge
    }
    BYTE signature[4];
    return end.offset + end.size <= end.record &&
           (end.entries == 0 ||
            (SzReadAt(file, end.offset, signature, 4) && memcmp(signature, "PK\x01\x02", 4) == 0));
}

// The last file judged, so that a check followed by a type query of the same
// unchanged file reads it once and runs the engine at most once.
static struct {
    char path[SZ_PATH_BYTES];
    FILETIME written;
    ULONGLONG size;
    int type;
} g_lastJudged;

static bool SameFile(LPCSTR path, const WIN32_FILE_ATTRIBUTE_DATA* data) {
    return strcmp(g_lastJudged.path, path) == 0 &&
           CompareFileTime(&g_lastJudged.written, &data->ftLastWriteTime) == 0 &&
           g_lastJudged.size ==
               ((static_cast<ULONGLONG>(data->nFileSizeHigh) << 32) | data->nFileSizeLow);
}

static int Remember(LPCSTR path, const WIN32_FILE_ATTRIBUTE_DATA* data, int type) {
    ZeroMemory(&g_lastJudged, sizeof(g_lastJudged));
    StringCchCopyA(g_lastJudged.path, sizeof(g_lastJudged.path), path);
    g_lastJudged.written = data->ftLastWriteTime;
    g_lastJudged.size = (static_cast<ULONGLONG>(data->nFileSizeHigh) << 32) | data->nFileSizeLow;
    g_lastJudged.type = type;
    return type;
}

static int JudgeByEngine(LPCSTR path) {
    SzEngineInfo engine;
    char host[SZ_PATH_BYTES * 3];
    ZeroMemory(host, sizeof(host));
    if (!SzFindEngine(&engine) || !SzMapName(&engine, path, true, host, sizeof(host))) {
        return SEVENZIP_TYPE_NONE;
    }
    SzArgs args;
    SzArgsInit(&args);
    SzArgsAdd(&args, "l");
    SzArgsAdd(&args, "-sccUTF-8");
    SzArgsAdd(&args, "--");
    SzArgsAdd(&args, host);
    int exitCode = SzRunEngine(&engine, &args, NULL, NULL, NULL);
    SzArgsFree(&args);
    return exitCode == 0 ? SEVENZIP_TYPE_OTHER : SEVENZIP_TYPE_NONE;
}

// The engine's format list, read once per process; NULL when it could not be
// read, and then every candidate goes to the engine.
static SzFormatTable g_formats;
static INIT_ONCE g_formatsOnce = INIT_ONCE_STATIC_INIT;

static BOOL CALLBACK LoadFormats(PINIT_ONCE, PVOID, PVOID* loaded) {
    SzEngineInfo engine;
    SzConsole output;
    SzConsoleInit(&output);
    SzArgs args;
    SzArgsInit(&args);
    SzArgsAdd(&args, "i");
    *loaded = SzFindEngine(&engine) && SzRunEngine(&engine, &args, NULL, &output, NULL) == 0 &&
                      SzParseFormats(SzConsoleText(&output), &g_formats)
                  ? &g_formats
                  : NULL;
    SzArgsFree(&args);
    SzConsoleFree(&output);
    return TRUE;
}

// How much of a file tells ZIP and 7z apart from the rest.
#define SZ_HEAD_BYTES (64u * 1024u)

// The type a file's own bytes give: ZIP and 7z by their headers; else
// SEVENZIP_TYPE_OTHER when the engine has to judge it, SEVENZIP_TYPE_NONE when no format
// of the engine's list could open it. The list is read (one engine run per
// process) only for files that are neither, and only then is as much of the
// file read as the engine would search for an archive's start.
static int SniffFile(HANDLE file, LPCSTR path) {
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file, &size)) {
        return SEVENZIP_TYPE_NONE;
    }
    ULONGLONG fileSize = static_cast<ULONGLONG>(size.QuadPart);
    if (fileSize == 0) {
        return SEVENZIP_TYPE_NONE;
    }
    const DWORD window = SZ_SEARCH_WINDOW + 64u * 1024u;
    DWORD want = fileSize < window ? static_cast<DWORD>(fileSize) : window;
    DWORD head = want < SZ_HEAD_BYTES ? want : SZ_HEAD_BYTES;
    BYTE* data = static_cast<BYTE*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, want + 32));
    // What cannot be read here is left to the engine.
    if (data == NULL || !SzReadAt(file, 0, data, head)) {
        if (data != NULL) {
            HeapFree(GetProcessHeap(), 0, data);
        }
        return SEVENZIP_TYPE_OTHER;
    }
    int type = SEVENZIP_TYPE_OTHER;
    if (memcmp(data, "7z\xBC\xAF\x27\x1C", 6) == 0) {
        type = Sound7z(file, fileSize, data) ? SEVENZIP_TYPE_7Z : SEVENZIP_TYPE_NONE;
    } else if (memcmp(data, "PK\x03\x04", 4) == 0 || memcmp(data, "PK\x05\x06", 4) == 0) {
        type = SoundZip(file, fileSize) ? SEVENZIP_TYPE_ZIP : SEVENZIP_TYPE_NONE;
    } else {
        PVOID table = NULL;
        if (!InitOnceExecuteOnce(&g_formatsOnce, LoadFormats, NULL, &table)) {
            table = NULL;
        }
        bool read = want == head || SzReadAt(file, head, data + head, want - head);
        if (read && table != NULL &&
            !SzCouldOpen(static_cast<const SzFormatTable*>(table), path, data, want)) {
            type = SEVENZIP_TYPE_NONE;
        }
    }
    HeapFree(GetProcessHeap(), 0, data);
    return type;
}

int SzArchiveType(LPCSTR path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    ZeroMemory(&data, sizeof(data));
    if (path == NULL || path[0] == '\0' ||
        !GetFileAttributesExA(path, GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return SEVENZIP_TYPE_NONE;
    }
    if (SameFile(path, &data)) {
        return g_lastJudged.type;
    }
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) {
        return SEVENZIP_TYPE_NONE;
    }
    int type = SniffFile(file, path);
    CloseHandle(file);
    return Remember(path, &data, type == SEVENZIP_TYPE_OTHER ? JudgeByEngine(path) : type);
}

#define SZ_ZIP_ENCRYPTED_FLAG 0x0001
#define SZ_ZIP64_FIELD 0x0001

// Every entry of the central directory: its flags, and its size unpacked
// (from the ZIP64 field when the 32-bit one is marked).
static bool ZipFacts(HANDLE file, SzArchiveFacts* facts) {
    DWORD size = 0;
    DWORD entries = 0;
    BYTE* directory = SzReadZipDirectory(file, &size, &entries);
    DWORD n = 0;
    bool sound = directory != NULL;
    for (DWORD at = 0; sound && n < entries; n++) {
        const BYTE* entry = directory + at;
        sound = at + 46 <= size && memcmp(entry, "PK\x01\x02", 4) == 0;
        DWORD nameLength = sound ? SzLe16(entry + 28) : 0;
        DWORD extraLength = sound ? SzLe16(entry + 30) : 0;
        sound = sound && at + 46 + nameLength + extraLength <= size;
        if (!sound) {
            break;
        }
        facts->encrypted = facts->encrypted || (SzLe16(entry + 8) & SZ_ZIP_ENCRYPTED_FLAG);
        if (SzNameClimbs(reinterpret_cast<LPCSTR>(entry + 46), nameLength)) {
            char name[MAX_PATH * 3];
            ZeroMemory(name, sizeof(name));
            memcpy(name, entry + 46, nameLength < sizeof(name) - 1 ? nameLength : sizeof(name) - 1);
            SzArgsAdd(&facts->climbing, name);
        }
        ULONGLONG unpacked = SzLe32(entry + 24);
        const BYTE* extra = entry + 46 + nameLength;
        for (DWORD i = 0; unpacked == 0xFFFFFFFFu && i + 4 <= extraLength;
             i += 4 + SzLe16(extra + i + 2)) {
            if (SzLe16(extra + i) == SZ_ZIP64_FIELD && SzLe16(extra + i + 2) >= 8 &&
                i + 12 <= extraLength) {
                unpacked = SzLe64(extra + i + 4);
            }
        }
        facts->bytes += unpacked;
        at += 46 + nameLength + extraLength + SzLe16(entry + 32);
    }
    if (directory != NULL) {
        HeapFree(GetProcessHeap(), 0, directory);
    }
    facts->zip = true;
    return sound && n == entries;
}

// A 7z number: the first byte's leading ones count the bytes that follow.
static bool Read7zNumber(const BYTE* data, DWORD size, DWORD* at, ULONGLONG* value) {
    if (*at >= size) {
        return false;
    }
    BYTE first = data[(*at)++];
    *value = 0;
    for (int i = 0, mask = 0x80; i < 8; i++, mask >>= 1) {
        if ((first & mask) == 0) {
            *value |= static_cast<ULONGLONG>(first & (mask - 1)) << (8 * i);
            return true;
        }
        if (*at >= size) {
            return false;
        }
        *value |= static_cast<ULONGLONG>(data[(*at)++]) << (8 * i);
    }
    return true;
}

static const BYTE k7zAes[] = {0x06, 0xF1, 0x07, 0x01};

// The header as stored: plain (its names readable), or encoded, whose one
// folder of coders says whether AES hides it.
static bool SevenZipFacts(HANDLE file, ULONGLONG fileSize, SzArchiveFacts* facts) {
    BYTE start[32];
    if (!SzReadAt(file, 0, start, sizeof(start)) || !Sound7z(file, fileSize, start)) {
        return false;
    }
    ULONGLONG size = SzLe64(start + 20);
    if (size == 0 || size > SZ_MAX_CHECKED_HEADER) {
        return false;
    }
    DWORD bytes = static_cast<DWORD>(size);
    BYTE* header = static_cast<BYTE*>(HeapAlloc(GetProcessHeap(), 0, bytes));
    bool sound = header != NULL && SzReadAt(file, 32 + SzLe64(start + 12), header, bytes);
    DWORD at = 1;
    ULONGLONG value = 0;
    if (sound && header[0] == 0x17) { // kEncodedHeader: kPackInfo, then kUnPackInfo
        ULONGLONG streams = 0;
        sound = bytes > 1 && header[at++] == 0x06 && Read7zNumber(header, bytes, &at, &value) &&
                Read7zNumber(header, bytes, &at, &streams);
        while (sound && at < bytes && header[at] != 0x00) {
            BYTE id = header[at++];
            sound = id == 0x09; // kSize; anything else is not what 7-Zip writes here
            for (ULONGLONG i = 0; sound && i < streams; i++) {
                sound = Read7zNumber(header, bytes, &at, &value);
            }
        }
        ULONGLONG folders = 0;
        ULONGLONG coders = 0;
        sound = sound && at + 3 < bytes && header[at + 1] == 0x07 && header[at + 2] == 0x0B;
        at += 3;
        sound = sound && Read7zNumber(header, bytes, &at, &folders) && folders == 1 && at < bytes &&
                header[at++] == 0 && Read7zNumber(header, bytes, &at, &coders);
        for (ULONGLONG c = 0; sound && c < coders; c++) {
            BYTE flags = at < bytes ? header[at++] : 0x80;
            DWORD idSize = flags & 0x0F;
            sound = !(flags & 0x80) && at + idSize <= bytes;
            if (sound && idSize == sizeof(k7zAes) && memcmp(header + at, k7zAes, idSize) == 0) {
                facts->encrypted = true;
            }
            at += idSize;
            if (sound && (flags & 0x10)) {
                sound = Read7zNumber(header, bytes, &at, &value) &&
                        Read7zNumber(header, bytes, &at, &value);
            }
            if (sound && (flags & 0x20)) {
                sound = Read7zNumber(header, bytes, &at, &value) && value <= bytes - at;
                at += sound ? static_cast<DWORD>(value) : 0;
            }
        }
    } else if (sound) {
        sound = header[0] == 0x01; // kHeader: nothing hidden
    }
    if (header != NULL) {
        HeapFree(GetProcessHeap(), 0, header);
    }
    return sound;
}

bool SzReadArchiveFacts(LPCSTR path, SzArchiveFacts* facts) {
    ZeroMemory(facts, sizeof(*facts));
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    LARGE_INTEGER size;
    BYTE start[6];
    bool known = false;
    if (GetFileSizeEx(file, &size) && SzReadAt(file, 0, start, sizeof(start))) {
        ULONGLONG fileSize = static_cast<ULONGLONG>(size.QuadPart);
        if (memcmp(start, "7z\xBC\xAF\x27\x1C", 6) == 0) {
            known = SevenZipFacts(file, fileSize, facts);
        } else if (memcmp(start, "PK\x03\x04", 4) == 0 && SoundZip(file, fileSize)) {
            known = ZipFacts(file, facts);
        }
    }
    CloseHandle(file);
    return known;
}
