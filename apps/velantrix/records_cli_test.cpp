// The record verbs of the command line, run in-process: what they print, how they exit, and
// what they leave in the file (read back with plain SQL).
#include <gtest/gtest.h>

#include <opencv2/imgproc.hpp>
#include <opencv2/videoio.hpp>
#include <filesystem>

#include "support/cli_experiment.h"

namespace {

using vx::testing::QueryRows;
using vx::testing::QueryValue;
using Rows = std::vector<std::vector<std::string>>;

using Result = vx::cli::testing::RunResult;

class RecordsCli : public vx::cli::testing::CliExperiment {
 protected:
  // A short video written here: 20 frames at 10 fps, 80 x 60 unless told otherwise.
  std::string MakeVideo(const std::string& name, cv::Size size = {80, 60}) {
    const std::string path = dir.File(name);
    cv::VideoWriter writer(path, cv::VideoWriter::fourcc('M', 'J', 'P', 'G'), 10.0, size);
    for (int i = 0; i < 20; ++i) writer.write(cv::Mat(size, CV_8UC3, cv::Scalar::all(i)));
    return path;
  }
};

TEST_F(RecordsCli, ProtocolAddListShow) {
  const Result added = Run({"protocol", "add", exp, "--name", "Champ d'été", "--size",
                            "640x480", "--head", "--inactivity", "3", "--inactivity-unit", "min"});
  ASSERT_EQ(added.status, 0) << added.err;
  EXPECT_EQ(added.out, "1\n");
  EXPECT_EQ(QueryRows(exp, "select Name, Width, Height, HeadDetection, InactivityDelay, "
                           "InactivityUnit, Params from Protocols"),
            (Rows{{"Champ d'été", "640", "480", "1", "3", "2", "0|0|"}}));

  const Result csv = Run({"protocol", "list", exp, "--csv"});
  EXPECT_EQ(csv.out,
            "id,name,width,height,head,inactivity,inactivity_unit,zones,reports,filters,tests\n"
            "1,Champ d'été,640,480,true,3,min,1,0,0,0\n");  // the default ruler

  vx::testing::ExecuteSql(exp, "insert into Zones(Id, IdProtocol, Name, bArena, Points) values "
                               "(2, 1, 'Arena', 1, '10;10;600;400'), (3, 1, 'Coin', 0, 'x')");
  const Result show = Run({"protocol", "show", exp, "1"});
  ASSERT_EQ(show.status, 0);
  EXPECT_NE(show.out.find("Zones: 3"), std::string::npos) << show.out;
  EXPECT_NE(show.out.find("area_mm2"), std::string::npos) << show.out;
  // The zones as shapes: kind, rectangle and area (591 x 391 pixels); uncalibrated, so no mm².
  const Result showJson = Run({"protocol", "show", exp, "1", "--json"});
  EXPECT_NE(showJson.out.find("\"kind\": \"rect\", \"left\": 10, \"top\": 10, \"right\": 600, "
                              "\"bottom\": 400, \"arena\": true"),
            std::string::npos)
      << showJson.out;
  EXPECT_NE(showJson.out.find("\"area_px\": 231081, \"area_mm2\": null"), std::string::npos);
}

TEST_F(RecordsCli, ProtocolErrors) {
  ExpectRefused({{{"protocol", "add", exp}, 2, "--name"},
                 {{"protocol", "add", exp, "--name", "P", "--size", "640*480"}, 2, "--size"},
                 {{"protocol", "add", exp, "--name", "P", "--inactivity-unit", "h"}, 2, "--inactivity-unit"},
                 {{"protocol", "add", exp, "--name", " "}, 2, ""},
                 {{"protocol", "show", exp, "9"}, 1, "no protocol 9"}});
}

TEST_F(RecordsCli, AnimalAddList) {
  EXPECT_EQ(Run({"animal", "add", exp, "--name", "Souris «1»"}).out, "1\n");
  EXPECT_EQ(Run({"animal", "add", exp, "--name", "Rat", "--size", "20,185"}).out, "2\n");
  EXPECT_EQ(QueryRows(exp, "select Name, MinSize, MaxSize, AnimalSize from Animals order by Id"),
            (Rows{{"Souris «1»", "5", "50", "Exp"}, {"Rat", "20", "185", "0|1|7|20|185|30|360"}}));
  EXPECT_EQ(Run({"animal", "list", exp, "--csv"}).out,
            "id,name,min_size,max_size,size_setting,tests,notes\n"
            "1,Souris «1»,5,50,experiment,0,\n"
            "2,Rat,20,185,own,0,\n");
}

TEST_F(RecordsCli, VideoAddList) {
  const std::string video = MakeVideo("clip one.avi");
  const Result added = Run({"video", "add", exp, video});
  ASSERT_EQ(added.status, 0) << added.err;
  EXPECT_EQ(added.out, "1\n");
  EXPECT_EQ(QueryRows(exp, "select Name, File, NbFrames, Duration, Width, Height, "
                           "hex(ListePoints), Infos from Videos"),
            (Rows{{"clip one.avi", video, "20", "1900", "80", "60", "14EC0E",
                   "0|1900|1|0|19|1"}}));
  EXPECT_EQ(Run({"video", "add", exp, video, "--name", "named"}).out, "2\n");
  EXPECT_EQ(Run({"video", "list", exp, "--csv"}).out,
            "id,name,file,frames,duration_ms,width,height,tests,notes\n"
            "1,clip one.avi," + video + ",20,1900,80,60,0,\n"
            "2,named," + video + ",20,1900,80,60,0,\n");
  // A moved file is given its new place; another video is refused.
  const std::string moved = dir.File("moved.avi");
  std::filesystem::rename(video, moved);
  ASSERT_EQ(Run({"video", "set", exp, "2", "--file", moved, "--notes", "day 2"}).status, 0);
  EXPECT_EQ(QueryValue(exp, "select File||','||Notes from Videos where Id=2"), moved + ",day 2");
  const std::string garbage = dir.File("garbage.avi");
  vx::testing::WriteFileBytes(garbage, "not a video");
  ExpectRefused({{{"video", "set", exp, "1", "--file", MakeVideo("small.avi", {40, 30})}, 1, "is not the same video"},
                 {{"video", "add", exp, dir.File("missing.avi")}, 1, "does not exist"},
                 {{"video", "add", exp, garbage}, 1, "is not a video file that can be read"}});
}

TEST_F(RecordsCli, VideoInTheCompanionFolderIsStoredRelativeWithARelativeExperimentPath) {
  std::filesystem::create_directory(dir.File("e_files"));
  const std::string video = MakeVideo("e_files/clip.avi");
  const std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::current_path(dir.File(""));
  const Result added = Run({"video", "add", "e.vxdb", "e_files/clip.avi"});
  std::filesystem::current_path(previous);
  ASSERT_EQ(added.status, 0) << added.err;
  EXPECT_EQ(QueryValue(exp, "select File from Videos"), "clip.avi");
}

TEST_F(RecordsCli, TestAddListShapes) {
  ASSERT_EQ(Run({"protocol", "add", exp, "--name", "P"}).status, 0);
  ASSERT_EQ(Run({"animal", "add", exp, "--name", "A"}).status, 0);
  ASSERT_EQ(Run({"video", "add", exp, MakeVideo("v.avi")}).status, 0);
  const Result added = Run({"test", "add", exp, "--protocol", "1", "--video", "1", "--animal",
                            "1", "--title", "Essai 'un'", "--detection", "0|1|0|90|90|127|50|0|179|0|255|0|255|20|-1|"});
  ASSERT_EQ(added.status, 0) << added.err;
  EXPECT_EQ(added.out, "1\n");
  EXPECT_EQ(Run({"test", "add", exp, "--protocol", "1", "--video", "1"}).out, "2\n");
  EXPECT_EQ(QueryRows(exp, "select Title, IdAnimal, IdProtocol, Source, ParamsDetection from "
                           "Tests order by Id"),
            (Rows{{"Essai 'un'", "1", "1", "1", "5|1|0|90|90|127|50|0|179|0|255|0|255|20|-1||0|1|0|1|10|30|1"},
                   {"v.avi", "-1", "1", "1", ""}}));
  // A summary as an analysis would leave it.
  vx::testing::ExecuteSql(exp, "update Tests set DateAnalyse=5, Duration=60, Distance=1234.5, "
                               "AverageSpeed=20.575, MaxSpeed=80, MaxRawSpeed=95.25, "
                               "AverageAccel=0.5, MaxAccel=2, Inactive=12 where Id=1");
  const Result csv = Run({"test", "list", exp, "--csv"});
  EXPECT_EQ(csv.out,
            "id,title,animal,protocol,video,analysed,duration,distance,average_speed,max_speed,"
            "max_raw_speed,average_accel,max_accel,inactive,detection_rate,frames\n"
            "1,Essai 'un',1,1,1,true,60,1234.500,20.575,80.000,95.250,0.500000,2.000000,12,,\n"
            "2,v.avi,-1,1,1,false,0,0.000,0.000,0.000,0.000,0.000000,0.000000,0,,\n");
  const Result json = Run({"test", "list", exp, "--json"});
  EXPECT_NE(json.out.find("{\"id\": 1, \"title\": \"Essai 'un'\", \"animal\": 1, \"protocol\": 1, "
                          "\"video\": 1, \"analysed\": true, \"duration\": 60, \"distance\": "
                          "1234.500, \"average_speed\": 20.575, \"max_speed\": 80.000, "
                          "\"max_raw_speed\": 95.250, \"average_accel\": 0.500000, "
                          "\"max_accel\": 2.000000, \"inactive\": 12, \"detection_rate\": null, "
                          "\"frames\": null}"),
            std::string::npos)
      << json.out;
  // People read the user's units, named in the headers, and durations as a clock.
  const Result text = Run({"test", "list", exp});
  for (const char* shown : {"Distance (cm)", "Average speed (cm/s)", "Max accel. (mm/s²)",
                            "00:01:00", "123.45", "8.00", "500.00", "00:00:12"}) {
    EXPECT_NE(text.out.find(shown), std::string::npos) << shown << "\n" << text.out;
  }
  // The video knows its tests now.
  EXPECT_NE(Run({"video", "list", exp, "--csv"}).out.find(",2,\n"), std::string::npos);
}

TEST_F(RecordsCli, SetUpMistakesAreCaught) {
  ASSERT_EQ(Run({"protocol", "add", exp, "--name", "P", "--size", "640x480"}).status, 0);
  ASSERT_EQ(Run({"video", "add", exp, MakeVideo("v.avi")}).status, 0);  // 80 x 60
  ExpectRefused({{{"test", "add", exp, "--protocol", "1", "--video", "1"}, 1,
                  "Video 1 is 80x60 pixels but protocol 1 is 640x480"},
                 {{"zone", "add", exp, "--protocol", "1", "--type", "rect", "--points", "300;10;100;200"}, 2,
                  "the corners are reversed"}});

  const Result off = Run({"zone", "add", exp, "--protocol", "1", "--type", "rect", "--points",
                          "600;400;700;450"});
  EXPECT_EQ(off.status, 0);
  EXPECT_NE(off.err.find("warning: the zone lies partly outside the 640x480 image"),
            std::string::npos) << off.err;
  // A ruler of 10 m over 80 pixels makes a 5-50 cm² animal less than a pixel.
  ASSERT_EQ(Run({"protocol", "add", exp, "--name", "Small", "--size", "80x60"}).status, 0);
  ASSERT_EQ(Run({"ruler", "set", exp, "--protocol", "2", "--points", "0;50;80;50",
                 "--length", "10000", "--unit", "mm"}).status, 0);
  const Result tiny = Run({"test", "add", exp, "--protocol", "2", "--video", "1"});
  EXPECT_EQ(tiny.status, 0);
  EXPECT_NE(tiny.err.find("too small to tell from noise: check the ruler"), std::string::npos)
      << tiny.err;
}

TEST_F(RecordsCli, SpeciesPickTheAnimalSize) {
  EXPECT_EQ(Run({"animal", "add", exp, "--name", "M", "--species", "mouse"}).status, 0);
  EXPECT_EQ(Run({"animal", "add", exp, "--name", "R", "--species", "Rat"}).status, 0);
  EXPECT_EQ(QueryRows(exp, "select MinSize, MaxSize from Animals order by Id"),
            (Rows{{"10", "30"}, {"40", "120"}}));
  ExpectRefused({{{"animal", "add", exp, "--name", "H", "--species", "hamster"}, 2, "--species"},
                 {{"animal", "add", exp, "--name", "X", "--species", "rat", "--size", "1,2"}, 2, ""}});
}

TEST_F(RecordsCli, TestAddNeedsExistingRecords) {
  ASSERT_EQ(Run({"protocol", "add", exp, "--name", "P"}).status, 0);
  ASSERT_EQ(Run({"video", "add", exp, MakeVideo("v.avi")}).status, 0);
  ExpectRefused({{{"test", "add", exp, "--protocol", "7", "--video", "1"}, 1, "7"},
                 {{"test", "add", exp, "--protocol", "1", "--video", "7"}, 1, "7"},
                 {{"test", "add", exp, "--protocol", "1", "--video", "1", "--animal", "4"}, 1, "no animal 4"},
                 {{"test", "add", exp, "--video", "1"}, 2, "--protocol"}});
}

}  // namespace
