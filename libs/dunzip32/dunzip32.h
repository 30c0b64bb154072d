/*
 * dunzip32.h - call interface of the archive back end (libdunzip32.so).
 *
 * The library exports one entry point, "dunzip", which takes the address of an
 * Unzip_Record and returns a 32-bit result code. The program loads the library at
 * run time by its file name and binds that entry point; this header is all the two
 * sides share.
 *
 * Paths in the record are native paths of this machine (on Linux: "/home/me/app/").
 * Texts are zero-terminated 8-bit strings; member names are compared and written as
 * UTF-8 (names stored in the old IBM PC code page are converted).
 *
 * Action 8 (DUNZIP_ACTION_EXTRACT) extracts every member whose name matches
 * lpszFileSpec into lpszDestination, with no user interface of its own:
 *
 *  - File spec: DOS wildcards without regard to case, matched against the member's
 *    whole name ("sub/rose.jpg"; backslashes count as "/"). "*" matches any run of
 *    characters, "/" included; "?" matches one character other than ".", and a run of
 *    "?" also matches fewer characters before a "." or at the end of the name
 *    ("???.TXT" matches "AB.TXT"); a "." matches a "." or the end of the name, so
 *    "*.*" matches every name, also names without a dot, and "ROSE.*" matches "ROSE";
 *    a "*" that stands before a "." does not run past the last dot of the member's
 *    file name, so "*." matches only names without an extension. A null or empty
 *    spec selects every member.
 *  - Safety: before anything is written, every member of the archive is checked. A
 *    member name that is absolute ("/x", "\x"), starts with a drive letter ("C:x"),
 *    or has a ".." component (with "/" or "\" as separator), any member that is a
 *    symbolic link, and any selected member whose path would pass through a symbolic
 *    link in the destination that leads outside the destination, make the library
 *    refuse the whole archive with DUNZIP_UNSAFE_NAME; nothing is written then.
 *    Folders named in member paths are created as needed, inside the destination.
 *  - Writing: each file is written to a temporary file in its target folder and then
 *    renamed over the target, so a member that fails part way never leaves a partial
 *    file under its own name, and an existing file, a link or a read-only file at the
 *    target is replaced (the link is replaced, not followed; file permission bits do
 *    not stop the replacement, with or without USO_OVERWRITE_RO). When extraction
 *    fails part way, the members fully extracted before the failure stay in place.
 *    New files get the ordinary permissions (0666 less the process umask; permission
 *    bits stored in the archive are not applied) and the member's modification time.
 *  - Encryption: members with traditional PKWARE or AES encryption are decrypted
 *    with lpszDecryptCode when it is a non-empty text; without one they give
 *    DUNZIP_ENCRYPTED before anything is written.
 *
 * Record fields honoured by action 8: recordSize, actionCode, lpszZipFile,
 * lpszFileSpec, lpszDestination, OverWriteFlag (clear: an existing target is kept and
 * its member skipped), TestFlag (set: members are read and checked, nothing is
 * written), NoDirectoryNamesFlag (set: files go straight into the destination under
 * their last name component, folder members are skipped), lpszDecryptCode, and the
 * callbacks. Every other field is ignored by action 8 (QuietFlag makes no difference:
 * the library never shows anything), and Return_Length and lpszReturnString are left
 * as they are.
 *
 * Callbacks are called on the calling thread during the call and must not throw.
 * Each receives the user-data address stored beside it in the record.
 *  - Major status: once per selected member, before it is written, with the member's
 *    name and the percent (0..100) of the run's bytes done before it.
 *  - Minor status: per file member, with its name and the percent of its bytes
 *    written: 0 before the first chunk, then after every chunk, ending with 100.
 *    A return value of -1 from either status callback stops the run with
 *    DUNZIP_CANCELLED (the member in progress is not left behind); 0 goes on.
 *  - Message: called once before the call returns a failure, except
 *    DUNZIP_BAD_RECORD, DUNZIP_NOT_SUPPORTED, DUNZIP_CANCELLED and a failure to
 *    allocate memory for the run itself. msgId is the result
 *    code about to be returned, mbType is DUNZIP_MB_WARNING, p1 is the member's index
 *    in the archive (-1 when the failure is not about one member), p2 the system error
 *    number (0 when none), text1 the member name (or the path concerned) and text2 an
 *    English sentence saying what went wrong. Its return value is ignored.
 *  - Rename: called while members are checked, before anything is written, once for
 *    every selected member, with a DZRename record whose newName holds the relative
 *    path the member is about to be written to. The handler may rewrite newName (the
 *    new path is checked like a member name) or empty it to skip the member.
 *    Returning -1 stops the run with DUNZIP_CANCELLED; 0 goes on.
 */
#ifndef DUNZIP32_H
#define DUNZIP32_H

#include <stdint.h>

#if defined(_WIN32) && !defined(_WIN64)
#define DUNZIP_CALL __stdcall
#else
#define DUNZIP_CALL
#endif

#if defined(_WIN32)
#if defined(DUNZIP32_BUILDING)
#define DUNZIP_API __declspec(dllexport)
#else
#define DUNZIP_API __declspec(dllimport)
#endif
#else
#define DUNZIP_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* File name of the library in the program's folder, and its entry point. */
#define DUNZIP_LIBRARY_FILE "libdunzip32.so"
#define DUNZIP_ENTRY_POINT "dunzip"

/* Action codes. */
#define DUNZIP_ACTION_EXTRACT 8 /* extract the matching members; the only action */

/* Result codes of dunzip(). */
enum Unzip_Result_Code
{
    /* Every selected member was extracted. */
    DUNZIP_OK = 0,
    /* The action code is not one this library performs. */
    DUNZIP_NOT_SUPPORTED = 1,
    /* No record, a recordSize other than sizeof(Unzip_Record) of this build, or no
       lpszZipFile or lpszDestination address. */
    DUNZIP_BAD_RECORD = 2,
    /* No ordinary file at lpszZipFile. */
    DUNZIP_ARCHIVE_MISSING = 3,
    /* The archive exists but cannot be opened or read. */
    DUNZIP_ARCHIVE_UNREADABLE = 4,
    /* The file is not a ZIP archive (an empty file is none either). */
    DUNZIP_NOT_A_ZIP = 5,
    /* A member's data fails its CRC, its compressed data is invalid, or the archive's
       directory is inconsistent. */
    DUNZIP_DAMAGED = 6,
    /* A selected member is encrypted and no decryption code was given. */
    DUNZIP_ENCRYPTED = 7,
    /* The decryption code does not fit a member. */
    DUNZIP_WRONG_CODE = 8,
    /* A member uses a compression or encryption method this library cannot read. */
    DUNZIP_UNSUPPORTED_METHOD = 9,
    /* The archive was refused for a member name or link that leads outside the
       destination; nothing was written. */
    DUNZIP_UNSAFE_NAME = 10,
    /* A callback returned -1. */
    DUNZIP_CANCELLED = 11,
    /* No member matches the file spec. */
    DUNZIP_NO_MATCH = 12,
    /* lpszDestination is not an existing folder. */
    DUNZIP_DEST_MISSING = 13,
    /* The destination (or a folder in it) may not be written: permission denied or a
       read-only medium. */
    DUNZIP_DEST_NOT_WRITABLE = 14,
    /* Writing failed otherwise: an input/output error, a file where a folder must go
       or the reverse, a name too long for the file system. */
    DUNZIP_WRITE_FAILED = 15,
    /* Memory ran out. */
    DUNZIP_NO_MEMORY = 16,
    /* An unexpected failure inside the ZIP reader, or an exception thrown by a
       callback. */
    DUNZIP_INTERNAL_ERROR = 17,
    /* No space left on the device, or the disk quota reached, while writing. */
    DUNZIP_DISK_FULL = 50
};

/* Bit numbers of the option set whose members become the record's flag fields. */
#define DUNZIP_BIT_FRESHEN 0
#define DUNZIP_BIT_UPDATE 1
#define DUNZIP_BIT_OVERWRITE 2
#define DUNZIP_BIT_QUIET 3
#define DUNZIP_BIT_TEST 4
#define DUNZIP_BIT_NO_DIRECTORY_NAMES 5
#define DUNZIP_BIT_RECURSE 6
#define DUNZIP_BIT_NO_DIRECTORY_ITEMS 7
#define DUNZIP_BIT_DIAGNOSTIC 8
#define DUNZIP_BIT_LF2CRLF 9
#define DUNZIP_BIT_DECRYPT 10

/* A flag field holds DUNZIP_FLAG_ON when its option is set; any non-zero value counts. */
#define DUNZIP_FLAG_ON (-1)
#define DUNZIP_FLAG_OFF 0

/* Values that the sub-option set contributes to wUnzipSubOptions (64 is unused). */
#define DUNZIP_USO_OVERWRITE_RO 1
#define DUNZIP_USO_MINORCANCEL 2
#define DUNZIP_USO_EXTERNALPROG 4
#define DUNZIP_USO_EXTPROGCANCEL 8
#define DUNZIP_USO_IGNORELONGNAMES 16
#define DUNZIP_USO_MANGLELONGNAMES 32
#define DUNZIP_USO_FORCEREMOVEABLE 128
#define DUNZIP_USO_LOGZIPRESULTS 256

/* Status callback results. */
#define DUNZIP_CONTINUE 0
#define DUNZIP_CANCEL (-1)

/* Box type passed to the message callback (the Windows MB_ICONWARNING value). */
#define DUNZIP_MB_WARNING 0x30

/* Capacity of DZRename.newName, terminator included. */
#define DUNZIP_RENAME_CAPACITY 4096

typedef struct DZRename
{
    int32_t recordSize;                   /* sizeof(DZRename) */
    int32_t memberIndex;                  /* the member's position in the archive, from 0 */
    const char* memberName;               /* the member's name as stored in the archive */
    char newName[DUNZIP_RENAME_CAPACITY]; /* relative path below the destination, "/" as
                                             separator; rewrite it, or empty it to skip */
} DZRename, *PDZRename;

typedef int32_t(DUNZIP_CALL* Unzip_StatusProc)(const char* item, int32_t percent, void* userData);
typedef int32_t(DUNZIP_CALL* Unzip_MessageProc)(int32_t msgId, int32_t mbType, int32_t p1,
                                                int32_t p2, const char* text1, const char* text2,
                                                void* userData);
typedef int32_t(DUNZIP_CALL* Unzip_RenameProc)(DZRename* rename, void* userData);

/*
 * The parameter record, packed, fields in this order without gaps. Address fields
 * are pointer-sized: a 32-bit build has the 142-byte layout with every field at its
 * fixed offset (addresses 4 bytes); a 64-bit build widens the 15 address fields to
 * 8 bytes, which makes the record 202 bytes. recordSize must equal
 * sizeof(Unzip_Record) of the build; a record of the other layout is refused with
 * DUNZIP_BAD_RECORD. Fields not listed as honoured above are ignored.
 */
#pragma pack(push, 1)
typedef struct Unzip_Record
{
    int32_t recordSize;
    int32_t actionCode;
    const char* lpszZipFile;
    void* Work_Buffer;
    const char* lpszFileSpec;
    int32_t IndexofItem;
    const char* lpszDestination;
    int32_t FreshenFlag;
    int32_t UpdateFlag;
    int32_t OverWriteFlag;
    int32_t QuietFlag;
    int32_t TestFlag;
    int32_t NoDirectoryNamesFlag;
    int32_t RecurseFlag;
    int32_t NoDirectoryItemsFlag;
    Unzip_StatusProc minorStatusProc;
    void* minorStatusData;
    Unzip_StatusProc majorStatusProc;
    void* majorStatusData;
    uint32_t Return_Length;
    char* lpszReturnString;
    int32_t bDiagnostic;
    int32_t bLF2CRLFFlag;
    int32_t DecryptFlag;
    const char* lpszDecryptCode;
    Unzip_MessageProc messageProc;
    void* messageData;
    uint16_t wUnzipSubOptions;
    uint8_t reserved1[8];
    Unzip_RenameProc renameProc;
    void* renameData;
    const char* lpszExtProgTitle;
    uint32_t reserved2[3];
} Unzip_Record;
#pragma pack(pop)

#define DUNZIP_RECORD_SIZE_32 142
#define DUNZIP_RECORD_SIZE_64 202

#ifdef __cplusplus
static_assert(sizeof(Unzip_Record) == (sizeof(void*) == 4 ? 142 : 202),
              "Unzip_Record must be packed");
#else
_Static_assert(sizeof(Unzip_Record) == (sizeof(void*) == 4 ? 142 : 202),
               "Unzip_Record must be packed");
#endif

typedef int32_t(DUNZIP_CALL* Unzip_EntryPoint)(Unzip_Record* record);

/* Runs the action of the record; returns one of the result codes above. */
DUNZIP_API int32_t DUNZIP_CALL dunzip(Unzip_Record* record);

#ifdef __cplusplus
}
#endif

#endif /* DUNZIP32_H */
