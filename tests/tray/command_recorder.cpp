// A stand-in program for tests: appends its command line as one line to the
// file named by VEXON_RECORDER_FILE (or recorder.txt in the temporary folder)
// and ends.
#include <windows.h>
#include <stdio.h>

int main()
{
    char path[MAX_PATH];
    if (!GetEnvironmentVariableA("VEXON_RECORDER_FILE", path, sizeof(path))) {
        GetTempPathA(sizeof(path), path);
        lstrcatA(path, "recorder.txt");
    }
    FILE* file = fopen(path, "a");
    if (!file)
        return 1;
    fprintf(file, "%s\n", GetCommandLineA());
    fclose(file);
    return 0;
}
