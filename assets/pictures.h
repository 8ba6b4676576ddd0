// The suite's artwork: every picture is a named function that draws into
// canvases; the generator writes each to the file its resource script names.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "canvas.h"
#include "text_renderer.h"

// What picture functions draw with.
struct ArtContext {
    const TextRenderer& text;
};

enum class PictureFormat {
    Bmp8,  // one canvas, written as an 8-bit palette bitmap
    Icon,  // one canvas per icon size
};

struct Picture {
    std::string fileName;
    PictureFormat format;
    std::function<std::vector<Canvas>(const ArtContext&)> draw;
};

// The on-screen sensitivity meter's steps and labels and its icon.
std::vector<Picture> OverlayPictures();

// The tray program's icons.
std::vector<Picture> TrayPictures();

// Every picture the suite's resource scripts use.
std::vector<Picture> AllPictures();
