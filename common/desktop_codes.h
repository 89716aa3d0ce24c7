// Results the commands share with the desktop's own scripting, whose scripts
// already test for these codes.
#pragma once

enum : int
{
    kFileNotFound = -43,
    kUserCancelled = -128,
    kApplicationNotFound = -10814,
};
