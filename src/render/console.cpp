#include "render/console.h"

#include <fcntl.h>
#include <unistd.h>

int silenceDescriptor(int descriptor) {
    const int saved = dup(descriptor);
    const int nowhere = open("/dev/null", O_WRONLY);
    if (saved >= 0 && nowhere >= 0) dup2(nowhere, descriptor);
    if (nowhere >= 0) close(nowhere);
    return saved;
}

void restoreDescriptor(int descriptor, int saved) {
    if (saved < 0) return;
    dup2(saved, descriptor);
    close(saved);
}
