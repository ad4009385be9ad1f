#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Writes 8-bit RGB pixels (rows top to bottom, 3 bytes a pixel) as a PNG file whose image data
// is stored uncompressed (deflate's stored blocks): small enough for screenshots of small
// windows, and no compression library in the Windows test build. False if the file cannot be
// written.
bool WritePng(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgb);
