// The program's numbered texts: messages, questions and names shown to the user.
//
// The core reports to the user by message number (through Notifier and Asker) and gets the
// words with MessageText(id), in the user's language. A text with printf placeholders is filled
// with Format(MessageText(id), ...) by the code that raises it. The words themselves live in
// the catalogues of texts/ (texts/Enu.txt says how to add one); this header names the numbers.
#pragma once

#include <memory>
#include <optional>
#include <string>

namespace vx {

namespace msg {
// Experiment file access.
inline constexpr int kWriteFailed = 239;        // "%d ( %s )": SQLite code and text
inline constexpr int kReadFailed = 523;         // "%d ( %s )"
inline constexpr int kNewerVersion = 678;
inline constexpr int kFinalization = 498;
inline constexpr int kCleaningUp = 499;
inline constexpr int kSpeedByTimePeriod = 436;  // a name, not a message
inline constexpr int kFileMissing = 312;        // "%s": path
inline constexpr int kNotAnExperiment = 623;    // "%s": path
inline constexpr int kNetworkDrive = 679;
inline constexpr int kCannotCopy = 680;
inline constexpr int kNotProperlySaved = 681;
inline constexpr int kCannotCreate = 152;
inline constexpr int kSaveChanges = 677;
inline constexpr int kCannotRename = 793;
inline constexpr int kSelectOtherFile = 874;
inline constexpr int kCompacting = 494;
inline constexpr int kReadOnly = 702;
inline constexpr int kReadOnlyNotice = 947;
inline constexpr int kSelectTestToExclude = 608;
inline constexpr int kFileLocked = 279;
// Experiment lifecycle: opening, saving, recovery, backup, import.
inline constexpr int kBackupTitle = 496;
inline constexpr int kBackupInProgress = 497;
inline constexpr int kBackupProcessing = 500;       // "%s": the file being added
inline constexpr int kBackupFailed = 501;
inline constexpr int kBackupVideosToo = 651;
inline constexpr int kNeedsConverting = 1207;       // "%s": display name
inline constexpr int kImportNewerVersion = 1496;
inline constexpr int kInUseByAnotherProgram = 1870;  // ours: "%s", "%s": path, working copy
inline constexpr int kLeftoverDetails = 1871;        // ours: "%s", "%d", "%s": copy, KB, time
inline constexpr int kLeftoverUnusable = 1872;       // ours: "%s": the working copy
inline constexpr int kSaveFailed = 1873;             // ours: "%s": path
inline constexpr int kImportDone = 1874;             // ours: "%d" x4: protocols, animals, fields, videos
// Zones.
inline constexpr int kNameArena = 216;
inline constexpr int kNameRectangle = 217;
inline constexpr int kNameCircle = 218;
inline constexpr int kNameLine = 219;
inline constexpr int kNamePolygon = 220;
inline constexpr int kNameRuler = 221;
inline constexpr int kNoArena = 255;
inline constexpr int kEnterName = 263;
inline constexpr int kMainArena = 788;
inline constexpr int kCannotDeleteArena = 789;
inline constexpr int kCannotDeleteRuler = 884;
inline constexpr int kExitAboveEntry = 806;
inline constexpr int kDetectByCentre = 814;
inline constexpr int kDetectByBody = 815;
inline constexpr int kDetectByHead = 816;
inline constexpr int kSwitchHeadDetectionOn = 826;
inline constexpr int kHiddenZonesTooClose = 1105;
inline constexpr int kRulerEndsCoincide = 1092;
inline constexpr int kRulerLengthMissing = 326;
inline constexpr int kProtocolInconsistent = 1107;
inline constexpr int kDeleteImage = 491;
inline constexpr int kDeleteUsedImage = 492;
// The analysis run's log and progress lines.
inline constexpr int kTestPosition = 1057;          // "%d / %d": position in the list
inline constexpr int kVideoMissing = 1058;          // "%s", "%s": test title, video path
inline constexpr int kAnalysingTest = 1059;         // "%s": test title
inline constexpr int kDetectionRate = 1060;         // "%s", "%.2f": title, percent
inline constexpr int kElapsedTime = 1061;           // "%d": seconds
inline constexpr int kAttemptNumber = 1062;         // "%d"
inline constexpr int kAttemptReferenceFailed = 1063;  // "%d": attempt
inline constexpr int kAnalysisCancelled = 1064;
inline constexpr int kAnalysisProgress = 1065;      // "%d": percent
inline constexpr int kVideoUnreadable = 1066;       // "%s", "%s": title, reason
inline constexpr int kRetryWithTest = 1067;         // "%s": the other test's title
inline constexpr int kRetryWithAlternative = 1068;
inline constexpr int kAnalysisNotSaved = 1069;      // "%s": title
inline constexpr int kTestHasNoVideo = 1108;        // "%s": title
// Analysis and results.
inline constexpr int kCalculationInProgress = 1800;  // no number in the string table; ours
inline constexpr int kRangePeriodZero = 1801;       // ours
inline constexpr int kMaxBelowMin = 1802;           // ours
inline constexpr int kNameCombined = 1810;          // ours: default name of a combined zone
inline constexpr int kBackgroundReplaced = 1830;    // ours: "%d", "%d", "%s", "%d"
inline constexpr int kBackgroundPaintedFrame = 1831;  // ours: a name, for 1830
inline constexpr int kBackgroundMedian = 1832;      // ours: a name, for 1830
// Damaged, interrupted and untrusted files (ours).
inline constexpr int kInterruptedWriteUndone = 1840;  // "%s": path
inline constexpr int kForeignSchema = 1841;           // "%s": path
inline constexpr int kWaitingForLock = 1842;          // "%s", "%d": path, seconds
// Filters.
inline constexpr int kFormulaError = 695;            // "%s": the parser's message
inline constexpr int kFilterNameUsed = 1850;         // ours: "%s": the name
inline constexpr int kSelectedTests = 1851;          // ours: "%s": "%d test(s)"
// Spreadsheet export.
inline constexpr int kCancel = 321;                  // a button
inline constexpr int kExportWriteFailed = 505;
inline constexpr int kDefaultSheetName = 866;        // a name
inline constexpr int kReplaceTextFile = 867;         // "%s": path
inline constexpr int kUpdateWorkbook = 868;
inline constexpr int kUpdateMarker = 897;            // the first line of the marker cell
inline constexpr int kRowsBelowMoveDown = 898;
inline constexpr int kRowsBelowMoveUp = 899;
inline constexpr int kHelp = 900;                    // buttons 900 to 902
inline constexpr int kReplaceFile = 901;
inline constexpr int kUpdateFile = 902;
inline constexpr int kCellsNotEmpty = 903;
inline constexpr int kMarkerDamaged = 1860;          // ours: "%s": path
inline constexpr int kNotUpdatable = 1861;           // ours: "%s", "%s": path, reason
inline constexpr int kUpdateHelp = 1862;             // ours
}  // namespace msg

// The text of a message number in the program's language; the built-in English text when that
// language lacks it or gives it with other placeholders; "" only for a number no catalogue
// knows. The pointer stays valid until the program ends. Any thread may call it.
const char* MessageText(int id);

// Where MessageText finds texts in the user's language (the shell's language files).
class TextSource {
 public:
  virtual ~TextSource() = default;
  // The text of id, or nothing when this source has none. Called under MessageText's lock.
  virtual std::optional<std::string> Text(int id) const = 0;
};

// Makes source the language of MessageText from now on; nullptr returns to the built-in English.
void SetTextSource(std::shared_ptr<const TextSource> source);

}  // namespace vx
