// The meter's pictures and its drawing. Every tick draws the whole meter
// into an off-screen canvas and copies it out in one operation, so no
// half-drawn meter is ever seen.
//
// On Windows the copy goes straight onto the screen, over whatever is in
// front. Wine keeps what is drawn on the screen itself apart from its
// windows (a whole-screen repaint does not erase it where no window lies
// below), so there the canvas goes into the overlay's own topmost pop-up
// window, which sits exactly on the meter's rectangle and is shown while
// the meter is.
#include "ofa_program.h"

namespace {

const char* const PICTURE_NAMES[OFA_PICTURE_COUNT] = {
    "OFA010", "OFA015", "OFA020", "OFA025", "OFA030", "OFA035", "OFA040", "OFA045",
    "OFA050", "OFA055", "OFA060", "OFA065", "OFA070", "OFA075", "OFA080", "OFA085",
    "OFA090", "OFA095", "OFA100", "OFAGREEN", "OFAGREY", "OFALABELX", "OFALABELY", "OFALABEL0",
};

HBITMAP Picture(int index)
{
    return ofaBitmaps[index] ? ofaBitmaps[index]->Handle() : nullptr;
}

// Copies a whole picture to the canvas; a missing picture is left out.
void DrawPicture(HDC canvas, HDC source, int index, int x, int y)
{
    const HBITMAP picture = Picture(index);
    if (!picture)
        return;
    const HGDIOBJ previous = SelectObject(source, picture);
    BitBlt(canvas, x, y, ofa.barWidth, ofa.segmentHeight, source, 0, 0, SRCCOPY);
    SelectObject(source, previous);
}

// The background: the top pixel row of the first step stretched over it all.
void DrawBackground(HDC canvas, HDC source)
{
    const HBITMAP picture = Picture(0);
    if (!picture)
        return;
    const HGDIOBJ previous = SelectObject(source, picture);
    StretchBlt(canvas, 0, 0, ofa.width, ofa.height, source, 0, 0, ofa.barWidth, 1, SRCCOPY);
    SelectObject(source, previous);
}

// Puts the finished canvas where the meter is seen.
void PresentMeter(HDC screen, HDC canvas)
{
    if (!bMeterInOwnWindow) {
        BitBlt(screen, ofa.x, ofa.y, ofa.width, ofa.height, canvas, 0, 0, SRCCOPY);
        return;
    }
    const bool topmost = (GetWindowLongA(hWndOFA, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    RECT rect;
    GetWindowRect(hWndOFA, &rect);
    const bool placed = rect.left == ofa.x && rect.top == ofa.y &&
                        rect.right - rect.left == ofa.width && rect.bottom - rect.top == ofa.height;
    if (!IsWindowVisible(hWndOFA) || IsIconic(hWndOFA) || !topmost || !placed) {
        ShowWindow(hWndOFA, SW_SHOWNOACTIVATE);
        SetWindowPos(hWndOFA, HWND_TOPMOST, ofa.x, ofa.y, ofa.width, ofa.height, SWP_NOACTIVATE);
    }
    const HDC window = GetDC(hWndOFA);
    if (!window)
        return;
    BitBlt(window, 0, 0, ofa.width, ofa.height, canvas, 0, 0, SRCCOPY);
    ReleaseDC(hWndOFA, window);
}

void DrawMeter(HDC screen, HDC source, HDC canvas)
{
    const HBITMAP canvasBitmap = CreateCompatibleBitmap(screen, ofa.width, ofa.height);
    if (!canvasBitmap)
        return;
    const HGDIOBJ previous = SelectObject(canvas, canvasBitmap);
    DrawBackground(canvas, source);
    METER_LAYOUT layout;
    LayOutMeter(ofa, &layout);
    for (int i = 0; i < layout.count; ++i)
        DrawPicture(canvas, source, layout.draws[i].picture, layout.draws[i].x, layout.draws[i].y);
    PresentMeter(screen, canvas);
    SelectObject(canvas, previous);
    DeleteObject(canvasBitmap);
}

}  // namespace

OFA_BITMAP::~OFA_BITMAP()
{
    if (!bitmap_)
        return;
    OfaLog("\nOFA_BITMAP::~OFA_BITMAP : Destructor called for %s.", name_);
    DeleteObject(bitmap_);
}

bool OFA_BITMAP::LoadBitmap(HINSTANCE instance)
{
    bitmap_ = static_cast<HBITMAP>(
        LoadImageA(instance, name_, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (bitmap_)
        return true;
    char error[101];
    SystemErrorText(GetLastError(), error);
    OfaLog("\nOFA_BITMAP::LoadBitmap : LoadImage %s failed.", name_);
    OfaLog("\nOFA_BITMAP::LoadBitmap : Exiting. (FALSE)");
    OfaLog("\nOFA_BITMAP::LoadBitmap : Error: %s", error);
    return false;
}

bool RunningOnWine()
{
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

bool initGfx(HINSTANCE instance)
{
    OfaLog("\ninitGfx : Entering.");
    for (int i = 0; i < OFA_PICTURE_COUNT; ++i) {
        std::unique_ptr<OFA_BITMAP> holder(new OFA_BITMAP(PICTURE_NAMES[i]));
        const bool loaded = holder->LoadBitmap(instance);
        OfaLog("\ninitGfx : Loaded %s.", PICTURE_NAMES[i]);
        if (!loaded) {
            OfaLog("\ninitGfx : LoadBitmap %s failed.", PICTURE_NAMES[i]);
            return false;
        }
        ofaBitmaps[i] = std::move(holder);
    }
    OfaLog("\ninitGfx : Exiting. (TRUE) Bitmaps loaded successfully.");
    return true;
}

void unloadBitmaps()
{
    for (auto& holder : ofaBitmaps)
        holder.reset();
}

void PaintOFA()
{
    const HDC screen = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
    if (!screen)
        return;
    const HDC source = CreateCompatibleDC(screen);
    const HDC canvas = CreateCompatibleDC(screen);
    OfaLog("\nPaintOFA : SX = %d, SY = %d, MM = %s", ofa.sx, ofa.sy, MeterModeName(ofa.MeterMode));
    if (source && canvas)
        DrawMeter(screen, source, canvas);
    if (canvas)
        DeleteDC(canvas);
    if (source)
        DeleteDC(source);
    DeleteDC(screen);
}

void RepaintWholeScreen()
{
    RedrawWindow(nullptr, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void ShowHiddenOrMinimised()
{
    ShowWindow(hWndOFA, bHideFromTaskbar ? SW_HIDE : SW_SHOWMINNOACTIVE);
}
