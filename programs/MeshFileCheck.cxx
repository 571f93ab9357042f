/*=========================================================================

  Program:   Fish animation programs
  Module:    MeshFileCheck.cxx

=========================================================================*/
#include "MeshFileCheck.h"

#include "vtkCallbackCommand.h"
#include "vtkCellArray.h"
#include "vtkCellData.h"
#include "vtkCommand.h"
#include "vtkDataArray.h"
#include "vtkNew.h"
#include "vtkPoints.h"
#include "vtkPolyData.h"
#include "vtkPolyDataReader.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <limits>
#include <sstream>
#include <vector>

namespace
{
// VTK's reader reads every word and line into a buffer of 256 characters.
constexpr std::size_t LongestWord = 255;

std::string Lower(std::string text)
{
  std::transform(text.begin(), text.end(), text.begin(),
    [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

bool IsSpace(char c)
{
  return std::isspace(static_cast<unsigned char>(c)) != 0;
}

// Whether a word is nothing but digits.
bool IsDigits(const std::string& word)
{
  return !word.empty() &&
    std::all_of(word.begin(), word.end(), [](unsigned char c) { return std::isdigit(c) != 0; });
}

// Whether a word is a whole number as C++ streams read one: an optional
// sign and digits, nothing else.
bool IsWholeNumber(const std::string& word)
{
  const bool signed_ = !word.empty() && (word[0] == '+' || word[0] == '-');
  return IsDigits(signed_ ? word.substr(1) : word);
}

// The count a word holds: a whole number from 0 to the largest int.
bool ToCount(const std::string& word, long long& count)
{
  if (!IsWholeNumber(word) || word[0] == '-')
  {
    return false;
  }
  errno = 0;
  count = std::strtoll(word.c_str(), nullptr, 10);
  return errno == 0 && count <= INT_MAX;
}

// Whether a word is a number as C++ streams read a float or double: a sign,
// digits with an optional point, an optional exponent.
bool IsRealNumber(const std::string& word)
{
  std::size_t i = word.empty() || (word[0] != '+' && word[0] != '-') ? 0 : 1;
  std::size_t digits = 0;
  for (; i < word.size() && std::isdigit(static_cast<unsigned char>(word[i])); ++i, ++digits)
  {
  }
  if (i < word.size() && word[i] == '.')
  {
    for (++i; i < word.size() && std::isdigit(static_cast<unsigned char>(word[i])); ++i, ++digits)
    {
    }
  }
  if (digits == 0)
  {
    return false;
  }
  if (i < word.size() && (word[i] == 'e' || word[i] == 'E'))
  {
    ++i;
    if (i < word.size() && (word[i] == '+' || word[i] == '-'))
    {
      ++i;
    }
    const std::size_t exponent = i;
    for (; i < word.size() && std::isdigit(static_cast<unsigned char>(word[i])); ++i)
    {
    }
    if (i == exponent)
    {
      return false;
    }
  }
  return i == word.size();
}

// A data type of the legacy format, as the reader reads it from a binary
// file: bits packed eight to a byte, everything else big-endian.
struct DataType
{
  const char* Name;
  int Bytes; // 0 for packed bits
  bool Integer;
  bool Signed;
};

const DataType DataTypes[] = {
  { "bit", 0, true, false },
  { "char", 1, true, true },
  { "signed_char", 1, true, true },
  { "unsigned_char", 1, true, false },
  { "short", 2, true, true },
  { "unsigned_short", 2, true, false },
  { "int", 4, true, true },
  { "unsigned_int", 4, true, false },
  { "long", 8, true, true },
  { "unsigned_long", 8, true, false },
  { "vtkidtype", 4, true, true },
  { "vtktypeint64", 8, true, true },
  { "vtktypeuint64", 8, true, false },
  { "float", 4, false, true },
  { "double", 8, false, true },
};

const DataType* FindDataType(const std::string& name)
{
  const std::string lower = Lower(name);
  for (const DataType& type : DataTypes)
  {
    if (lower == type.Name)
    {
      return &type;
    }
  }
  return nullptr;
}

/**
 * Walks a legacy file the way VTK's polygonal data reader reads it, checking
 * every count against what is left of the file before stepping over the
 * values it counts. Stops at the first problem.
 */
class LayoutWalker
{
public:
  LayoutWalker(const char* bytes, std::size_t size)
    : Bytes(bytes)
    , Size(size)
  {
  }

  std::string Walk()
  {
    if (this->ReadHeader())
    {
      this->ReadSections();
    }
    return this->Problem;
  }

private:
  // Keeps the first problem, with whatever it quotes of the file made
  // printable on one line.
  bool Fail(std::string problem)
  {
    if (this->Problem.empty())
    {
      for (char& c : problem)
      {
        c = std::isprint(static_cast<unsigned char>(c)) ? c : '?';
      }
      this->Problem = problem;
    }
    return false;
  }

  std::size_t Remaining() const { return this->Size - this->Position; }

  // A line of text up to its newline, which is passed over. ended tells
  // whether a newline ended it, rather than the end of the file.
  bool ReadLine(std::string& line, bool* ended = nullptr)
  {
    if (this->Position >= this->Size)
    {
      return false;
    }
    const char* start = this->Bytes + this->Position;
    const void* newline = std::memchr(start, '\n', this->Remaining());
    const std::size_t length =
      newline ? static_cast<const char*>(newline) - start : this->Remaining();
    if (length > LongestWord)
    {
      return this->Fail("a line is longer than " + std::to_string(LongestWord) + " characters");
    }
    line.assign(start, length);
    if (!line.empty() && line.back() == '\r')
    {
      line.pop_back();
    }
    this->Position += length + (newline ? 1 : 0);
    if (ended)
    {
      *ended = newline != nullptr;
    }
    return true;
  }

  // The next word, after white space; false at the end of the file.
  bool ReadWord(std::string& word)
  {
    while (this->Position < this->Size && IsSpace(this->Bytes[this->Position]))
    {
      ++this->Position;
    }
    const std::size_t start = this->Position;
    while (this->Position < this->Size && !IsSpace(this->Bytes[this->Position]))
    {
      ++this->Position;
    }
    word.assign(this->Bytes + start, this->Position - start);
    if (word.size() > LongestWord)
    {
      return this->Fail("a word is longer than " + std::to_string(LongestWord) + " characters");
    }
    return !word.empty();
  }

  bool ExpectWord(std::string& word, const std::string& what)
  {
    return this->ReadWord(word) || this->Fail("the file ends before " + what);
  }

  // A count: a whole number from 0 to the largest int.
  bool ReadCount(long long& count, const std::string& what)
  {
    std::string word;
    if (!this->ExpectWord(word, what))
    {
      return false;
    }
    return ToCount(word, count) || this->Fail(what + " is '" + word + "', not a count");
  }

  bool ReadDataType(const DataType*& type, const std::string& what)
  {
    std::string word;
    if (!this->ExpectWord(word, "the data type of " + what))
    {
      return false;
    }
    type = FindDataType(word);
    return type != nullptr ||
      this->Fail("the data type '" + word + "' of " + what + " is not supported");
  }

  // In a binary file, the values start after the rest of the line that
  // announces them; the reader fails when that line ends the file.
  bool StartValues()
  {
    std::string rest;
    bool ended = false;
    return !this->Binary || (this->ReadLine(rest, &ended) && ended) ||
      this->Fail("the file ends before its values");
  }

  bool TooShort(const std::string& what) { return this->Fail("the file is too short for " + what); }

  // Passes over count values of the type.
  bool SkipValues(long long count, const DataType& type, const std::string& what)
  {
    if (!this->StartValues())
    {
      return false;
    }
    if (this->Binary)
    {
      const std::uint64_t bytes = type.Bytes == 0
        ? (static_cast<std::uint64_t>(count) + 7) / 8
        : static_cast<std::uint64_t>(count) * static_cast<std::uint64_t>(type.Bytes);
      if (bytes > this->Remaining())
      {
        return this->TooShort(what);
      }
      this->Position += bytes;
      return true;
    }
    std::string word;
    for (long long i = 0; i < count; ++i)
    {
      if (!this->ReadWord(word))
      {
        return this->TooShort(what);
      }
      if (!this->IsValue(word, type))
      {
        return this->Fail("'" + word + "' in " + what + " is not a " + type.Name + " value");
      }
    }
    return true;
  }

  // Whether the reader can read the word as a value of the type from a text
  // file: a whole number or a finite real one within the type's range.
  static bool IsValue(const std::string& word, const DataType& type)
  {
    if (type.Integer)
    {
      long long value;
      return IsWholeNumber(word) && InRange(word, type, value);
    }
    if (!IsRealNumber(word))
    {
      return false;
    }
    const double value = std::strtod(word.c_str(), nullptr);
    return std::isfinite(value) &&
      (type.Bytes != 4 || std::fabs(value) <= std::numeric_limits<float>::max());
  }

  // The whole number in the word, if it fits the type.
  static bool InRange(const std::string& word, const DataType& type, long long& value)
  {
    errno = 0;
    value = std::strtoll(word.c_str(), nullptr, 10);
    if (errno != 0)
    {
      // Only an unsigned 64-bit type holds more than a long long, and no
      // index or count needs it.
      return !type.Signed && type.Bytes == 8 && word[0] != '-' &&
        (errno = 0, std::strtoull(word.c_str(), nullptr, 10), errno == 0);
    }
    const int bits = type.Bytes == 0 ? 1 : 8 * type.Bytes;
    if (bits >= 64)
    {
      return type.Signed || value >= 0;
    }
    const long long high = type.Signed ? (1LL << (bits - 1)) - 1 : (1LL << bits) - 1;
    const long long low = type.Signed ? -(1LL << (bits - 1)) : 0;
    return value >= low && value <= high;
  }

  // count values that are tuples of components: the product fits an int, or
  // the reader could not count them.
  bool SkipTuples(
    long long tuples, long long components, const DataType& type, const std::string& what)
  {
    if (components > 0 && tuples > INT_MAX / components)
    {
      return this->TooShort(what);
    }
    this->LastComponents = components;
    return this->SkipValues(tuples * components, type, what);
  }

  // One integer value of the type, from a binary or a text file.
  bool ReadInteger(const DataType& type, long long& value, const std::string& what)
  {
    if (!this->Binary)
    {
      std::string word;
      if (!this->ReadWord(word))
      {
        return this->TooShort(what);
      }
      return (IsWholeNumber(word) && InRange(word, type, value)) ||
        this->Fail("'" + word + "' in " + what + " is not a whole number of its type");
    }
    if (static_cast<std::size_t>(type.Bytes) > this->Remaining())
    {
      return this->TooShort(what);
    }
    std::uint64_t bits = 0;
    for (int b = 0; b < type.Bytes; ++b)
    {
      bits = (bits << 8) | static_cast<unsigned char>(this->Bytes[this->Position++]);
    }
    if (type.Signed && type.Bytes < 8 && (bits >> (8 * type.Bytes - 1)) != 0)
    {
      bits |= ~std::uint64_t(0) << (8 * type.Bytes);
    }
    if (!type.Signed && bits > static_cast<std::uint64_t>(LLONG_MAX))
    {
      return this->Fail(what + " holds a number too large to be an index");
    }
    value = static_cast<long long>(bits);
    return true;
  }

  bool ReadHeader()
  {
    std::string line;
    static const char* const signature = "# vtk DataFile Version ";
    if (!this->ReadLine(line) || line.compare(0, std::strlen(signature), signature) != 0)
    {
      return this->Fail("it does not start with a VTK legacy file header");
    }
    // Exactly "major.minor": the reader decides the layout of the cells by
    // the major version it reads there.
    const std::string version = line.substr(std::strlen(signature));
    const std::size_t point = version.find('.');
    const std::size_t end = version.find_last_not_of(" \t") + 1;
    const bool wellFormed = point != std::string::npos && point < end &&
      IsDigits(version.substr(0, point)) && IsDigits(version.substr(point + 1, end - point - 1));
    this->MajorVersion = wellFormed ? std::atoi(version.c_str()) : 0;
    if (this->MajorVersion < 1 || this->MajorVersion > 5)
    {
      return this->Fail("its file version '" + version + "' is not one VTK 9.1 reads");
    }
    std::string title, format;
    if (!this->ReadLine(title) || !this->ReadLine(format))
    {
      return this->Fail("the file ends within its header");
    }
    const std::string lower = Lower(format);
    if (lower.compare(0, 5, "ascii") == 0)
    {
      this->Binary = false;
      if (std::memchr(this->Bytes + this->Position, '\0', this->Remaining()))
      {
        return this->Fail("it says it is text but holds a NUL byte");
      }
    }
    else if (lower.compare(0, 6, "binary") == 0)
    {
      this->Binary = true;
    }
    else
    {
      return this->Fail("its third line says neither ASCII nor BINARY");
    }
    std::string dataset, kind;
    if (!this->ExpectWord(dataset, "its dataset") || Lower(dataset) != "dataset" ||
      !this->ExpectWord(kind, "its dataset type"))
    {
      return this->Fail("it names no dataset after its header");
    }
    return Lower(kind) == "polydata" ||
      this->Fail("it holds a dataset of type " + kind + ", not polygonal data");
  }

  void ReadSections()
  {
    bool inAttributes = false;
    std::string word;
    while (this->Problem.empty() && this->ReadWord(word))
    {
      const std::string key = Lower(word);
      if (key == "field")
      {
        this->ReadFieldData();
      }
      else if (word == "METADATA")
      {
        this->SkipMetaData();
      }
      else if (!inAttributes && key == "points")
      {
        this->ReadPoints();
      }
      else if (!inAttributes &&
        (key == "vertices" || key == "lines" || key == "polygons" || key == "triangle_strips"))
      {
        this->ReadCells(word);
      }
      else if (key == "point_data" || key == "cell_data")
      {
        inAttributes = this->ReadCount(this->AttributeTuples, "the count of " + word);
      }
      else if (!inAttributes || !this->ReadAttribute(key, word))
      {
        this->Fail("it has a section '" + word + "' that is not supported here");
      }
    }
  }

  void ReadPoints()
  {
    long long points;
    const DataType* type;
    if (this->ReadCount(points, "the number of points") && this->ReadDataType(type, "POINTS"))
    {
      this->SkipTuples(points, 3, *type, "its " + std::to_string(points) + " points");
    }
  }

  void ReadCells(const std::string& section)
  {
    long long first, second;
    if (!this->ReadCount(first, "the first count of " + section) ||
      !this->ReadCount(second, "the second count of " + section))
    {
      return;
    }
    if (this->MajorVersion >= 5)
    {
      this->ReadOffsetsAndConnectivity(section, first, second);
    }
    else
    {
      this->ReadCellList(section, first, second);
    }
  }

  // Files of version 5 on: "OFFSETS type" with one offset more than there
  // are cells, rising from 0 to the number of connectivity entries, then
  // "CONNECTIVITY type" with those entries.
  void ReadOffsetsAndConnectivity(const std::string& section, long long offsets, long long ids)
  {
    std::string word;
    const DataType* type;
    const std::string what = "the offsets of " + section;
    if (!this->ExpectWord(word, what) || Lower(word) != "offsets")
    {
      this->Fail(section + " has no OFFSETS");
      return;
    }
    if (!this->ReadDataType(type, what))
    {
      return;
    }
    if (!type->Integer || type->Bytes == 0)
    {
      this->Fail(what + " are not whole numbers");
      return;
    }
    if (offsets < 1)
    {
      this->Fail(section + " has no offsets");
      return;
    }
    if (!this->StartValues())
    {
      return;
    }
    // Enough bytes for all of them before any is read.
    if (this->Binary && static_cast<std::uint64_t>(offsets) * type->Bytes > this->Remaining())
    {
      this->TooShort("the " + std::to_string(offsets) + " offsets of " + section);
      return;
    }
    long long previous = 0;
    for (long long i = 0; i < offsets; ++i)
    {
      long long offset = 0;
      if (!this->ReadInteger(*type, offset, what))
      {
        return;
      }
      if ((i == 0 && offset != 0) || offset < previous || offset > ids)
      {
        this->Fail("offset " + std::to_string(i) + " of " + section + " is " +
          std::to_string(offset) + ", outside the cells' connectivity");
        return;
      }
      previous = offset;
    }
    if (previous != ids)
    {
      this->Fail("the offsets of " + section + " end at " + std::to_string(previous) +
        ", not at its " + std::to_string(ids) + " connectivity entries");
      return;
    }
    if (!this->ExpectWord(word, "the connectivity of " + section) || Lower(word) != "connectivity")
    {
      this->Fail(section + " has no CONNECTIVITY after its offsets");
      return;
    }
    if (this->ReadDataType(type, "the connectivity of " + section))
    {
      if (!type->Integer || type->Bytes == 0)
      {
        this->Fail("the connectivity of " + section + " is not whole numbers");
        return;
      }
      this->SkipTuples(ids, 1, *type, "the connectivity of " + section);
    }
  }

  // Files before version 5: size whole numbers, each cell its number of
  // points followed by that many point ids.
  void ReadCellList(const std::string& section, long long cells, long long size)
  {
    static const DataType Int32 = { "int", 4, true, true };
    const std::string what = "the cells of " + section;
    if (cells > size)
    {
      this->Fail(section + " claims " + std::to_string(cells) + " cells in a list of " +
        std::to_string(size) + " numbers");
      return;
    }
    if (!this->StartValues())
    {
      return;
    }
    if (this->Binary && static_cast<std::uint64_t>(size) * 4 > this->Remaining())
    {
      this->TooShort(what);
      return;
    }
    long long left = size;
    while (left > 0)
    {
      long long points = 0;
      if (!this->ReadInteger(Int32, points, what))
      {
        return;
      }
      --left;
      if (points < 0 || points > left)
      {
        this->Fail("a cell of " + section + " claims " + std::to_string(points) +
          " points, more than are left of its list");
        return;
      }
      for (long long i = 0; i < points; ++i)
      {
        long long id = 0;
        if (!this->ReadInteger(Int32, id, what))
        {
          return;
        }
      }
      left -= points;
    }
    this->LastComponents = 1;
  }

  // An attribute of point or cell data; false for a word that is none.
  bool ReadAttribute(const std::string& key, const std::string& word)
  {
    const long long tuples = this->AttributeTuples;
    std::string name;
    const DataType* type;
    if (key == "scalars")
    {
      this->ReadScalars(tuples);
    }
    else if (key == "vectors" || key == "normals" || key == "tensors" || key == "tensors6" ||
      key == "global_ids" || key == "pedigree_ids")
    {
      const long long components = key == "tensors" ? 9
        : key == "tensors6"                         ? 6
        : (key == "vectors" || key == "normals")    ? 3
                                                    : 1;
      if (this->ExpectWord(name, "the name of " + word) && this->ReadDataType(type, word))
      {
        this->SkipTuples(tuples, components, *type, "its " + word);
      }
    }
    else if (key == "texture_coordinates")
    {
      long long dimension;
      if (this->ExpectWord(name, "the name of " + word) &&
        this->ReadCount(dimension, "the dimension of " + word) && this->ReadDataType(type, word))
      {
        if (dimension < 1 || dimension > 3)
        {
          this->Fail("its texture coordinates have " + std::to_string(dimension) + " dimensions");
        }
        else
        {
          this->SkipTuples(tuples, dimension, *type, "its " + word);
        }
      }
    }
    else if (key == "color_scalars")
    {
      long long components;
      if (this->ExpectWord(name, "the name of " + word) &&
        this->ReadCount(components, "the components of " + word))
      {
        this->SkipColours(tuples, components, "its " + word);
      }
    }
    else if (key == "lookup_table")
    {
      long long entries;
      if (this->ExpectWord(name, "the name of " + word) &&
        this->ReadCount(entries, "the size of " + word))
      {
        this->SkipColours(entries, 4, "its lookup table");
      }
    }
    else
    {
      return false;
    }
    return true;
  }

  // "SCALARS name type [components]", then "LOOKUP_TABLE name", then the
  // values.
  void ReadScalars(long long tuples)
  {
    std::string name, word, table;
    const DataType* type;
    if (!this->ExpectWord(name, "the name of SCALARS") || !this->ReadDataType(type, "SCALARS") ||
      !this->ExpectWord(word, "the lookup table of SCALARS"))
    {
      return;
    }
    long long components = 1;
    if (Lower(word) != "lookup_table")
    {
      if (!ToCount(word, components) || components < 1)
      {
        this->Fail("SCALARS has '" + word + "' where its number of components goes");
        return;
      }
      if (!this->ExpectWord(word, "the lookup table of SCALARS") || Lower(word) != "lookup_table")
      {
        this->Fail("SCALARS names no LOOKUP_TABLE");
        return;
      }
    }
    if (this->ExpectWord(table, "the name of the lookup table"))
    {
      this->SkipTuples(tuples, components, *type, "its scalars");
    }
  }

  // Colours: floats in a text file, bytes in a binary one.
  void SkipColours(long long tuples, long long components, const std::string& what)
  {
    static const DataType Byte = { "unsigned_char", 1, true, false };
    static const DataType Float = { "float", 4, false, true };
    this->SkipTuples(tuples, components, this->Binary ? Byte : Float, what);
  }

  // "FIELD name arrays", then per array "name components tuples type" and
  // its values; an array may also be written as NULL_ARRAY.
  void ReadFieldData()
  {
    std::string name;
    long long arrays;
    if (!this->ExpectWord(name, "the name of FIELD") ||
      !this->ReadCount(arrays, "the number of arrays of FIELD"))
    {
      return;
    }
    // Every array takes a line of its own: the reader sizes its list of
    // arrays by this count.
    if (static_cast<std::uint64_t>(arrays) > this->Remaining() / 2)
    {
      this->TooShort("the " + std::to_string(arrays) + " arrays of FIELD " + name);
      return;
    }
    for (long long i = 0; i < arrays && this->Problem.empty(); ++i)
    {
      std::string arrayName, word;
      long long components, tuples;
      const DataType* type;
      if (!this->ExpectWord(arrayName, "an array of FIELD " + name))
      {
        return;
      }
      if (arrayName == "NULL_ARRAY")
      {
        continue;
      }
      if (arrayName == "METADATA")
      {
        this->SkipMetaData();
        --i;
        continue;
      }
      const std::string what = "the array " + arrayName + " of FIELD " + name;
      if (this->ReadCount(components, "the components of " + what) &&
        this->ReadCount(tuples, "the tuples of " + what) && this->ReadDataType(type, what))
      {
        this->SkipTuples(tuples, components, *type, what);
      }
    }
  }

  // The metadata of the array before it, in the form VTK's writer gives it:
  // a line COMPONENT_NAMES followed by one name a line for each component of
  // the array, then a line INFORMATION n followed by n keys of two lines
  // each (NAME key LOCATION place, and DATA with a number or a count and
  // that many numbers), and a blank line. VTK's reader loops without end on
  // some other shapes and sizes a key's values by its count, so anything
  // else is refused.
  void SkipMetaData()
  {
    std::string line;
    if (!this->ReadLine(line) || !SplitWords(line).empty())
    {
      this->Fail("its METADATA line holds more than the keyword");
      return;
    }
    bool named = false, informed = false;
    long long keys = 0;
    while (this->Problem.empty())
    {
      if (!this->ReadLine(line))
      {
        this->Fail("its metadata runs to the end of the file");
        return;
      }
      const std::vector<std::string> words = SplitWords(line);
      if (words.empty())
      {
        return; // the blank line that ends it
      }
      const std::string key = Lower(words[0]);
      if (key == "component_names" && words.size() == 1 && !named && !informed)
      {
        named = true;
        this->SkipComponentNames();
      }
      else if (key == "information" && words.size() == 2 && !informed && ToCount(words[1], keys))
      {
        informed = true;
        this->SkipInformation(keys);
      }
      else
      {
        this->Fail("its metadata has a line that VTK's reader does not read: " + line);
      }
    }
  }

  void SkipComponentNames()
  {
    std::string name;
    for (long long c = 0; c < this->LastComponents && this->Problem.empty(); ++c)
    {
      if (!this->ReadLine(name))
      {
        this->Fail("its metadata runs to the end of the file");
        return;
      }
      // Names are written with %xx for awkward characters.
      for (std::size_t i = name.find('%'); i != std::string::npos; i = name.find('%', i + 1))
      {
        if (i + 2 >= name.size() || !std::isxdigit(static_cast<unsigned char>(name[i + 1])) ||
          !std::isxdigit(static_cast<unsigned char>(name[i + 2])))
        {
          this->Fail("a component name in its metadata has a broken %-escape");
          return;
        }
      }
    }
  }

  void SkipInformation(long long keys)
  {
    if (static_cast<std::uint64_t>(keys) > this->Remaining() / 16)
    {
      this->Fail("its metadata announces more information than the file holds");
      return;
    }
    std::string line;
    for (long long k = 0; k < keys && this->Problem.empty(); ++k)
    {
      if (!this->ReadLine(line))
      {
        this->Fail("its metadata runs to the end of the file");
        return;
      }
      const std::vector<std::string> name = SplitWords(line);
      if (name.size() != 4 || name[0] != "NAME" || name[2] != "LOCATION")
      {
        this->Fail("its metadata has a key without NAME and LOCATION: " + line);
        return;
      }
      if (!this->ReadLine(line))
      {
        this->Fail("its metadata runs to the end of the file");
        return;
      }
      const std::vector<std::string> data = SplitWords(line);
      if (!IsNumericData(data))
      {
        this->Fail("its metadata has a key whose DATA is not a number, nor a count and that many "
                   "numbers: " +
          line);
        return;
      }
    }
  }

  // "DATA value", or "DATA count" followed by that many values.
  static bool IsNumericData(const std::vector<std::string>& words)
  {
    if (words.size() < 2 || words[0] != "DATA")
    {
      return false;
    }
    for (std::size_t i = 1; i < words.size(); ++i)
    {
      if (!IsRealNumber(words[i]))
      {
        return false;
      }
    }
    long long count = 0;
    return words.size() == 2 ||
      (ToCount(words[1], count) && static_cast<std::size_t>(count) == words.size() - 2);
  }

  static std::vector<std::string> SplitWords(const std::string& line)
  {
    std::vector<std::string> words;
    std::istringstream stream(line);
    std::string word;
    while (stream >> word)
    {
      words.push_back(word);
    }
    return words;
  }

  const char* Bytes;
  std::size_t Size;
  std::size_t Position = 0;
  bool Binary = false;
  int MajorVersion = 0;
  long long AttributeTuples = 0;
  long long LastComponents = 1;
  std::string Problem;
};

// What is wrong with one of the mesh's cell arrays: offsets that do not
// hold together, a cell with too few points for its kind (VTK's filters
// take a polygon of two points for no cell at all, and crash on it), or a
// point id out of range.
std::string CheckCells(
  vtkCellArray* cells, const char* kind, vtkIdType fewestPoints, vtkIdType points)
{
  vtkDataArray* offsets = cells->GetOffsetsArray();
  vtkDataArray* connectivity = cells->GetConnectivityArray();
  const vtkIdType entries = connectivity->GetNumberOfValues();
  vtkIdType previous = 0;
  for (vtkIdType i = 0; i < offsets->GetNumberOfValues(); ++i)
  {
    const auto offset = static_cast<vtkIdType>(offsets->GetComponent(i, 0));
    if ((i == 0 && offset != 0) || offset < previous || offset > entries)
    {
      return std::string("the ") + kind + " have offsets outside their connectivity";
    }
    if (i > 0 && offset - previous < fewestPoints)
    {
      return std::string("one of its ") + kind + " has only " + std::to_string(offset - previous) +
        " of the " + std::to_string(fewestPoints) + " points it needs at least";
    }
    previous = offset;
  }
  if (previous != entries)
  {
    return std::string("the ") + kind + " have connectivity that their offsets do not cover";
  }
  for (vtkIdType i = 0; i < entries; ++i)
  {
    const double id = connectivity->GetComponent(i, 0);
    if (!(id >= 0 && id < points))
    {
      return std::string("one of its ") + kind + " refers to point " +
        std::to_string(static_cast<long long>(id)) + ", past the last of its " +
        std::to_string(static_cast<long long>(points)) + " points";
    }
  }
  return std::string();
}

// The text of a VTK error report: what follows the object's address.
std::string ErrorText(const char* report)
{
  std::string text = report ? report : "";
  const std::size_t start = text.find("): ");
  if (start != std::string::npos)
  {
    text = text.substr(start + 3);
  }
  const std::size_t end = text.find('\n');
  return text.substr(0, end);
}

void KeepFirstError(vtkObject*, unsigned long, void* clientData, void* callData)
{
  auto* first = static_cast<std::string*>(clientData);
  if (first->empty())
  {
    *first = ErrorText(static_cast<const char*>(callData));
    if (first->empty())
    {
      *first = "an unnamed error";
    }
  }
}
} // namespace

//------------------------------------------------------------------------------
std::string CheckLegacyPolyDataLayout(const char* bytes, std::size_t size)
{
  return LayoutWalker(bytes, size).Walk();
}

//------------------------------------------------------------------------------
std::string CheckFishMesh(vtkPolyData* mesh)
{
  vtkPoints* points = mesh->GetPoints();
  const vtkIdType numberOfPoints = points ? points->GetNumberOfPoints() : 0;
  for (vtkIdType i = 0; i < numberOfPoints; ++i)
  {
    double p[3];
    points->GetPoint(i, p);
    if (!std::isfinite(p[0]) || !std::isfinite(p[1]) || !std::isfinite(p[2]))
    {
      return "point " + std::to_string(i) + " is not a finite position";
    }
  }
  const struct
  {
    vtkCellArray* Cells;
    const char* Kind;
    vtkIdType FewestPoints;
  } kinds[] = { { mesh->GetVerts(), "vertices", 1 }, { mesh->GetLines(), "lines", 2 },
    { mesh->GetPolys(), "polygons", 3 }, { mesh->GetStrips(), "triangle strips", 3 } };
  vtkIdType cells = 0;
  for (const auto& kind : kinds)
  {
    if (kind.Cells)
    {
      const std::string problem =
        CheckCells(kind.Cells, kind.Kind, kind.FewestPoints, numberOfPoints);
      if (!problem.empty())
      {
        return problem;
      }
      cells += kind.Cells->GetNumberOfCells();
    }
  }
  if (cells == 0)
  {
    return "it has no cells";
  }
  vtkDataArray* scalars = mesh->GetCellData()->GetScalars();
  if (!scalars)
  {
    return "it carries no cell scalars, which tell the fish's body from its fins and eyes";
  }
  if (scalars->GetNumberOfTuples() != cells)
  {
    return "it carries " + std::to_string(static_cast<long long>(scalars->GetNumberOfTuples())) +
      " cell scalars for its " + std::to_string(static_cast<long long>(cells)) + " cells";
  }
  for (vtkIdType i = 0; i < scalars->GetNumberOfTuples(); ++i)
  {
    for (int c = 0; c < scalars->GetNumberOfComponents(); ++c)
    {
      if (!std::isfinite(scalars->GetComponent(i, c)))
      {
        return "the scalar of cell " + std::to_string(static_cast<long long>(i)) +
          " is not a finite number";
      }
    }
  }
  return std::string();
}

//------------------------------------------------------------------------------
std::string ReadCheckedFishMesh(vtkPolyDataReader* reader, const std::string& bytes)
{
  if (bytes.size() > static_cast<std::size_t>(INT_MAX))
  {
    return "it is larger than 2 GB";
  }
  const std::string layout = CheckLegacyPolyDataLayout(bytes.data(), bytes.size());
  if (!layout.empty())
  {
    return layout;
  }
  std::string firstError;
  vtkNew<vtkCallbackCommand> onError;
  onError->SetCallback(KeepFirstError);
  onError->SetClientData(&firstError);
  const unsigned long observer = reader->AddObserver(vtkCommand::ErrorEvent, onError);
  reader->ReadFromInputStringOn();
  reader->SetInputString(bytes.data(), static_cast<int>(bytes.size()));
  reader->Update();
  reader->RemoveObserver(observer);
  if (!firstError.empty())
  {
    return "VTK's reader could not read it: " + firstError;
  }
  return CheckFishMesh(reader->GetOutput());
}

//------------------------------------------------------------------------------
std::string ReadCheckedFishMeshFile(vtkPolyDataReader* reader, const char* fileName)
{
  std::ifstream file(fileName, std::ios::binary);
  if (!file)
  {
    return std::string("it cannot be opened: ") + std::strerror(errno);
  }
  std::ostringstream contents;
  contents << file.rdbuf();
  if (file.bad())
  {
    return "it cannot be read";
  }
  return ReadCheckedFishMesh(reader, contents.str());
}
