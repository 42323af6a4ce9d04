#pragma once
#include "app/Form1.h"

// A form as the program has it right after start-up.
inline pr::Form1 loadedForm()
{
    pr::Form1 f;
    f.Form_Load();
    return f;
}
