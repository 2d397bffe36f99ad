#include "reports/report_fields.h"

#include <gtest/gtest.h>

#include "support/data_table.h"

namespace vx {
namespace {

CProtocol TwoZones() {
  CProtocol protocol;
  protocol.zones.resize(3);
  protocol.zones[0].id = 1;
  protocol.zones[0].name = "Arena";
  protocol.zones[1].id = 2;
  protocol.zones[1].name = "Centre";
  protocol.zones[2].id = 3;
  protocol.zones[2].name = "Ruler line";
  protocol.zones[2].typeRect = 4;
  return protocol;
}

using Fields = std::vector<std::pair<std::string, std::string>>;

TEST(ReportFields, NamedFieldsWriteTheStoredLayout) {
  const auto rows = testing::ReadDataTable("report_fields.tsv");
  ASSERT_FALSE(rows.empty());
  const CProtocol protocol = TwoZones();
  for (const auto& row : rows) {
    MeasureDefinition d;
    Fields fields;
    for (size_t i = 1; i < row.size(); ++i) {
      const size_t equals = row[i].find('=');
      fields.emplace_back(row[i].substr(0, equals), row[i].substr(equals + 1));
      ASSERT_EQ(SetReportField(d, protocol, fields.back().first, fields.back().second), "") << row[i];
    }
    EXPECT_EQ(FormatMeasureConfig(d), row[0]);
    const Fields described = DescribeReport(d, protocol);
    for (const auto& [name, value] : fields) {
      if (name == "measure" && value == "4") continue;
      bool found = false;
      for (const auto& [n, v] : described) found = found || (n == name && v == value);
      EXPECT_TRUE(found) << name << "=" << value << " in " << row[0];
    }
  }
}

TEST(ReportFields, RefusedValuesChangeNothing) {
  const auto rows = testing::ReadDataTable("report_fields_refused.tsv");
  ASSERT_FALSE(rows.empty());
  const CProtocol protocol = TwoZones();
  for (const auto& row : rows) {
    MeasureDefinition d;
    ASSERT_EQ(SetReportField(d, protocol, "measure", "entries"), "");
    const std::string before = FormatMeasureConfig(d);
    EXPECT_NE(SetReportField(d, protocol, row[0], row[1]), "") << row[0] << "=" << row[1];
    EXPECT_EQ(FormatMeasureConfig(d), before) << row[0] << "=" << row[1];
  }
}

}  // namespace
}  // namespace vx
