// The tray program's icons: a mouse seen from above, its wheel in the
// accent colour; the program icon light on a dark tile, the notification-area
// icon a dark mouse on its own so it reads at 16 pixels.
#include "pictures.h"
#include "style.h"

namespace {

bool InsideEllipse(int x, int y, int cx, int cy, int rx, int ry)
{
    const long dx = x - cx;
    const long dy = y - cy;
    return dx * dx * ry * ry + dy * dy * rx * rx <= long(rx) * rx * ry * ry;
}

// The mouse body fills an ellipse; a line of the given colour splits the two
// buttons and the wheel sits where they meet.
void DrawMouse(Canvas& icon, int size, Rgb body, Rgb line)
{
    const int cx = size / 2;
    const int cy = size / 2;
    const int rx = size * 5 / 16;
    const int ry = size * 7 / 16;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            if (InsideEllipse(x, y, cx, cy, rx, ry)) {
                icon.Set(x, y, body);
                icon.SetAlpha(x, y, 255);
            }
    const int split = cy - ry / 4;
    icon.FillRect(cx - rx, split, cx + rx + 1, split + 1 + size / 32, line);
    icon.FillRect(cx, cy - ry, cx + 1 + size / 32, split, line);
    const int wheelHalf = size / 16 + 1;
    icon.FillRect(cx - wheelHalf / 2, cy - ry / 2 - wheelHalf, cx + wheelHalf / 2 + 1,
                  cy - ry / 2 + wheelHalf, style::ACCENT);
}

Canvas ProgramIcon(int size)
{
    Canvas icon(size, size, style::BACKGROUND);
    icon.ClearAlpha();
    icon.FillRect(0, 0, size, size, style::BACKGROUND);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            icon.SetAlpha(x, y, 255);
    DrawMouse(icon, size, style::LIGHT_TEXT, style::BACKGROUND);
    return icon;
}

// Dark, so that it reads on the light task bars of the time.
Canvas NotificationIcon(int size)
{
    Canvas icon(size, size, style::BACKGROUND);
    icon.ClearAlpha();
    DrawMouse(icon, size, style::BACKGROUND, style::INACTIVE);
    return icon;
}

}  // namespace

std::vector<Picture> TrayPictures()
{
    return {
        {"tray_program.ico", PictureFormat::Icon,
         [](const ArtContext&) { return std::vector<Canvas>{ProgramIcon(32), ProgramIcon(16)}; }},
        {"tray_icon.ico", PictureFormat::Icon,
         [](const ArtContext&) {
             return std::vector<Canvas>{NotificationIcon(32), NotificationIcon(16)};
         }},
    };
}
