// The C++ class the main library exports beside its commands.
#pragma once

#include "common/command.h"

class TesmarLauncher
{
  public:
    TESMAR_EXPORT void HelloWorld(const char* text);
};

class TesmarLauncherPriv
{
  public:
    void HelloWorldPriv(const char* text);
};
