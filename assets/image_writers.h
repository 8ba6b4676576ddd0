// File formats the resource compiler takes: 8-bit palette BMP and ICO.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

#include "canvas.h"

// The bytes of an uncompressed bottom-up BMP of 8 bits per pixel whose
// palette holds exactly the canvas's colours. Fails (empty result, *error
// set) when the canvas has more than 256 colours.
std::vector<uint8_t> EncodeBmp8(const Canvas& canvas, std::string* error);

// The bytes of an icon file with one 32-bit image (with alpha and an empty
// AND mask) per canvas. Canvases must be at most 256 pixels a side.
std::vector<uint8_t> EncodeIco(const std::vector<Canvas>& images, std::string* error);

// Writes bytes to path; false with *error set on failure.
bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes,
                    std::string* error);
