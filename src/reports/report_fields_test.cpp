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

// A report of each measure family from named fields: the Config text as its stored layout
// gives it (5 | measure | measure part | period part | -2 | ranges), and the fields read back.
TEST(ReportFields, NamedFieldsWriteTheStoredLayout) {
  const struct {
    Fields fields;
    std::string config;
  } cases[] = {
      {{{"measure", "average-speed"}, {"unit", "cm/s"}, {"periods", "slices:5min"}, {"precision", "2"}},
       "5|0|0||1|2|0|5|1|-2|0|0|"},
      {{{"measure", "distance"}, {"value", "per-area"}, {"unit", "cm/m2"}, {"zones", "Centre"}},
       "5|3|3|,2,|8|-1|0|0|1|-2|0|0|"},
      {{{"measure", "time-in-zone"}, {"value", "percent-of-period"}, {"unit", "s.ms"},
        {"zones", "Centre,out:Centre"}, {"periods", "periods:first=0s-90s,second=90s-300s"}},
       "5|12|1|,2,-2,|3|-1|3|2|first|0|90|second|90|300|-2|0|0|"},
      {{{"measure", "4"}, {"zones", "all"}, {"precision", "0"}}, "5|4|0||0|0|0|0|0|1|-2|0|0|"},
      {{{"measure", "entry-latency"}, {"unit", "s"}, {"periods", "events:after:30s/in:Centre:10s"}},
       "5|9|0||2|-1|0|1|2;-1;2;-1;30;2;1;-1;0;0;|2;-1;5;2;10;2;1;-1;0;0;|-2|0|0|"},
      {{{"measure", "nearest-centre"}, {"unit", "cm"}}, "5|16|0||1|-1|0|0|1|-2|0|0|"},
      {{{"measure", "behaviour-duration"}, {"value", "percent-of-period"}}, "5|23|1||0|-1|0|0|1|-2|0|0|"},
      {{{"measure", "track"}}, "5|27|0||0|0|0|0|0|1|-2|0|0|"},
  };
  const CProtocol protocol = TwoZones();
  for (const auto& c : cases) {
    MeasureDefinition d;
    for (const auto& [name, value] : c.fields) {
      ASSERT_EQ(SetReportField(d, protocol, name, value), "") << name << "=" << value;
    }
    EXPECT_EQ(FormatMeasureConfig(d), c.config);
    const Fields described = DescribeReport(d, protocol);
    for (const auto& [name, value] : c.fields) {
      if (name == "measure" && value == "4") continue;  // a number reads back as the name
      bool found = false;
      for (const auto& [n, v] : described) found = found || (n == name && v == value);
      EXPECT_TRUE(found) << name << "=" << value << " in " << c.config;
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
