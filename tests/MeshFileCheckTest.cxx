// The fish mesh file checked around VTK's legacy reader: a table of small
// files, text and binary, that are read as meshes or refused with a reason.

#include "MeshFileCheck.h"

#include "vtkCellArray.h"
#include "vtkCellData.h"
#include "vtkDataArray.h"
#include "vtkNew.h"
#include "vtkPolyData.h"
#include "vtkPolyDataReader.h"

#include "CaseNames.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace
{
const std::string Header51 = "# vtk DataFile Version 5.1\nfish\nASCII\nDATASET POLYDATA\n";
const std::string Header42 = "# vtk DataFile Version 4.2\nfish\nASCII\nDATASET POLYDATA\n";
const std::string Triangle = "POINTS 3 float\n0 0 0 1 0 0 0 1 0\n";
const std::string Polygon51 =
  "POLYGONS 2 3\nOFFSETS vtktypeint64\n0 3\nCONNECTIVITY vtktypeint64\n0 1 2\n";
const std::string CellScalar = "CELL_DATA 1\nSCALARS parts float\nLOOKUP_TABLE default\n2.5\n";

// The bytes of a binary legacy file: text lines and big-endian values.
class BinaryFile
{
public:
  explicit BinaryFile(const char* version = "5.1")
  {
    this->Text(
      std::string("# vtk DataFile Version ") + version + "\nfish\nBINARY\n" + "DATASET POLYDATA\n");
  }
  BinaryFile& Text(const std::string& text)
  {
    this->Bytes += text;
    return *this;
  }
  template <typename T>
  BinaryFile& Values(std::initializer_list<T> values)
  {
    for (T value : values)
    {
      unsigned char raw[sizeof(T)];
      std::memcpy(raw, &value, sizeof(T));
      for (int i = static_cast<int>(sizeof(T)) - 1; i >= 0; --i)
      {
        this->Bytes += static_cast<char>(raw[i]);
      }
    }
    this->Bytes += '\n';
    return *this;
  }
  std::string Bytes;
};

std::string BinaryTriangle(float x1 = 1, float scalar = 2.5f)
{
  return BinaryFile()
    .Text("POINTS 3 float\n")
    .Values<float>({ 0, 0, 0, x1, 0, 0, 0, 1, 0 })
    .Text("POLYGONS 2 3\nOFFSETS vtktypeint64\n")
    .Values<std::int64_t>({ 0, 3 })
    .Text("CONNECTIVITY vtktypeint64\n")
    .Values<std::int64_t>({ 0, 1, 2 })
    .Text("CELL_DATA 1\nSCALARS parts float\nLOOKUP_TABLE default\n")
    .Values<float>({ scalar })
    .Bytes;
}

struct MeshCase
{
  const char* Name;
  std::string Bytes;
  // Empty: the file is a mesh. Otherwise part of the reason it is refused.
  const char* Problem;
};

std::vector<MeshCase> Cases()
{
  const float nan = std::numeric_limits<float>::quiet_NaN();
  return {
    // Meshes.
    { "text, version 5", Header51 + Triangle + Polygon51 + CellScalar, "" },
    { "text, version 4 cell list", Header42 + Triangle + "POLYGONS 1 4\n3 0 1 2\n" + CellScalar,
      "" },
    { "binary, version 5", BinaryTriangle(), "" },
    { "binary, version 4 cell list",
      BinaryFile("4.2")
        .Text("POINTS 3 float\n")
        .Values<float>({ 0, 0, 0, 1, 0, 0, 0, 1, 0 })
        .Text("POLYGONS 1 4\n")
        .Values<std::int32_t>({ 3, 0, 1, 2 })
        .Text("CELL_DATA 1\nSCALARS parts double 1\nLOOKUP_TABLE default\n")
        .Values<double>({ 0 })
        .Bytes,
      "" },
    { "metadata after the points",
      Header51 + Triangle +
        "METADATA\nCOMPONENT_NAMES\nx\n\n\nINFORMATION 1\nNAME L2_NORM_RANGE LOCATION "
        "vtkDataArray\nDATA 2 0 1\n\n" +
        Polygon51 + CellScalar,
      "" },
    { "field data with a null array",
      Header51 + "FIELD FieldData 2\nNULL_ARRAY\nextra 1 2 int\n7 8\n" + Triangle + Polygon51 +
        CellScalar,
      "" },
    { "Windows line ends",
      "# vtk DataFile Version 5.1\r\nfish\r\nASCII\r\nDATASET POLYDATA\r\nPOINTS 3 float\r\n0 0 0 "
      "1 0 0 0 1 0\r\nPOLYGONS 2 3\r\nOFFSETS vtktypeint64\r\n0 3\r\nCONNECTIVITY "
      "vtktypeint64\r\n0 1 2\r\nCELL_DATA 1\r\nSCALARS parts float\r\nLOOKUP_TABLE "
      "default\r\n2.5\r\n",
      "" },
    { "point data and cell data",
      Header51 + Triangle + Polygon51 + "POINT_DATA 3\nNORMALS n float\n0 0 1 0 0 1 0 0 1\n" +
        "TEXTURE_COORDINATES t 2 float\n0 0 1 0 0 1\n" + CellScalar,
      "" },

    // Not a mesh file of this kind.
    { "empty", "", "VTK legacy file header" },
    { "another header", "# not a vtk file\n", "VTK legacy file header" },
    { "newer version", "# vtk DataFile Version 6.0\nfish\nASCII\nDATASET POLYDATA\n",
      "file version" },
    { "neither text nor binary", "# vtk DataFile Version 5.1\nfish\nXML\nDATASET POLYDATA\n",
      "neither ASCII nor BINARY" },
    { "an image", "# vtk DataFile Version 5.1\nfish\nASCII\nDATASET STRUCTURED_POINTS\n",
      "not polygonal data" },
    { "unknown section", Header51 + Triangle + "SURFACES 1 2\n",
      "'SURFACES' that is not supported" },
    { "points after the cell data", Header51 + Triangle + Polygon51 + CellScalar + Triangle,
      "'POINTS' that is not supported" },
    { "a null array in lower case, which the reader takes for a name",
      Header51 + "FIELD f 1\nnull_array\n" + Triangle, "is 'POINTS', not a count" },
    { "a string array", Header51 + "FIELD f 1\nnames 1 1 string\nfin\n", "'string'" },
    { "a word too long", Header51 + "POINTS 3 " + std::string(300, 'f') + "\n", "longer than 255" },

    // Counts the file cannot hold.
    { "a billion points in a line", Header51 + "POINTS 1000000000 float\n0 0 0\n",
      "too short for its 1000000000 points" },
    { "a billion binary points",
      BinaryFile().Text("POINTS 1000000000 float\n").Values<float>({ 0, 0, 0 }).Bytes,
      "too short for its 1000000000 points" },
    { "a count that is no int", Header51 + "POINTS 99999999999 float\n", "not a count" },
    { "a negative count", Header51 + "POINTS -3 float\n", "not a count" },
    { "a billion offsets",
      BinaryFile()
        .Text("POINTS 3 float\n")
        .Values<float>({ 0, 0, 0, 1, 0, 0, 0, 1, 0 })
        .Text("POLYGONS 1000000000 3\nOFFSETS vtktypeint64\n")
        .Values<std::int64_t>({ 0, 3 })
        .Bytes,
      "too short for the 1000000000 offsets" },
    { "a billion connectivity entries",
      Header51 + Triangle +
        "POLYGONS 2 1000000000\nOFFSETS vtktypeint64\n0 1000000000\nCONNECTIVITY "
        "vtktypeint64\n0 1 2\n",
      "too short for the connectivity" },
    { "a billion scalars",
      Header51 + Triangle + Polygon51 + "CELL_DATA 1000000000\n" +
        "SCALARS parts float\nLOOKUP_TABLE default\n0\n",
      "too short for its scalars" },
    { "scalars of a billion components",
      Header51 + Triangle + Polygon51 + "CELL_DATA 1\nSCALARS parts float 1000000000\n" +
        "LOOKUP_TABLE default\n0\n",
      "too short for its scalars" },
    { "a billion field arrays", Header51 + "FIELD f 1000000000\na 1 1 int\n1\n",
      "too short for the 1000000000 arrays" },
    { "metadata of a billion values",
      Header51 + Triangle +
        "METADATA\nINFORMATION 1\nNAME L2_NORM_RANGE LOCATION vtkDataArray\nDATA "
        "1000000000 0 1\n\n",
      "nor a count and that many numbers" },
    { "metadata to the end of the file",
      Header51 + Triangle + "METADATA\nINFORMATION 1\nNAME L2_NORM_RANGE LOCATION vtkDataArray\n",
      "runs to the end of the file" },
    { "metadata of another shape", Header51 + Triangle + "METADATA\nSOMETHING ELSE\n\n",
      "does not read: SOMETHING ELSE" },
    { "metadata hiding a section",
      Header51 + Triangle + "METADATA\nINFORMATION 2\nNAME A LOCATION vtkDataArray\nDATA 1\n" +
        "POINTS 1000000000 float\n",
      "a key without NAME and LOCATION: POINTS 1000000000 float" },
    { "binary values announced on the last line", BinaryFile().Text("POINTS 0 float").Bytes,
      "the file ends before its values" },
    { "binary values cut short",
      BinaryFile().Text("POINTS 3 float\n").Values<float>({ 0, 0, 0, 1 }).Bytes,
      "too short for its 3 points" },

    // Cells that do not hold together.
    { "a cell larger than its list", Header42 + Triangle + "POLYGONS 1 4\n9 0 1 2\n",
      "claims 9 points" },
    { "more cells than numbers", Header42 + Triangle + "POLYGONS 5 4\n3 0 1 2\n",
      "claims 5 cells" },
    { "cell list that is not numbers", Header42 + Triangle + "POLYGONS 1 4\nOFFSETS 0 1 2\n",
      "not a whole number of its type" },
    { "offsets not from 0",
      Header51 + Triangle +
        "POLYGONS 2 3\nOFFSETS vtktypeint64\n1 3\nCONNECTIVITY vtktypeint64\n0 1 2\n",
      "offset 0 of POLYGONS is 1" },
    { "offsets going back",
      Header51 + Triangle +
        "POLYGONS 3 3\nOFFSETS vtktypeint64\n0 3 2\nCONNECTIVITY vtktypeint64\n0 1 2\n",
      "offset 2 of POLYGONS is 2" },
    { "offsets past the connectivity",
      Header51 + Triangle +
        "POLYGONS 2 3\nOFFSETS vtktypeint64\n0 7\nCONNECTIVITY vtktypeint64\n0 1 2\n",
      "offset 1 of POLYGONS is 7" },
    { "offsets short of the connectivity",
      Header51 + Triangle +
        "POLYGONS 2 3\nOFFSETS vtktypeint64\n0 2\nCONNECTIVITY vtktypeint64\n0 1 2\n",
      "end at 2" },
    { "no offsets", Header51 + Triangle + "POLYGONS 0 0\nOFFSETS vtktypeint64\n",
      "has no offsets" },
    { "offsets that are not whole numbers",
      Header51 + Triangle + "POLYGONS 2 3\nOFFSETS float\n0 3\n", "not whole numbers" },
    { "a point id past the last point",
      Header51 + Triangle +
        "POLYGONS 2 3\nOFFSETS vtktypeint64\n0 3\nCONNECTIVITY vtktypeint64\n0 1 9\n" + CellScalar,
      "refers to point 9, past the last of its 3 points" },
    { "a polygon of two points",
      Header51 + Triangle +
        "POLYGONS 3 5\nOFFSETS vtktypeint64\n0 2 5\nCONNECTIVITY vtktypeint64\n0 1 0 1 2\n" +
        "CELL_DATA 2\nSCALARS parts float\nLOOKUP_TABLE default\n0 1\n",
      "one of its polygons has only 2 of the 3 points" },
    { "a line of one point", Header42 + Triangle + "LINES 1 2\n1 0\n" + CellScalar,
      "one of its lines has only 1 of the 2 points" },
    { "a negative point id", Header42 + Triangle + "POLYGONS 1 4\n3 0 -1 2\n" + CellScalar,
      "refers to point -1" },

    // What VTK's reader reads, but that is no fish.
    { "not a number in a text file", Header51 + "POINTS 3 float\n0 0 0 nan 0 0 0 1 0\n",
      "'nan' in its 3 points is not a float value" },
    { "a float beyond the float range", Header51 + "POINTS 3 float\n0 0 0 1e39 0 0 0 1 0\n",
      "'1e39' in its 3 points is not a float value" },
    { "a NUL byte in a text file",
      Header42 + Triangle + "POLYGONS 1 4\n" + std::string(1, '\0') + "3 0 1 2\n",
      "holds a NUL byte" },
    { "a cell list entry beyond int", Header42 + Triangle + "POLYGONS 1 4\n3 0 1 9999999999\n",
      "not a whole number of its type" },
    { "a fraction in a cell list", Header42 + Triangle + "POLYGONS 1 4\n3 0 1.5 2\n",
      "not a whole number of its type" },
    { "a point at no finite place", BinaryTriangle(nan), "point 1 is not a finite position" },
    { "no cells", Header51 + Triangle, "no cells" },
    { "no cell scalars", Header51 + Triangle + Polygon51, "no cell scalars" },
    { "scalars of points only",
      Header51 + Triangle + Polygon51 +
        "POINT_DATA 3\nSCALARS s float\nLOOKUP_TABLE default\n0 0 "
        "0\n",
      "no cell scalars" },
    { "more scalars than cells",
      Header51 + Triangle + Polygon51 +
        "CELL_DATA 2\nSCALARS parts float\nLOOKUP_TABLE default\n1 2\n",
      "Number of cells don't match" },
    { "a scalar that is no finite number", BinaryTriangle(1, nan),
      "scalar of cell 0 is not a finite number" },
  };
}

class MeshFileCase : public ::testing::TestWithParam<MeshCase>
{
};

TEST_P(MeshFileCase, IsReadOrRefusedWithItsReason)
{
  const MeshCase& c = GetParam();
  vtkNew<vtkPolyDataReader> reader;
  const std::string problem = ReadCheckedFishMesh(reader, c.Bytes);
  if (*c.Problem == '\0')
  {
    ASSERT_EQ(problem, "");
    vtkPolyData* mesh = reader->GetOutput();
    EXPECT_EQ(mesh->GetNumberOfPoints(), 3);
    EXPECT_EQ(mesh->GetNumberOfCells(), 1);
    ASSERT_NE(mesh->GetCellData()->GetScalars(), nullptr);
  }
  else
  {
    EXPECT_NE(problem.find(c.Problem), std::string::npos)
      << "the reason given is '" << problem << "'";
  }
}

INSTANTIATE_TEST_SUITE_P(Files, MeshFileCase, ::testing::ValuesIn(Cases()), CaseName<MeshCase>);

// Every prefix of a good binary file is refused: a file cut anywhere never
// reaches the reader with counts it cannot hold. (Only the last newline can
// go.)
TEST(MeshFileCheck, EveryTruncationOfABinaryMeshIsRefused)
{
  const std::string whole = BinaryTriangle();
  for (std::size_t length = 0; length + 1 < whole.size(); ++length)
  {
    vtkNew<vtkPolyDataReader> reader;
    const std::string problem = ReadCheckedFishMesh(reader, whole.substr(0, length));
    EXPECT_FALSE(problem.empty()) << "cut at " << length << " bytes";
  }
}

TEST(MeshFileCheck, MissingFileGivesTheReason)
{
  vtkNew<vtkPolyDataReader> reader;
  const std::string problem = ReadCheckedFishMeshFile(reader, "no-such-directory/fish.vtk");
  EXPECT_NE(problem.find("cannot be opened"), std::string::npos) << problem;
}
} // namespace
