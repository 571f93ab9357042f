/*=========================================================================

  Program:   Fish animation programs
  Module:    BitmapFileCheck.cxx

=========================================================================*/
#include "BitmapFileCheck.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace
{
constexpr std::uint32_t WindowsHeader = 40;
constexpr std::uint32_t OS2Header = 12;
constexpr std::int64_t LargestSide = 16384;
constexpr std::size_t FileHeader = 14;

std::uint32_t Little(const unsigned char* p, int bytes)
{
  std::uint32_t value = 0;
  for (int i = bytes - 1; i >= 0; --i)
  {
    value = (value << 8) | p[i];
  }
  return value;
}

std::string Number(std::int64_t value)
{
  return std::to_string(static_cast<long long>(value));
}
} // namespace

//------------------------------------------------------------------------------
std::string CheckBitmapHeader(
  const unsigned char* header, std::size_t length, std::uint64_t fileSize)
{
  if (fileSize == 0)
  {
    return "it is empty";
  }
  if (length < 2 || header[0] != 'B' || header[1] != 'M')
  {
    return "it does not start with the bitmap signature BM";
  }
  if (length < FileHeader + 4)
  {
    return "it is too short for a bitmap header";
  }
  const std::uint32_t pixelOffset = Little(header + 10, 4);
  const std::uint32_t infoSize = Little(header + 14, 4);
  if (infoSize != WindowsHeader && infoSize != OS2Header)
  {
    return "its header of " + Number(infoSize) +
      " bytes is of a kind VTK's reader cannot read (only 40 or 12 bytes)";
  }
  if (length < FileHeader + infoSize)
  {
    return "it is too short for its header";
  }
  const bool windows = infoSize == WindowsHeader;
  const std::int64_t width = windows ? static_cast<std::int32_t>(Little(header + 18, 4))
                                     : static_cast<std::int64_t>(Little(header + 18, 2));
  const std::int64_t height = windows ? static_cast<std::int32_t>(Little(header + 22, 4))
                                      : static_cast<std::int64_t>(Little(header + 20, 2));
  const std::uint32_t depth = Little(header + (windows ? 28 : 24), 2);
  if (width <= 0 || height <= 0)
  {
    return "its width and height (" + Number(width) + " x " + Number(height) +
      ") are not both positive";
  }
  if (width > LargestSide || height > LargestSide)
  {
    return "its size of " + Number(width) + " x " + Number(height) + " is beyond " +
      Number(LargestSide) + " x " + Number(LargestSide);
  }
  if (depth != 8 && depth != 24)
  {
    return "its " + Number(depth) + " bits per pixel are neither 8 nor 24, the depths VTK's " +
      "reader reads";
  }
  if (windows && Little(header + 30, 4) != 0)
  {
    return "it is compressed (method " + Number(Little(header + 30, 4)) +
      "); only uncompressed bitmaps are read";
  }
  std::uint64_t paletteEnd = FileHeader + infoSize;
  if (depth == 8)
  {
    const std::uint32_t used = windows ? Little(header + 46, 4) : 0;
    if (used > 256)
    {
      return "its palette of " + Number(used) + " colours is larger than 256";
    }
    paletteEnd += static_cast<std::uint64_t>(used ? used : 256) * (windows ? 4 : 3);
    if (paletteEnd > fileSize)
    {
      return "its palette does not fit in the file";
    }
  }
  if (pixelOffset < paletteEnd)
  {
    return "its pixels start at byte " + Number(pixelOffset) + ", inside its header" +
      (depth == 8 ? " or palette" : "");
  }
  const std::uint64_t rowBytes = (static_cast<std::uint64_t>(width) * depth + 31) / 32 * 4;
  const std::uint64_t pixelBytes = rowBytes * static_cast<std::uint64_t>(height);
  if (pixelOffset + pixelBytes > fileSize)
  {
    return "its " + Number(width) + " x " + Number(height) + " pixels need " +
      Number(static_cast<std::int64_t>(pixelBytes)) + " bytes from byte " + Number(pixelOffset) +
      ", more than the file holds";
  }
  return std::string();
}

//------------------------------------------------------------------------------
BitmapFileState CheckBitmapFile(const char* fileName, std::string& problem)
{
  FILE* file = std::fopen(fileName, "rb");
  if (!file)
  {
    problem = std::string("it cannot be opened: ") + std::strerror(errno);
    return BitmapFileState::Missing;
  }
  unsigned char header[BitmapHeaderBytes];
  const std::size_t length = std::fread(header, 1, sizeof(header), file);
  long size = -1;
  if (std::fseek(file, 0, SEEK_END) == 0)
  {
    size = std::ftell(file);
  }
  std::fclose(file);
  if (size < 0)
  {
    problem = "its size cannot be read";
    return BitmapFileState::Unusable;
  }
  problem = CheckBitmapHeader(header, length, static_cast<std::uint64_t>(size));
  return problem.empty() ? BitmapFileState::Readable : BitmapFileState::Unusable;
}
