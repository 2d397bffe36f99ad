#include <gtest/gtest.h>
#include <minizip/unzip.h>
#include <minizip/zip.h>
#include <pugixml.hpp>

#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

#include "results/workbook_files.h"
#include "support/temp_dir.h"

namespace vx {
namespace {

using testing::ReadFileBytes;
using testing::TempDir;
using testing::WriteFileBytes;

// One part of a zip file, read with minizip directly (not through the workbook reader).
std::string ZipPart(const std::string& path, const std::string& name) {
  unzFile zip = unzOpen64(path.c_str());
  std::string bytes;
  if (zip && unzLocateFile(zip, name.c_str(), 0) == UNZ_OK && unzOpenCurrentFile(zip) == UNZ_OK) {
    char buffer[4096];
    int got;
    while ((got = unzReadCurrentFile(zip, buffer, sizeof buffer)) > 0) bytes.append(buffer, got);
    unzCloseCurrentFile(zip);
  }
  if (zip) unzClose(zip);
  return bytes;
}

void WriteZip(const std::string& path, const std::map<std::string, std::string>& parts) {
  zipFile zip = zipOpen64(path.c_str(), APPEND_STATUS_CREATE);
  for (const auto& [name, bytes] : parts) {
    zipOpenNewFileInZip(zip, name.c_str(), nullptr, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED,
                        Z_DEFAULT_COMPRESSION);
    zipWriteInFileInZip(zip, bytes.data(), static_cast<unsigned>(bytes.size()));
    zipCloseFileInZip(zip);
  }
  zipClose(zip, nullptr);
}

Workbook SampleBook() {
  Workbook book;
  Sheet& first = book.AddSheet("Résultats");
  first.WriteText(0, 0, "Velantrix <&> \"zone\" é");
  first.WriteNumber(1, 0, -12.375);
  first.WriteNumber(1, 2, 1e-7);  // column 1 left empty
  first.WriteDuration(2, 0, 3725.0, DurationFormat::WholeSeconds);
  first.WriteDuration(2, 1, 0.125, DurationFormat::Milliseconds);
  Sheet& second = book.AddSheet("Second");
  second.WriteNumber(3, 1, 4242);
  return book;
}

TEST(XmlWorkbook, WhatIsWrittenReadsBackCellForCell) {
  TempDir dir;
  const std::string path = dir.File("book.xlsx");
  std::string error;
  ASSERT_TRUE(WriteXmlWorkbook(path, SampleBook(), &error)) << error;
  Workbook read;
  ASSERT_TRUE(ReadXmlWorkbook(path, &read, &error)) << error;
  ASSERT_EQ(read.sheets.size(), 2u);
  const Sheet& first = read.sheets[0];
  EXPECT_EQ(first.Name(), "Résultats");
  EXPECT_EQ(first.ReadText(0, 0), "Velantrix <&> \"zone\" é");
  EXPECT_EQ(first.CellAt(1, 0).number, -12.375);
  EXPECT_EQ(first.CellAt(1, 1).kind, CellKind::Empty);
  EXPECT_DOUBLE_EQ(first.CellAt(1, 2).number, 1e-7);
  EXPECT_EQ(first.CellAt(2, 0).kind, CellKind::Duration);
  EXPECT_NEAR(first.CellAt(2, 0).number, 3725.0, 1e-9);
  EXPECT_EQ(first.CellAt(2, 1).durationFormat, DurationFormat::Milliseconds);
  EXPECT_NEAR(first.CellAt(2, 1).number, 0.125, 1e-9);
  EXPECT_EQ(read.sheets[1].CellAt(3, 1).kind, CellKind::Number);
  EXPECT_EQ(read.sheets[1].CellAt(3, 1).number, 4242);
}

// Looked at in the file itself: a number stored as text, or a duration without its format,
// would read back "right" through a lenient reader and still be wrong in every office suite.
TEST(XmlWorkbook, NumbersAreNumbersAndDurationsCarryTheirFormatInTheFile) {
  TempDir dir;
  const std::string path = dir.File("book.xlsx");
  ASSERT_TRUE(WriteXmlWorkbook(path, SampleBook(), nullptr));
  pugi::xml_document sheet, styles;
  ASSERT_TRUE(sheet.load_string(ZipPart(path, "xl/worksheets/sheet1.xml").c_str()));
  ASSERT_TRUE(styles.load_string(ZipPart(path, "xl/styles.xml").c_str()));
  const pugi::xml_node number = sheet.select_node("//*[local-name()='c'][@r='A2']").node();
  EXPECT_STREQ(number.attribute("t").value(), "");
  EXPECT_DOUBLE_EQ(number.child("v").text().as_double(), -12.375);
  const pugi::xml_node duration = sheet.select_node("//*[local-name()='c'][@r='B3']").node();
  EXPECT_NEAR(duration.child("v").text().as_double() * 86400, 0.125, 1e-9);
  const int style = duration.attribute("s").as_int();
  const pugi::xml_node xf = styles.select_nodes("//*[local-name()='cellXfs']/*")[style].node();
  const std::string query = "//*[local-name()='numFmt'][@numFmtId='" +
                            std::string(xf.attribute("numFmtId").value()) + "']";
  EXPECT_STREQ(styles.select_node(query.c_str()).node().attribute("formatCode").value(),
               "[h]:mm:ss.000");
}

// Shared strings are what other programs write; a formula's cached text reads as text.
TEST(XmlWorkbook, ReadsSharedStringsAndKeepsTheBookUntouchedOnBadInput) {
  TempDir dir;
  const std::string rels =
      "<Relationships><Relationship Id=\"rId1\" Target=\"worksheets/sheet1.xml\"/></Relationships>";
  const std::string book =
      "<workbook xmlns:r=\"r\"><sheets><sheet name=\"S\" r:id=\"rId1\"/></sheets></workbook>";
  const std::string strings = "<sst><si><t>one</t></si><si><r><t>t</t></r><r><t>wo</t></r></si></sst>";
  const auto sheetWith = [](const std::string& cells) {
    return "<worksheet><sheetData><row r=\"2\">" + cells + "</row></sheetData></worksheet>";
  };
  struct Case {
    const char* name;
    std::string cells;
    bool readable;
  };
  const Case cases[] = {
      {"shared", "<c r=\"B2\" t=\"s\"><v>1</v></c><c r=\"C2\" t=\"str\"><v>f</v></c>", true},
      {"string index past the table", "<c r=\"A2\" t=\"s\"><v>7</v></c>", false},
      {"column past a sheet", "<c r=\"XFE2\"><v>1</v></c>", false},
      {"cell of another row", "<c r=\"A9\"><v>1</v></c>", false},
  };
  for (const Case& c : cases) {
    const std::string path = dir.File("crafted.xlsx");
    WriteZip(path, {{"xl/workbook.xml", book}, {"xl/_rels/workbook.xml.rels", rels},
                    {"xl/sharedStrings.xml", strings},
                    {"xl/worksheets/sheet1.xml", sheetWith(c.cells)}});
    Workbook read;
    read.AddSheet("kept");
    std::string error;
    EXPECT_EQ(ReadXmlWorkbook(path, &read, &error), c.readable) << c.name;
    if (!c.readable) {
      EXPECT_FALSE(error.empty()) << c.name;
      EXPECT_EQ(read.sheets[0].Name(), "kept") << c.name;
    } else {
      EXPECT_EQ(read.sheets[0].ReadText(1, 1), "two");
      EXPECT_EQ(read.sheets[0].ReadText(1, 2), "f");
    }
  }
  // Not a zip at all, and a real workbook cut short.
  WriteFileBytes(dir.File("text.xlsx"), "Id;Title\n1;a\n");
  ASSERT_TRUE(WriteXmlWorkbook(dir.File("whole.xlsx"), SampleBook(), nullptr));
  const std::string whole = ReadFileBytes(dir.File("whole.xlsx"));
  WriteFileBytes(dir.File("cut.xlsx"), whole.substr(0, whole.size() / 2));
  for (const char* name : {"text.xlsx", "cut.xlsx", "missing.xlsx"}) {
    Workbook read;
    std::string error;
    EXPECT_FALSE(ReadXmlWorkbook(dir.File(name), &read, &error)) << name;
    EXPECT_FALSE(error.empty()) << name;
  }
}

// LibreOffice is the independent reader that matters most; the test runs where it is installed.
TEST(XmlWorkbook, LibreOfficeReadsTheNumbersAndDurations) {
  if (std::system("command -v libreoffice >/dev/null 2>&1") != 0) GTEST_SKIP() << "no LibreOffice";
  TempDir dir;
  Workbook book;
  Sheet& sheet = book.AddSheet("S");
  sheet.WriteText(0, 0, "a;b");
  sheet.WriteNumber(0, 1, 2.5);
  sheet.WriteDuration(0, 2, 3725.0, DurationFormat::WholeSeconds);
  sheet.WriteDuration(0, 3, 61.25, DurationFormat::Milliseconds);
  ASSERT_TRUE(WriteXmlWorkbook(dir.File("lo.xlsx"), book, nullptr));
  const std::string command = "cd " + dir.path() +
                              " && HOME=" + dir.path() +
                              " libreoffice --headless --convert-to 'csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,true'"
                              " lo.xlsx >/dev/null 2>&1";  // the last option: cells as shown
  ASSERT_EQ(std::system(command.c_str()), 0);
  EXPECT_EQ(ReadFileBytes(dir.File("lo.csv")), "a;b,2.5,1:02:05,0:01:01.250\n");
}

}  // namespace
}  // namespace vx
