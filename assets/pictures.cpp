#include "pictures.h"

std::vector<Picture> AllPictures()
{
    return OverlayPictures();
}
