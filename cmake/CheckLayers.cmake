# Fails the build when a file includes a header of a layer above its own:
#   src/audio  no Qt at all;   src/core  no widgets and no GUI module.
# Inside core, the folders are layers too: the files at its top (settings, scan, text) see no folder
# of core; net sees none of lookup, rename and album; lookup and rename see neither album nor each
# other; only album (the workflow) sees them all. A database's folder in lookup sees no other's.
# Inside audio, from the bottom: the plain helpers (IoResult, Paths, TextCodec, TagText, Rational), the
# byte source and the writers of the file layer, the tag blocks (ID3, APE, Vorbis comments), the
# formats, then the format registry with the tag writers and the file information, then the facade
# (AudioUtil, MediaInfoLib): a format never sees the registry or the facade above it.
# Inside gui, the dialogs and panes sit below the main window: only the main window's own files and
# main.cpp include MainForm.h.
# A folder written "folder~regex" leaves out the files whose name matches the regex (no "|" in it).
# cantorix_core does not link Qt Widgets, so <QWidget> already fails to compile there; this also
# catches the module-qualified spellings (<QtWidgets/QWidget>) that the shared include root would let in.
# Run as: cmake -DSOURCE_DIR=<project> -P CheckLayers.cmake
set(rules
  "src/audio|#[ \t]*include[ \t]*[<\"](Q[A-Za-z]|Qt)|Qt headers"
  "src/audio|#[ \t]*include[ \t]*\"(core|gui|cli)/|a header of core, gui or cli"
  "src/audio/formats|#[ \t]*include[ \t]*\"audio/(AudioUtil|MediaInfoLib|FormatRegistry|WriteTags)[.]h\"|the registry or the facade above the formats"
  "src/gui~^[Mm]ain(Form[A-Za-z]*)?[.]cpp$|#[ \t]*include[ \t]*\"gui/MainForm[.]h\"|the main window's header (a dialog is below the window)"
  "src/core|#[ \t]*include[ \t]*[<\"](QtWidgets|QtGui|QWidget|QApplication|QMessageBox|QDialog)|widget headers"
  "src/core|#[ \t]*include[ \t]*\"(gui|cli)/|a header of gui or cli"
  "src/core/*|#[ \t]*include[ \t]*\"core/[a-z]+/|a header of a folder of core (the top of core is its lowest layer)"
  "src/core/net|#[ \t]*include[ \t]*\"core/(lookup|rename|album)/|a header of lookup, rename or album"
  "src/core/lookup|#[ \t]*include[ \t]*\"core/(rename|album)/|a header of rename or album"
  "src/core/rename|#[ \t]*include[ \t]*\"core/(lookup|album)/|a header of lookup or album"
  "src/core/lookup/freedb|#[ \t]*include[ \t]*\"core/lookup/(musicbrainz|acoustid)/|a header of another database"
  "src/core/lookup/musicbrainz|#[ \t]*include[ \t]*\"core/lookup/(freedb|acoustid)/|a header of another database"
  "src/core/lookup/acoustid|#[ \t]*include[ \t]*\"core/lookup/(freedb|musicbrainz)/|a header of another database")
set(bad "")
foreach(rule IN LISTS rules)
  string(REPLACE "|" ";" parts "${rule}")
  list(GET parts 0 dir)
  list(LENGTH parts n)
  math(EXPR last "${n} - 1")
  list(GET parts ${last} what)
  # The pattern may itself hold "|": everything between the folder and the description.
  list(SUBLIST parts 1 ${last} pattern_parts)
  list(JOIN pattern_parts "|" pattern)
  set(skip "")
  if(dir MATCHES "~")
    string(REGEX REPLACE "^[^~]*~" "" skip "${dir}")
    string(REGEX REPLACE "~.*$" "" dir "${dir}")
  endif()
  if(dir MATCHES "/\\*$")
    # "folder/*": the files at the top of the folder only.
    string(REGEX REPLACE "/\\*$" "" dir "${dir}")
    file(GLOB files "${SOURCE_DIR}/${dir}/*.h" "${SOURCE_DIR}/${dir}/*.cpp")
  else()
    file(GLOB_RECURSE files "${SOURCE_DIR}/${dir}/*.h" "${SOURCE_DIR}/${dir}/*.cpp")
  endif()
  foreach(f IN LISTS files)
    get_filename_component(name "${f}" NAME)
    if(skip AND name MATCHES "${skip}")
      continue()
    endif()
    file(STRINGS "${f}" hits REGEX "${pattern}")
    if(hits)
      string(APPEND bad "  ${f}: ${what}: ${hits}\n")
    endif()
  endforeach()
endforeach()
if(bad)
  message(FATAL_ERROR "Layer rule broken (audio < core < gui/cli):\n${bad}")
endif()
