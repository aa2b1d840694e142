#include "sevenzip32/engine/enginetext.h"

#include <string.h>
#include <strsafe.h>

#include "sevenzip32/base/names.h"

#include "sevenzip32/engine/pathmap.h"
#include "sevenzip32/base/texts.h"

// Where the engine puts the name of the file a failure concerns.
enum SzNamePlace {
    SZ_NAME_ARCHIVE,   // nowhere useful: the archive is meant
    SZ_NAME_NEXT_LINE, // alone on the line after the complaint
    SZ_NAME_LAST_PART, // after the last " : " of the complaint's line
};

// First match wins: a wrong password also shows up as a data error.
static const struct {
    LPCSTR pattern;
    LPCSTR sentence;
    SzNamePlace place;
} kFailures[] = {
    {"Wrong password", SZ_TEXT_WRONG_PASSWORD, SZ_NAME_ARCHIVE},
    {"Unsupported Method", SZ_TEXT_UNSUPPORTED_METHOD, SZ_NAME_ARCHIVE},
    {"File name too long", SZ_TEXT_PATH_TOO_LONG, SZ_NAME_LAST_PART},
    {"The filename or extension is too long", SZ_TEXT_PATH_TOO_LONG, SZ_NAME_LAST_PART},
    {"No space left on device", SZ_TEXT_DISK_FULL, SZ_NAME_ARCHIVE},
    {"There is not enough space on the disk", SZ_TEXT_DISK_FULL, SZ_NAME_ARCHIVE},
    {"Permission denied", SZ_TEXT_ACCESS_DENIED, SZ_NAME_NEXT_LINE},
    {"Access is denied", SZ_TEXT_ACCESS_DENIED, SZ_NAME_NEXT_LINE},
    {"No such file or directory", SZ_TEXT_NOT_FOUND, SZ_NAME_NEXT_LINE},
    {"The system cannot find the file specified", SZ_TEXT_NOT_FOUND, SZ_NAME_NEXT_LINE},
    {"Cannot find archive", SZ_TEXT_NOT_FOUND, SZ_NAME_ARCHIVE},
    {"open the file as", SZ_TEXT_DAMAGED, SZ_NAME_ARCHIVE},
    {"Can't open as archive", SZ_TEXT_DAMAGED, SZ_NAME_ARCHIVE},
    {"Unexpected end of archive", SZ_TEXT_DAMAGED, SZ_NAME_ARCHIVE},
    {"Headers Error", SZ_TEXT_DAMAGED, SZ_NAME_ARCHIVE},
    {"CRC Failed", SZ_TEXT_DAMAGED, SZ_NAME_ARCHIVE},
    {"Data Error", SZ_TEXT_DAMAGED, SZ_NAME_ARCHIVE},
    {"Is not archive", SZ_TEXT_DAMAGED, SZ_NAME_ARCHIVE},
};

// The engine's spelling of a name (UTF-8, a host path or relative with '/')
// as the user knows it: a Windows path in code page 932.
static void WindowsName(LPCSTR engineName, size_t length, LPSTR name, int nameBytes) {
    char utf8[MAX_PATH * 3];
    WCHAR wide[MAX_PATH * 2];
    ZeroMemory(utf8, sizeof(utf8));
    ZeroMemory(wide, sizeof(wide));
    if (length >= sizeof(utf8)) {
        length = sizeof(utf8) - 1;
    }
    memcpy(utf8, engineName, length);
    if (utf8[0] != '/' || !SzWineWindowsPath(utf8, wide, MAX_PATH * 2)) {
        MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide, MAX_PATH * 2 - 1);
        for (WCHAR* w = wide; *w != L'\0'; w++) {
            *w = *w == L'/' ? L'\\' : *w;
        }
    }
    WideCharToMultiByte(932, 0, wide, -1, name, nameBytes - 1, NULL, NULL);
}

static LPCSTR LineEnd(LPCSTR p) {
    LPCSTR end = strchr(p, '\n');
    return end != NULL ? end : p + strlen(p);
}

// The file the engine names around the matched pattern, or nothing.
static void NamedFile(LPCSTR hit, SzNamePlace place, LPSTR name, int nameBytes) {
    LPCSTR end = LineEnd(hit);
    LPCSTR start = end;
    if (place == SZ_NAME_NEXT_LINE && *end == '\n') {
        start = end + 1;
        end = LineEnd(start);
    } else if (place == SZ_NAME_LAST_PART) {
        for (LPCSTR p = hit; p + 3 <= end; p++) {
            if (strncmp(p, " : ", 3) == 0) {
                start = p + 3;
            }
        }
    }
    while (end > start && (end[-1] == '\r' || end[-1] == ' ' || end[-1] == '/')) {
        end--;
    }
    if (end > start) {
        WindowsName(start, static_cast<size_t>(end - start), name, nameBytes);
    }
}

bool SzDescribeFailure(LPCSTR engineText, LPCSTR archive, LPSTR sentence, int sentenceBytes) {
    ZeroMemory(sentence, sentenceBytes);
    for (const auto& failure : kFailures) {
        LPCSTR hit = engineText != NULL ? strstr(engineText, failure.pattern) : NULL;
        if (hit == NULL) {
            continue;
        }
        char name[MAX_PATH * 2];
        ZeroMemory(name, sizeof(name));
        if (failure.place != SZ_NAME_ARCHIVE) {
            NamedFile(hit, failure.place, name, sizeof(name));
        }
        if (name[0] == '\0') {
            StringCchCopyA(name, sizeof(name), archive != NULL ? archive : "");
        }
        StringCchPrintfA(sentence, sentenceBytes, failure.sentence, name);
        return true;
    }
    return false;
}

// The engine's words for a link it would not make (one leading out of the
// folder) and for one the system would not let it make; the entry follows
// the first " : " or, for a link that failed, stands in the part before the
// target ("… : reason : entry : target") or last ("… : reason : entry").
static const struct {
    LPCSTR pattern;
    bool outside;
    int part; // the entry's part: from the first (0, 1, …) or from the last (-1, -2, …)
} kLinkErrors[] = {
    {"ERROR: Dangerous link path was ignored : ", true, 0},
    {"ERROR: Cannot create symbolic link : ", false, -1},
    {"ERROR: Cannot create hard link : ", false, -2},
};

bool SzLinkRefusals(LPCSTR errors, SzArgs* outside, SzArgs* failed) {
    int links = 0;
    for (LPCSTR line = errors; *line != '\0';) {
        LPCSTR end = LineEnd(line);
        // Blank lines aside, every line must be a link's.
        bool known = strspn(line, " \r") == static_cast<size_t>(end - line);
        for (size_t i = 0; !known && i < sizeof(kLinkErrors) / sizeof(kLinkErrors[0]); i++) {
            size_t n = strlen(kLinkErrors[i].pattern);
            if (strncmp(line, kLinkErrors[i].pattern, n) != 0) {
                continue;
            }
            // The parts after the pattern, separated by " : ".
            LPCSTR starts[16];
            int parts = 0;
            starts[parts++] = line + n;
            for (LPCSTR p = line + n; p + 3 <= end && parts < 16; p++) {
                if (strncmp(p, " : ", 3) == 0) {
                    starts[parts++] = p + 3;
                }
            }
            int pick = kLinkErrors[i].part >= 0 ? kLinkErrors[i].part : parts + kLinkErrors[i].part;
            if (pick < 0 || pick >= parts) {
                break;
            }
            LPCSTR stop = pick + 1 < parts ? starts[pick + 1] - 3 : end;
            while (stop > starts[pick] && (stop[-1] == '\r' || stop[-1] == ' ')) {
                stop--;
            }
            char name[MAX_PATH * 3];
            ZeroMemory(name, sizeof(name));
            size_t length = static_cast<size_t>(stop - starts[pick]);
            memcpy(name, starts[pick], length < sizeof(name) - 1 ? length : sizeof(name) - 1);
            SzArgsAdd(kLinkErrors[i].outside ? outside : failed, name);
            known = true;
            links++;
        }
        if (!known) {
            return false;
        }
        line = *end == '\n' ? end + 1 : end;
    }
    return links > 0;
}

// What the engine prints when an archive cannot be decrypted.
static const char* const kPasswordTexts[] = {
    "Wrong password",
    "Cannot open encrypted archive",
    "Can not open encrypted archive",
};

bool SzTextMeansWrongPassword(LPCSTR text) {
    if (text == NULL) {
        return false;
    }
    for (size_t i = 0; i < sizeof(kPasswordTexts) / sizeof(kPasswordTexts[0]); i++) {
        if (strstr(text, kPasswordTexts[i]) != NULL) {
            return true;
        }
    }
    return false;
}

bool SzListingNeedsPassword(LPCSTR output, LPCSTR errors) {
    return strstr(output, "Enter password") != NULL || SzTextMeansWrongPassword(errors) ||
           SzTextMeansWrongPassword(output);
}

void SzListingClimbingNames(LPCSTR listing, SzArgs* names) {
    LPCSTR entries = strstr(listing, "\n----------\n");
    for (LPCSTR p = entries; p != NULL && (p = strstr(p, "\nPath = ")) != NULL;) {
        p += 8;
        LPCSTR end = LineEnd(p);
        size_t length = static_cast<size_t>(end - p);
        if (SzNameClimbs(p, length)) {
            char name[MAX_PATH * 3];
            ZeroMemory(name, sizeof(name));
            memcpy(name, p, length < sizeof(name) - 1 ? length : sizeof(name) - 1);
            SzArgsAdd(names, name);
        }
    }
}

bool SzListingEncrypted(LPCSTR listing) {
    return strstr(listing, "\nEncrypted = +") != NULL;
}

ULONGLONG SzListedBytes(LPCSTR listing) {
    ULONGLONG total = 0;
    for (LPCSTR p = listing; (p = strstr(p, "\nSize = ")) != NULL;) {
        p += 8;
        total += _strtoui64(p, NULL, 10);
    }
    return total;
}

// "Add new data to archive: 2 files, 3000003 bytes (2930 KiB)"
ULONGLONG SzAddedBytes(LPCSTR text) {
    LPCSTR line = strstr(text, "Add new data to archive:");
    LPCSTR end = line != NULL ? strchr(line, '\n') : NULL;
    LPCSTR bytes = line != NULL ? strstr(line, " bytes") : NULL;
    if (bytes == NULL || (end != NULL && bytes > end)) {
        return 0;
    }
    while (bytes > line && bytes[-1] >= '0' && bytes[-1] <= '9') {
        bytes--;
    }
    return _strtoui64(bytes, NULL, 10);
}

bool SzParseProgress(LPCSTR line, int* percent, LPSTR file, int fileBytes) {
    LPCSTR p = line;
    while (*p == ' ') {
        p++;
    }
    int value = 0;
    int digits = 0;
    while (*p >= '0' && *p <= '9' && digits < 3) {
        value = value * 10 + (*p - '0');
        p++;
        digits++;
    }
    if (digits == 0 || *p != '%' || value > 100) {
        return false;
    }
    *percent = value;
    p++;
    // Then an optional file count and an operation mark before the name.
    while (*p == ' ') {
        p++;
    }
    LPCSTR count = p;
    while (*p >= '0' && *p <= '9') {
        p++;
    }
    p = p > count && *p == ' ' ? p + 1 : count;
    // A single file's line has the mark but no count.
    if ((*p == '+' || *p == '-' || *p == 'U' || *p == 'T' || *p == '=') && p[1] == ' ') {
        p += 2;
    }
    LPCSTR name = p;
    if (fileBytes > 0) {
        size_t n = strlen(name);
        if (n >= static_cast<size_t>(fileBytes)) {
            n = static_cast<size_t>(fileBytes) - 1;
        }
        memcpy(file, name, n);
        file[n] = '\0';
    }
    return true;
}
