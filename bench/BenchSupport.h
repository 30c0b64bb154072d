#pragma once
// What several benchmarks compare against: a bare libjpeg-turbo decode and Info-ZIP's unzip.

#include <string>
#include <vector>

#include <cstdio>
#include <jpeglib.h>

// Decodes with libjpeg alone, from the file into one buffer of the given colour space, at
// 1/denominator scale; returns the pixel count. freshBuffer releases the buffer first, as a
// load that allocates its picture does.
size_t Bare_Jpeg_Decode(const char* file, unsigned denominator, std::vector<unsigned char>& buffer,
                        J_COLOR_SPACE space = JCS_RGB, bool freshBuffer = false);

// Runs "unzip -o -qq zip -d dest"; false when it cannot be run or fails.
bool Run_Unzip(const std::string& zip, const std::string& dest);
