// libFuzzer target for the bitmap check. Each input is a picture file: when
// the check passes, VTK's bitmap reader must read it without crashing,
// without reading or allocating more than the file can back, and give the
// dimensions the header states.
#include "BitmapFileCheck.h"

#include "vtkBMPReader.h"
#include "vtkImageData.h"
#include "vtkNew.h"
#include "vtkObject.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace
{
// vtkBMPReader reads files only: each input is written to one of its own.
std::string ScratchFile()
{
  static const std::string name = "/tmp/pelagrin-bitmap-fuzz-" + std::to_string(getpid());
  return name;
}

std::int64_t HeaderSide(const std::uint8_t* bytes, int at, bool windows)
{
  std::int64_t value = bytes[at] | bytes[at + 1] << 8;
  if (windows)
  {
    value = static_cast<std::int32_t>(static_cast<std::uint32_t>(value) |
      static_cast<std::uint32_t>(bytes[at + 2]) << 16 |
      static_cast<std::uint32_t>(bytes[at + 3]) << 24);
  }
  return value;
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
  vtkObject::GlobalWarningDisplayOff();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
  if (!CheckBitmapHeader(bytes, std::min(size, BitmapHeaderBytes), size).empty())
  {
    return 0;
  }
  FILE* file = std::fopen(ScratchFile().c_str(), "wb");
  if (!file || std::fwrite(bytes, 1, size, file) != size)
  {
    std::abort();
  }
  std::fclose(file);
  vtkNew<vtkBMPReader> reader;
  reader->SetFileName(ScratchFile().c_str());
  reader->Update();
  int dimensions[3];
  reader->GetOutput()->GetDimensions(dimensions);
  const bool windows = bytes[14] == 40;
  if (dimensions[0] != HeaderSide(bytes, 18, windows) ||
    dimensions[1] != HeaderSide(bytes, windows ? 22 : 20, windows))
  {
    std::abort();
  }
  std::remove(ScratchFile().c_str());
  return 0;
}
