// The binary workbook read back by libfreexl and by LibreOffice, two readers we did not write.
#include <gtest/gtest.h>

#include <cfloat>
#include <cstdlib>
#include <filesystem>
#include <random>

#include "results/workbook_files.h"
#include "support/temp_dir.h"

namespace vx {
namespace {

using testing::ReadFileBytes;
using testing::TempDir;
using testing::WriteFileBytes;

// Texts that need UTF-16 (Greek, accents, a character outside the basic plane) and numbers at
// the ends of the double range, in sheets whose names need UTF-16 too.
Workbook MixedBook() {
  Workbook book;
  Sheet& data = book.AddSheet("Données α");
  const double numbers[] = {DBL_MAX, -DBL_MAX, DBL_TRUE_MIN, -0.0, 1e-300, 65536, -1, 0.1};
  for (int i = 0; i < 8; ++i) data.WriteNumber(1, i, numbers[i]);
  data.WriteText(0, 0, "Durée ελληνικά 🐭");
  data.WriteText(0, 3, "");
  // libfreexl shows these as "01:01:01": the days and milliseconds come from the records.
  data.WriteDuration(2, 0, 3725, DurationFormat::WholeSeconds);
  data.WriteDuration(2, 1, 86399, DurationFormat::Milliseconds);
  data.WriteDuration(3, 0, 90061.125, DurationFormat::Milliseconds);
  data.WriteDuration(3, 1, 90061, DurationFormat::WholeSeconds);
  book.AddSheet("Vide");
  book.AddSheet("Ζώνη 2").WriteText(4, 255, "last column");
  return book;
}

void ExpectSameCells(const Sheet& read, const Sheet& written) {
  ASSERT_EQ(read.Name(), written.Name());
  for (int row = 0; row < written.RowCount(); ++row) {
    for (int column = 0; column < written.ColumnCount(); ++column) {
      const Cell& expected = written.CellAt(row, column);
      const Cell& actual = read.CellAt(row, column);
      SCOPED_TRACE(written.Name() + " " + std::to_string(row) + "," + std::to_string(column));
      const bool emptyText = expected.kind == CellKind::Text && expected.text.empty();
      EXPECT_EQ(actual.kind, emptyText ? CellKind::Empty : expected.kind);
      EXPECT_EQ(actual.text, expected.text);
      EXPECT_EQ(std::signbit(actual.number), std::signbit(expected.number));
      EXPECT_EQ(actual.number, expected.number);
      if (expected.kind == CellKind::Duration) {
        EXPECT_EQ(actual.durationFormat, expected.durationFormat);
      }
    }
  }
}

void ExpectRoundTrip(const Workbook& book) {
  TempDir dir;
  Workbook read;
  std::string error;
  ASSERT_TRUE(WriteBinaryWorkbook(dir.File("b.xls"), book, &error)) << error;
  ASSERT_TRUE(ReadBinaryWorkbook(dir.File("b.xls"), &read, &error)) << error;
  ASSERT_EQ(read.sheets.size(), book.sheets.size());
  for (size_t i = 0; i < book.sheets.size(); ++i) ExpectSameCells(read.sheets[i], book.sheets[i]);
}

TEST(BinaryWorkbook, CellsAndSheetsComeBackThroughLibfreexl) { ExpectRoundTrip(MixedBook()); }

// Texts of many lengths, so that string headers and characters fall across the 8224-byte
// record limit of the shared string table, and one text spread over two records.
TEST(BinaryWorkbook, ASharedStringTableInSeveralRecordsComesBack) {
  Workbook book;
  Sheet& sheet = book.AddSheet("Texts");
  for (int row = 0; row < 3000; ++row) sheet.WriteText(row, 0, std::string(row % 97, 'a') + "é" + std::to_string(row));
  sheet.WriteText(0, 1, std::string(6000, 'z') + "Ω");
  ExpectRoundTrip(book);
}

// Over 109 allocation sectors (~7 MB) the compound file needs DIFAT sectors.
TEST(BinaryWorkbook, AWorkbookOfFullSheetsNeedsTheExtendedAllocationTable) {
  Workbook book;
  Sheet& sheet = book.AddSheet("Trajectory");
  for (int row = 0; row < 65536; ++row) {
    for (int column = 0; column < 8; ++column) sheet.WriteNumber(row, column, row + column / 8.0);
  }
  TempDir dir;
  std::string error;
  ASSERT_TRUE(WriteBinaryWorkbook(dir.File("big.xls"), book, &error)) << error;
  ASSERT_GT(std::filesystem::file_size(dir.File("big.xls")), 109u * 128 * 512);
  Workbook read;
  ASSERT_TRUE(ReadBinaryWorkbook(dir.File("big.xls"), &read, &error)) << error;
  EXPECT_EQ(read.sheets.at(0).RowCount(), 65536);
  EXPECT_EQ(read.sheets.at(0).CellAt(65535, 7).number, 65535.875);
}

TEST(BinaryWorkbook, WhatTheFormatCannotHoldIsRefusedBeforeAnyFileIsMade) {
  const std::string tooLong(32768, 'x');
  const struct {
    const char* name;
    std::vector<std::string> sheets;
    int row, column;
    std::string text;
    const char* error;
  } cases[] = {
      {"no sheet", {}, 0, 0, "", "at least one sheet"},
      {"rows", {"T"}, 65536, 0, "x", "65537 rows"},
      {"columns", {"T"}, 0, 256, "x", "257 columns"},
      {"long name", {"abcdefghijklmnopqrstuvwxyzabcdef"}, 0, 0, "", "longer than 31"},
      {"bad character", {"a/b"}, 0, 0, "", "characters"},
      {"same name", {"Zone", "ZONE"}, 0, 0, "", "two sheets"},
      {"long text", {"T"}, 0, 0, tooLong, "32767"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Workbook book;
    for (const std::string& name : c.sheets) book.AddSheet(name).WriteText(c.row, c.column, c.text);
    TempDir dir;
    std::string error;
    EXPECT_FALSE(WriteBinaryWorkbook(dir.File("t.xls"), book, &error));
    EXPECT_NE(error.find(c.error), std::string::npos) << error;
    EXPECT_FALSE(std::filesystem::exists(dir.File("t.xls")));
  }
}

TEST(BinaryWorkbook, DamagedFilesAreRefusedWithAMessage) {
  TempDir dir;
  std::string error;
  ASSERT_TRUE(WriteBinaryWorkbook(dir.File("good.xls"), MixedBook(), &error));
  const std::string good = ReadFileBytes(dir.File("good.xls"));
  std::mt19937 random(14);
  std::string noise(6000, '\0');
  for (char& byte : noise) byte = static_cast<char>(random());
  std::vector<std::string> damaged = {"", "name;value\n", noise, good.substr(0, 8) + noise};
  for (size_t length = 100; length < good.size(); length += 397) damaged.push_back(good.substr(0, length));
  for (const std::string& bytes : damaged) {
    WriteFileBytes(dir.File("bad.xls"), bytes);
    Workbook book;
    error.clear();
    EXPECT_FALSE(ReadBinaryWorkbook(dir.File("bad.xls"), &book, &error)) << bytes.size();
    EXPECT_NE(error.find("bad.xls"), std::string::npos);
  }
  Workbook book;
  EXPECT_FALSE(ReadBinaryWorkbook(dir.File("missing.xls"), &book, &error));
  // Three cells in a 6 KB file that claim three full sheets, which libfreexl would set aside
  // 800 MB for.
  for (const char* name : {"a", "b", "c"}) book.AddSheet(name).WriteText(65535, 255, "corner");
  ASSERT_TRUE(WriteBinaryWorkbook(dir.File("corner.xls"), book, &error));
  EXPECT_FALSE(ReadBinaryWorkbook(dir.File("corner.xls"), &book, &error));
  EXPECT_NE(error.find("claims 50331648 cells"), std::string::npos) << error;
  // Noise over the records themselves: libfreexl may accept some of these, but nothing crashes.
  for (size_t offset = 512; offset + 64 < good.size(); offset += 256) {
    WriteFileBytes(dir.File("noisy.xls"), good.substr(0, offset) + noise.substr(0, 64) + good.substr(offset + 64));
    ReadBinaryWorkbook(dir.File("noisy.xls"), &book, &error);
  }
}

// LibreOffice shows each cell as its formats say: durations beyond a day and to the millisecond.
TEST(BinaryWorkbook, LibreOfficeReadsTheCellsAsWritten) {
  if (std::system("command -v libreoffice > /dev/null 2>&1") != 0) GTEST_SKIP() << "no LibreOffice";
  TempDir dir;
  const Workbook book = MixedBook();
  Workbook longText;
  longText.AddSheet("Long").WriteText(0, 1, std::string(20000, 'z') + "Ω");  // three string records
  std::string error;
  ASSERT_TRUE(WriteBinaryWorkbook(dir.File("lo.xls"), book, &error)) << error;
  ASSERT_TRUE(WriteBinaryWorkbook(dir.File("long.xls"), longText, &error)) << error;
  // Its own profile folder, so that a LibreOffice already running elsewhere is not reused;
  // UTF-8, values as shown, every sheet to its own file.
  const std::string command = "cd " + dir.path() + " && libreoffice -env:UserInstallation=file://" +
                              dir.path() + "/profile --headless --convert-to "
                              "'csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,true,false,false,-1' "
                              "lo.xls long.xls > /dev/null 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0);
  const std::string first = ReadFileBytes(dir.File("lo-Données α.csv"));
  EXPECT_NE(first.find("Durée ελληνικά 🐭,,,"), std::string::npos) << first;
  EXPECT_NE(first.find("1:02:05,23:59:59.000"), std::string::npos) << first;
  EXPECT_NE(first.find("25:01:01.125,25:01:01,"), std::string::npos) << first;
  EXPECT_NE(ReadFileBytes(dir.File("long-Long.csv")).find("," + std::string(20000, 'z') + "Ω"), std::string::npos);
  EXPECT_NE(ReadFileBytes(dir.File("lo-Ζώνη 2.csv")).find(",last column"), std::string::npos);

  // The file LibreOffice saves in turn, read for update as a user's edited workbook would be.
  std::filesystem::create_directory(dir.File("saved"));
  const std::string save = "cd " + dir.path() + " && libreoffice -env:UserInstallation=file://" +
                           dir.path() + "/profile --headless --convert-to xls --outdir saved lo.xls > /dev/null 2>&1";
  ASSERT_EQ(std::system(save.c_str()), 0);
  Workbook saved;
  ASSERT_TRUE(ReadBinaryWorkbook(dir.File("saved/lo.xls"), &saved, &error)) << error;
  ASSERT_EQ(saved.sheets.size(), 3u);
  Workbook expected = MixedBook();
  expected.sheets[0].WriteNumber(1, 3, 0.0);  // LibreOffice keeps no negative zero
  ExpectSameCells(saved.sheets[0], expected.sheets[0]);
}

}  // namespace
}  // namespace vx
