#include "platform/Prompts.h"

namespace {
Prompts* g_prompts = nullptr;
}

Prompts& prompts() {
    Q_ASSERT(g_prompts);
    return *g_prompts;
}

Prompts* setPrompts(Prompts* p) {
    Prompts* previous = g_prompts;
    g_prompts = p;
    return previous;
}
