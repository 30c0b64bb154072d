// libFuzzer target for one reader (SKY_FUZZ_DECODE and SKY_FUZZ_INFO name its decoder and its
// header parser): arbitrary bytes through the information call's parser, the decoder, then one
// depth reduction of what was decoded.
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
    sky::SKY_FUZZ_INFO(in, info);
    QImage decoded;
    if (sky::SKY_FUZZ_DECODE(in, decoded) < 1 || int64_t(decoded.width()) * decoded.height() > 4096)
        return 0;
    // One reduction a run, chosen by the input.
    static const int depths[] = {0, 1, 4, 8};
    QImage out;
    QList<QRgb> palette;
    sky::finishRead(std::move(decoded), depths[size % 4], (size / 4) % 2 == 1, &out, &palette);
    return 0;
}
