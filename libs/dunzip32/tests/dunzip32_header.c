/* The public header compiles as C, and the C compiler lays the record out alike. */
#include "dunzip32.h"

#include <stddef.h>

/* Twelve address fields come before the sub-option word. */
_Static_assert(offsetof(Unzip_Record, wUnzipSubOptions) == 108 + 12 * (sizeof(void*) - 4),
               "the sub-option word follows the message callback pair");

size_t dunzip32_c_record_size(void)
{
    return sizeof(Unzip_Record);
}

size_t dunzip32_c_last_field_offset(void)
{
    return offsetof(Unzip_Record, reserved2);
}
