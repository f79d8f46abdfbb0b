#include "ui/prompts.h"

#include "ui/qtprompts.h"

namespace {
Prompts *current = nullptr;
}

Prompts &Prompts::instance()
{
    static QtPrompts real;
    return current ? *current : real;
}

void Prompts::install(Prompts *p) { current = p; }
