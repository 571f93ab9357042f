/*=========================================================================

  Program:   Fish animation programs
  Module:    BitmapFileCheck.h

=========================================================================*/
/**
 * Checks of the Windows bitmaps "underwater.bmp" and "fish.bmp" against what
 * vtkBMPReader reads safely, before it reads them. VTK 9.1's reader crashes
 * on an empty or truncated header, on a header of another size than 12 or
 * 40 bytes and on bit depths other than 8 and 24, and allocates whatever
 * the header's width and height ask for, whatever the file holds.
 *
 * A bitmap passes when it starts with "BM"; its header is a 40-byte Windows
 * or 12-byte OS/2 one; its width and height are positive and at most
 * 16384; it has 8 or 24 bits per pixel and no compression; an 8-bit
 * bitmap's palette (the colours it says it uses, or 256) lies between the
 * header and the pixels; and its rows of pixels, each padded to four bytes,
 * fit in the file from the offset its header gives.
 */

#ifndef BitmapFileCheck_h
#define BitmapFileCheck_h

#include <cstddef>
#include <cstdint>
#include <string>

/**
 * The bytes of a bitmap's headers that the check reads.
 */
constexpr std::size_t BitmapHeaderBytes = 54;

/**
 * What is wrong with a bitmap of fileSize bytes whose first bytes are
 * header (length of them: BitmapHeaderBytes, or all of a shorter file);
 * empty when nothing is.
 */
std::string CheckBitmapHeader(
  const unsigned char* header, std::size_t length, std::uint64_t fileSize);

enum class BitmapFileState
{
  Readable, ///< VTK's reader can read it
  Missing,  ///< it cannot be opened
  Unusable  ///< it exists, but VTK's reader cannot read it safely
};

/**
 * Checks the named bitmap; for Missing and Unusable, problem says why.
 */
BitmapFileState CheckBitmapFile(const char* fileName, std::string& problem);

#endif
