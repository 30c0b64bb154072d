/* A library under the archive back end's file name that lacks its entry point "dunzip". */
#include <stdint.h>

__attribute__((visibility("default"))) int32_t dunzip_other(void* record)
{
    return record != 0 ? 1 : 0;
}
