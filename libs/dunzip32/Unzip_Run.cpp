#include "Unzip_Run.h"

#include "Extraction.h"

#include <new>

namespace dunzip32 {

int32_t Run_Unzip(Unzip_Record* record, Writer& writer)
{
    if (record == nullptr || record->recordSize != static_cast<int32_t>(sizeof(Unzip_Record)))
        return DUNZIP_BAD_RECORD;
    if (record->actionCode != DUNZIP_ACTION_EXTRACT)
        return DUNZIP_NOT_SUPPORTED;
    if (record->lpszZipFile == nullptr || record->lpszDestination == nullptr)
        return DUNZIP_BAD_RECORD;
    try {
        Extraction extraction(*record, writer);
        return extraction.Run();
    } catch (const std::bad_alloc&) {
        return DUNZIP_NO_MEMORY;
    } catch (...) {
        // Nothing may unwind into the caller, which may not be C++ at all.
        return DUNZIP_INTERNAL_ERROR;
    }
}

} // namespace dunzip32
