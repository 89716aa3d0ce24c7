// The file an export writes, moved into place when the export is complete.
#pragma once

#include "file_rules/file_rules.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The file an export writes: a temporary file beside the output, moved into
// place only once the export is complete, so that a failed export leaves
// what was at the output as it was; on every other way out it is removed.
class ExportFile
{
  public:
    // Creates the file beside output. False, with nothing written, when
    // output names anything but a regular file or nothing, when it names one
    // of the inputs however it is spelt, or when no file can be made there.
    bool open(const char* output, const std::vector<std::string>& inputs);
    bool write(const void* data, size_t size) { return file.write(data, size); }
    bool writeAt(uint64_t offset, const void* data, size_t size) { return file.writeAt(offset, data, size); }
    // Moves the file over the output, keeping the permissions of a file
    // there; false when it could not.
    bool replace() { return file.replace(output, true); }
    // Moves the file to the output only while nothing has that name.
    bool placeIfFree() { return file.place(output); }

  private:
    std::string output;
    TemporaryFile file;
};
