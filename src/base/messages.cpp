#include "base/messages.h"

#include <algorithm>
#include <iterator>

namespace vx {

namespace {

struct NumberedText {
  int id;
  const char* text;
};

// Sorted by number.
constexpr NumberedText kTexts[] = {
    {126, "Your computer seems to be a litle bit slow to record a video file with theses parameters.\n\n"
         "You can try to :\n\n- select a lower frame rate.\n- select a lower size.\n- close other running "
         "programs. "},
    {133, "Start recording."},
    {134, "Stop recording."},
    {152, "Unable to create file '%s'"},
    {216, "Arena"},
    {217, "Rectangle"},
    {218, "Circle"},
    {219, "Line"},
    {220, "Polygon"},
    {221, "Ruler line"},
    {239, "An error occurs when trying to write the experiment file.\nThe modification was lost.\n\n"
          "If the problem persists, please contact your technical service.\n\nError : %d ( %s )"},
    {255, "There is no arena defined.\nThe entire image will be analysed.\n\n"
          "Click the 'Arena' button to define a specific arena."},
    {263, "Please, enter a name."},
    {279, "'[%s]' is locked by another program.\n\nPlease, close the file before proceeding."},
    {312, "'%s' does not exist."},
    {321, "Cancel"},
    {326, "You must specify the size of the \"ruler line\"."},
    {364, "<b>Recording in progress.</b>"},
    {365, "An error occured.\nUnable to record the video."},
    {366, "Start recording in : %s"},
    {436, "Speed by Time period"},
    {491, "Do you really want to delete this Image."},
    {492, "Do you really want to delete this Image.\n\n Warning : this image is used by some tests."},
    {494, "Cleaning up of the experiment file in progress.\n\nPlease wait ..."},
    {496, "Backup"},
    {497, "Backup in progress.\n\nPlease wait..."},
    {498, "Finalization.\n\nPlease wait..."},
    {499, "Cleaning up.\n\nPlease wait..."},
    {500, "Backup in progress.\nProcessing :'%s'.\n\nPlease wait..."},
    {501, "An error occured.\n\nFailed to create the backup file."},
    {505, "An error occured.\n\nUnable to write the file."},
    {523, "An error occurs when reading the experiment file.\n\n"
          "If the problem persists, please contact your technical service.\n\nError : %d ( %s )"},
    {608, "Please, select at least one test to exclude."},
    {623, "Unable to open :\"%s\"\n\nThe file is corrupted or is not an Velantrix valid file."},
    {651, "Would you like to backup also video files."},
    {677, "Do you want to save changes to the experiment : '%s' ?"},
    {678, "This experience was created with a newer version of Velantrix."},
    {679, "Velantrix can not modify a file located on a network drive...."},
    {680, "Unable to open :\"[%s]\"."},
    {681, "The experience has not been properly saved during its last use...."},
    {695, "Erreur dans la formule : %s"},
    {702, "Read only"},
    {788, "Main arena"},
    {789, "Impossible de supprimer l'ar\xC3\xA8ne."},
    {793, "Impossible de renommer l'exp\xC3\xA9rience.\nUn fichier ou un r\xC3\xA9pertoire avec le m\xC3\xAAme "
          "nom existe d\xC3\xA9j\xC3\xA0."},
    {806, "The value entered for the \"exit\" percentage must be less than or equal to the value "
          "for the \"entry\" percentage."},
    {814, "The center of the animal"},
    {815, "A percentage of the animal's entire area"},
    {816, "The position of the animal's head."},
    {826, "Zones detected by the head need head detection.\n\n"
          "Do you want to switch head detection on for this protocol ?"},
    {866, "Feuil1"},
    {867, "%s already exists.\nDo you want to replace it ?"},
    {868, "Le fichier existe d\xC3\xA9j\xC3\xA0, voulez-vous le mettre \xC3\xA0 jour"},
    {874, "Please select an other file."},
    {884, "The ruler can not be deleted."},
    {897, "Used by Velantrix to update the file. Do not modif this cell."},
    {898, "The new table has more rows than the one exported before: the rows below it will move "
          "down."},
    {899, "The new table has fewer rows than the one exported before: the rows below it will move "
          "up."},
    {900, "Aide"},
    {901, "Remplacer le fichier"},
    {902, "Mettre \xC3\xA0 jour le fichier"},
    {903, "Attention certaines cellules ne sont pas vides."},
    {947, "Lecture seule"},
    {1057, "Test %d / %d"},
    {1058, "%s : the video file cannot be found ( %s )."},
    {1059, "%s : analysis in progress..."},
    {1060, "%s : detection rate = %.2f %%"},
    {1061, "Elapsed time : %d s"},
    {1062, "Attempt %d"},
    {1063, "Attempt %d : the reference image cannot be prepared."},
    {1064, "Analysis cancelled."},
    {1065, "Analysis in progress : %d %%"},
    {1066, "%s : the video cannot be read ( %s )."},
    {1067, "New attempt with the detection settings of the test '%s'."},
    {1068, "New attempt with the alternative detection settings."},
    {1069, "%s : the analysis could not be saved."},
    {1092, "The two ends of the ruler line are at the same place.\n\nPlease draw the ruler line "
           "along an object of known length."},
    {1105, "This hidden zone is too close to another hidden zone.\n\nHidden zones must keep apart "
           "by more than their distance limits."},
    {1107, "The protocol is not consistent.\n\nPlease check its arena, ruler and zones."},
    {1108, "%s : the test has no video."},
    {1207, "The experiment '%s' was made by an older version of Velantrix and must be converted "
           "before it can be opened. Convert it now?"},
    {1496, "This file was created with a newer version of Velantrix: its records can not be "
           "imported. The file was left as it was."},
    {1800, "Calculation in progress.\n\nPlease wait..."},
    {1801, "The range period can not be zero"},
    {1802, "Max should be greater than min"},
    {1810, "Combined zone"},
    {1830, "The background composed from pairs of frames keeps the animal (found alone in %d of "
           "%d frames checked); %s is used instead (found alone in %d)."},
    {1831, "the middle frame with the animal painted over"},
    {1832, "the median of frames spread over the video"},
    {1840, "'%s' was left in the middle of a write by a program that stopped. That write has been "
           "undone: the file holds the data as they were before it."},
    {1841, "'%s' holds triggers or views, which Velantrix never creates and which would run on "
           "its own changes. The file was not opened and was left as it was."},
    {1842, "'%s' is locked by another program. Waiting up to %d s for it to be free, so that "
           "the work done is not lost..."},
    {1850, "A filter named '%s' already exists. Please choose another name."},
    {1851, "List of selected tests ( %s ) :"},
    {1860, "The update marker in cell A2 of '%s' is damaged: the file is replaced by the new "
           "table."},
    {1861, "'%s' cannot be read as a workbook ( %s ): it is replaced by the new table."},
    {1862, "Update rewrites only the table exported before (its place is kept in cell A2) and "
           "keeps every other cell; the rows below it move up or down to fit the new table. "
           "Replace writes a new file with the table alone."},
    {1870, "'%s' is in use by another program, which holds its working copy '%s'. Close the "
           "experiment there first."},
    {1871, "The working copy '%s' (%d KB, last written %s) holds the changes of that run.\n\n"
           "Yes: recover them. No: discard them and open the experiment as last saved."},
    {1872, "The working copy '%s' left by that run is incomplete or damaged and can not be "
           "recovered; the experiment is opened as last saved."},
    {1873, "The experiment '%s' could not be saved; the file holds what was last saved and the "
           "changes are still in the working copy."},
    {1874, "Imported: %d protocol(s), %d animal(s), %d field(s), %d video(s)."},
};

}  // namespace

const char* MessageText(int id) {
  const auto found = std::lower_bound(std::begin(kTexts), std::end(kTexts), id,
                                      [](const NumberedText& t, int wanted) { return t.id < wanted; });
  return (found != std::end(kTexts) && found->id == id) ? found->text : "";
}

}  // namespace vx
