/*
 * A stand-in archive back end for the adapter's tests. It extracts nothing: it notes its
 * loading, unloading and every call in the file named by DUNZIP_STUB_LOG, copies the record
 * it receives (and the texts the record points to) into the file named by
 * DUNZIP_STUB_RECORD, stores DUNZIP_STUB_RETURN_LENGTH into the record's Return_Length when
 * that is set, and returns DUNZIP_STUB_RESULT (0 when unset).
 */
#include "dunzip32.h"

#include <stdio.h>
#include <stdlib.h>

static void Note(const char* line)
{
    const char* path = getenv("DUNZIP_STUB_LOG");
    if (path == NULL)
        return;
    FILE* file = fopen(path, "a");
    if (file == NULL)
        return;
    fprintf(file, "%s\n", line);
    fclose(file);
}

__attribute__((constructor)) static void On_Load(void)
{
    Note("load");
}

__attribute__((destructor)) static void On_Unload(void)
{
    Note("unload");
}

static void Dump_Text(FILE* file, const char* name, const char* text)
{
    if (text == NULL)
        fprintf(file, "%s=(null)\n", name);
    else
        fprintf(file, "%s=[%s]\n", name, text);
}

DUNZIP_API int32_t DUNZIP_CALL dunzip(Unzip_Record* record)
{
    Note("call");
    const char* path = getenv("DUNZIP_STUB_RECORD");
    if (path != NULL && record != NULL) {
        FILE* file = fopen(path, "wb");
        if (file != NULL) {
            fwrite(record, sizeof *record, 1, file);
            fclose(file);
        }
        char textPath[4096];
        snprintf(textPath, sizeof textPath, "%s.txt", path);
        file = fopen(textPath, "w");
        if (file != NULL) {
            Dump_Text(file, "lpszZipFile", record->lpszZipFile);
            Dump_Text(file, "lpszFileSpec", record->lpszFileSpec);
            Dump_Text(file, "lpszDestination", record->lpszDestination);
            Dump_Text(file, "lpszDecryptCode", record->lpszDecryptCode);
            Dump_Text(file, "lpszExtProgTitle", record->lpszExtProgTitle);
            Dump_Text(file, "lpszReturnString", record->lpszReturnString);
            fclose(file);
        }
    }
    const char* length = getenv("DUNZIP_STUB_RETURN_LENGTH");
    if (length != NULL && record != NULL)
        record->Return_Length = (uint32_t)strtoul(length, NULL, 10);
    const char* result = getenv("DUNZIP_STUB_RESULT");
    return result != NULL ? (int32_t)strtol(result, NULL, 10) : 0;
}
