#include "tesmar_launcher.h"

#include <cstdio>

void TesmarLauncher::HelloWorld(const char* text)
{
    TesmarLauncherPriv().HelloWorldPriv(text);
}

void TesmarLauncherPriv::HelloWorldPriv(const char* text)
{
    printf("%s\n", text ? text : "");
    fflush(stdout);
}
