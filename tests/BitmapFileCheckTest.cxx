// The pictures checked before VTK's bitmap reader reads them: a table of
// small bitmaps that are passed to the reader, which reads them, or refused
// with the reason.

#include "BitmapFileCheck.h"

#include "vtkBMPReader.h"
#include "vtkImageData.h"
#include "vtkNew.h"

#include "CaseNames.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace
{
// A bitmap built field by field: a 40-byte Windows header (or a 12-byte
// OS/2 one), a palette for 8 bits per pixel, rows padded to four bytes.
struct Bitmap
{
  std::int32_t Width = 5;
  std::int32_t Height = 3;
  std::uint16_t Depth = 24;
  std::uint32_t InfoSize = 40;
  std::uint32_t Compression = 0;
  std::uint32_t ColoursUsed = 0;
  std::int64_t PaletteEntries = -1; // -1: as the header says
  std::int64_t PixelOffset = -1;    // -1: right after the palette
  std::int64_t Length = -1;         // -1: the whole file
  char Signature[2] = { 'B', 'M' };

  std::string Bytes() const
  {
    const bool windows = this->InfoSize != 12;
    const std::int64_t entries = this->PaletteEntries >= 0 ? this->PaletteEntries
      : this->Depth == 8 ? (this->ColoursUsed ? this->ColoursUsed : 256)
                         : 0;
    const std::int64_t paletteBytes = entries * (windows ? 4 : 3);
    const std::int64_t rowBytes = (std::int64_t(this->Width) * this->Depth + 31) / 32 * 4;
    const std::int64_t offset =
      this->PixelOffset >= 0 ? this->PixelOffset : 14 + this->InfoSize + paletteBytes;
    std::string b(this->Signature, 2);
    Put(b, 4, static_cast<std::uint32_t>(offset + rowBytes * this->Height));
    Put(b, 4, 0);
    Put(b, 4, static_cast<std::uint32_t>(offset));
    Put(b, 4, this->InfoSize);
    if (windows)
    {
      Put(b, 4, static_cast<std::uint32_t>(this->Width));
      Put(b, 4, static_cast<std::uint32_t>(this->Height));
      Put(b, 2, 1);
      Put(b, 2, this->Depth);
      Put(b, 4, this->Compression);
      Put(b, 4, static_cast<std::uint32_t>(rowBytes * this->Height));
      Put(b, 4, 2835);
      Put(b, 4, 2835);
      Put(b, 4, this->ColoursUsed);
      Put(b, 4, 0);
      b.resize(14 + this->InfoSize, '\0');
    }
    else
    {
      Put(b, 2, static_cast<std::uint32_t>(this->Width));
      Put(b, 2, static_cast<std::uint32_t>(this->Height));
      Put(b, 2, 1);
      Put(b, 2, this->Depth);
    }
    for (std::int64_t i = 0; i < paletteBytes; ++i)
    {
      b += static_cast<char>(i * 7);
    }
    // An offset beyond the palette leaves a gap; one inside the headers or
    // the palette only says so.
    if (static_cast<std::size_t>(offset) > b.size())
    {
      b.resize(static_cast<std::size_t>(offset), '\0');
    }
    const std::int64_t pixels = std::max<std::int64_t>(0, rowBytes) * std::max(this->Height, 0);
    const std::int64_t end =
      this->Length >= 0 ? this->Length : static_cast<std::int64_t>(b.size()) + pixels;
    for (std::int64_t i = 0; static_cast<std::int64_t>(b.size()) < end && i < pixels; ++i)
    {
      b += static_cast<char>(i * 13);
    }
    b.resize(static_cast<std::size_t>(end), '\0');
    return b;
  }

  static void Put(std::string& b, int bytes, std::uint32_t value)
  {
    for (int i = 0; i < bytes; ++i)
    {
      b += static_cast<char>((value >> (8 * i)) & 0xff);
    }
  }
};

struct BitmapCase
{
  const char* Name;
  std::string Bytes;
  const char* Problem; // empty: VTK's reader reads it
};

Bitmap With(void (*change)(Bitmap&))
{
  Bitmap b;
  change(b);
  return b;
}

std::vector<BitmapCase> Cases()
{
  return {
    { "24 bits", Bitmap().Bytes(), "" },
    { "8 bits", With([](Bitmap& b) { b.Depth = 8; }).Bytes(), "" },
    { "8 bits, 16 colours", With([](Bitmap& b) { b.Depth = 8, b.ColoursUsed = 16; }).Bytes(), "" },
    { "OS/2 header", With([](Bitmap& b) { b.InfoSize = 12; }).Bytes(), "" },
    { "OS/2 header, 8 bits", With([](Bitmap& b) { b.InfoSize = 12, b.Depth = 8; }).Bytes(), "" },
    { "pixels after a gap", With([](Bitmap& b) { b.PixelOffset = 200; }).Bytes(), "" },

    { "empty", "", "it is empty" },
    { "a few bytes", "BM\x10", "too short for a bitmap header" },
    { "another signature", With([](Bitmap& b) { b.Signature[0] = 'X'; }).Bytes(), "signature BM" },
    { "a version 4 header", With([](Bitmap& b) { b.InfoSize = 108; }).Bytes(),
      "header of 108 bytes" },
    { "a version 5 header", With([](Bitmap& b) { b.InfoSize = 124; }).Bytes(),
      "header of 124 bytes" },
    { "cut inside the header", With([](Bitmap& b) { b.Length = 30; }).Bytes(),
      "too short for its header" },
    { "1 bit", With([](Bitmap& b) { b.Depth = 1; }).Bytes(), "1 bits per pixel" },
    { "4 bits", With([](Bitmap& b) { b.Depth = 4; }).Bytes(), "4 bits per pixel" },
    { "7 bits", With([](Bitmap& b) { b.Depth = 7; }).Bytes(), "7 bits per pixel" },
    { "16 bits", With([](Bitmap& b) { b.Depth = 16; }).Bytes(), "16 bits per pixel" },
    { "32 bits", With([](Bitmap& b) { b.Depth = 32; }).Bytes(), "32 bits per pixel" },
    { "run-length encoded", With([](Bitmap& b) { b.Depth = 8, b.Compression = 1; }).Bytes(),
      "compressed (method 1)" },
    { "bit fields", With([](Bitmap& b) { b.Compression = 3; }).Bytes(), "compressed (method 3)" },
    { "no width", With([](Bitmap& b) { b.Width = 0; }).Bytes(), "not both positive" },
    { "negative width", With([](Bitmap& b) { b.Width = -5; }).Bytes(), "not both positive" },
    { "top-down rows", With([](Bitmap& b) { b.Height = -3; }).Bytes(), "not both positive" },
    { "far too large",
      With([](Bitmap& b) { b.Width = 100000, b.Height = 100000, b.Length = 200; }).Bytes(),
      "beyond 16384 x 16384" },
    { "more rows than the file holds", With([](Bitmap& b) { b.Length = 80; }).Bytes(),
      "more than the file holds" },
    { "pixels past the end",
      With([](Bitmap& b) { b.PixelOffset = 1000000, b.Length = 200; }).Bytes(),
      "more than the file holds" },
    { "pixels inside the header", With([](Bitmap& b) { b.PixelOffset = 20; }).Bytes(),
      "inside its header" },
    { "pixels inside the palette",
      With([](Bitmap& b) { b.Depth = 8, b.PixelOffset = 100; }).Bytes(), "or palette" },
    { "a palette of 300 colours",
      With([](Bitmap& b) { b.Depth = 8, b.ColoursUsed = 300, b.PaletteEntries = 0; }).Bytes(),
      "palette of 300 colours" },
    { "a palette cut off",
      With([](Bitmap& b) { b.Depth = 8, b.Length = 300, b.PixelOffset = 60; }).Bytes(),
      "palette does not fit" },
  };
}

class BitmapFileCase : public ::testing::TestWithParam<BitmapCase>
{
};

TEST_P(BitmapFileCase, IsReadOrRefusedWithItsReason)
{
  const BitmapCase& c = GetParam();
  const std::filesystem::path path = std::filesystem::temp_directory_path() /
    ("pelagrin-bitmap-" + std::to_string(::getpid()) + ".bmp");
  {
    std::ofstream file(path, std::ios::binary);
    file << c.Bytes;
  }
  std::string problem;
  const BitmapFileState state = CheckBitmapFile(path.c_str(), problem);
  if (*c.Problem == '\0')
  {
    EXPECT_EQ(state, BitmapFileState::Readable) << problem;
    // What passes, VTK's reader reads whole.
    vtkNew<vtkBMPReader> reader;
    reader->SetFileName(path.c_str());
    reader->Update();
    int dims[3];
    reader->GetOutput()->GetDimensions(dims);
    EXPECT_EQ(dims[0], 5);
    EXPECT_EQ(dims[1], 3);
  }
  else
  {
    EXPECT_EQ(state, BitmapFileState::Unusable);
    EXPECT_NE(problem.find(c.Problem), std::string::npos)
      << "the reason given is '" << problem << "'";
  }
  std::filesystem::remove(path);
}

INSTANTIATE_TEST_SUITE_P(Files, BitmapFileCase, ::testing::ValuesIn(Cases()), CaseName<BitmapCase>);

TEST(BitmapFileCheck, MissingFileIsToldApartFromABrokenOne)
{
  std::string problem;
  EXPECT_EQ(CheckBitmapFile("no-such-directory/picture.bmp", problem), BitmapFileState::Missing);
  EXPECT_NE(problem.find("cannot be opened"), std::string::npos) << problem;
}
} // namespace
