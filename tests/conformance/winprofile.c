/* A Windows console program that runs a batch of profile reads and writes
 * through the system's own GetPrivateProfileStringA and
 * WritePrivateProfileStringA, so that the results can be compared with
 * Brimmark's profile engine.
 *
 *   winprofile.exe COMMANDS RESULTS
 *
 * Every line of COMMANDS is one call; every byte string is written in hex
 * ("-" for the empty string) so that code-page bytes, blanks and NULs pass
 * through unchanged:
 *   R file section key size     read into a buffer of `size` bytes
 *   W file section key value    write
 * RESULTS starts with "ACP" and the ANSI code page the calls run in, then
 * gets one line per command:
 *   R count hex-of-buffer-up-to-its-first-NUL
 *   W ok last-error
 * A line that cannot be parsed gives "E". */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

enum { kMaxField = 1 << 20 };

static int hexValue(int c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

/* Decodes the hex token at *cursor into a new NUL-terminated string; NULL on
 * malformed input. */
static char* takeHex(char** cursor) {
    char* p = *cursor;
    while (*p == ' ') ++p;
    char* start = p;
    while (*p && *p != ' ' && *p != '\r' && *p != '\n') ++p;
    size_t len = (size_t)(p - start);
    *cursor = p;
    if (len == 0) return NULL;
    if (len == 1 && *start == '-') return calloc(1, 1);
    if (len % 2 != 0 || len / 2 > kMaxField) return NULL;
    char* out = malloc(len / 2 + 1);
    if (!out) return NULL;
    for (size_t i = 0; i < len / 2; ++i) {
        int hi = hexValue((unsigned char)start[2 * i]);
        int lo = hexValue((unsigned char)start[2 * i + 1]);
        if (hi < 0 || lo < 0) {
            free(out);
            return NULL;
        }
        out[i] = (char)(hi * 16 + lo);
    }
    out[len / 2] = '\0';
    return out;
}

static void putHex(FILE* out, const char* bytes, size_t len) {
    if (len == 0) fputc('-', out);
    for (size_t i = 0; i < len; ++i) fprintf(out, "%02x", (unsigned char)bytes[i]);
}

static void runLine(char* line, FILE* out) {
    char op = line[0];
    char* cursor = line + 1;
    char* file = takeHex(&cursor);
    char* section = takeHex(&cursor);
    char* key = takeHex(&cursor);
    char* last = NULL;
    unsigned long size = 0;
    if (op == 'R') {
        size = strtoul(cursor, NULL, 10);
    } else {
        last = takeHex(&cursor);
    }
    if (!file || !section || !key || (op == 'R' && (size == 0 || size > kMaxField)) ||
        (op == 'W' && !last) || (op != 'R' && op != 'W')) {
        fputs("E\n", out);
    } else if (op == 'R') {
        char* buffer = malloc(size);
        if (!buffer) {
            fputs("E\n", out);
        } else {
            memset(buffer, 0x7f, size);
            DWORD count = GetPrivateProfileStringA(section, key, "", buffer, (DWORD)size, file);
            fprintf(out, "R %lu ", (unsigned long)count);
            putHex(out, buffer, strnlen(buffer, size));
            fputc('\n', out);
            free(buffer);
        }
    } else {
        SetLastError(0);
        BOOL ok = WritePrivateProfileStringA(section, key, last, file);
        fprintf(out, "W %d %lu\n", ok ? 1 : 0, (unsigned long)GetLastError());
    }
    free(file);
    free(section);
    free(key);
    free(last);
}

int main(int argc, char** argv) {
    if (argc != 3) {
        fputs("usage: winprofile COMMANDS RESULTS\n", stderr);
        return 2;
    }
    FILE* in = fopen(argv[1], "rb");
    FILE* out = fopen(argv[2], "wb");
    if (!in || !out) {
        fputs("winprofile: cannot open the command or result file\n", stderr);
        return 1;
    }
    /* Each hex field may be as long as kMaxField bytes of text. */
    size_t capacity = 8 * (size_t)kMaxField + 64;
    char* line = malloc(capacity);
    if (!line) return 1;
    fprintf(out, "ACP %u\n", GetACP());
    while (fgets(line, (int)capacity, in)) {
        if (line[0] == '\n' || line[0] == '\r' || line[0] == '\0') continue;
        runLine(line, out);
    }
    free(line);
    fclose(in);
    return fclose(out) == 0 ? 0 : 1;
}
