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
#include <sstream>

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

// The sections of the dataset itself, and those of point and cell data.
bool IsSectionKeyword(const std::string& lower)
{
  static const char* const keywords[] = { "dataset", "field", "points", "vertices", "lines",
    "polygons", "triangle_strips", "point_data", "cell_data", "scalars", "color_scalars",
    "lookup_table", "vectors", "normals", "texture_coordinates", "tensors", "tensors6",
    "global_ids", "pedigree_ids", "metadata" };
  return std::find_if(std::begin(keywords), std::end(keywords),
           [&](const char* k) { return lower == k; }) != std::end(keywords);
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
  bool Fail(const std::string& problem)
  {
    if (this->Problem.empty())
    {
      this->Problem = problem;
    }
    return false;
  }

  std::size_t Remaining() const { return this->Size - this->Position; }

  // A line of text up to its newline, which is passed over.
  bool ReadLine(std::string& line)
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
    char* end = nullptr;
    errno = 0;
    count = std::strtoll(word.c_str(), &end, 10);
    if (*end != '\0' || errno != 0 || count < 0 || count > INT_MAX)
    {
      return this->Fail(what + " is '" + word + "', not a count");
    }
    return true;
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
  // announces them.
  bool StartValues()
  {
    std::string rest;
    return !this->Binary || this->ReadLine(rest) || this->Fail("the file ends before its values");
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
    }
    return true;
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
      char* end = nullptr;
      errno = 0;
      value = std::strtoll(word.c_str(), &end, 10);
      return (*end == '\0' && errno == 0) ||
        this->Fail("'" + word + "' in " + what + " is not a whole number");
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
    const std::string version = line.substr(std::strlen(signature));
    if (!std::isdigit(static_cast<unsigned char>(version[0])) ||
      std::sscanf(version.c_str(), "%d", &this->MajorVersion) != 1 || this->MajorVersion < 1 ||
      this->MajorVersion > 5)
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
      else if (key == "metadata")
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
      long long offset;
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
      long long points;
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
        long long id;
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
      char* end = nullptr;
      components = std::strtoll(word.c_str(), &end, 10);
      if (*end != '\0' || components < 1 || components > INT_MAX)
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
      if (Lower(arrayName) == "null_array")
      {
        continue;
      }
      if (Lower(arrayName) == "metadata")
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

  // The metadata of the array before it: its component names, one line per
  // component, and information keys, two lines each; a blank line ends it.
  // The reader sizes a key's values by the count in its DATA line, so that
  // count may not ask for more than the file holds, and no line in the
  // metadata may look like a section that the reader would read instead.
  void SkipMetaData()
  {
    std::string line;
    this->ReadLine(line); // the rest of the METADATA line
    while (this->Problem.empty() && this->ReadLine(line))
    {
      std::istringstream words(line);
      std::string first;
      if (!(words >> first))
      {
        return; // the blank line that ends it
      }
      const std::string key = Lower(first);
      if (key == "component_names")
      {
        for (long long c = 0; c < this->LastComponents && this->ReadLine(line); ++c)
        {
        }
      }
      else if (key == "information")
      {
        long long keys = -1;
        words >> keys;
        if (keys < 0 || static_cast<std::uint64_t>(keys) > this->Remaining())
        {
          this->Fail("its metadata announces more information than the file holds");
          return;
        }
        for (long long k = 0; k < 2 * keys && this->Problem.empty() && this->ReadLine(line); ++k)
        {
          this->CheckMetaDataLine(line);
        }
      }
      else if (IsSectionKeyword(key))
      {
        this->Fail("its metadata runs into the section " + first);
        return;
      }
    }
  }

  void CheckMetaDataLine(const std::string& line)
  {
    std::istringstream words(line);
    std::string first, count;
    words >> first >> count;
    if (IsSectionKeyword(Lower(first)))
    {
      this->Fail("its metadata runs into the section " + first);
      return;
    }
    char* end = nullptr;
    const long long values = std::strtoll(count.c_str(), &end, 10);
    if (Lower(first) == "data" && !count.empty() && *end == '\0' &&
      (values < 0 || static_cast<std::uint64_t>(values) > this->Size))
    {
      this->Fail("its metadata asks for " + count + " values, more than the file holds");
    }
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

// Where the first point id out of range stands in a cell array, if any.
std::string CheckCells(vtkCellArray* cells, const char* kind, vtkIdType points)
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
  } kinds[] = { { mesh->GetVerts(), "vertices" }, { mesh->GetLines(), "lines" },
    { mesh->GetPolys(), "polygons" }, { mesh->GetStrips(), "triangle strips" } };
  vtkIdType cells = 0;
  for (const auto& kind : kinds)
  {
    if (kind.Cells)
    {
      const std::string problem = CheckCells(kind.Cells, kind.Kind, numberOfPoints);
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
