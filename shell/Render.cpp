#include "shell/Render.h"

#include <cstdio>

// Placeholder until the headless renderer lands.
int renderPicture(const Program&, const RenderRequest&)
{
    std::fputs("--render: non ancora disponibile\n", stderr);
    return RenderNotWritten;
}
