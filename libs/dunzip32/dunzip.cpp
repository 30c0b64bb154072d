// The library's one exported entry point.
#include "Unzip_Run.h"

extern "C" DUNZIP_API int32_t DUNZIP_CALL dunzip(Unzip_Record* record)
{
    dunzip32::Posix_Writer writer;
    return dunzip32::Run_Unzip(record, writer);
}
