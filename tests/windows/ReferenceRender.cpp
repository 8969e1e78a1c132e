// Prints the reference-render table (tests/engine/ReferenceRenders.txt) for
// a Windows build of the plug-in: ReferenceRender.exe Orvel.dll. Run under
// wine by check-reference-renders.sh, which compares it with the table.
#include <windows.h>

#include <cstdio>

#include "support/ReferenceRenders.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: ReferenceRender PLUGIN.dll\n");
        return 2;
    }
    HMODULE module = LoadLibraryA(argv[1]);
    if (!module) {
        std::fprintf(stderr, "cannot load %s\n", argv[1]);
        return 1;
    }
    // Through void*: FARPROC names no signature of its own.
    auto entry = reinterpret_cast<reference::EntryProc>(
        reinterpret_cast<void*>(GetProcAddress(module, "VSTPluginMain")));
    if (!entry) {
        std::fprintf(stderr, "%s exports no VSTPluginMain\n", argv[1]);
        return 1;
    }
    std::printf("# name fnv1a-64 left@n/5 left@n/2 left@3n/4 left@last\n");
    for (const reference::Scenario& s : reference::scenarios()) std::printf("%s\n", reference::render(entry, s).c_str());
    return 0;
}
