#include "Prompter.h"

#include <stdexcept>

namespace {
Prompter *g_prompter = nullptr;
}

Prompter &prompter()
{
    if (!g_prompter)
        throw std::logic_error("no prompter installed");
    return *g_prompter;
}

void setPrompter(Prompter *p) { g_prompter = p; }
