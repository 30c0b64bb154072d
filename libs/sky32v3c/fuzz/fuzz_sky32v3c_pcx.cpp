// libFuzzer target: the PCX reader on arbitrary bytes, then the depth reductions on what it
// decoded, and the header parser of the information call.
#include "sky_common.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // Small pictures keep the runs fast; the limit path itself is exercised too.
    Sky_Set_Memory_Limit(int64_t(4) << 20);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const sky::Bytes in{data, size};
    sky::PictureInfo info;
    sky::infoPcx(in, info);
    QImage decoded;
    if (sky::decodePcx(in, decoded) < 1 || int64_t(decoded.width()) * decoded.height() > 4096)
        return 0;
    // One reduction a run, chosen by the input, keeps the runs fast.
    static const int depths[] = {0, 1, 4, 8};
    const int bits = depths[size % 4];
    QImage out;
    QList<QRgb> palette;
    sky::finishRead(std::move(decoded), bits, (size / 4) % 2 == 1, &out, &palette);
    return 0;
}
