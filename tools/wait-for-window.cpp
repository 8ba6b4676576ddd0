// wait-for-window TITLE [SECONDS]: waits until a top-level window with this
// title exists (10 seconds unless told); exit status 0 when it does, 1 when
// the time ran out. For scripts that start a program and go on once it is up.
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>

int main(int argc, char** argv)
{
    if (argc < 2 || argc > 3) {
        fprintf(stderr, "usage: wait-for-window TITLE [SECONDS]\n");
        return 2;
    }
    const DWORD seconds = argc == 3 ? DWORD(atoi(argv[2])) : 10;
    const ULONGLONG deadline = GetTickCount64() + seconds * 1000ULL;
    while (!FindWindowA(nullptr, argv[1])) {
        if (GetTickCount64() > deadline)
            return 1;
        Sleep(100);
    }
    return 0;
}
