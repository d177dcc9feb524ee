// Loads the library named by its argument: exit code 0 when it loaded, 1 when
// the library refused. Copied under other names to play other host programs.
#include <windows.h>

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    HMODULE library = LoadLibraryW(argv[1]);
    if (!library) return 1;
    FreeLibrary(library);
    return 0;
}
