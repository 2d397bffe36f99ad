// The texts the database layer decodes from experiment files, from arbitrary bytes: custom-field
// values (with and without import translation), analysis information, how a video was read,
// animal sizes, default arenas, protocol options and the diagram rewrite of old files. Decoding
// must neither crash nor hang, and what is written back must decode to the same values.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "db/analysis_info.h"
#include "db/animal_store.h"
#include "db/field_values.h"
#include "db/protocol_store.h"
#include "db/upgrade_steps.h"
#include "db/video_file.h"

namespace {

std::vector<vx::CField> Fields() {
  std::vector<vx::CField> fields(4);
  for (int i = 0; i < 4; ++i) {
    fields[i].id = i + 1;
    fields[i].type = i;
  }
  return fields;
}

void Require(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  static const std::vector<vx::CField> fields = Fields();

  const auto values = vx::ParseFieldValues(text, fields);
  const std::string written = vx::FormatFieldValues(values, fields);
  Require(vx::FormatFieldValues(vx::ParseFieldValues(written, fields), fields) == written);
  vx::FieldIdTranslation translation;
  translation.fields = {{1, 2}, {3, 3}, {4, 4}};
  translation.choices = {{5, 6}};
  (void)vx::ParseFieldValues(text, fields, &translation);

  const vx::AnalysisInfo info = vx::ParseAnalysisInfo(text);
  const vx::AnalysisInfo again = vx::ParseAnalysisInfo(vx::FormatAnalysisInfo(info));
  Require(again.values == info.values && again.stamp == info.stamp);

  const vx::VideoReadInfo read = vx::ParseVideoReadInfo(text);
  (void)vx::DescribeVideoReadInfo(read, static_cast<int>(size));
  Require(vx::FormatVideoReadInfo(vx::ParseVideoReadInfo(vx::FormatVideoReadInfo(read))) ==
          vx::FormatVideoReadInfo(read));

  vx::CAnimal animal;
  vx::ParseAnimalSizeColumn(text, animal);
  (void)vx::FormatAnimalSizeColumn(animal);
  const vx::DefaultArena arena = vx::ParseDefaultArena(text);
  Require(vx::FormatDefaultArena(vx::ParseDefaultArena(vx::FormatDefaultArena(arena))) ==
          vx::FormatDefaultArena(arena));
  (void)vx::ParseProtocolParams(text);
  (void)vx::upgrade::RewriteDiagramText(text);
  return 0;
}
