// The work behind the library's entry point: checks the record and runs its action.
#pragma once

#include "Writer.h"
#include "dunzip32.h"

namespace dunzip32 {

// Returns one of the result codes of dunzip32.h. Never throws.
int32_t Run_Unzip(Unzip_Record* record, Writer& writer);

} // namespace dunzip32
