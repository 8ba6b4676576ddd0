#include "pictures.h"

std::vector<Picture> AllPictures()
{
    std::vector<Picture> pictures = OverlayPictures();
    for (Picture& picture : TrayPictures())
        pictures.push_back(std::move(picture));
    return pictures;
}
