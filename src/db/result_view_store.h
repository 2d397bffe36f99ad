// Saved views of the result table (table Favorites) and the display colours of result rows
// (table Colors). Their texts hold the result table's state, which the result views own.
#pragma once

#include <map>
#include <string>

#include "db/experiment.h"

namespace vx {

struct FavoriteView {
  int id = -1;
  std::string name;
  int idProtocol = -1;
  int idReport = -1;
  int idFilter = -1;
  std::string groupBy;
  int orderTests = -1;
  std::string collapsed;
  std::string checked;
  std::string columns;
  int sldCurve = 50;
  int typeView = 1;
  std::string chart;
  std::string file;
  int bUpdateFile = 0;
};

// False when no favourite has that id.
bool LoadFavorite(Experiment& experiment, int id, FavoriteView& view);
// Update by id, else insert (the new id is written back).
bool SaveFavorite(Experiment& experiment, FavoriteView& view);
bool DeleteFavorite(Experiment& experiment, int id);

// Every colour by its reference text.
bool LoadColors(Experiment& experiment, std::map<std::string, int>& colors);
// Sets the colour of a reference (update when it has one, else insert).
bool SaveColor(Experiment& experiment, const std::string& ref, int color);

}  // namespace vx
