// tarvesk: puts the placeable metafile named on the command line on the
// clipboard as a metafile picture. Windowless and silent; the exit code is the
// only result besides the clipboard.

#include "System.h"

int main(int argc, char** argv)
{
    const auto clipboard = tarvesk::System_Clipboard();
    return tarvesk::Copy_To_Clipboard(tarvesk::Open_Command_Line_File(argc, argv), *clipboard);
}
