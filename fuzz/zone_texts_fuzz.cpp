// Stored zone texts and reference-image blobs, decoded from arbitrary bytes: the geometry
// texts of every shape kind, the HiddenZone and SecArenas texts, and image blobs. Whatever
// they say, decoding and the zone tests built on the result must neither crash nor hang.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "zones/draw_boolean.h"
#include "zones/draw_poly.h"
#include "zones/draw_rect.h"
#include "zones/ref_image.h"
#include "zones/zone_rows.h"
#include "zones/zone_set.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  vx::ZoneSet set;
  set.SetImageSize(640, 480, true, false);
  vx::ParseSecArenas(text, set);
  (void)vx::FormatSecArenas(set);
  for (int kind = vx::kKindRectangle; kind <= vx::kKindPolygon; ++kind) {
    std::unique_ptr<vx::CDrawObj> zone = vx::MakeShape(kind, set);
    zone->SetHiddenZoneText(text);
    zone->SetPointsText(text, 640, 480);
    vx::CDrawObj* added = set.AddZone(std::move(zone));
    added->detectInZone = vx::kDetectBody;
    (void)added->GetArea();
    (void)added->PtInZone(100, 100, nullptr);
    (void)added->GetDistance({100, 100}, nullptr, nullptr, true);
    (void)added->GetZoneState({}, {}, {{0, 0}, {50, 0}, {50, 50}}, nullptr, nullptr);
    (void)added->GetHiddenZoneKey();
  }
  const std::vector<uint8_t> blob(data, data + size);
  (void)vx::DecodeRefImage(blob, true, 8, 8);
  (void)vx::DecodeRefImage(blob, false, 4, 4);
  return 0;
}
