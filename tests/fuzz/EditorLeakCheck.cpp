// Opens and closes the editor of two instances 100 times, headless, and
// destroys them. Built with AddressSanitizer: its leak check at exit fails
// the run when an open or close leaves anything behind.
#include <cstdio>

#include "FuzzSupport.h"
#include "plugin/ZuUniClient.h"

int main() {
    AudioEffect* a = createEffectInstance(&fuzzHost);
    AudioEffect* b = createEffectInstance(&fuzzHost);
    if (!a || !b) {
        std::fprintf(stderr, "no instance\n");
        return 1;
    }
    AEffect* ea = a->getAeffect();
    AEffect* eb = b->getAeffect();
    for (int i = 0; i < 100; ++i) {
        if (ea->dispatcher(ea, effEditOpen, 0, 0, nullptr, 0) != 1) {
            std::fprintf(stderr, "open %d failed\n", i);
            return 1;
        }
        if (i % 2) eb->dispatcher(eb, effEditOpen, 0, 0, nullptr, 0); // a second editor sharing the skin
        ea->dispatcher(ea, effEditIdle, 0, 0, nullptr, 0);
        ea->dispatcher(ea, effEditClose, 0, 0, nullptr, 0);
        if (i % 2) eb->dispatcher(eb, effEditClose, 0, 0, nullptr, 0);
    }
    ea->dispatcher(ea, effClose, 0, 0, nullptr, 0);
    eb->dispatcher(eb, effClose, 0, 0, nullptr, 0);
    std::printf("100 editor open/close cycles, two instances: done\n");
    return 0;
}
