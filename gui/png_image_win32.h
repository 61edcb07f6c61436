// PNG files to device-independent bitmaps on Windows, through the system's imaging
// component, so that the larger artwork sets travel compressed in the binary.
#pragma once

#include <windows.h>

#include <cstddef>

// A top-down 32-bit DIB section of the file's pixels, or null when it does not decode.
// Needs COM on the calling thread (every frame starts it).
HBITMAP decodePng(const void* bytes, std::size_t size, int& width, int& height);
